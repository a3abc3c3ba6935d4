// Real scenario files, made by the game's editor and by others.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

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

std::size_t countTriggerLines(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find("\r\n説明：", at)) != std::string::npos; at += 2) ++n;
    return n;
}

void skipWithoutCorpus(const char* name) {
    if (!std::filesystem::exists(std::filesystem::path(VANTOR_CORPUS_DIR) / name))
        GTEST_SKIP() << "corpus not found at " << VANTOR_CORPUS_DIR;
}

TEST(Corpus, ConquestOfRhodes) {
    skipWithoutCorpus("aoc_Conquest_of_Rhodes.scx");
    const CorpusReport r = reportOf("aoc_Conquest_of_Rhodes.scx");
    ASSERT_TRUE(r.reported);
    EXPECT_EQ(r.text.substr(0, r.text.find("\r\n")), "全トリガ数：37");
    EXPECT_EQ(countTriggerLines(r.text), 37u);
    EXPECT_EQ(countLines(r.text, "  効果 "), 129u);
    EXPECT_EQ(countLines(r.text, "  条件 "), 38u);
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

TEST(Corpus, RecordsWithFewerFieldsAreSizedByTheirOwnCount) {
    skipWithoutCorpus("aoc_V_AOC_DOTA_4F.scx");
    const CorpusReport r = reportOf("aoc_V_AOC_DOTA_4F.scx");
    ASSERT_TRUE(r.reported);
    EXPECT_EQ(r.text.substr(0, r.text.find("\r\n")), "全トリガ数：5834");
    EXPECT_EQ(countTriggerLines(r.text), 5834u);
    EXPECT_EQ(countLines(r.text, "  効果 "), 18472u);
    EXPECT_EQ(countLines(r.text, "  条件 "), 12047u);
}

TEST(Corpus, EmptyDefaultScenario) {
    skipWithoutCorpus("aoc_default.scx");
    const CorpusReport r = reportOf("aoc_default.scx");
    ASSERT_TRUE(r.reported);
    EXPECT_EQ(r.text,
              "全トリガ数：0\r\n\r\n"
              "No.  トリガ名                       初期設定 ループ 目的   説明の順序\r\n"
              "---- ------------------------------ -------- ------ ------ ----------\r\n");
}

TEST(Corpus, RefusalsWithTheirMessages) {
    skipWithoutCorpus("aoc_Tribal_Warfare.scx");
    EXPECT_EQ(reportOf("aoc_Tribal_Warfare.scx").messages, std::vector<Message>{Message::backgroundImage});
    EXPECT_EQ(reportOf("aok_Robin_hood.scn").messages, std::vector<Message>{Message::backgroundImage});
}

// Definitive Edition files: the counts, and the first trigger whole.
TEST(Corpus, DefinitiveEditionFiles) {
    skipWithoutCorpus("de_Hotkey_Trainer_Buildings.aoe2scenario");
    const std::string enable = "オブジェクトの有効・無効", attribute = "属性の変更", resource = "資源の変更";
    auto effects = [](std::initializer_list<std::pair<int, std::string>> runs) {
        std::string lines;
        int i = 0;
        for (const auto& [count, name] : runs)
            for (int k = 0; k < count; ++k, ++i) {
                char index[8];
                std::snprintf(index, sizeof index, "%-3d", i);
                lines += "  効果 " + std::string(index) + ":" + name + "\r\n";
            }
        return lines;
    };
    struct Case {
        const char* file;
        std::size_t triggers, effects, conditions;
        std::string firstTrigger;
    };
    const Case cases[] = {
        {"de_Hotkey_Trainer_Buildings.aoe2scenario", 79, 183, 151,
         "0000 Enable All                     オン     いいえ いいえ          0\r\n説明：\r\n" +
             effects({{16, enable},
                      {1, attribute},
                      {3, enable},
                      {2, attribute},
                      {1, enable},
                      {1, attribute},
                      {1, resource}}) +
             "\r\n0001 "},
        {"de_Somewhere_on_the_Nile.aoe2scenario", 54, 259, 92, "0000 Setup 1 "},
        {"de_ROR_Ancient_Middle_East_Diplomacy.aoe2scenario", 16, 1025, 11,
         "0000 Res and other effects          オン     いいえ いいえ          0\r\n説明：\r\n" +
             effects({{13, attribute}, {16, resource}, {59, attribute}}) + "\r\n0001 "},
    };
    for (const Case& c : cases) {
        const CorpusReport r = reportOf(c.file);
        ASSERT_TRUE(r.reported) << c.file;
        EXPECT_EQ(countTriggerLines(r.text), c.triggers) << c.file;
        EXPECT_EQ(countLines(r.text, "  効果 "), c.effects) << c.file;
        EXPECT_EQ(countLines(r.text, "  条件 "), c.conditions) << c.file;
        const std::size_t first = r.text.find("\r\n0000 ");
        ASSERT_NE(first, std::string::npos) << c.file;
        EXPECT_EQ(r.text.substr(first + 2, c.firstTrigger.size()), c.firstTrigger) << c.file;
    }
}

// Every prefix of a real body ends in a clean outcome: a report, or the
// unreadable-body refusal with nothing in the buffer.
TEST(Corpus, EveryTruncationOfARealBodyEndsCleanly) {
    skipWithoutCorpus("aoc_Conquest_of_Rhodes.scx");
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
