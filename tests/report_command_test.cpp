// The report command as the dialog runs it: every way it ends, with what it
// shows, what it hands to the viewer and what it leaves in the folder; and
// every failure that the system can report on the way.  (To a stream, as the
// corpus's tests and vantor-report --stdout use it, nothing is written beside
// the scenario: tests/hardening/command_line_test.sh.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <span>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "report/report_command.h"
#include "report/report_file.h"
#include "samples/sample_scenario.h"
#include "scenario/campaign.h"
#include "tests/support/outcomes.h"
#include "tests/support/recording_actions.h"

namespace vantor {
namespace {

using platform::FileSystem;
using platform::Path;
using testing::TempDir;

TEST(ReportCommand, EveryOutcomeShowsItsMessageOnlyReadsTheScenarioAndLeavesNothingBehind) {
    for (const testing::Outcome& outcome : testing::everyOutcome())
        for (const ReportDetail detail : {ReportDetail::standard, ReportDetail::detailed}) {
            SCOPED_TRACE(outcome.name + (detail == ReportDetail::detailed ? ", detailed" : ""));
            TempDir dir;
            testing::prepareFolder(dir, outcome);
            const auto before = testing::snapshot(dir);
            testing::RecordingActions ui;
            ScenarioBody body;
            const bool made = outcome.messages.empty();
            EXPECT_EQ(writeReportFile(dir.file("x.scx"), body, ui, {.detail = detail}), made);
            EXPECT_EQ(ui.messages, outcome.messages);
            EXPECT_EQ(ui.opened, made ? std::vector<Path>{dir.file("x.scx.txt")} : std::vector<Path>{});
            EXPECT_EQ(testing::changesBeyondTheReport(before, testing::snapshot(dir), outcome), "");
            if (made) {
                EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), testing::sampleReport(detail));
            }
        }
}

// A Definitive Edition scenario whose variables' names, behind its triggers,
// are cut short: the standard report is made; the detailed one, which needs
// them, ends in its message before anything is written, and the older report
// stays.
TEST(ReportCommand, ADetailedReportThatCannotReadTheVariablesIsRefusedWhole) {
    testing::DefinitiveSpec spec;
    spec.triggers.resize(1);
    spec.variables = {{0, "name"}};
    testing::Bytes body = testing::buildDefinitiveBody(spec).bytes;
    body.pop_back();
    const testing::Bytes file = testing::buildDefinitiveContainer(body, spec.version);
    for (const ReportDetail detail : {ReportDetail::standard, ReportDetail::detailed}) {
        const bool made = detail == ReportDetail::standard;
        TempDir dir;
        testing::writeFile(dir.file("x.aoe2scenario"), file);
        testing::writeFile(dir.file("x.aoe2scenario.txt"), {'o', 'l', 'd'});
        testing::RecordingActions ui;
        testing::StringSink out;
        ScenarioBody scenario;
        EXPECT_EQ(streamReport(dir.file("x.aoe2scenario"), scenario, ui, out, {.detail = detail}), made);
        EXPECT_EQ(out.bytes.empty(), !made);
        EXPECT_EQ(writeReportFile(dir.file("x.aoe2scenario"), scenario, ui, {.detail = detail}), made);
        const std::vector<Message> refused(2, Message::unreadableBody);
        EXPECT_EQ(ui.messages, made ? std::vector<Message>{} : refused);
        EXPECT_EQ(testing::readText(dir.file("x.aoe2scenario.txt")) == "old", !made);
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.aoe2scenario", "x.aoe2scenario.txt"}));
        // Inside a campaign, the message stands under its heading.
        testing::writeFile(dir.file("c.aoe2campaign"),
                           testing::buildCampaign(200, "c", {{"s", "s.aoe2scenario", file}}));
        out.bytes.clear();
        EXPECT_EQ(streamReport(dir.file("c.aoe2campaign"), scenario, ui, out, {.detail = detail}), made);
        EXPECT_EQ(out.bytes.ends_with("\r\n" + std::string(messageText(Message::unreadableBody)) + "\r\n"), !made);
    }
}

