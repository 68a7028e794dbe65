#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/stock_table.h"
#include "files/quote_file.h"
#include "harness.h"
#include "support/recorded_reports.h"

namespace {

using Texts = std::vector<std::string>;

constexpr uint8_t EndOfText = 0x1A;

bool IsBlank(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t TextEnd(const uint8_t* data, size_t size)
{
    const void* end = memchr(data, EndOfText, size);
    return end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - data) : size;
}

// The price texts the scanner should hand on: per token, what lies between
// its first comma and its second or its end, cut to the limit, and cut at a
// zero byte since the text is handed on as a C string.
Texts ModelTexts(const uint8_t* data, size_t size)
{
    Texts texts;
    const size_t end = TextEnd(data, size);
    size_t n = 0;
    while (n < end) {
        if (IsBlank(data[n])) {
            ++n;
            continue;
        }
        size_t tokenEnd = n;
        while (tokenEnd < end && !IsBlank(data[tokenEnd])) ++tokenEnd;
        const uint8_t* token = data + n;
        const size_t length = tokenEnd - n;
        const void* first = memchr(token, ',', length);
        if (first) {
            const size_t from = static_cast<size_t>(static_cast<const uint8_t*>(first) - token) + 1;
            const void* second = memchr(token + from, ',', length - from);
            const size_t to = second ? static_cast<size_t>(static_cast<const uint8_t*>(second) - token) : length;
            std::string text(reinterpret_cast<const char*>(token + from), to - from);
            if (text.size() > PriceTextLimit) text.resize(PriceTextLimit);
            texts.emplace_back(text.c_str());
        }
        n = tokenEnd;
    }
    return texts;
}

// Scans the input in pieces of the given sizes, the last piece taking the
// rest. The scanner must say "ended" for the piece holding the first Ctrl-Z
// and for no piece before it.
std::string ScanInPieces(const uint8_t* data, size_t size, const std::vector<size_t>& cuts, Texts* found)
{
    const size_t end = TextEnd(data, size);
    PriceTextScanner scanner;
    const auto add = [found](const char* text) { found->emplace_back(text); };
    size_t at = 0;
    for (size_t piece = 0; piece <= cuts.size(); ++piece) {
        const size_t length = piece < cuts.size() ? std::min(cuts[piece], size - at) : size - at;
        const bool holdsEnd = end < size && end >= at && end < at + length;
        const bool going = scanner.Scan(reinterpret_cast<const char*>(data + at), length, add);
        if (going == holdsEnd)
            return "Scan said " + std::string(going ? "going" : "ended") + " for the piece at " + std::to_string(at);
        if (!going) return "";
        at += length;
    }
    scanner.Finish(add);
    return "";
}

uint64_t Fnv1a(const uint8_t* data, size_t size)
{
    uint64_t hash = 14695981039346656037ull;
    for (size_t n = 0; n < size; ++n) hash = (hash ^ data[n]) * 1099511628211ull;
    return hash;
}

// Cut points that follow from the input itself, so that the fuzzer steers
// them: piece sizes from 0 (an empty piece) to about a third of the input.
std::vector<size_t> DerivedCuts(size_t size, uint64_t seed)
{
    std::vector<size_t> cuts;
    size_t covered = 0;
    while (covered < size) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        const size_t piece = static_cast<size_t>(seed % (size / 3 + 2));
        cuts.push_back(piece);
        covered += piece;
    }
    return cuts;
}

std::string CheckScans(const uint8_t* data, size_t size, uint64_t seed, const Texts& expected)
{
    const struct {
        const char* name;
        std::vector<size_t> cuts;
    } splits[] = {
        {"whole", {}},
        {"byte by byte", std::vector<size_t>(size, 1)},
        {"derived pieces", DerivedCuts(size, seed | 1)},
    };
    for (const auto& split : splits) {
        Texts found;
        const std::string broken = ScanInPieces(data, size, split.cuts, &found);
        if (!broken.empty()) return std::string(split.name) + ": " + broken;
        if (found.size() != expected.size())
            return std::string(split.name) + ": " + std::to_string(found.size()) + " price texts, the model has " +
                   std::to_string(expected.size());
        for (size_t i = 0; i < found.size(); ++i)
            if (found[i] != expected[i])
                return std::string(split.name) + ": price text " + std::to_string(i) + " is \"" + found[i] +
                       "\", the model has \"" + expected[i] + "\"";
    }
    return "";
}

struct Price {
    bool ok;
    float value;
};

// What ParsePrice should make of a text, found another way: an optional sign,
// then the longest decimal number std::from_chars reads, rounded once;
// nothing when that exceeds the limit or the single-precision range, zero
// (with the sign) when it is too small for the smallest subnormal.
Price ReferencePrice(const char* text)
{
    const char* digits = text;
    const bool negative = *digits == '-';
    if (*digits == '+' || *digits == '-') ++digits;
    // Only a digit, or a point and a digit, begins a number: this also keeps
    // from_chars away from inf, nan and signs of its own.
    if (!IsDigit(digits[0]) && !(digits[0] == '.' && IsDigit(digits[1]))) return {false, 0};
    float value = 0;
    const auto read = std::from_chars(digits, digits + strlen(digits), value, std::chars_format::general);
    if (static_cast<size_t>(read.ptr - text) > PriceTextLimit) return {false, 0};
    if (read.ec == std::errc::result_out_of_range) {
        const double wide = strtod(std::string(digits, read.ptr).c_str(), nullptr);
        if (wide >= 1) return {false, 0};
        value = 0;
    } else if (read.ec != std::errc()) {
        return {false, 0};
    }
    return {true, negative ? -value : value};
}

