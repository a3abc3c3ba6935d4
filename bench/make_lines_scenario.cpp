// Writes a scenario whose report is about eight times its body: one trigger
// whose description is nothing but line breaks, each of which becomes a
// report line of its own.  For measuring peak memory against the body.
//
//   make_lines_scenario OUT.scx MEGABYTES
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/scenario_builder.h"

int main(int argc, char** argv) {
    using namespace vantor::testing;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT.scx MEGABYTES\n", argv[0]);
        return 2;
    }
    Trigger t;
    t.name = "lines";
    t.description = std::string(static_cast<std::size_t>(std::atof(argv[2]) * 1024 * 1024), '\n');
    BodySpec spec;
    spec.triggers = {t};
    writeFile(argv[1], buildContainer(buildBody(spec).bytes, "lines"));
    return 0;
}
