#include "tests/support/outcomes.h"

#include <cstring>
#include <filesystem>

#include "samples/sample_scenario.h"

namespace vantor::testing {

Bytes sampleFile() { return buildContainer(buildBody(sampleScenario()).bytes); }

std::string sampleReport(ReportDetail detail) {
    return readText(detail == ReportDetail::standard ? VANTOR_SAMPLE_REPORT : VANTOR_SAMPLE_DETAILED_REPORT);
}

std::vector<Outcome> everyOutcome() {
    const auto fileOf = [](void (*change)(BodySpec&), Layout layout = Layout::fixed, float version = 1.22f,
                           std::size_t at = 0, std::int64_t value = 0) {  // 8 stored bytes at `at` from the map step
        BodySpec spec;
        spec.layout = layout;
        spec.version = version;
        change(spec);
        BuiltBody built = buildBody(spec);
        if (at) std::memcpy(built.bytes.data() + built.mapStepOffset + at, &value, 8);
        return buildContainer(built.bytes, HeaderSpec{.leading = version <= 1.20f ? "1.18" : "1.21"});
    };
    const auto same = [](BodySpec&) {};
    Bytes headerPastTheEnd = buildContainer({1, 2, 3}, HeaderSpec{3, false, std::string(200, 'd')});
    headerPastTheEnd.resize(100);
    const auto definitive = [](int version) {
        DefinitiveSpec spec;
        spec.version = version;
        return buildDefinitiveContainer(buildDefinitiveBody(spec).bytes, version);
    };
    const auto stored = Layout::stored;

    const Bytes good = sampleFile();
    Bytes cut = good;
    cut.resize(cut.size() - 30);
    Bytes badHeader = good;
    badHeader[7] = 0x80;  // a negative header length

    namespace fs = std::filesystem;
    const auto folderAt = [](const char* name) {
        return [name](const TempDir& dir) { fs::remove(dir.path() / name), fs::create_directory(dir.path() / name); };
    };
    const auto fileAt = [](const char* name, Bytes bytes = {'d'}) {
        return [name, bytes](const TempDir& dir) { writeFile(dir.file(name), bytes); };
    };
    const Bytes sampleBody = buildBody(sampleScenario()).bytes;
    const auto hardLinkAt = [](const char* name) {
        return [name](const TempDir& dir) {
            fs::remove(dir.file(name)), fs::create_hard_link(dir.file("x.scx"), dir.file(name));
        };
    };

    // clang-format off
    std::vector<Outcome> all = {
        {"report", good, {}, {}},
        {"empty file", {}, {Message::decompressionFailed}, {}},
        {"short file", {'1', '.', '2', '1', 0}, {Message::decompressionFailed}, {}},
        {"negative header length", badHeader, {Message::decompressionFailed}, {}},
        {"cut-short stream", cut, {Message::decompressionFailed}, {}},
        {"empty stream", buildContainer({}), {Message::decompressionFailed}, {}},
        {"header past the end of the file", headerPastTheEnd, {Message::decompressionFailed}, {}},
        {"another version", fileOf([](BodySpec& s) { s.version = 1.10f; }), {Message::unsupportedVersion}, {}},
        {"container of another game", buildContainer(good, HeaderSpec{.leading = "1.11"}), {Message::unsupportedVersion}, {}},
        // Parts that do not stand where the version puts them (no -99 behind the first).
        {"misplaced parts of 1.24", fileOf(same, stored, 1.24f, 16, 0), {Message::unsupportedVersion}, {}},
        {"older trigger records", fileOf([](BodySpec& s) { s.triggerVersion = 1.4; }, stored, 1.20f), {Message::unsupportedVersion}, {}},
        {"newer trigger records", fileOf([](BodySpec& s) { s.triggerVersion = 1.8; }, stored, 1.24f), {Message::unsupportedVersion}, {}},
        {"DE 1.50", definitive(150), {Message::unsupportedVersion}, {}},
        {"DE 1.59", definitive(159), {Message::unsupportedVersion}, {}},
        {"DE 1.34", definitive(134), {Message::unsupportedVersion}, {}},
        {"background image", fileOf([](BodySpec& s) { s.imageFlag = 1; }), {Message::backgroundImage}, {}},
        {"unreadable body", fileOf([](BodySpec& s) { s.triggerCount = 3; }), {Message::unreadableBody}, {}},
        {"huge trigger count", fileOf([](BodySpec& s) { s.triggerCount = 0x7FFFFFFF, s.triggers.resize(3); }), {Message::unreadableBody}, {}},
        {"huge effect count", fileOf([](BodySpec& s) { s.triggers.resize(1), s.triggers[0].effectCount = 0x7FFFFFFF; }), {Message::unreadableBody}, {}},
        {"huge condition count", fileOf([](BodySpec& s) { s.triggers.resize(1), s.triggers[0].conditionCount = 1 << 30; }), {Message::unreadableBody}, {}},
        {"map dimension of no map", fileOf(same, Layout::fixed, 1.22f, 18464, 30000), {Message::unreadableBody}, {}},
        {"map sides of no map", fileOf(same, stored, 1.24f, 18548, 0x7FFFFFFF7FFFFFFF), {Message::unreadableBody}, {}},
        {"negative map side", fileOf(same, stored, 1.24f, 18548, 0x5FFFFFFFF), {Message::unreadableBody}, {}},
        {"missing scenario", good, {Message::openFailed}, [](const TempDir& dir) { fs::remove(dir.path() / "x.scx"); }},
        {"folder named like the scenario", good, {Message::openFailed}, folderAt("x.scx")},
        {"report file cannot be replaced", good, {Message::createFailed}, folderAt("x.scx.txt")},
        {"temporary file cannot be created", good, {Message::createFailed}, folderAt("x.scx.dat")},
        // Only a piece of this very body that a run of ours left is removed.
        {"a file of the user at the temporary name", good, {Message::createFailed}, fileAt("x.scx.dat")},
#ifndef _WIN32  // there our temporary files go with their handles: none is ever left
        {"stale temporary file", good, {}, fileAt("x.scx.dat", Bytes(sampleBody.begin(), sampleBody.begin() + 3000)), "x.scx.dat"},
        // A partial report that a killed run left; beside it a file that is no report stays.
        {"partial report left", good, {}, [](const TempDir& dir) {
             writeFile(dir.file("x.scx.txt.abc123"), {0x91, 0x53, 0x83}), writeFile(dir.file("x.scx.txt.abc124"), {'n'});
         }, "x.scx.txt.abc123"},
#endif
        // This body's start under a second name is someone's: it stays.
        {"piece of this body with a second name at the temporary name", good, {Message::createFailed}, [sampleBody](const TempDir& dir) {
             writeFile(dir.file("x.scx.dat"), Bytes(sampleBody.begin(), sampleBody.begin() + 3000));
             fs::create_hard_link(dir.file("x.scx.dat"), dir.file("second"));
         }},
        // The scenario itself under the report's or the temporary file's name.
        {"report name of the scenario", good, {Message::scenarioInTheWay}, hardLinkAt("x.scx.txt")},
        {"temporary name of the scenario", good, {Message::scenarioInTheWay}, hardLinkAt("x.scx.dat")},
    };
#ifndef _WIN32
    // Links planted by another user of the folder, to files of the victim's.
    const auto linkAt = [](const char* name, const char* target) {
        return [name, target](const TempDir& dir) {
            fs::remove(dir.path() / name), fs::create_symlink(dir.path() / target, dir.path() / name);
        };
    };
    const auto linkedScenarioAt = [good](const char* name) {
        return [good, name](const TempDir& dir) {
            writeFile(dir.file(name), good), fs::remove(dir.file("x.scx")), fs::create_symlink(name, dir.file("x.scx"));
        };
    };
    const std::vector<Outcome> posix = {
        {"link at the report", good, {}, linkAt("x.scx.txt", "guarded")},
        {"link at the temporary file", good, {Message::createFailed}, linkAt("x.scx.dat", "guarded")},
        {"link at the temporary file to the scenario", good, {Message::createFailed}, linkAt("x.scx.dat", "x.scx")},
        {"dangling link at the temporary file", good, {Message::createFailed}, linkAt("x.scx.dat", "missing")},
        {"dangling link as the scenario", good, {Message::openFailed}, linkAt("x.scx", "gone.scx")},
        {"scenario through a link", good, {}, linkedScenarioAt("real.scx")},
        // A scenario reached through a link whose report or temporary name is the scenario.
        {"scenario at its own report name", good, {Message::scenarioInTheWay}, linkedScenarioAt("x.scx.txt")},
        {"scenario at its own temporary name", good, {Message::scenarioInTheWay}, linkedScenarioAt("x.scx.dat")},
    };
    // clang-format on
    all.insert(all.end(), posix.begin(), posix.end());
#endif
    return all;
}

void prepareFolder(const TempDir& dir, const Outcome& outcome) {
    writeFile(dir.file("x.scx"), outcome.scenario);
    writeFile(dir.file("x.scx.txt"), {'o', 'l', 'd'});
    writeFile(dir.file("y.scx"), sampleFile());
    writeFile(dir.file("y.scx.txt"), {'y'});
    writeFile(dir.file("y.scx.dat"), {'d'});
    writeFile(dir.file("guarded"), {'g'});
    if (outcome.prepare) outcome.prepare(dir);
}

std::map<std::string, std::string> snapshot(const TempDir& dir) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink())
            out[name] = "link to " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            out[name] = "folder";
        else
            out[name] = readText(entry.path().string());
    }
    return out;
}

std::string changesBeyondTheReport(std::map<std::string, std::string> before, std::map<std::string, std::string> after,
                                   const Outcome& outcome) {
    if (outcome.messages.empty()) after["x.scx.txt"] = before["x.scx.txt"];
    if (!outcome.removes.empty()) before.erase(outcome.removes);
    for (const auto& [name, content] : before) {
        const auto found = after.find(name);
        if (found == after.end()) return name + " is gone";
        if (found->second != content) return name + " changed";
    }
    for (const auto& entry : after)
        if (!before.contains(entry.first)) return entry.first + " appeared";
    return {};
}

}  // namespace vantor::testing
