// The report command as the dialog runs it: every way it ends, with what it
// shows, what it hands to the viewer and what it leaves in the folder; and
// every failure that the system can report on the way.  (To a stream, as the
// corpus's tests and vantor-report --stdout use it, nothing is written beside
// the scenario: tests/hardening/command_line_test.sh.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <span>

#include "report/report_command.h"
#include "scenario/campaign.h"
#include "tests/support/outcomes.h"
#include "tests/support/recording_actions.h"

namespace vantor {
namespace {

using platform::FileSystem;
using platform::Path;
using testing::TempDir;

TEST(ReportCommand, EveryOutcomeShowsItsMessageOnlyReadsTheScenarioAndLeavesNothingBehind) {
    for (const testing::Outcome& outcome : testing::everyOutcome()) {
        SCOPED_TRACE(outcome.name);
        TempDir dir;
        testing::prepareFolder(dir, outcome);
        const auto before = testing::snapshot(dir);
        testing::RecordingActions ui;
        ScenarioBody body;
        const bool made = outcome.messages.empty();
        EXPECT_EQ(writeReportFile(dir.file("x.scx"), body, ui), made);
        EXPECT_EQ(ui.messages, outcome.messages);
        EXPECT_EQ(ui.opened, made ? std::vector<Path>{dir.file("x.scx.txt")} : std::vector<Path>{});
        EXPECT_EQ(testing::changesBeyondTheReport(before, testing::snapshot(dir), outcome), "");
        if (made) {
            EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), testing::sampleReport());
        }
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

// The system's files, but for the calls chosen to fail: the first call of an
// operation on a file of a kind (the scenario, x.scx.dat, the partial report).
enum class Call { readAt, createNew, write, restrictLike, finish, replace, discard };

class FailingFiles final : public FileSystem {
public:
    explicit FailingFiles(std::vector<std::pair<Call, std::string>> failures) : failures_(std::move(failures)) {}

    Handle openForReading(const Path& path, bool followLinks) override {
        const Handle h = real_.openForReading(path, followLinks);
        names_[h] = path;
        return h;
    }
    bool facts(Handle f, platform::FileFacts& out) override { return real_.facts(f, out); }
    bool entryFacts(const Path& path, platform::FileFacts& out) override { return real_.entryFacts(path, out); }
    bool targetFacts(const Path& path, platform::FileFacts& out) override { return real_.targetFacts(path, out); }
    std::int64_t readAt(Handle f, std::int64_t offset, void* buffer, std::size_t count) override {
        return fails(Call::readAt, names_[f]) ? -1 : real_.readAt(f, offset, buffer, count);
    }
    bool tryLock(Handle f) override { return real_.tryLock(f); }
    void close(Handle f) override { real_.close(f); }
    platform::Created createNew(const Path& path, unsigned permissions, bool deleteOnClose, Handle& f) override {
        if (fails(Call::createNew, path)) return platform::Created::failed;
        const platform::Created created = real_.createNew(path, permissions, deleteOnClose, f);
        names_[f] = path;
        return created;
    }
    bool write(Handle f, const void* data, std::size_t size) override {
        return !fails(Call::write, names_[f]) && real_.write(f, data, size);
    }
    bool restrictLike(Handle f, const platform::FileFacts& scenario) override {
        return !fails(Call::restrictLike, names_[f]) && real_.restrictLike(f, scenario);
    }
    bool finish(Handle f) override {
        const bool closed = real_.finish(f);  // the file is closed either way
        return !fails(Call::finish, names_[f]) && closed;
    }
    bool replace(const Path& ours, const Path& target) override {
        return !fails(Call::replace, ours) && real_.replace(ours, target);
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
    bool fails(Call call, const Path& path) {
        const std::string name = std::filesystem::path(path).filename().string();
        for (auto it = failures_.begin(); it != failures_.end(); ++it)
            if (it->first == call && name.find(it->second) != std::string::npos) {
                failures_.erase(it);
                return true;
            }
        return false;
    }

    FileSystem& real_ = platform::systemFiles();
    std::vector<std::pair<Call, std::string>> failures_;
    std::map<Handle, Path> names_;
};

// Whatever the system reports as failed ends the run with its message; the
// older report stays as it was, the scenario too, and nothing of ours is left.
TEST(ReportCommand, EveryFailureTheSystemReportsEndsInItsMessage) {
    const std::string scenario = "x.scx", temporary = "x.scx.dat", partial = "x.scx.txt.";
    const struct Case {
        std::vector<std::pair<Call, std::string>> failures;
        std::vector<Message> messages;
    } cases[] = {
        {{{Call::readAt, scenario}}, {Message::openFailed}},
        {{{Call::createNew, temporary}}, {Message::createFailed}},
        {{{Call::write, temporary}}, {Message::createFailed}},
        {{{Call::discard, temporary}}, {Message::removeFailed}},
        {{{Call::createNew, partial}}, {Message::createFailed}},
        {{{Call::restrictLike, partial}}, {Message::createFailed}},
        {{{Call::write, partial}}, {Message::createFailed}},
        {{{Call::finish, partial}}, {Message::createFailed}},
        {{{Call::replace, partial}}, {Message::createFailed}},
        {{{Call::write, partial}, {Call::discard, partial}}, {Message::createFailed, Message::removeFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.failures[0].first)) + " " + c.failures[0].second);
        TempDir dir;
        testing::writeFile(dir.file("x.scx"), testing::sampleFile());
        testing::writeFile(dir.file("x.scx.txt"), {'o', 'l', 'd'});
        FailingFiles files(c.failures);
        testing::RecordingActions ui;
        ScenarioBody body;
        EXPECT_FALSE(writeReportFile(dir.file("x.scx"), body, ui, {}, files));
        EXPECT_EQ(ui.messages, c.messages);
        EXPECT_TRUE(ui.opened.empty());
        EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), "old");
        EXPECT_EQ(testing::readFile(dir.file("x.scx")), testing::sampleFile());
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    }
}

}  // namespace
}  // namespace vantor