TEST(ReportCommand, JapaneseNamesAreBytesAndRunningTwiceGivesTheSameReport) {
    TempDir dir;
    const std::filesystem::path name = dir.file(u8"シナリオ表.scx");  // in cp932, a 0x5C trail byte in 表
    testing::writeFile(name, testing::sampleFile());
    testing::RecordingActions ui;
    ScenarioBody body;
    ASSERT_TRUE(writeReportFile(name, body, ui));
    ASSERT_TRUE(writeReportFile(name, body, ui));
    EXPECT_EQ(testing::readText(std::filesystem::path(name) += ".txt"), testing::sampleReport());
    EXPECT_EQ(dir.names().size(), 2u);
}

// A campaign of each version: every scenario under its heading, its texts
// as the report writes texts (the Definitive Edition's UTF-8 in cp932); a
// scenario that cannot be reported has its message in its place and is told
// by its file name.  A campaign cut short anywhere is refused whole.
TEST(Campaigns, EachVersionReportsItsScenariosAndACutOneIsRefusedWhole) {
    const std::string rule = std::string(69, '=') + "\r\n";
    const std::string expected = "全シナリオ数：2\r\n\r\n" + rule + "シナリオ 0000：城の戦い\r\nファイル：城.scx\r\n" +
                                 rule + testing::sampleReport() + "\r\n" + rule +
                                 "シナリオ 0001：壊れた\r\nファイル：壊.scx\r\n" + rule + "解凍エラーです\r\n";
    class Bytes final : public ScenarioSource {
    public:
        explicit Bytes(std::span<const std::uint8_t> b) : b_(b) {}
        std::int64_t length() const override { return static_cast<std::int64_t>(b_.size()); }
        std::int64_t readAt(std::int64_t at, void* to, std::size_t n) override {
            n = std::min(n, b_.size() - static_cast<std::size_t>(at));
            std::memcpy(to, b_.data() + at, n);
            return static_cast<std::int64_t>(n);
        }

    private:
        std::span<const std::uint8_t> b_;
    };
    const auto utf8 = [](std::u8string_view s) {
        return std::string(reinterpret_cast<const char*>(s.data()), s.size());
    };
    for (const int version : {100, 110, 200}) {
        SCOPED_TRACE(version);
        const bool cp932 = version == 100;
        const testing::Bytes file = testing::buildCampaign(
            version, cp932 ? "戦役" : utf8(u8"戦役"),
            {{cp932 ? "城の戦い" : utf8(u8"城の戦い"), cp932 ? "城.scx" : utf8(u8"城.scx"), testing::sampleFile()},
             {cp932 ? "壊れた" : utf8(u8"壊れた"), cp932 ? "壊.scx" : utf8(u8"壊.scx"), {1, 2, 3}}});
        TempDir dir;
        testing::writeFile(dir.file("x.cpx"), file);
        testing::RecordingActions ui;
        testing::StringSink out;
        ScenarioBody body;
        EXPECT_FALSE(streamReport(dir.file("x.cpx"), body, ui, out));
        EXPECT_EQ(out.bytes, expected);
        EXPECT_FALSE(writeReportFile(dir.file("x.cpx"), body, ui));
        EXPECT_EQ(testing::readText(dir.file("x.cpx.txt")), expected);
        EXPECT_EQ(ui.opened, std::vector<Path>{dir.file("x.cpx.txt")});
        EXPECT_TRUE(ui.messages.empty());
        const std::pair<std::string, Message> broken{"壊.scx", Message::decompressionFailed};
        EXPECT_EQ(ui.scenarioMessages, (std::vector{broken, broken}));
        // (Shorter than its mark, a "1.10" campaign is read as the scenario of that version it could be.)
        for (std::size_t n = version == 110 ? 10 : 4; n < file.size(); ++n) {
            Bytes cut(std::span<const std::uint8_t>(file).first(n));
            ASSERT_EQ(readCampaignHead(cut).outcome, CampaignOutcome::damaged) << "cut at " << n;
        }
        testing::writeFile(dir.file("x.cpx"), testing::Bytes(file.begin(), file.end() - 1));
        testing::RecordingActions refused;
        EXPECT_FALSE(writeReportFile(dir.file("x.cpx"), body, refused));
        EXPECT_EQ(refused.messages, std::vector{Message::unreadableBody});
    }
    // Scenarios that share bytes, with one another or with the table, are
    // refused whole (each entry of "1.00": 520 bytes from 264, its offset at 4).
    const testing::Bytes two = testing::buildCampaign(
        100, "c", {{"a", "a.scx", testing::sampleFile()}, {"b", "b.scx", testing::sampleFile()}});
    for (const auto& [entry, offset] : {std::pair{1, 264 + 2 * 520}, {0, 300}}) {
        testing::Bytes overlapping = two;
        std::memcpy(overlapping.data() + 264 + 520 * entry + 4, &offset, 4);
        Bytes source(overlapping);
        EXPECT_EQ(readCampaignHead(source).outcome, CampaignOutcome::damaged) << entry;
    }
}

