// Real scenario files, made by the game's editors and by others, against the
// facts known about them (FACTS.md beside them).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "report/report_command.h"
#include "tests/support/recording_actions.h"

namespace vantor {
namespace {

const std::filesystem::path corpus = VANTOR_CORPUS_DIR;

// Reported to a stream, so that nothing is ever written beside the originals.
struct CorpusReport {
    std::vector<Message> messages;
    std::string text;
};

CorpusReport reportOf(const std::string& name) {
    testing::RecordingActions ui;
    testing::StringSink report;
    ScenarioBody body;
    static_cast<void>(streamReport(corpus / name, body, ui, report));
    return {ui.messages, report.bytes};
}

std::size_t countLines(const std::string& text, const std::string& start) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find("\r\n" + start, at)) != std::string::npos; at += 2) ++n;
    return n;
}

// A trigger of the report: the start of its flag columns, and its effects'
// and conditions' types in stored order.
struct FirstTrigger {
    std::string flags;
    std::vector<std::int32_t> effects, conditions;
};

struct CorpusFile {
    std::string name;
    std::optional<Message> refusal;
    std::size_t triggers = 0, effects = 0, conditions = 0;
    std::vector<FirstTrigger> first;
    int definitive = 0;  // the Definitive Edition's body version, whose type names the report uses
};

std::vector<std::int32_t> runs(std::initializer_list<std::pair<std::size_t, std::int32_t>> list) {
    std::vector<std::int32_t> types;
    for (const auto& [count, type] : list) types.insert(types.end(), count, type);
    return types;
}

class Corpus : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(corpus / "FACTS.md")) GTEST_SKIP() << "no corpus at " << corpus;
    }
};

TEST_F(Corpus, EveryFileMatchesItsFacts) {
    const FirstTrigger towers{"オン     はい   いいえ", {11}, {1}}, defend{"オン     いいえ いいえ", {13}, {6}};
    const auto hotkey = runs({{16, 38}, {1, 51}, {3, 38}, {2, 51}, {1, 38}, {1, 51}, {1, 52}});
    // clang-format off
    const CorpusFile facts[] = {
        {"aoc_Conquest_of_Rhodes.scx", {}, 37, 129, 38, {}}, {"aoc_V_AOC_DOTA_4F.scx", {}, 5834, 18472, 12047, {}},
        {"aoc_Tribal_Warfare.scx", Message::backgroundImage, 0, 0, 0, {}}, {"aoc_default.scx", {}, 0, 0, 0, {}},
        {"hd_04_aohd.scx", {}, 0, 0, 0, {}}, {"aok_Robin_hood.scn", Message::backgroundImage, 0, 0, 0, {}},
        {"aoc_Tribes.scx", {}, 0, 0, 0, {}}, {"aok_KING_OF_TOWERS_III.scn", {}, 246, 357, 274, {towers, towers}},
        {"aok_Defend_the_town.scn", {}, 34, 74, 36, {defend, defend}},
        {"hd_Battle_of_Swally.scx2", {}, 70, 157, 69, {{"オフ     いいえ はい", {}, {13}}}},
        {"hd_1v1_Fortress_Vs_Fortress.scx2", {}, 14, 61, 17, {{"オフ", runs({{8, 27}}), {10}}}},
        {"de_Hotkey_Trainer_Buildings.aoe2scenario", {}, 79, 183, 151, {{"オン", hotkey, {}}}, 136},
        {"de_Somewhere_on_the_Nile.aoe2scenario", {}, 54, 259, 92, {}, 136},
        {"de_ROR_Ancient_Middle_East_Diplomacy.aoe2scenario", {}, 16, 1025, 11,
         {{"オン", runs({{13, 51}, {16, 52}, {59, 51}}), {}}}, 149},
    };
    // clang-format on
    for (const CorpusFile& f : facts) {
        SCOPED_TRACE(f.name);
        const CorpusReport r = reportOf(f.name);
        EXPECT_EQ(r.messages, f.refusal ? std::vector{*f.refusal} : std::vector<Message>{});
        if (f.refusal) continue;
        EXPECT_EQ(r.text.substr(0, r.text.find("\r\n")), "全トリガ数：" + std::to_string(f.triggers));
        EXPECT_EQ(countLines(r.text, "説明："), f.triggers);
        EXPECT_EQ(countLines(r.text, "  効果 "), f.effects);
        EXPECT_EQ(countLines(r.text, "  条件 "), f.conditions);
        // The first triggers, line by line up to the names of their types.
        std::size_t at = 0;
        for (std::size_t t = 0; t < f.first.size(); ++t) {
            char line[64];
            std::snprintf(line, sizeof line, "\r\n%04zu ", t);
            at = r.text.find(line, at);
            const std::size_t end = r.text.find("\r\n", at + 2), next = r.text.find("\r\n\r\n", end);
            ASSERT_NE(next, std::string::npos) << t;
            EXPECT_EQ(r.text.substr(end - 10 - 23, f.first[t].flags.size()), f.first[t].flags) << t;
            std::string expected;
            for (std::size_t i = 0; i < f.first[t].effects.size(); ++i) {
                std::snprintf(line, sizeof line, "  効果 %-3zu:", i);
                expected += line + testing::nameOf(NameKind::EffectType, f.first[t].effects[i], f.definitive) + "|";
            }
            for (std::size_t i = 0; i < f.first[t].conditions.size(); ++i) {
                std::snprintf(line, sizeof line, "  条件 %-3zu:", i);
                expected +=
                    line + testing::nameOf(NameKind::ConditionType, f.first[t].conditions[i], f.definitive) + "|";
            }
            std::string reported;  // each record line up to its parameters
            for (std::size_t l = r.text.find("\r\n  ", end); l < next; l = r.text.find("\r\n  ", l + 2))
                if (r.text.compare(l, 8, "\r\n    \x81\x46") != 0)
                    reported +=
                        r.text.substr(l + 2, std::min(r.text.find("\r\n", l + 2), r.text.find(" (", l + 2)) - l - 2) +
                        "|";
            EXPECT_EQ(reported, expected) << t;
            at = next;
        }
    }
}

}  // namespace
}  // namespace vantor
