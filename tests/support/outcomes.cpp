#include "tests/support/outcomes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "report/trigger_report.h"
#include "samples/sample_scenario.h"

namespace vantor::testing {

Bytes sampleFile() { return buildContainer(buildBody(sampleScenario()).bytes); }

std::string sampleReport() {
    const Bytes body = buildBody(sampleScenario()).bytes;
    ReportBuffer out;
    static_cast<void>(buildTriggerReport(body, out));
    return std::string(out.view());
}

std::vector<Outcome> everyOutcome() {
    const auto fileOf = [](void (*change)(BodySpec&)) {
        BodySpec spec;
        change(spec);
        return buildContainer(buildBody(spec).bytes);
    };
    const Bytes good = sampleFile();
    Bytes cut = good;
    cut.resize(cut.size() - 30);
    Bytes badHeader = good;
    badHeader[7] = 0x80;  // a negative header length

    namespace fs = std::filesystem;
    const auto folderAt = [](const char* name) {
        return [name](const TempDir& dir) {
            fs::remove(dir.path() / name);
            fs::create_directory(dir.path() / name);
        };
    };
    const auto fileAt = [](const char* name) {
        return [name](const TempDir& dir) { writeFile(dir.file(name), {'d'}); };
    };

    std::vector<Outcome> all = {
        {"report", good, {}, {}},
        {"empty file", {}, {Message::decompressionFailed}, {}},
        {"short file", {'1', '.', '2', '1', 0}, {Message::decompressionFailed}, {}},
        {"negative header length", badHeader, {Message::decompressionFailed}, {}},
        {"cut-short stream", cut, {Message::decompressionFailed}, {}},
        {"empty stream", buildContainer({}), {Message::decompressionFailed}, {}},
        {"another version", fileOf([](BodySpec& s) { s.version = 1.10f; }), {Message::unsupportedVersion}, {}},
        {"background image", fileOf([](BodySpec& s) { s.imageFlag = 1; }), {Message::backgroundImage}, {}},
        {"unreadable body", fileOf([](BodySpec& s) { s.triggerCount = 3; }), {Message::unreadableBody}, {}},
        {"missing scenario", good, {Message::openFailed}, [](const TempDir& dir) { fs::remove(dir.path() / "x.scx"); }},
        {"folder named like the scenario", good, {Message::openFailed}, folderAt("x.scx")},
        {"report file cannot be replaced", good, {Message::createFailed}, folderAt("x.scx.txt")},
        {"temporary file cannot be created", good, {Message::createFailed}, folderAt("x.scx.dat")},
#ifdef _WIN32
        // Our own temporary file goes with its handle: anything at its name is
        // someone else's.
        {"file at the temporary name", good, {Message::createFailed}, fileAt("x.scx.dat")},
#else
        // A stale file of ours (regular, ours, one name) is replaced.
        {"stale temporary file", good, {}, fileAt("x.scx.dat"), false, true},
#endif
    };
#ifndef _WIN32
    // Links planted by another user of the folder, to files of the victim's.
    const auto linkAt = [](const char* name, const char* target) {
        return [name, target](const TempDir& dir) {
            fs::remove(dir.path() / name);
            fs::create_symlink(dir.path() / target, dir.path() / name);
        };
    };
    const std::vector<Outcome> posix = {
        {"link at the report", good, {}, linkAt("x.scx.txt", "guarded")},
        {"link at the temporary file", good, {Message::createFailed}, linkAt("x.scx.dat", "guarded")},
        {"link at the temporary file to the scenario", good, {Message::createFailed}, linkAt("x.scx.dat", "x.scx")},
        {"dangling link at the temporary file", good, {Message::createFailed}, linkAt("x.scx.dat", "missing")},
        {"unreadable scenario",
         good,
         {Message::openFailed},
         [](const TempDir& dir) { ::chmod(dir.file("x.scx").c_str(), 0); },
         true},
        {"folder without write permission",
         good,
         {Message::createFailed},
         [](const TempDir& dir) { ::chmod(dir.path().c_str(), 0555); },
         true},
    };
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
        else if (::access(entry.path().string().c_str(), R_OK) != 0)
            out[name] = "unreadable";
        else {
            const Bytes b = readFile(entry.path().string());
            out[name] = std::string(b.begin(), b.end());
        }
    }
    return out;
}

std::string changesBeyondTheReport(std::map<std::string, std::string> before, std::map<std::string, std::string> after,
                                   const Outcome& outcome) {
    if (outcome.messages.empty()) after["x.scx.txt"] = before["x.scx.txt"];
    if (outcome.removesTemporary) before.erase("x.scx.dat");
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
