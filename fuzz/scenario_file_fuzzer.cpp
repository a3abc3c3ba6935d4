// libFuzzer entry: the bytes of a scenario file through the whole report command.
#include <cstdio>
#include <cstdlib>

#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = vantor::fuzz::runScenarioFile({data, size});
    if (!problem.empty()) {
        std::fprintf(stderr, "scenario file target: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
