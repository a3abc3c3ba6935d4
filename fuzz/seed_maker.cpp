// Writes the seed corpora of the fuzz targets: scenarios made by the test
// builder in every edition's layout, the scenario of every outcome of the
// report command, and copies of given scenario files, each as a scenario file
// (for the file target) and as its decompressed body (for the body target).
//
//   vantor-fuzz-seeds OUTDIR [SCENARIO_FILE...]
//
// gives OUTDIR/file/* and OUTDIR/body/*.body.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "samples/sample_scenario.h"
#include "scenario/extract.h"
#include "tests/support/outcomes.h"

namespace {

using namespace vantor::testing;

void write(const std::filesystem::path& path, const Bytes& bytes) { writeFile(path.string(), bytes); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTDIR [SCENARIO_FILE...]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "file");
    std::filesystem::create_directories(out / "body");
    try {
        // The sample's triggers show every kind of line, and records as
        // third-party editors store them.
        for (const Edition& e : everyEdition(sampleScenario().triggers)) {
            write(out / "body" / (e.name + ".body"), e.body);
            write(out / "file" / (e.name + ".scx"), e.file);
        }
        for (const Outcome& o : everyOutcome()) write(out / "file" / (o.name + ".scx"), o.scenario);
        const Bytes body = buildBody(sampleScenario()).bytes;
        Bytes stored = {'1', '.', '2', '1', 0, 0, 0, 0};  // stored (uncompressed) deflate blocks
        const Bytes blocks = rawDeflate(body, 0);
        stored.insert(stored.end(), blocks.begin(), blocks.end());
        write(out / "file" / "stored-blocks.scx", stored);
        for (int i = 2; i < argc; ++i) {
            const std::filesystem::path source = argv[i];
            write(out / "file" / source.filename(), readFile(source.string()));
            vantor::ScenarioFile scenario;
            vantor::ScenarioBody extracted;
            if (scenario.open(source.string()) &&
                extractScenario(scenario, source.string(), extracted, nullptr) == vantor::ExtractOutcome::bodyReady)
                write(out / "body" / (source.filename().string() + ".body"),
                      Bytes(extracted.bytes.get(), extracted.bytes.get() + extracted.size));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantor-fuzz-seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
