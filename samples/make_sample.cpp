// Writes the bundled sample scenario:  make_sample samples/sample.scx
#include <cstdio>
#include <exception>

#include "samples/sample_scenario.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample OUTPUT.scx\n");
        return 2;
    }
    try {
        using namespace vantor::testing;
        writeFile(argv[1], buildContainer(buildBody(sampleScenario()).bytes, "Vantor sample scenario"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sample: %s\n", e.what());
        return 1;
    }
    return 0;
}