// The system's files, but for the calls chosen to fail, and another
// process's doings at a chosen call: each the first call of an operation on a
// file of a kind (the scenario, x.scx.dat, the partial report), after `skip`
// of them, or the first read at or past `at`.
enum class Call { readAt, entryFacts, targetFacts, createNew, write, shareLike, replace, discard };
struct Failure {
    Call call;
    std::string_view name;
    int skip = 0;
    std::int64_t at = 0;
};

class FailingFiles final : public FileSystem {
public:
    using Meanwhile = std::function<void(const Path&)>;
    explicit FailingFiles(std::vector<Failure> failures, std::optional<Failure> when = {}, Meanwhile meanwhile = {})
        : failures_(std::move(failures)), when_(std::move(when)), meanwhile_(std::move(meanwhile)) {}

    Handle openForReading(const Path& path, bool followLinks) override {
        const Handle h = real_.openForReading(path, followLinks);
        names_[h] = path;
        return h;
    }
    bool facts(Handle f, platform::FileFacts& out) override { return real_.facts(f, out); }
    platform::Lookup entryFacts(const Path& path, platform::FileFacts& out) override {
        return fails(Call::entryFacts, path) ? platform::Lookup::failed : real_.entryFacts(path, out);
    }
    platform::Lookup targetFacts(const Path& path, platform::FileFacts& out) override {
        return fails(Call::targetFacts, path) ? platform::Lookup::failed : real_.targetFacts(path, out);
    }
    std::int64_t readAt(Handle f, std::int64_t offset, void* buffer, std::size_t count) override {
        return fails(Call::readAt, names_[f], offset) ? -1 : real_.readAt(f, offset, buffer, count);
    }
    platform::Locking tryLock(Handle f) override { return real_.tryLock(f); }
    platform::Locking tryLockName(const Path& report, Handle& lock) override { return real_.tryLockName(report, lock); }
    void unlockName(Handle lock) override { real_.unlockName(lock); }
    void close(Handle f) override { real_.close(f); }
    std::vector<Path> namesBeginningWith(const Path& prefix) override { return real_.namesBeginningWith(prefix); }
    platform::Claim claimLeft(const Path& path, Handle& f, platform::FileFacts& facts) override {
        const platform::Claim claim = real_.claimLeft(path, f, facts);
        if (claim == platform::Claim::claimed) names_[f] = path;
        return claim;
    }
    platform::Created createNew(const Path& path, bool deleteOnClose, Handle& f,
                                platform::FileIdentity& identity) override {
        if (fails(Call::createNew, path)) return platform::Created::failed;
        const platform::Created created = real_.createNew(path, deleteOnClose, f, identity);
        names_[f] = path;
        return created;
    }
    bool write(Handle f, const void* data, std::size_t size) override {
        return !fails(Call::write, names_[f]) && real_.write(f, data, size);
    }
    bool shareLike(Handle f, const platform::FileFacts& scenario) override {
        return !fails(Call::shareLike, names_[f]) && real_.shareLike(f, scenario);
    }
    platform::Replaced replace(Handle f, const Path& path, const platform::FileIdentity& identity, const Path& target,
                               platform::FileIdentity& displaced) override {
        if (!fails(Call::replace, path)) return real_.replace(f, path, identity, target, displaced);
        real_.close(f);  // a replacement that fails has closed the file
        return platform::Replaced::failed;
    }
    bool exchangeBack(const Path& path, const Path& target, const platform::FileIdentity& nowAtPath) override {
        return real_.exchangeBack(path, target, nowAtPath);
    }
    bool discard(Handle f, const Path& path, const platform::FileIdentity& identity) override {
        if (!fails(Call::discard, path)) return real_.discard(f, path, identity);
        if (f != noHandle) real_.close(f);  // a removal that fails has closed the file
        return false;
    }
    bool removeEntry(const Path& path, const platform::FileIdentity& identity) override {
        return real_.removeEntry(path, identity);
    }

private:
    static bool matches(Failure& f, Call call, const Path& path, std::int64_t offset) {
        const std::string name = std::filesystem::path(path).filename().string();
        return f.call == call && name.find(f.name) != std::string::npos && offset >= f.at && f.skip-- == 0;
    }
    bool fails(Call call, const Path& path, std::int64_t offset = 0) {
        if (when_ && matches(*when_, call, path, offset)) {
            when_.reset();
            meanwhile_(path);
        }
        for (auto it = failures_.begin(); it != failures_.end(); ++it)
            if (matches(*it, call, path, offset)) {
                failures_.erase(it);
                return true;
            }
        return false;
    }

