// Definitive Edition scenarios: each body version's layout, its texts in
// cp932, and every truncation.
#include <gtest/gtest.h>

#include <string>

#include "report/cp932_text.h"
#include "report/trigger_report.h"
#include "scenario/container.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::DefinitiveSpec;
using testing::Effect;
using testing::Trigger;

constexpr int versions[] = {136, 137, 140, 141, 142, 143, 144, 145, 146, 147,
                            148, 149, 151, 153, 154, 155, 156, 157, 158};

std::string u8text(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

Effect deEffect(std::int32_t type, int v) {
    Effect e = testing::effect(type);
    e.fields.resize(testing::definitiveEffectFields(v), -1);
    return e;
}

testing::Condition deCondition(std::int32_t type, int v) {
    testing::Condition c = testing::condition(type);
    c.fields.resize(testing::definitiveConditionFields(v), -1);
    c.scriptText = "check";
    return c;
}

// Two triggers that use every field the version stores.
DefinitiveSpec layoutCase(int v) {
    DefinitiveSpec spec;
    spec.version = v;
    Trigger t;
    t.loop = 1;
    t.objective = 1;
    t.descriptionOrder = 3;
    t.name = "Start";
    t.description = "one\ntwo";
    t.shortDescription = "short";
    t.executeOnLoad = 1;
    Effect text = deEffect(20, v).select({7, 8});
    text.text = "hello";
    text.sound = "horn";
    text.optionTexts = {"yes", "no"};
    t.effects = {deEffect(5, v).set(7, 1).set(8, 2).set(2, 0).set(1, 100), text, deEffect(51, v), deEffect(109, v)};
    t.conditions = {deCondition(9, v).set(5, 1).set(6, 101), deCondition(22, v), deCondition(80, v)};
    Trigger off;
    off.enabled = 0;
    off.conditions = {deCondition(10, v)};
    spec.triggers = {t, off};
    return spec;
}

std::string reportOf(const testing::Bytes& body, ReportOutcome expected = ReportOutcome::reportReady) {
    ReportBuffer out;
    EXPECT_EQ(buildTriggerReport(body, out), expected);
    return std::string(out.view());
}

TEST(Definitive, EachLayoutReportsItsTriggers) {
    for (const int v : versions) {
        const std::string lines =
            "全トリガ数：2\r\n\r\n"
            "No.  トリガ名                       初期設定 ループ 目的   説明の順序\r\n"
            "---- ------------------------------ -------- ------ ------ ----------\r\n"
            "0000 Start                          オン     はい   はい            3\r\n"
            "説明：one\r\n    ：two\r\n"
            "  効果 0  :貢物 (プレイヤー 1→プレイヤー 2 資源A 100)\r\n"
            "  効果 1  :説明を表示 (hello)\r\n"
            "  効果 2  :属性の変更\r\n" +
            std::string(v >= 158 ? "  効果 3  :外交姿勢の同期\r\n" : "  効果 3  :不明(    0x6d)\r\n") +
            "  条件 0  :テクノロジーの研究 (プレイヤー 1 領主の時代)\r\n"
            "  条件 1  :変数の値\r\n" +
            (v >= 155 ? "  条件 2  :ローカルテクノロジーの研究完了\r\n" : "  条件 2  :不明(    0x50)\r\n") +
            "\r\n"
            "0001                                オフ     いいえ いいえ          0\r\n"
            "説明：\r\n"
            "  条件 0  :タイマー\r\n"
            "\r\n";
        EXPECT_EQ(reportOf(testing::buildDefinitiveBody(layoutCase(v)).bytes), lines) << v;
    }
}

TEST(Definitive, EveryTruncationIsUnreadable) {
    for (const int v : versions) {
        const testing::Bytes body = testing::buildDefinitiveBody(layoutCase(v)).bytes;
        for (std::size_t n = 0; n < body.size(); ++n) {
            ReportBuffer out;
            ASSERT_EQ(buildTriggerReport({body.data(), n}, out), ReportOutcome::unreadableBody) << v << " " << n;
        }
    }
}

TEST(Definitive, ImagesAndUnknownVersionsAreRefused) {
    struct Case {
        int version;
        std::int32_t flag, width, height;
        ReportOutcome outcome;
    };
    const Case cases[] = {
        {158, 1, 0, 0, ReportOutcome::backgroundImage},    {136, 0, 4, 4, ReportOutcome::backgroundImage},
        {150, 3, 0, 0, ReportOutcome::unsupportedVersion}, {152, 3, 0, 0, ReportOutcome::unsupportedVersion},
        {159, 3, 0, 0, ReportOutcome::unsupportedVersion},
    };
    for (const Case& c : cases) {
        DefinitiveSpec spec;
        spec.version = c.version;
        spec.imageFlag = c.flag;
        spec.imageWidth = c.width;
        spec.imageHeight = c.height;
        EXPECT_EQ(reportOf(testing::buildDefinitiveBody(spec).bytes, c.outcome), "") << c.version;
    }
}

// The header stores 0 as its length and is read field by field: version 5
// (up to 1.37) holds a field that version 6 dropped.
TEST(Definitive, ContainersReportLikeTheirBodies) {
    for (const int v : {137, 140}) {
        const testing::Bytes body = testing::buildDefinitiveBody(layoutCase(v)).bytes;
        const testing::Bytes file = testing::buildDefinitiveContainer(body, v);
        const auto length = static_cast<std::int64_t>(file.size());
        const ContainerHead head = readContainerHead(file, length);
        EXPECT_EQ(head.headerVersion, v < 140 ? 5u : 6u);
        EXPECT_EQ(head.bodyOffset, length - static_cast<std::int64_t>(testing::rawDeflate(body).size()));
        for (std::size_t n = 0; n < static_cast<std::size_t>(head.bodyOffset); ++n)
            ASSERT_EQ(readContainerHead({file.data(), n}, length).outcome, ContainerOutcome::needMore) << n;

        testing::TempDir dir;
        testing::writeFile(dir.file("x.aoe2scenario"), file);
        testing::RecordingActions ui;
        ScenarioBody extracted;
        EXPECT_TRUE(runReportCommand(dir.file("x.aoe2scenario"), extracted, ui)) << v;
        const testing::Bytes report = testing::readFile(dir.file("x.aoe2scenario.txt"));
        EXPECT_EQ(std::string(report.begin(), report.end()), reportOf(body)) << v;
    }
}

// Names, descriptions and effect texts are UTF-8: in the report they are
// cp932, "?" for what cp932 cannot hold, and bytes that are no UTF-8 as they
// are.  The name column counts the cp932 bytes.
TEST(Definitive, TextsAreWrittenInCp932) {
    DefinitiveSpec spec;
    Trigger t;
    t.name = u8text(u8"城と騎士");
    t.description = u8text(u8"Café ½ 🏰 ｶﾀｶﾅ～①") + "\xff\x80 \xe3\x81";
    Effect e = deEffect(20, spec.version);
    e.text = u8text(u8"ようこそ、Zoë!\r\n👑");
    t.effects = {e};
    spec.triggers = {t};
    const std::string report = reportOf(testing::buildDefinitiveBody(spec).bytes);
    EXPECT_NE(report.find("\r\n0000 城と騎士                       オン"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\n説明：Caf? ? ? \xb6\xc0\xb6\xc5\x81\x60\x87\x40\xff\x80 \xe3\x81\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("\r\n  効果 0  :説明を表示 (ようこそ、Zo?!\r\r\n?)\r\n"), std::string::npos);
}

TEST(Definitive, MalformedUtf8PassesThroughByteByByte) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"\xc0\xaf", "\xc0\xaf"},                   // overlong
        {"\xed\xa0\x80", "\xed\xa0\x80"},           // a surrogate
        {"\xf4\x90\x80\x80", "\xf4\x90\x80\x80"},   // past U+10FFFF
        {"\xe3\x81\x82\xe3", "\x82\xa0\xe3"},       // あ, then a cut sequence
        {"\xf0\x9f\x98\x80\xc3\xa9", "??"},         // one "?" per character
        {"\xe2\x80\x94\xe2\x80\x95", "?\x81\x5c"},  // only one dash of the two is cp932's
    };
    for (const Case& c : cases) {
        std::string scratch;
        EXPECT_EQ(utf8ToCp932(c.in, scratch), c.out) << c.in;
    }
}

}  // namespace
}  // namespace vantor