std::string Shown(const char* text)
{
    std::string shown(text, strnlen(text, 40));
    for (char& c : shown)
        if (c < 0x20 || c > 0x7E) c = '?';
    return shown;
}

bool SameBits(float a, float b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

std::string CheckPrice(const char* text, std::vector<float>* prices)
{
    const float unset = -12345.75f;
    float price = unset;
    const bool ok = ParsePrice(text, &price);
    const Price expected = ReferencePrice(text);
    if (ok != expected.ok) return "ParsePrice(\"" + Shown(text) + "\") is " + (ok ? "a number" : "no number");
    if (ok && !SameBits(price, expected.value))
        return "ParsePrice(\"" + Shown(text) + "\") gives " + std::to_string(price) + ", not " +
               std::to_string(expected.value);
    if (!ok && !SameBits(price, unset)) return "ParsePrice(\"" + Shown(text) + "\") failed yet changed the price";
    if (ok && prices) prices->push_back(price);
    return "";
}

bool WriteBytes(const char* path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    const bool written = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

// Loads the input as a quote file into a series that already holds some
// prices, most often none, sometimes so many that it overflows.
std::string CheckLoad(const uint8_t* data, size_t size, const std::vector<float>& prices, uint64_t seed)
{
    std::error_code ignored;
    std::filesystem::create_directory("TempStocks", ignored);
    if (!WriteBytes("TempStocks\\FUZZ.csv", data, size)) return "cannot write the quote file";

    const int32_t nearly = static_cast<int32_t>((seed >> 8) & 3);
    // A full series moves every price for every new one: only few prices then.
    const bool full = (seed & 3) == 3 && prices.size() <= 16;
    const int32_t before = full ? MaxTicks - nearly : (seed & 3) == 2 ? nearly + 1 : 0;
    const int64_t total = before + static_cast<int64_t>(prices.size());
    const int32_t after = static_cast<int32_t>(total < MaxTicks ? total : MaxTicks);

    // The old prices are 0, 1, 2, ...: a price moved to a wrong place shows.
    static float ramp[MaxTicks];
    if (ramp[MaxTicks - 1] == 0)
        for (int32_t i = 0; i < MaxTicks; ++i) ramp[i] = static_cast<float>(i);
    STOCKFILE& series = StockFile[0];
    memcpy(series.StockValues, ramp, static_cast<size_t>(before) * sizeof(float));
    const float untouched = -0.125f;
    if (after < MaxTicks) series.StockValues[after] = untouched;
    series.FileSize = before;
    const size_t reports = RecordedReports().size();

    char symbol[] = "FUZZ";
    if (!series.Load(symbol)) return "Load failed";
    if (RecordedReports().size() != reports) return "Load reported to the user";
    if (series.FileSize != after)
        return "FileSize " + std::to_string(series.FileSize) + " after " + std::to_string(prices.size()) +
               " prices on " + std::to_string(before);
    // The series keeps the newest prices, oldest first: the old ones that are
    // left, then the new ones that fit.
    const size_t dropped = static_cast<size_t>(total - after);
    const size_t oldCount = static_cast<size_t>(before);
    const size_t oldKept = dropped < oldCount ? oldCount - dropped : 0;
    const size_t newKept = static_cast<size_t>(after) - oldKept;
    if (oldKept > 0 && memcmp(series.StockValues, ramp + dropped, oldKept * sizeof(float)) != 0)
        return "the old prices did not move by " + std::to_string(dropped);
    if (newKept > 0 &&
        memcmp(series.StockValues + oldKept, &prices[prices.size() - newKept], newKept * sizeof(float)) != 0)
        return "the new prices are not the last " + std::to_string(newKept) + " ticks";
    if (after < MaxTicks && !SameBits(series.StockValues[after], untouched))
        return "the slot after the last tick was written";
    return "";
}

}  // namespace

std::string CheckQuoteFile(const uint8_t* data, size_t size)
{
    const uint64_t seed = Fnv1a(data, size);
    const Texts texts = ModelTexts(data, size);
    std::string broken = CheckScans(data, size, seed, texts);
    if (!broken.empty()) return broken;

    std::vector<float> prices;
    for (const std::string& text : texts) {
        broken = CheckPrice(text.c_str(), &prices);
        if (!broken.empty()) return broken;
    }
    // The whole input as one text reaches lengths beyond the scanner's limit.
    const std::string whole(reinterpret_cast<const char*>(data), size);
    broken = CheckPrice(whole.c_str(), nullptr);
    if (!broken.empty()) return broken;

    return CheckLoad(data, size, prices, seed);
}