    FileSystem& real_ = platform::systemFiles();
    std::vector<Failure> failures_;
    std::optional<Failure> when_;
    Meanwhile meanwhile_;
    std::map<Handle, Path> names_;
};

// Whatever the system reports as failed (or cannot tell) ends the run with
// its message; the older report stays as it was, the scenario too, and
// nothing of ours is left.  A campaign whose file fails to be read inside a
// scenario is not reported at all.
TEST(ReportCommand, EveryFailureTheSystemReportsEndsInItsMessage) {
    const std::string scenario = "x.scx", temporary = "x.scx.dat", partial = "x.scx.txt.", report = "x.scx.txt";
    const testing::Bytes campaign = testing::buildCampaign(
        100, "c", {{"a", "a.scx", testing::sampleFile()}, {"b", "b.scx", testing::sampleFile()}});
    const auto second = static_cast<std::int64_t>(campaign.size() - testing::sampleFile().size());
    const struct Case {
        std::vector<Failure> failures;
        std::vector<Message> messages;
        bool isCampaign = false;
    } cases[] = {
        {{{Call::readAt, scenario}}, {Message::openFailed}},
        {{{Call::readAt, scenario, 0, second}}, {Message::openFailed}, true},
        {{{Call::entryFacts, report}}, {Message::createFailed}},
        {{{Call::entryFacts, temporary}}, {Message::createFailed}},
        {{{Call::targetFacts, scenario}}, {Message::openFailed}},
        {{{Call::createNew, temporary}}, {Message::createFailed}},
        {{{Call::write, temporary}}, {Message::createFailed}},
        {{{Call::discard, temporary}}, {Message::removeFailed}},
        {{{Call::createNew, partial}}, {Message::createFailed}},
        {{{Call::shareLike, partial}}, {Message::createFailed}},
        {{{Call::write, partial}}, {Message::createFailed}},
        {{{Call::replace, partial}}, {Message::createFailed}},
        {{{Call::write, partial}, {Call::discard, partial}}, {Message::createFailed, Message::removeFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.failures[0].call)) + " " + std::string(c.failures[0].name));
        TempDir dir;
        testing::writeFile(dir.file("x.scx"), c.isCampaign ? campaign : testing::sampleFile());
        testing::writeFile(dir.file("x.scx.txt"), {'o', 'l', 'd'});
        FailingFiles files(c.failures);
        testing::RecordingActions ui;
        ScenarioBody body;
        EXPECT_FALSE(writeReportFile(dir.file("x.scx"), body, ui, {}, files));
        EXPECT_EQ(ui.messages, c.messages);
        EXPECT_TRUE(ui.opened.empty());
        EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), "old");
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    }
#ifndef _WIN32
    // The older report, exchanged with the new one, cannot be removed: the
    // new report stands, and the run says what is left.
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::sampleFile());
    testing::writeFile(dir.file("x.scx.txt"), {'o', 'l', 'd'});
    FailingFiles files({{Call::discard, partial}});
    testing::RecordingActions ui;
    ScenarioBody body;
    EXPECT_FALSE(writeReportFile(dir.file("x.scx"), body, ui, {}, files));
    EXPECT_EQ(ui.messages, std::vector{Message::removeFailed});
    EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), testing::sampleReport());
