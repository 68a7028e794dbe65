#include "quote_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../core/stock_table.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char* SkipDigits(const char* p, size_t* count)
{
    while (IsDigit(*p)) {
        ++p;
        ++*count;
    }
    return p;
}

// Appends one price. A full series gives up its oldest price, so that it
// keeps the newest MaxTicks prices, oldest first.
void AppendTick(STOCKFILE& series, float price)
{
    if (series.FileSize >= MaxTicks) {
        memmove(series.StockValues, series.StockValues + 1, (MaxTicks - 1) * sizeof(float));
        series.FileSize = MaxTicks - 1;
    }
    series.StockValues[series.FileSize++] = price;
}

}  // namespace

bool ParsePrice(const char* text, float* price)
{
    const char* end = text;
    if (*end == '+' || *end == '-') ++end;
    size_t digits = 0;
    end = SkipDigits(end, &digits);
    if (*end == '.') end = SkipDigits(end + 1, &digits);
    if (digits == 0) return false;
    if (*end == 'e' || *end == 'E') {
        const char* exponent = end + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        size_t exponentDigits = 0;
        exponent = SkipDigits(exponent, &exponentDigits);
        if (exponentDigits > 0) end = exponent;
    }

    // strtof reads hex floats too, so it gets only the text matched here.
    const size_t length = static_cast<size_t>(end - text);
    if (length > PriceTextLimit) return false;
    char matched[PriceTextLimit + 1];
    memcpy(matched, text, length);
    matched[length] = '\0';
    const float value = strtof(matched, nullptr);
    if (!std::isfinite(value)) return false;
    *price = value;
    return true;
}

bool STOCKFILE::Load(char* StockName)
{
    char buffer2[1000];
    snprintf(buffer2, sizeof buffer2, "TempStocks\\%s.csv", StockName);
    if (!FileExists(buffer2)) return false;
    FILE* file = fopen(buffer2, "rb");
    if (!file) return false;
    setvbuf(file, nullptr, _IONBF, 0);  // read straight into chunk

    PriceTextScanner scanner;
    const auto found = [this](const char* text) {
        float price;
        if (ParsePrice(text, &price)) AppendTick(*this, price);
    };
    char chunk[4096];
    bool ended = false;
    while (!ended) {
        const size_t size = fread(chunk, 1, sizeof chunk, file);
        if (size < sizeof chunk && ferror(file)) {
            fclose(file);
            return false;
        }
        ended = !scanner.Scan(chunk, size, found) || size < sizeof chunk;
    }
    scanner.Finish(found);
    fclose(file);
    return true;
}
