#include "chart_geometry.h"

#include <cmath>

int SymbolTop(int height, int i, int selected)
{
    return height / 2 + SymbolPitch * i - SymbolPitch * selected + 1;
}

int PlottedTicks(int fileSize, int tickNumber)
{
    if (tickNumber <= 0) return 0;
    return tickNumber < fileSize ? tickNumber : fileSize;
}

void NormaliseSeries(float* values, int count)
{
    float lowval = 1e8f;
    float hival = -1e8f;
    for (int l = 0; l < count; ++l)
        if (values[l] < lowval) lowval = values[l];
    for (int l = 0; l < count; ++l)
        if (values[l] > hival) hival = values[l];
    for (int l = 0; l < count; ++l) values[l] = values[l] - lowval;
    hival = hival - lowval;
    for (int l = 0; l < count; ++l) {
        values[l] = hival == 0 ? 0.5f : values[l] / hival;
        if (std::isnan(values[l])) values[l] = 0.5f;
    }
}

TickLayout LayOutTicks(int width, int count)
{
    const Extended span = static_cast<Extended>(width) - SymbolPanelWidth;
    const Extended step = count > 1 ? span / (static_cast<Extended>(count) - 1) : span;
    return TickLayout{count, width, step};
}

int TickX(const TickLayout& layout, int i)
{
    if (layout.count == 1) return static_cast<int>(layout.step / 2 + SymbolPanelWidth);
    return static_cast<int>(layout.step * i + SymbolPanelWidth);
}

bool CursorOverTick(const TickLayout& layout, int tickX, int mouseX)
{
    if (layout.count == 1) return SymbolPanelWidth < mouseX && mouseX < layout.width;
    const Extended half = layout.step / 2;
    return tickX + half > mouseX && mouseX > tickX - half;
}

int ValueY(int height, float normalised)
{
    const Extended h = height;
    return static_cast<int>(h - h * static_cast<Extended>(normalised));
}
