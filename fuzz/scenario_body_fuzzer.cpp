// libFuzzer entry: a decompressed scenario body through the walk and the report.
#include <cstdio>
#include <cstdlib>

#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = vantor::fuzz::runScenarioBody({data, size});
    if (!problem.empty()) {
        std::fprintf(stderr, "scenario body target: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
