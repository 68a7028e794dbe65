// Every committed fuzz input, the seed corpora and the inputs that once broke
// a reader, replayed through the fuzz targets' checks in every test run.
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "harness.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;
    std::string (*check)(const uint8_t*, size_t);
    size_t seeds;  // seed inputs at least: a missing corpus must not pass
};

void PrintTo(const Target& target, std::ostream* out)
{
    *out << target.name;
}

std::vector<fs::path> Inputs(const char* target)
{
    std::vector<fs::path> inputs;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = fs::path(FUZZ_INPUTS) / kind / target;
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, EveryInputKeepsEveryInvariant)
{
    const Target& target = GetParam();
    const std::vector<fs::path> inputs = Inputs(target.name);
    ASSERT_GE(inputs.size(), target.seeds);
    for (const fs::path& input : inputs) {
        const std::string bytes = ReadFile(input);
        TempWorkingDir dir;
        EXPECT_EQ(target.check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "")
            << input.filename().string();
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzReplay,
                         ::testing::Values(Target{"stock_list", CheckStockList, 6},
                                           Target{"quote_file", CheckQuoteFile, 6}),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

}  // namespace
