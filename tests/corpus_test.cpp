// Real scenario files, made by the game's editors and by others, against the
// facts known about them (FACTS.md beside them).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "report/report_command.h"
#include "report/report_file.h"
#include "scenario/campaign.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

const std::filesystem::path corpus = VANTOR_CORPUS_DIR;

// Reported to a stream, so that nothing is ever written beside the originals.
struct CorpusReport {
    std::vector<Message> messages;
    std::string text;
    std::vector<std::pair<std::string, Message>> scenarioMessages;
};

CorpusReport reportOf(const std::filesystem::path& path, ReportDetail detail = ReportDetail::standard) {
    testing::RecordingActions ui;
    testing::StringSink report;
    ScenarioBody body;
    static_cast<void>(streamReport(path, body, ui, report, {.detail = detail}));
    return {ui.messages, report.bytes, ui.scenarioMessages};
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
    int version = 122;  // the body version, whose type names the report uses
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
        {"hd_04_aohd.scx", {}, 0, 0, 0, {}}, {"aok_Robin_hood.scn", {}, 16, 23, 17, {}},  // its image stepped over
        {"aoc_Tribes.scx", {}, 0, 0, 0, {}}, {"aok_KING_OF_TOWERS_III.scn", {}, 246, 357, 274, {towers, towers}},
        {"aok_Defend_the_town.scn", {}, 34, 74, 36, {defend, defend}},
        {"hd_Battle_of_Swally.scx2", {}, 70, 157, 69, {{"オフ     いいえ はい", {}, {13}}}},
        {"hd_1v1_Fortress_Vs_Fortress.scx2", {}, 14, 61, 17, {{"オフ", runs({{8, 27}}), {10}}}},
        {"de_Hotkey_Trainer_Buildings.aoe2scenario", {}, 79, 183, 151, {{"オン", hotkey, {}}}, 136},
        {"de_Somewhere_on_the_Nile.aoe2scenario", {}, 54, 259, 92, {}, 136},
        {"de_ROR_Ancient_Middle_East_Diplomacy.aoe2scenario", {}, 16, 1025, 11,
         {{"オン", runs({{13, 51}, {16, 52}, {59, 51}}), {}}}, 149},
        // Behind an image whose header tells 2 bytes more than its rows hold.
        {"de_temp.aoe2scenario", {}, 99, 664, 126,
         {{"オン     いいえ いいえ", runs({{28, 51}, {3, 55}, {8, 51}, {1, 72}}), {}}}, 146},
    };
    // clang-format on
    for (const CorpusFile& f : facts) {
        SCOPED_TRACE(f.name);
        const CorpusReport r = reportOf(corpus / f.name);
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
                expected += line + testing::nameOf(NameKind::EffectType, f.first[t].effects[i], f.version) + "|";
            }
            for (std::size_t i = 0; i < f.first[t].conditions.size(); ++i) {
                std::snprintf(line, sizeof line, "  条件 %-3zu:", i);
                expected += line + testing::nameOf(NameKind::ConditionType, f.first[t].conditions[i], f.version) + "|";
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

// The campaigns hold the scenarios and counts of FACTS.md, and each
// scenario's part of the campaign's report is the report of that scenario
// alone, byte for byte (or its message).
TEST_F(Corpus, CampaignsReportEachScenarioAsItAloneWould) {
    struct Scenario {
        std::string fileName;
        std::optional<Message> refusal;
        std::size_t triggers = 0, effects = 0, conditions = 0;
    };
    const std::pair<std::string, std::vector<Scenario>> facts[] = {
        {"camp_Armies_at_War.cpn", {{"Bronze Age Art of War.scn", Message::unsupportedVersion}}},
        {"camp_DER_FALL_VON_SACSAHUAMAN_TEIL_I.cpx", {{"Der Weg nach Sacsahuam\xe1n.scx", Message::backgroundImage}}},
        {"camp_acam1.aoe2campaign",
         {{"A1_Tariq1.aoe2scenario", {}, 41, 159, 39},
          {"A1_Tariq2.aoe2scenario", {}, 52, 183, 50},
          {"A1_Tariq3.aoe2scenario", {}, 22, 72, 21},
          {"A1_Tariq4.aoe2scenario", {}, 42, 104, 33},
          {"A1_Tariq5.aoe2scenario", {}, 22, 98, 20}}},
    };
    testing::TempDir dir;
    for (const auto& [name, scenarios] : facts) {
        SCOPED_TRACE(name);
        const CorpusReport r = reportOf(corpus / name);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.text.substr(0, r.text.find("\r\n")), "全シナリオ数：" + std::to_string(scenarios.size()));
        const testing::Bytes file = testing::readFile(corpus / name);
        ScenarioFile source(platform::systemFiles());
        ASSERT_TRUE(source.open(corpus / name));
        const CampaignHead head = readCampaignHead(source);
        ASSERT_EQ(head.count, scenarios.size());
        std::int64_t position = head.entriesAt;
        std::vector<std::pair<std::string, Message>> refused;
        for (std::size_t i = 0; i < scenarios.size(); ++i) {
            const Scenario& s = scenarios[i];
            CampaignEntry entry;
            ASSERT_TRUE(readCampaignEntry(source, head, position, entry));
            EXPECT_EQ(entry.fileName, s.fileName);
            // Its part: from behind its heading to the next heading.
            char number[32];
            std::snprintf(number, sizeof number, "シナリオ %04zu：", i);
            const std::size_t heading = r.text.find(number),
                              start = r.text.find("=\r\n", r.text.find("\r\n", r.text.find("ファイル：", heading))) + 3;
            const std::size_t next = r.text.find("\r\n=====", start);
            const std::string part = r.text.substr(start, next == std::string::npos ? std::string::npos : next - start);
            testing::writeFile(dir.file("alone"),
                               testing::Bytes(file.begin() + entry.offset, file.begin() + entry.offset + entry.size));
            const CorpusReport alone = reportOf(dir.file("alone"));
            if (s.refusal) {
                EXPECT_EQ(alone.messages, std::vector{*s.refusal});
                EXPECT_EQ(part, std::string(messageText(*s.refusal)) + "\r\n");
                refused.emplace_back(s.fileName, *s.refusal);
                continue;
            }
            EXPECT_EQ(part, alone.text);
            EXPECT_EQ(part.substr(0, part.find("\r\n")), "全トリガ数：" + std::to_string(s.triggers));
            EXPECT_EQ(countLines(part, "  効果 "), s.effects);
            EXPECT_EQ(countLines(part, "  条件 "), s.conditions);
        }
        EXPECT_EQ(r.scenarioMessages, refused);
    }
}

