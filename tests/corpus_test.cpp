// Real scenario files, made by the game's editor and by others.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "report/names.h"
#include "report/trigger_report.h"
#include "scenario/extract.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

struct CorpusReport {
    bool reported = false;
    std::vector<Message> messages;
    std::string text;
};

CorpusReport reportOf(const std::string& name) {
    const std::filesystem::path source = std::filesystem::path(VANTOR_CORPUS_DIR) / name;
    if (!std::filesystem::exists(source)) return {};
    // Reported from a copy, so that nothing is ever written beside the originals.
    testing::TempDir dir;
    testing::writeFile(dir.file(name), testing::readFile(source.string()));
    testing::RecordingActions ui;
    ScenarioBody body;
    CorpusReport r;
    r.reported = runReportCommand(dir.file(name), body, ui);
    r.messages = ui.messages;
    if (r.reported) {
        const testing::Bytes b = testing::readFile(dir.file(name + ".txt"));
        r.text.assign(b.begin(), b.end());
    }
    EXPECT_EQ(testing::readFile(dir.file(name)), testing::readFile(source.string()));
    return r;
}

std::size_t countLines(const std::string& text, const std::string& start) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find("\r\n" + start, at)) != std::string::npos; at += 2) ++n;
    return n;
}

bool haveCorpus() { return std::filesystem::exists(std::filesystem::path(VANTOR_CORPUS_DIR) / "FACTS.md"); }

#define SKIP_WITHOUT_CORPUS() \
    if (!haveCorpus()) GTEST_SKIP() << "corpus not found at " << VANTOR_CORPUS_DIR

// A trigger of the report: its three flag columns, and the names of its
// effect and condition types in stored order.
struct ReportedTrigger {
    std::string flags;
    std::vector<std::string> effects;
    std::vector<std::string> conditions;
};

std::vector<ReportedTrigger> firstTriggers(const std::string& text, std::size_t count) {
    std::vector<ReportedTrigger> triggers;
    std::size_t at = text.find("\r\n0000 ");
    while (at != std::string::npos && triggers.size() < count) {
        const std::size_t end = text.find("\r\n", at + 2);
        const std::string line = text.substr(at + 2, end - at - 2);
        const std::size_t columns = 8 + 1 + 6 + 1 + 6;
        triggers.push_back({line.substr(line.size() - 11 - columns, columns), {}, {}});
        at = text.find("\r\n", end + 2);  // behind the description
        while (text.compare(at, 8, "\r\n    ：") == 0) at = text.find("\r\n", at + 2);
        const std::pair<std::string, std::vector<std::string>*> records[] = {
            {"\r\n  効果 ", &triggers.back().effects}, {"\r\n  条件 ", &triggers.back().conditions}};
        for (const auto& [lead, names] : records) {
            while (text.compare(at, lead.size(), lead) == 0) {
                const std::size_t name = text.find(':', at) + 1;
                const std::size_t stop = std::min(text.find("\r\n", name), text.find(" (", name));
                names->push_back(text.substr(name, stop - name));
                at = text.find("\r\n", at + 2);
            }
        }
        at = text.find("\r\n\r\n", at);
        if (at != std::string::npos) at += 2;
    }
    return triggers;
}

struct FirstTrigger {
    std::string flags;  // the start of the flag columns
    std::vector<std::int32_t> effects;
    std::vector<std::int32_t> conditions;
};

struct CorpusFile {
    std::string name;
    std::optional<Message> refusal;
    std::size_t triggers = 0, effects = 0, conditions = 0;
    std::vector<FirstTrigger> first;
    int definitive = 0;  // the Definitive Edition's body version, whose type names the report uses
};

// As FACTS.md in the corpus folder gives them.
const std::vector<CorpusFile>& corpusFacts() {
    static const std::vector<CorpusFile> facts = [] {
        const FirstTrigger towers{"オン     はい   いいえ", {11}, {1}};
        const FirstTrigger defend{"オン     いいえ いいえ", {13}, {6}};
        auto runs = [](std::initializer_list<std::pair<std::size_t, std::int32_t>> list) {
            std::vector<std::int32_t> types;
            for (const auto& [count, type] : list) types.insert(types.end(), count, type);
            return types;
        };
        const FirstTrigger hotkey{
            "オン     いいえ いいえ", runs({{16, 38}, {1, 51}, {3, 38}, {2, 51}, {1, 38}, {1, 51}, {1, 52}}), {}};
        const FirstTrigger ror{"オン     いいえ いいえ", runs({{13, 51}, {16, 52}, {59, 51}}), {}};
        return std::vector<CorpusFile>{
            {"aoc_Conquest_of_Rhodes.scx", {}, 37, 129, 38, {}},  // its first trigger: see below
            {"aoc_V_AOC_DOTA_4F.scx", {}, 5834, 18472, 12047, {}},
            {"aoc_Tribal_Warfare.scx", Message::backgroundImage, 0, 0, 0, {}},
            {"aoc_default.scx", {}, 0, 0, 0, {}},
            {"hd_04_aohd.scx", {}, 0, 0, 0, {}},
            {"aok_Robin_hood.scn", Message::backgroundImage, 0, 0, 0, {}},
            {"aoc_Tribes.scx", {}, 0, 0, 0, {}},
            {"aok_KING_OF_TOWERS_III.scn", {}, 246, 357, 274, {towers, towers}},
            {"aok_Defend_the_town.scn", {}, 34, 74, 36, {defend, defend}},
            {"hd_Battle_of_Swally.scx2", {}, 70, 157, 69, {{"オフ     いいえ はい", {}, {13}}}},
            {"hd_1v1_Fortress_Vs_Fortress.scx2", {}, 14, 61, 17, {{"オフ", std::vector<std::int32_t>(8, 27), {10}}}},
            {"de_Hotkey_Trainer_Buildings.aoe2scenario", {}, 79, 183, 151, {hotkey}, 136},
            {"de_Somewhere_on_the_Nile.aoe2scenario", {}, 54, 259, 92, {}, 136},
            {"de_ROR_Ancient_Middle_East_Diplomacy.aoe2scenario", {}, 16, 1025, 11, {ror}, 149},
        };
    }();
    return facts;
}

