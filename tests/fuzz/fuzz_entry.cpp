// The libFuzzer entry point of one reader; FUZZ_CHECK names its check.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness.h"
#include "support/temp_dir.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The readers use paths relative to the working directory: a folder of
    // this process's own, removed when the run ends.
    static TempWorkingDir scratch;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string broken = FUZZ_CHECK(data, size);
    if (!broken.empty()) {
        fprintf(stderr, "Broken: %s\n", broken.c_str());
        abort();
    }
    return 0;
}
