// Lays out the folders that the dialog's end-to-end test works on:
//
//   ROOT/game/Scenario/   sample.scx, 日本語のシナリオ.scx, UPPER.SCX (reports),
//                         with_image.scx (refused), broken.scx (not a container),
//                         notes.txt and the folder folder.scx (never listed)
//   ROOT/other/           other.scx
//   ROOT/decoy/Scenario/  decoy.scx (named only in the registry's 64-bit view)
//   ROOT/cli/             bulky.scx (a report many times its body), lines.scx
//                         (a description of 24 MiB of line breaks: a report
//                         that takes a while to write), campaign.cpx (the
//                         sample and a broken scenario), for vantor-report's tests
//
//   ROOT/given/           files given to vantor.exe (dropped on it, or its
//                         arguments): de.aoe2scenario, aok.scn, camp.cpx (the
//                         sample and a broken scenario), broken.scx, a name that
//                         code page 932 cannot hold, and the folder folder/
//
//   make_gui_scenarios ROOT
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "samples/sample_scenario.h"
#include "tests/support/scenario_builder.h"

using namespace vantor::testing;
namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const BodySpec& spec) {
    writeFile(path.string(), buildContainer(buildBody(spec).bytes));
}

// One trigger with one effect; texts end in a NUL, as the editor stores them.
void write(const fs::path& path, const std::string& name, std::int32_t effectType, std::int32_t imageFlag = 0) {
    Trigger trigger;
    trigger.name = name + '\0';
    trigger.description = std::string(1, '\0');
    trigger.effects = {effect(effectType)};
    BodySpec spec;
    spec.imageFlag = imageFlag;
    spec.triggers = {trigger};
    write(path, spec);
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gui_scenarios ROOT\n");
        return 2;
    }
    const fs::path root = argv[1], scenarios = root / "game" / "Scenario";
    for (const fs::path& folder : {scenarios / "folder.scx", root / "other", root / "decoy" / "Scenario", root / "cli"})
        fs::create_directories(folder);
    write(scenarios / "sample.scx", sampleScenario());
    // The file name in UTF-8, as the Unix file system holds it; the trigger's
    // name in cp932, as the scenario holds it.
    write(scenarios / fs::path(u8"日本語のシナリオ.scx"), "ロードス島", 2);
    write(scenarios / "UPPER.SCX", "UPPER", 20);
    write(scenarios / "with_image.scx", "image", 3, 1);
    writeFile((scenarios / "broken.scx").string(), Bytes{'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'x'});
    writeFile((scenarios / "notes.txt").string(), Bytes{'n', 'o', 't', 'e', 's'});
    write(root / "other" / "other.scx", "other", 8);
    write(root / "decoy" / "Scenario" / "decoy.scx", "decoy", 9);
    BodySpec bulky, lines;
    bulky.triggers.resize(1);
    bulky.triggers[0].effects.assign(6000, effect(14));
    for (Effect& e : bulky.triggers[0].effects) e.fields.clear();
    write(root / "cli" / "bulky.scx", bulky);
    lines.triggers.resize(1);
    lines.triggers[0].description.assign(std::size_t{24} << 20, '\n');
    write(root / "cli" / "lines.scx", lines);
    const Bytes sample = buildContainer(buildBody(sampleScenario()).bytes),
                broken = {'n', 'o', 't', ' ', 's', 'c', 'x'};
    const Bytes campaign =
        buildCampaign(100, "campaign", {{"sample", "sample.scx", sample}, {"broken", "broken.scx", broken}});
    writeFile(root / "cli" / "campaign.cpx", campaign);

    const fs::path given = root / "given";
    fs::create_directories(given / "folder");
    DefinitiveSpec definitive;
    definitive.triggers = sampleScenario().triggers;
    for (Trigger& t : definitive.triggers)
        for (Effect& e : t.effects) e.fields.resize(definitiveEffectFields(definitive.version), -1);
    for (Trigger& t : definitive.triggers)
        for (Condition& c : t.conditions) c.fields.resize(definitiveConditionFields(definitive.version), -1);
    definitive.variables = {{0, "gold"}};  // as the game stores them behind the triggers
    writeFile(given / "de.aoe2scenario", buildDefinitiveContainer(buildDefinitiveBody(definitive).bytes, 158));
    BodySpec ageOfKings = sampleScenario();
    ageOfKings.layout = Layout::stored, ageOfKings.version = 1.20f;
    writeFile(given / "aok.scn", buildContainer(buildBody(ageOfKings).bytes, HeaderSpec{.leading = "1.18"}));
    writeFile(given / "camp.cpx", campaign);
    writeFile(given / "broken.scx", broken);
    writeFile(given / fs::path(u8"汉字🙂.scx"), sample);
    write(given / "folder" / "listed.scx", "listed", 2);
    return 0;
} catch (const std::exception& e) {
    std::fprintf(stderr, "make_gui_scenarios: %s\n", e.what());
    return 1;
}
