// The chart drawn by pixel column against the chart drawn tick by tick: the
// frames of DrawFrame and of the straightforward drawing, composed into two
// DIB sections from the same state, must hold the same bytes, ask for the same
// title and leave the same TickNumber. The fixtures cover series shapes whose
// segments overlap in every way (random walks, flat runs, spikes, saw teeth,
// a series that jumps between two close prices on every tick), tick counts
// below, at and far above the plot's width, and plots that are wide, narrow,
// tall, short and narrower than the symbol panel.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/stock_table.h"
#include "support/dib_section.h"
#include "support/straight_frame.h"
#include "ui/chart_window.h"

namespace {

// A top-down 32-bit DIB section in a memory DC, filled with a colour that no
// frame draws, so that a pixel one drawing leaves alone shows as well.
class Dib : public DibSection {
public:
    Dib(int width, int height) : DibSection(width, height, RGB(0, 255, 0)) {}

    // Where the two pictures first differ, as text; empty when they are the same bytes.
    std::string Difference(const Dib& other) const
    {
        GdiFlush();
        const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(width_) * static_cast<size_t>(height_);
        if (memcmp(bits_, other.bits_, bytes) == 0) return "";
        int differing = 0;
        int first = -1;
        for (int i = 0; i < width_ * height_; ++i) {
            if (bits_[i] == other.bits_[i]) continue;
            if (first < 0) first = i;
            ++differing;
        }
        char text[160];
        snprintf(text, sizeof text, "%d pixels differ, the first at (%d, %d): %06X instead of %06X", differing,
                 first % width_, first / width_, static_cast<unsigned>(bits_[first] & 0xFFFFFF),
                 static_cast<unsigned>(other.bits_[first] & 0xFFFFFF));
        return text;
    }
    // How many pixels are pure red: the series and the selected symbol.
    int Red() const
    {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < width_ * height_; ++i) n += (bits_[i] & 0xFFFFFF) == 0xFF0000;
        return n;
    }
};

// A small generator of our own, so that every build draws the same fixtures.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    float Unit() { return static_cast<float>(Next() % 10000) / 10000.0f; }  // 0 .. 0.9999

private:
    uint32_t state_;
};

enum class Shape { RandomWalk, Flat, Spiky, Sawtooth, Alternating, Rising, Step };

const char* Name(Shape shape)
{
    switch (shape) {
    case Shape::RandomWalk: return "RandomWalk";
    case Shape::Flat: return "Flat";
    case Shape::Spiky: return "Spiky";
    case Shape::Sawtooth: return "Sawtooth";
    case Shape::Alternating: return "Alternating";
    case Shape::Rising: return "Rising";
    case Shape::Step: return "Step";
    }
    return "";
}

std::vector<float> Series(Shape shape, int count)
{
    std::vector<float> values(static_cast<size_t>(count));
    Noise noise(0x2545F491u + static_cast<uint32_t>(count));
    float walk = 100;
    for (int i = 0; i < count; ++i) {
        float v = 0;
        switch (shape) {
        case Shape::RandomWalk:
            walk += (noise.Unit() - 0.5f) * 0.8f;
            v = walk;
            break;
        case Shape::Flat:
            v = 42.5f;
            break;
        case Shape::Spiky:
            v = 50 + noise.Unit() * 0.05f + (i % 97 == 13 ? 30.0f : 0.0f) - (i % 389 == 200 ? 20.0f : 0.0f);
            break;
        case Shape::Sawtooth:
            v = 20 + static_cast<float>(i % 257) * 0.125f;
            break;
        case Shape::Alternating:
            v = i % 2 ? 10.01f : 10.0f;
            break;
        case Shape::Rising:
            v = 5 + static_cast<float>(i) * 0.001f;
            break;
        case Shape::Step:
            v = i < count / 3 ? 7.0f : 7.5f;
            break;
        }
        values[static_cast<size_t>(i)] = v;
    }
    return values;
}

// The stock table at capacity: 1000 symbols of various lengths, the selected
// one holding the series.
void SetTable(const std::vector<float>& series, int selected)
{
    memset(FileName, 0, sizeof FileName);
    for (int i = 0; i < MaxStockFiles; ++i) {
        snprintf(FileName[i], SymbolSlotSize, i % 7 == 3 ? "SYMBOL%dLONGER" : "S%d", i);
        StockFile[i].FileSize = 0;
    }
    FileNumber = MaxStockFiles;
    FileIndex = selected;
    StockFile[selected].FileSize = static_cast<int32_t>(series.size());
    std::copy(series.begin(), series.end(), StockFile[selected].StockValues);
}

struct Outcome {
    bool hovered;
    std::string title;
    int32_t tickNumber;
};