#endif
}

// What another process does beside a run, at the moment the run makes a
// call: the report left at the report's name is always that of the file at
// the scenario's name, and never a file that the run did not write.
TEST(ReportCommand, WhatOthersDoMeanwhileNeverLeavesAnOlderOrForeignReport) {
    const testing::Bytes newer = testing::buildContainer(testing::buildBody(testing::BodySpec{}).bytes);
    std::string newerReport;
    {
        TempDir dir;
        testing::writeFile(dir.file("n.scx"), newer);
        testing::RecordingActions ui;
        ScenarioBody body;
        ASSERT_TRUE(writeReportFile(dir.file("n.scx"), body, ui));
        newerReport = testing::readText(dir.file("n.scx.txt"));
    }
    const std::string partial = "x.scx.txt.", report = "x.scx.txt";
    // The newer file saved by rename (and reported by a run of its own), the
    // scenario rewritten in place, a file renamed over ours.
    enum class Others { save, saveAndReport, rewrite, renameOver };
    struct Case {
        const char* what;
        Failure when;
        Others others;
        std::vector<Message> messages;
        std::string left;  // at the report's name
    };
#ifdef _WIN32
    const std::string olderAfterUndo;  // a rename there replaces the older report for good
    // An open file of ours cannot be renamed over there: the report is made.
    const std::vector<Message> swapped;
    const std::string afterSwap = testing::sampleReport();
#else
    const std::string olderAfterUndo = "old";
    const std::vector<Message> swapped = {Message::createFailed};
    const std::string afterSwap = "old";
#endif
    std::vector<Case> cases = {
        {"rewritten in place as the report is put in place",
         {Call::replace, partial},
         Others::rewrite,
         {Message::scenarioReplaced},
         olderAfterUndo},
        {"a file renamed over the partial report", {Call::replace, partial}, Others::renameOver, swapped, afterSwap},
    };
#ifndef _WIN32  // there a file that is open cannot be replaced by rename
    cases.push_back({"saved anew before the report is put in place",
                     {Call::replace, partial},
                     Others::save,
                     {Message::scenarioReplaced},
                     "old"});
    cases.push_back({"saved anew and reported as the report is put in place",
                     {Call::entryFacts, report, 1},
                     Others::saveAndReport,
                     {Message::scenarioReplaced},
                     newerReport});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        testing::writeFile(dir.file("x.scx"), testing::sampleFile());
        testing::writeFile(dir.file("x.scx.txt"), {'o', 'l', 'd'});
        std::future<bool> newerRun;
        testing::RecordingActions newerUi;
        std::string planted;
        FailingFiles files({}, c.when, [&](const Path& at) {
            if (c.others == Others::renameOver) {  // where the system lets anyone rename it
                testing::writeFile(dir.file("foreign"), {'f'});
                std::error_code refused;
                std::filesystem::rename(dir.file("foreign"), at, refused);
                planted = (refused ? dir.file("foreign") : std::filesystem::path(at)).filename().string();
                return;
            }
            if (c.others == Others::rewrite) {  // the same file, one byte longer
                std::ofstream(dir.file("x.scx"), std::ios::binary | std::ios::in | std::ios::ate).put('\0');
                return;
            }
            testing::writeFile(dir.file("new.scx"), newer);
            std::filesystem::rename(dir.file("new.scx"), dir.file("x.scx"));
            if (c.others == Others::saveAndReport) {
                newerRun = std::async(std::launch::async, [&] {
                    ScenarioBody newerBody;
                    return writeReportFile(dir.file("x.scx"), newerBody, newerUi);
                });
                static_cast<void>(newerRun.wait_for(std::chrono::milliseconds(500)));  // it waits its turn
            }
        });
        testing::RecordingActions ui;
        ScenarioBody body;
        EXPECT_EQ(writeReportFile(dir.file("x.scx"), body, ui, {}, files), c.messages.empty());
        EXPECT_EQ(ui.messages, c.messages);
        if (newerRun.valid()) {
            EXPECT_TRUE(newerRun.get());
            EXPECT_TRUE(newerUi.messages.empty());
        }
        if (c.left.empty()) {
            EXPECT_FALSE(std::filesystem::exists(dir.file("x.scx.txt")));
        } else {
            EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), c.left);
        }
        std::vector<std::string> names = {"x.scx"};
        if (!c.left.empty()) names.push_back("x.scx.txt");
        if (!planted.empty()) names.push_back(planted);  // another's file stays
        std::sort(names.begin(), names.end());
        EXPECT_EQ(dir.names(), names);
    }
}