TEST(Corpus, EveryFileMatchesItsFacts) {
    SKIP_WITHOUT_CORPUS();
    for (const CorpusFile& f : corpusFacts()) {
        SCOPED_TRACE(f.name);
        const CorpusReport r = reportOf(f.name);
        if (f.refusal) {
            EXPECT_FALSE(r.reported);
            EXPECT_EQ(r.messages, std::vector<Message>{*f.refusal});
            continue;
        }
        ASSERT_TRUE(r.reported);
        EXPECT_EQ(r.text.substr(0, r.text.find("\r\n")), "全トリガ数：" + std::to_string(f.triggers));
        EXPECT_EQ(countLines(r.text, "説明："), f.triggers);
        EXPECT_EQ(countLines(r.text, "  効果 "), f.effects);
        EXPECT_EQ(countLines(r.text, "  条件 "), f.conditions);
        const auto reported = firstTriggers(r.text, f.first.size());
        ASSERT_EQ(reported.size(), f.first.size());
        for (std::size_t t = 0; t < f.first.size(); ++t) {
            EXPECT_EQ(reported[t].flags.substr(0, f.first[t].flags.size()), f.first[t].flags) << t;
            std::vector<std::string> effects, conditions;
            for (std::int32_t type : f.first[t].effects)
                effects.push_back(lookupTypeName(NameKind::EffectType, type, f.definitive));
            for (std::int32_t type : f.first[t].conditions)
                conditions.push_back(lookupTypeName(NameKind::ConditionType, type, f.definitive));
            EXPECT_EQ(reported[t].effects, effects) << t;
            EXPECT_EQ(reported[t].conditions, conditions) << t;
        }
    }
}

TEST(Corpus, ConquestOfRhodes) {
    SKIP_WITHOUT_CORPUS();
    const CorpusReport r = reportOf("aoc_Conquest_of_Rhodes.scx");
    ASSERT_TRUE(r.reported);
    EXPECT_NE(r.text.find("\r\n0000 VC Take Rhodes                 オン     いいえ はい            1\r\n"
                          "説明：Bring the Grand Master"),
              std::string::npos);
    EXPECT_NE(r.text.find("  効果 0  :外交姿勢の変更\r\n"
                          "  効果 1  :外交姿勢の変更\r\n"
                          "  効果 2  :チャットの送信\r\n"
                          "  効果 3  :トリガを有効にする (0001)\r\n"
                          "  効果 4  :トリガを無効にする (0028)\r\n"),
              std::string::npos);
    EXPECT_NE(r.text.find("\r\n0004 Help from Cyprus"), std::string::npos);
    EXPECT_NE(r.text.find("  効果 0  :貢物 (プレイヤー 3→プレイヤー 1 資源A 100)\r\n"), std::string::npos);
}

// Every prefix of a real body ends in a clean outcome: a report, or the
// unreadable-body refusal with nothing in the buffer.
TEST(Corpus, EveryTruncationOfARealBodyEndsCleanly) {
    SKIP_WITHOUT_CORPUS();
    testing::TempDir dir;
    const std::string path = dir.file("r.scx");
    testing::writeFile(
        path, testing::readFile((std::filesystem::path(VANTOR_CORPUS_DIR) / "aoc_Conquest_of_Rhodes.scx").string()));
    ScenarioBody body;
    TemporaryFile temporary;
    ASSERT_EQ(extractScenario(path, body, temporary), ExtractOutcome::bodyReady);
    const auto whole = body.view();
    ReportBuffer out;
    ASSERT_EQ(buildTriggerReport(whole, out), ReportOutcome::reportReady);
    const std::string full(out.view());
    // Every length up to the trigger section steps by 97 bytes; every length within it, one by one.
    std::size_t reported = 0;
    for (std::size_t n = 0; n < whole.size(); n += (n < whole.size() - 40000 ? std::size_t{97} : std::size_t{1})) {
        const ReportOutcome o = buildTriggerReport(whole.first(n), out);
        if (o == ReportOutcome::reportReady) {
            ++reported;
            EXPECT_EQ(std::string(out.view()), full) << n;  // only bytes behind the triggers were cut
        } else {
            ASSERT_EQ(o, ReportOutcome::unreadableBody) << n;
            ASSERT_EQ(out.size(), 0u);
        }
    }
    EXPECT_LT(reported, 40000u);
}

}  // namespace
}  // namespace vantor