// Draws the frame both ways from the same state into two fresh pictures and
// compares everything that comes out of it.
void ExpectSameFrames(int width, int height, int mouseX, int32_t tickNumber, HFONT font = nullptr)
{
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", cursor at " + std::to_string(mouseX) +
                 ", TickNumber " + std::to_string(tickNumber));
    Dib straight(width, height), columns(width, height);
    ASSERT_TRUE(straight.valid() && columns.valid());
    if (font) {
        SelectObject(straight.dc(), font);
        SelectObject(columns.dc(), font);
    }
    const auto draw = [&](bool (*frame)(HDC, int, int, int, char(&)[1000]), const Dib& into) {
        TickNumber = tickNumber;
        char title[1000] = "untouched";
        const bool hovered = frame(into.dc(), width, height, mouseX, title);
        return Outcome{hovered, hovered ? title : "", TickNumber};
    };
    const Outcome want = draw(DrawStraightFrame, straight);
    const Outcome got = draw(DrawFrame, columns);
    EXPECT_EQ(columns.Difference(straight), "");
    EXPECT_EQ(got.hovered, want.hovered);
    EXPECT_EQ(got.title, want.title);
    EXPECT_EQ(got.tickNumber, want.tickNumber);
    EXPECT_GT(straight.Red(), 0) << "the fixture draws something to compare";
}

class IdenticalFrames : public ::testing::TestWithParam<Shape> {
protected:
    void TearDown() override
    {
        for (int i = 0; i < MaxStockFiles; ++i) StockFile[i].FileSize = 0;
        FileNumber = 0;
        FileIndex = 0;
        TickNumber = 1000;
    }
};

// Every client size with every tick count, the cursor over the middle of the
// line, and the selection walking through the list.
TEST_P(IdenticalFrames, ForEveryWindowSizeAndTickCount)
{
    const struct {
        int width, height;
    } sizes[] = {
        {632, 453},   // the client area of the 640 x 480 window
        {640, 480},
        {1280, 200},  // wide and short
        {260, 1000},  // narrow and tall
        {101, 300},   // a one-pixel plot
        {100, 240},   // no plot: every tick at x = 100
        {60, 200},    // narrower than the symbol panel: the line runs leftwards
        {400, 3},     // three rows
    };
    int frames = 0;
    for (const auto& size : sizes) {
        const int plot = size.width - 100;
        std::vector<int> counts = {3, 57, 1000, 100000};
        if (plot > 3) counts.insert(counts.end(), {plot - 1, plot, plot + 1, 2 * plot + 1, 7 * plot + 3});
        for (int count : counts) {
            SCOPED_TRACE(std::string(Name(GetParam())) + ", " + std::to_string(count) + " ticks");
            const int selected = (frames * 337) % MaxStockFiles;
            SetTable(Series(GetParam(), count), selected);
            ExpectSameFrames(size.width, size.height, (100 + size.width) / 2 + frames % 5, 100000);
            ++frames;
        }
    }
}

// The setting below the series' length plots its newest ticks only; the
// cursor anywhere along the line, beside it and over the symbol panel.
TEST_P(IdenticalFrames, ForEveryCursorPositionAndSetting)
{
    SetTable(Series(GetParam(), 100000), 500);
    for (int32_t tickNumber : {100000, 54000, 533, 532, 531, 2, 1}) {
        for (int mouseX : {0, 99, 100, 101, 102, 250, 366, 630, 631, 632, 700}) {
            ExpectSameFrames(632, 453, mouseX, tickNumber);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, IdenticalFrames,
                         ::testing::Values(Shape::RandomWalk, Shape::Flat, Shape::Spiky, Shape::Sawtooth,
                                           Shape::Alternating, Shape::Rising, Shape::Step),
                         [](const ::testing::TestParamInfo<Shape>& info) { return std::string(Name(info.param)); });

// The symbols that are skipped are exactly those that the picture clips away,
// whatever the font's cell height: the list scrolled to either end and to the
// middle, on frames from one row to taller than the list.
TEST(IdenticalSymbolLists, ForEveryFontHeightAndSelection)
{
    struct Font {
        const char* name;
        int height;  // of the character cell, in pixels; 0 for the DC's own font
        bool italic;
    } fonts[] = {{"default", 0, false}, {"Tahoma", 8, false}, {"Tahoma", 16, false},
                 {"Tahoma", 17, true},  {"Courier New", 40, false}, {"Times New Roman", 120, true}};
    const std::vector<float> series = Series(Shape::RandomWalk, 5000);
    for (const Font& f : fonts) {
        SCOPED_TRACE(std::string(f.name) + " " + std::to_string(f.height));
        const HFONT font = f.height ? CreateFontA(-f.height, 0, 0, 0, FW_NORMAL, f.italic, FALSE, FALSE, ANSI_CHARSET,
                                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                  DEFAULT_PITCH, f.name)
                                    : nullptr;
        for (int selected : {0, 1, 30, 500, 998, 999}) {
            for (int height : {1, 2, 15, 16, 17, 33, 453, 16100}) {
                SetTable(series, selected);
                ExpectSameFrames(150, height, 125, 1000, font);
            }
        }
        if (font) DeleteObject(font);
    }
    for (int i = 0; i < MaxStockFiles; ++i) StockFile[i].FileSize = 0;
    FileNumber = 0;
    FileIndex = 0;
}

}  // namespace