// A file at the temporary name that a run at work holds (here one of the
// product's own) stays as it is, even when it holds this very body: the run
// takes a name of its own and makes its report.
TEST(ReportCommand, ARunAtWorkKeepsItsTemporaryFile) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::sampleFile());
    const testing::Bytes body = testing::buildBody(testing::sampleScenario()).bytes;
    TemporaryFile atWork(platform::systemFiles(), dir.file("x.scx.dat"));
    ASSERT_TRUE(atWork.keep(body));
    testing::RecordingActions ui;
    ScenarioBody extracted;
    EXPECT_TRUE(writeReportFile(dir.file("x.scx"), extracted, ui));
    EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), testing::sampleReport());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.dat", "x.scx.txt"}));
#ifndef _WIN32  // there it is open to its holder alone
    EXPECT_EQ(testing::readFile(dir.file("x.scx.dat")), body);
#endif
    EXPECT_TRUE(atWork.remove());
}

#ifndef _WIN32
// The partial report can be opened by its owner alone until it has the
// scenario's group and permission bits, and has them before its first byte.
TEST(ReportCommand, NoOneReadsThePartialReportWhoCannotReadTheScenario) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::sampleFile());
    std::filesystem::permissions(dir.file("x.scx"), std::filesystem::perms(0640));
    std::vector<unsigned> modes;
    const auto modeAt = [&modes](const Path& path) {
        struct stat status {};
        modes.push_back(::stat(path.c_str(), &status) == 0 ? status.st_mode & 0777 : 01000);
    };
    FailingFiles atShare({}, Failure{Call::shareLike, "x.scx.txt."}, modeAt);
    FailingFiles atWrite({}, Failure{Call::write, "x.scx.txt."}, modeAt);
    for (FileSystem* files : {static_cast<FileSystem*>(&atShare), static_cast<FileSystem*>(&atWrite)}) {
        testing::RecordingActions ui;
        ScenarioBody body;
        EXPECT_TRUE(writeReportFile(dir.file("x.scx"), body, ui, {}, *files));
    }
    EXPECT_EQ(modes, (std::vector<unsigned>{0600, 0640}));
}
#endif

}  // namespace
}  // namespace vantor