// The detailed report of every file is its standard report with " label:value"
// added at the ends of effect and condition lines (where a standard text runs
// over several lines, at the end of its last), and nothing else: the same
// lines, the same messages.
TEST_F(Corpus, TheDetailedReportIsTheStandardOneWithAdditionsAtTheEndsOfRecordLines) {
    std::size_t extended = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() == ".md") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const CorpusReport standard = reportOf(entry.path()), detailed = reportOf(entry.path(), ReportDetail::detailed);
        EXPECT_EQ(detailed.messages, standard.messages);
        EXPECT_EQ(detailed.scenarioMessages, standard.scenarioMessages);
        std::size_t s = 0, d = 0, records = 0, extendedHere = 0;
        bool inRecord = false;
        while (s < standard.text.size() && d < detailed.text.size()) {
            const std::size_t sEnd = standard.text.find("\r\n", s), dEnd = detailed.text.find("\r\n", d);
            ASSERT_NE(sEnd, std::string::npos);
            ASSERT_NE(dEnd, std::string::npos);
            const std::string_view line(standard.text.data() + s, sEnd - s), longer(detailed.text.data() + d, dEnd - d);
            const bool record = line.starts_with("  効果 ") || line.starts_with("  条件 ");
            records += record;
            inRecord = record || (inRecord && !line.empty());
            ASSERT_TRUE(longer.starts_with(line)) << line;
            if (longer.size() > line.size()) {
                ASSERT_TRUE(inRecord) << longer;
                EXPECT_EQ(longer[line.size()], ' ') << longer;
                EXPECT_NE(longer.find(':', line.size()), std::string_view::npos) << longer;
                ++extendedHere;
            }
            s = sEnd + 2, d = dEnd + 2;
        }
        EXPECT_EQ(s, standard.text.size());
        EXPECT_EQ(d, detailed.text.size());
        EXPECT_EQ(records > 0, extendedHere > 0);
        extended += extendedHere;
    }
    EXPECT_GT(extended, 20000u);  // of some 34,000 record lines
}

}  // namespace
}  // namespace vantor
