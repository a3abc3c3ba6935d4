#include "tests/hardening/scenarios.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>

#include <filesystem>

namespace vantor::hardening {

using testing::BodySpec;

Bytes reportableBody() {
    BodySpec spec;
    testing::Trigger t;
    t.name = "砦を守れ";
    t.description = "一行目\r\n二行目\n三行目";
    t.objective = 1;
    testing::Effect tribute;
    tribute.type = 5;
    tribute.set(1, 100).set(2, 3).set(7, 1).set(8, 2);
    testing::Effect shown;
    shown.type = 20;
    shown.text = "表示する文";
    t.effects = {tribute, shown};
    testing::Condition owns;
    owns.type = 3;
    owns.set(0, 5).set(4, 83).set(5, 1);
    t.conditions = {owns};
    spec.triggers = {t, testing::Trigger{}};
    return testing::buildBody(spec).bytes;
}

Bytes reportableScenario() { return testing::buildContainer(reportableBody()); }

Bytes bulkyBody() {
    BodySpec spec;
    testing::Trigger t;
    testing::Effect bare;
    bare.type = 14;
    bare.fields.clear();
    t.effects.assign(6000, bare);
    spec.triggers = {t};
    return testing::buildBody(spec).bytes;
}

std::vector<Outcome> everyOutcome() {
    BodySpec image;
    image.imageFlag = 1;
    BodySpec version;
    version.version = 1.10f;
    BodySpec unreadable;
    unreadable.triggerCount = 3;
    const Bytes versionFile = testing::buildContainer(testing::buildBody(version).bytes);
    const Bytes imageFile = testing::buildContainer(testing::buildBody(image).bytes);
    const Bytes unreadableFile = testing::buildContainer(testing::buildBody(unreadable).bytes);
    const Bytes good = reportableScenario();
    Bytes cut = good;
    cut.resize(cut.size() - 30);
    Bytes badHeader = good;
    badHeader[7] = 0x80;  // a negative header length

    const auto folderAt = [](const char* name) {
        return [name](const testing::TempDir& dir) { std::filesystem::create_directory(dir.path() / name); };
    };
    const auto fullDiskAt = [](const char* name) {
        return [name](const testing::TempDir& dir) { std::filesystem::create_symlink("/dev/full", dir.path() / name); };
    };

    const auto reportFolder = [](const testing::TempDir& dir) {
        std::filesystem::remove(dir.path() / "x.scx.txt");
        std::filesystem::create_directory(dir.path() / "x.scx.txt");
    };

    return {
        {"report", good, {}, true, {}},
        {"empty file", {}, {Message::decompressionFailed}, false, {}},
        {"short file", {'1', '.', '2', '1', 0}, {Message::decompressionFailed}, false, {}},
        {"negative header length", badHeader, {Message::decompressionFailed}, false, {}},
        {"cut-short stream", cut, {Message::decompressionFailed}, true, {}},
        {"empty stream", testing::buildContainer({}), {Message::decompressionFailed}, true, {}},
        {"another version", versionFile, {Message::unsupportedVersion}, true, {}},
        {"background image", imageFile, {Message::backgroundImage}, true, {}},
        {"unreadable body", unreadableFile, {Message::unreadableBody}, true, {}},
        {"report file cannot be written", good, {Message::createFailed}, true, folderAt("x.scx.txt.tmp")},
        {"report file cannot be replaced", good, {Message::createFailed}, true, reportFolder},
        {"disk full", good, {Message::createFailed}, true, fullDiskAt("x.scx.txt.tmp")},
        {"temporary file cannot be created", good, {Message::createFailed}, false, folderAt("x.scx.dat")},
    };
}

void prepareFolder(const testing::TempDir& dir, const Outcome& outcome) {
    testing::writeFile(dir.file("x.scx"), outcome.scenario);
    testing::writeFile(dir.file("x.scx.txt"), Bytes{'o', 'l', 'd'});
    testing::writeFile(dir.file("y.scx"), reportableScenario());
    testing::writeFile(dir.file("y.scx.txt"), Bytes{'y'});
    testing::writeFile(dir.file("y.scx.dat"), Bytes{'d'});
    if (outcome.prepare) outcome.prepare(dir);
}

bool isOwnName(const std::string& name) {
    return name == "x.scx" || name == "x.scx.dat" || name == "x.scx.txt" || name == "x.scx.txt.tmp";
}

bool checkFolderEvents(const std::vector<FileWatch::Event>& events, bool reportMade) {
    bool temporaryMade = false;
    for (const auto& e : events) {
        EXPECT_TRUE(isOwnName(e.name)) << e.name << " touched";
        EXPECT_FALSE(!reportMade && e.name == "x.scx.txt" && isChange(e.mask)) << std::hex << e.mask;
        temporaryMade = temporaryMade || (e.name == "x.scx.dat" && (e.mask & IN_CREATE));
    }
    return temporaryMade;
}

std::map<std::string, std::string> snapshot(const testing::TempDir& dir) {
    std::map<std::string, std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink())
            out[name] = "link to " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            out[name] = "folder";
        else {
            const Bytes b = testing::readFile(entry.path().string());
            out[name] = std::string(b.begin(), b.end());
        }
    }
    return out;
}

std::string changesBeyondTheReport(std::map<std::string, std::string> before, std::map<std::string, std::string> after,
                                   bool reportMade) {
    if (reportMade) after["x.scx.txt"] = before["x.scx.txt"];
    const auto scratch = before.find("x.scx.txt.tmp");
    if (scratch != before.end() && scratch->second.rfind("link to ", 0) == 0) before.erase(scratch);
    for (const auto& [name, content] : before) {
        const auto found = after.find(name);
        if (found == after.end()) return name + " is gone";
        if (found->second != content) return name + " changed";
    }
    for (const auto& entry : after)
        if (!before.contains(entry.first)) return entry.first + " appeared";
    return {};
}

}  // namespace vantor::hardening
