// Lays out the folders that the dialog's end-to-end test works on:
//
//   ROOT/game/Scenario/   sample.scx, 日本語のシナリオ.scx, UPPER.SCX (reports),
//                         with_image.scx (refused), broken.scx (not a container),
//                         notes.txt and the folder folder.scx (never listed)
//   ROOT/other/           other.scx
//   ROOT/decoy/Scenario/  decoy.scx (named only in the registry's 64-bit view)
//
//   make_gui_scenarios ROOT
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "samples/sample_scenario.h"
#include "tests/support/scenario_builder.h"

namespace {

using namespace vantor::testing;
namespace fs = std::filesystem;

std::string z(const std::string& s) { return s + '\0'; }

BodySpec small(const std::string& triggerName, std::int32_t effectType) {
    BodySpec spec;
    Trigger trigger;
    trigger.name = z(triggerName);
    trigger.description = z("");
    Effect effect;
    effect.type = effectType;
    trigger.effects.push_back(effect);
    spec.triggers.push_back(trigger);
    return spec;
}

void write(const fs::path& path, const BodySpec& spec) {
    writeFile(path.string(), buildContainer(buildBody(spec).bytes));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gui_scenarios ROOT\n");
        return 2;
    }
    try {
        const fs::path root = argv[1];
        const fs::path scenarios = root / "game" / "Scenario";
        fs::create_directories(scenarios / "folder.scx");
        fs::create_directories(root / "other");
        fs::create_directories(root / "decoy" / "Scenario");

        write(scenarios / "sample.scx", sampleScenario());
        // The file name in UTF-8, as the Unix file system holds it; the
        // trigger's name in cp932, as the scenario holds it.
        const char8_t* japaneseName = u8"日本語のシナリオ.scx";
        write(scenarios / fs::path(japaneseName), small("ロードス島", 2));
        write(scenarios / "UPPER.SCX", small("UPPER", 20));
        BodySpec image = small("image", 3);
        image.imageFlag = 1;
        write(scenarios / "with_image.scx", image);
        writeFile((scenarios / "broken.scx").string(), Bytes{'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'x'});
        writeFile((scenarios / "notes.txt").string(), Bytes{'n', 'o', 't', 'e', 's'});
        write(root / "other" / "other.scx", small("other", 8));
        write(root / "decoy" / "Scenario" / "decoy.scx", small("decoy", 9));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_gui_scenarios: %s\n", e.what());
        return 1;
    }
    return 0;
}
