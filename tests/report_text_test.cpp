// The report's text, byte for byte: names, the line of every effect and
// condition, trigger and description lines, and the printf conversions they
// are made with, against the C library's own.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <tuple>
#include <type_traits>

#include "report/cp932_text.h"
#include "report/report_file.h"
#include "samples/sample_scenario.h"
#include "scenario/extract.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::BodySpec;
using testing::Bytes;
using testing::condition;
using testing::effect;
using testing::Trigger;

TEST(Names, TextsFallbacksAndTheSizeOfEveryTable) {
    struct Case {
        NameKind kind;
        std::int32_t value;
        std::string text;
        int version = 122;
    };
    using enum NameKind;
    // clang-format off
    const Case cases[] = {
        {Technology, 457, "パーフュージョン"}, {Technology, 2, "エリートタルカン"},
        {Object, 757, "エリートタルカン"}, {Object, 851, "旗"}, {Object, 626, "テント"},
        {Object, 712, "幕舎"}, {Object, 719, "幕舎"}, {Object, 711, "不明(   0x2c7)"},
        // Signs whose bytes are easy to get wrong: 旗－Ａ, 「／」, the ideographic blank, a trailing blank.
        {Object, 600, "\x8a\xf8\x81\x7c\x82\x60"}, {Object, 721, "\x81\x75\x81\x5e\x81\x76の船の残骸"},
        {EffectType, 10, "AIスクリプト\x81\x40ゴール"}, {Object, 684, "アカースト タワー "},
        {Object, 761, "エリートハスカール(戦士育成所)"}, {Player, 0, "地の女神"}, {Player, 8, "プレイヤー 8"},
        {Resource, 3, "資源D"},
        {EffectType, 29, "ユニットを停止"}, {ConditionType, 19, "難易度"}, {UnitGroup, 18, " グループ:聖職者"},
        {UnitGroup, 5, " グループ:不明(     0x5)"}, {UnitType, 4, " 種類:軍隊"},
        // -1 of objects, unit groups and unit types is nothing; of others "不明(%#8x)".
        {Object, -1, ""}, {UnitGroup, -1, ""}, {UnitType, -1, ""}, {Player, -1, "不明(0xffffffff)"},
        {Technology, 0, "不明(       0)"}, {static_cast<NameKind>(9), 2, ""}, {static_cast<NameKind>(0), 4, ""},
        // Types that only the Definitive Edition defines, in its reports alone.
        {EffectType, 51, "不明(    0x33)"}, {EffectType, 51, "属性の変更", 136},
        {EffectType, 109, "不明(    0x6d)", 157}, {EffectType, 109, "外交姿勢の同期", 158},
        {ConditionType, 22, "変数の値", 136}, {ConditionType, 80, "不明(    0x50)", 154},
        {ConditionType, 80, "ローカルテクノロジーの研究完了", 155},
        // Numbers that only the Definitive Edition defines, named in its reports alone;
        // the older tables' names stand where they have one.
        {Object, 1241, "不明(   0x4d9)"}, {Object, 1241, "ユキヒョウ", 136}, {Object, 83, "町の人", 158},
        {Technology, 28, "ビマリスタン", 158}, {Technology, 12, "輪作", 158}, {UnitGroup, 0, " グループ:射手", 158},
        {UnitGroup, 18, " グループ:聖職者", 158}, {UnitType, 2, " 種類:建物", 158}, {Resource, 32, "人口上限ボーナス", 158},
        {Resource, 32, "不明(    0x20)"}, {Object, 37, "不明(    0x25)", 158}, {Object, -1, "", 158},
        {Object, 150, "包囲攻撃訓練所", 158}, {Technology, 261, "輸送船の有効化", 158},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(testing::nameOf(c.kind, c.value, c.version), c.text)
            << static_cast<int>(c.kind) << " " << c.value << " " << c.version;

    // How many values of each table have a name, in the reports of the older
    // editions and of the Definitive Edition: a lost or doubled row shows
    // here, and so does a name that cp932 cannot hold ("?").
    const std::tuple<NameKind, int, int> sizes[] = {{Technology, 139, 139 + 445}, {Object, 154, 154 + 1204},
                                                    {UnitGroup, 1, 1 + 63},       {ConditionType, 19, 19 + 21},
                                                    {EffectType, 29, 29 + 73},    {Player, 9, 9},
                                                    {Resource, 4, 4 + 597},       {UnitType, 1, 1 + 3}};
    for (const auto& [kind, older, definitive] : sizes) {
        int named[2] = {};
        for (std::int32_t v = -5; v <= 3000; ++v)
            for (const int edition : {122, 158}) {
                const std::string text = testing::nameOf(kind, v, edition);
                named[edition != 122] += !text.empty() && text.find("不明(") == std::string::npos;
                EXPECT_EQ(text.find('?'), std::string::npos) << v;
            }
        EXPECT_EQ(named[0], older) << static_cast<int>(kind);
        EXPECT_EQ(named[1], definitive) << static_cast<int>(kind);
    }
}

// A katakana word as a reader takes it: ヴァ as バ, ティ as チ, small kana as
// large ones, without ー.  Two spellings that fold alike are one word.
std::u32string folded(std::u32string word) {
    const std::pair<std::u32string_view, std::u32string_view> alike[] = {
        {U"ヴァ", U"バ"}, {U"ヴィ", U"ビ"}, {U"ヴェ", U"ベ"}, {U"ヴォ", U"ボ"}, {U"ヴ", U"ブ"},
        {U"ティ", U"チ"}, {U"ディ", U"ジ"}, {U"ズィ", U"ジ"}, {U"ー", U""}};
    for (const auto& [from, to] : alike)
        for (std::size_t at = 0; (at = word.find(from, at)) != std::u32string::npos; at += to.size())
            word.replace(at, from.size(), to);
    for (char32_t& c : word)
        if (std::u32string_view(U"ァィゥェォッャュョヮ").find(c) != std::u32string_view::npos) ++c;
    return word;
}

// One word for one thing across the tables of a Definitive Edition report:
// a technology that upgrades to a unit or makes it available carries the
// objects' name of that unit, no katakana word is spelled two ways, and the
// words that were once used beside the chosen ones stay out.
TEST(Names, OneWordForOneThing) {
    using enum NameKind;
    const auto name = [](NameKind kind, std::int32_t value) {
        std::string text = testing::nameOf(kind, value, 158);  // without a trailing "(…)"
        return text.ends_with(')') ? text.substr(0, text.rfind('(')) : text;
    };
    // clang-format off
    const std::pair<std::int32_t, std::int32_t> trains[] = {  // technology, object
        {85, 5}, {94, 279}, {188, 36}, {368, 556}, {384, 753}, {448, 832}, {468, 868}, {472, 871}, {481, 875},
        {504, 878}, {509, 881}, {521, 207}, {526, 1813}, {563, 1003}, {565, 1009}, {567, 1015}, {569, 1018},
        {597, 1006}, {599, 1012}, {615, 1122}, {617, 1125}, {619, 1128}, {621, 1131}, {631, 1134}, {655, 1155},
        {678, 1227}, {680, 1230}, {682, 1233}, {684, 1236}, {715, 1372}, {751, 1657}, {753, 1659}, {779, 1703},
        {781, 1706}, {786, 1707}, {787, 1709}, {788, 1707}, {789, 1707}, {797, 1699}, {826, 1737}, {828, 1740},
        {830, 1743}, {838, 1746}, {840, 1749}, {843, 1753}, {882, 1792}, {885, 1793}, {905, 527}, {918, 1802},
        {920, 1805}, {932, 1808}, {948, 1811}, {967, 1829}, {980, 1907}, {982, 1903}, {991, 1910}, {1002, 1922},
        {1010, 1302}, {1033, 1946}, {1036, 1951}, {1064, 1961}, {1074, 1970}, {1115, 2102}, {1125, 2105},
        {1135, 2108}, {1137, 2111}, {1144, 2124}, {1145, 2125}, {1146, 2126}, {1148, 2128}, {1149, 2129},
        {1151, 2131}, {1152, 2132}, {1154, 2134}, {1155, 2135}, {1159, 2139}, {1171, 2151}, {1174, 567},
        {1289, 2383}, {1291, 2385}, {1301, 2387}, {1326, 2389}, {1328, 2391}, {1334, 2486}, {1351, 2552},
        {1352, 2554}, {1364, 2564}, {1376, 2568}, {1378, 2571}, {1387, 2613}, {1389, 2581}, {1391, 2584},
        {1401, 2587}, {1402, 2588}};
    // clang-format on
    for (const auto& [technology, object] : trains)
        EXPECT_EQ(name(Technology, technology), name(Object, object)) << technology << " " << object;

    const std::string givenUp[] = {"ペルシア", "ギリシア", "レヴィアタン", "松明", "牡蠣",     "金の鉱床",  "果樹",
                                   "果物",     "交易工房", "修道院",       "変換", "世界遺産", "技術ツリー"};
    std::map<std::u32string, std::u32string> spelling;  // each folded word as the tables spell it
    const auto meet = [&spelling](std::u32string word) {
        if (word.starts_with(U"エリート") && word.size() > 4) word.erase(0, 4);
        const std::u32string key = folded(word);
        return key == U"クレタ" || spelling.try_emplace(key, word).first->second == word;  // Crete and a crater
    };
    for (const NameKind kind : {Technology, Object, UnitGroup, UnitType, Resource, EffectType, ConditionType})
        for (std::int32_t v = -1; v <= 3000; ++v) {
            const std::string text = testing::nameOf(kind, v, 158), utf8 = cp932ToUtf8(text) + ".";
            for (const std::string& word : givenUp) EXPECT_EQ(text.find(word), std::string::npos) << v;
            EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos) << v;  // U+FFFD: bytes that are no cp932
            std::u32string word;
            for (std::size_t at = 0; at < utf8.size(); ++at) {
                const Utf8Sequence c = utf8SequenceAt(std::string_view(utf8).substr(at));
                if (c.codePoint >= U'ァ' && c.codePoint <= U'ー' && c.codePoint != U'・') {
                    word += static_cast<char32_t>(c.codePoint);
                } else if (!word.empty()) {
                    EXPECT_TRUE(meet(word)) << static_cast<int>(kind) << " " << v << " spells a word otherwise";
                    word.clear();
                }
                at += c.length > 0 ? c.length - 1 : 0;
            }
        }
}

std::string report(const BodySpec& spec, ReportOutcome expected = ReportOutcome::reportReady) {
    std::string text;
    EXPECT_EQ(testing::reportOf(testing::buildBody(spec).bytes, text), expected);
    return text;
}

// The record lines of one trigger's report, effects then conditions.
std::string recordLines(const Trigger& trigger) {
    BodySpec spec;
    spec.triggers = {trigger};
    const std::string text = report(spec);
    const std::size_t first = text.find("\r\n  ");
    return first == std::string::npos ? "" : text.substr(first + 2, text.size() - first - 4);
}

// Every line format as the sample scenario uses it is in its report
// (tests/support/sample_report.txt); here, what the sample does not hold.
TEST(RecordLines, EdgesOfTheFormats) {
    testing::Effect text = effect(20);
    static const char stored[] = "一行目\r\n二行目\n三\r行目\0隠れた";
    text.text = std::string(stored, sizeof stored - 1);
    Trigger t;
    t.effects = {effect(1),
                 effect(8).set(EffectField::trigger, 10),
                 effect(9).set(EffectField::trigger, -1),
                 effect(14).set(EffectField::player, 2),
                 text,
                 effect(-7).set(EffectField::player, 1)};
    t.effects.resize(13, effect(1));
    t.effects[12] = effect(8).set(EffectField::trigger, 10);
    // A record is as long as its counts say: one stored field, or none.
    testing::Condition one = condition(3), none = condition(9);
    one.fields = {5};
    none.fields = {};
    t.conditions = {one, none};
    EXPECT_EQ(recordLines(t),
              "  効果 0  :外交姿勢の変更\r\n"
              "  効果 1  :トリガを有効にする (0010)\r\n"
              "  効果 2  :トリガを無効にする (-001)\r\n"
              "  効果 3  :オブジェクトを倒す (プレイヤー 2 )\r\n"
              "  効果 4  :説明を表示 (一行目\r\r\n二行目\r\n三\r行目)\r\n"  // written as read
              "  効果 5  :不明(0xfffffff9)\r\n"
              "  効果 6  :外交姿勢の変更\r\n  効果 7  :外交姿勢の変更\r\n  効果 8  :外交姿勢の変更\r\n"
              "  効果 9  :外交姿勢の変更\r\n  効果 10 :外交姿勢の変更\r\n  効果 11 :外交姿勢の変更\r\n"
              "  効果 12 :トリガを有効にする (0010)\r\n"
              "  条件 0  :オブジェクトの所有 (不明(0xffffffff)  数量:5)\r\n"
              "  条件 1  :テクノロジーの研究 (不明(0xffffffff) 不明(0xffffffff))\r\n");
    // A selected count below -1 is none the game writes: the body is unreadable.
    BodySpec bad;
    bad.triggers.resize(1);
    bad.triggers[0].effects = {effect(2).set(EffectField::selectedCount, -2)};
    EXPECT_EQ(report(bad, ReportOutcome::unreadableBody), "");
}

const std::string reportHead =
    "No.  トリガ名                       初期設定 ループ 目的   説明の順序\r\n"
    "---- ------------------------------ -------- ------ ------ ----------\r\n";

TEST(TriggerReport, TriggerAndDescriptionLinesByteForByte) {
    EXPECT_EQ(report(BodySpec{}), "全トリガ数：0\r\n\r\n" + reportHead);
    BodySpec negative;
    negative.triggerCount = -3;
    negative.trailing = "whatever";
    EXPECT_EQ(report(negative), "全トリガ数：-3\r\n\r\n" + reportHead);

    // What the sample's report does not hold: a NUL in a name, flags of any
    // value but 0 (on), a lone CR, negative counts (no records), numbers past 9.
    BodySpec spec;
    spec.triggers.resize(11);
    Trigger& t = spec.triggers[0];
    t.name = std::string("勝利条件\0junk", 12);
    t.description = "三行目\r四\r\r\n";
    t.enabled = 5, t.loop = -1, t.objective = -128, t.descriptionOrder = -12345;
    t.effectCount = -1, t.conditionCount = -5;
    const std::string expected = "全トリガ数：11\r\n\r\n" + reportHead +
                                 "0000 勝利条件                       オン     はい   はい       -12345\r\n"
                                 "説明：三行目\r四\r\r\n    ：\r\n\r\n";
    EXPECT_EQ(report(spec).substr(0, expected.size()), expected);
    EXPECT_NE(report(spec).find("\r\n0010                                オン     いいえ いいえ          0\r\n"),
              std::string::npos);
}

// The Definitive Edition's texts are UTF-8: in the report they are cp932, "?"
// for a character cp932 lacks, and bytes that are no UTF-8 as they are.  The
// name column counts the cp932 bytes.
TEST(TriggerReport, DefinitiveEditionTextsAreCp932) {
    const auto u8 = [](std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); };
    testing::DefinitiveSpec spec;
    Trigger t;
    t.name = u8(u8"城と騎士");
    t.description = u8(u8"Café ½ 🏰 ｶﾀｶﾅ～①") + "\xff\x80 \xe3\x81";
    testing::Effect e = effect(20);
    e.fields.resize(testing::definitiveEffectFields(spec.version), -1);
    e.text = u8(u8"ようこそ、Zoë!\r\n👑");
    t.effects = {e};
    spec.triggers = {t};
    std::string out;
    ASSERT_EQ(testing::reportOf(testing::buildDefinitiveBody(spec).bytes, out), ReportOutcome::reportReady);
    EXPECT_EQ(out.substr(out.find("\r\n0000")),
              "\r\n0000 城と騎士                       オン     いいえ いいえ          0\r\n"
              "説明：Caf? ? ? \xb6\xc0\xb6\xc5\x81\x60\x87\x40\xff\x80 \xe3\x81\r\n"
              "  効果 0  :説明を表示 (ようこそ、Zo?!\r\r\n?)\r\n\r\n");

    const std::pair<std::string, std::string> malformed[] = {
        {"\xc0\xaf", "\xc0\xaf"},
        {"\xed\xa0\x80", "\xed\xa0\x80"},  // overlong, the surrogates' first and last
        {"\xed\xbf\xbf", "\xed\xbf\xbf"},
        {"\xed\x9f\xbf\xee\x80\x80", "?\xf0\x40"},  // the characters either side of them
        {"\xf4\x90\x80\x80", "\xf4\x90\x80\x80"},
        {"\xe3\x81\x82\xe3", "\x82\xa0\xe3"},  // past U+10FFFF; a cut
        {"\xf0\x9f\x98\x80\xc3\xa9", "??"},
        {"\xe2\x80\x94\xe2\x80\x95", "?\x81\x5c"},
    };
    for (const auto& [in, expected] : malformed) {
        std::string scratch;
        EXPECT_EQ(utf8ToCp932(in, scratch), expected);
    }
}

// A Definitive Edition report names what that edition added, in every field
// that shows a name; the same records in a 1.22 report stay unknown.
TEST(TriggerReport, DefinitiveEditionNamesWhatItAdded) {
    Trigger t;
    t.effects = {effect(11).set(EffectField::player, 1).set(EffectField::object, 1241),
                 effect(2).set(EffectField::player, 2).set(EffectField::technology, 28),
                 effect(14)
                     .set(EffectField::player, 3)
                     .set(EffectField::object, 1241)
                     .set(EffectField::unitGroup, 0)
                     .set(EffectField::unitType, 2),
                 effect(5)
                     .set(EffectField::player, 1)
                     .set(EffectField::targetPlayer, 2)
                     .set(EffectField::resource, 32)
                     .set(EffectField::amount, 10)};
    t.conditions = {condition(3)
                        .set(ConditionField::player, 1)
                        .set(ConditionField::object, 1241)
                        .set(ConditionField::unitGroup, 0)
                        .set(ConditionField::amount, 1),
                    condition(9).set(ConditionField::player, 1).set(ConditionField::technology, 28)};
    BodySpec older;
    older.triggers = {t};
    testing::DefinitiveSpec definitive;
    for (testing::Effect& e : t.effects) e.fields.resize(testing::definitiveEffectFields(definitive.version), -1);
    for (testing::Condition& c : t.conditions)
        c.fields.resize(testing::definitiveConditionFields(definitive.version), -1);
    definitive.triggers = {t};
    std::string report;
    ASSERT_EQ(testing::reportOf(testing::buildDefinitiveBody(definitive).bytes, report), ReportOutcome::reportReady);
    const auto lines = [](const std::string& text) { return text.substr(text.find("\r\n  ") + 2); };
    EXPECT_EQ(lines(report),
              "  効果 0  :オブジェクトの作成 (プレイヤー 1 ユキヒョウ)\r\n"
              "  効果 1  :テクノロジーの研究 (プレイヤー 2 ビマリスタン)\r\n"
              "  効果 2  :オブジェクトを倒す (プレイヤー 3 ユキヒョウ グループ:射手 種類:建物)\r\n"
              "  効果 3  :貢物 (プレイヤー 1→プレイヤー 2 人口上限ボーナス 10)\r\n"
              "  条件 0  :オブジェクトの所有 (プレイヤー 1 ユキヒョウ グループ:射手 数量:1)\r\n"
              "  条件 1  :テクノロジーの研究 (プレイヤー 1 ビマリスタン)\r\n\r\n");
    EXPECT_EQ(
        lines(vantor::report(older)),
        "  効果 0  :オブジェクトの作成 (プレイヤー 1 不明(   0x4d9))\r\n"
        "  効果 1  :テクノロジーの研究 (プレイヤー 2 不明(    0x1c))\r\n"
        "  効果 2  :オブジェクトを倒す (プレイヤー 3 不明(   0x4d9) グループ:不明(       0) 種類:不明(     0x2))\r\n"
        "  効果 3  :貢物 (プレイヤー 1→プレイヤー 2 不明(    0x20) 10)\r\n"
        "  条件 0  :オブジェクトの所有 (プレイヤー 1 不明(   0x4d9) グループ:不明(       0) 数量:1)\r\n"
        "  条件 1  :テクノロジーの研究 (プレイヤー 1 不明(    0x1c))\r\n\r\n");
}

// The conversions of the report's formats, against the C library's printf
// (under Wine, the Windows C runtime's): "%d" with its widths and pads,
// "%#8x", "%-Ns" (widths count bytes; a text's LF is CR LF in the file).
TEST(ReportBuffer, ConversionsMatchPrintf) {
    const auto printed = [](const char* format, auto value) {
        char buffer[128];
        const int n = std::snprintf(buffer, sizeof buffer, format, value);
        std::string s;
        for (char ch : std::string_view(buffer, static_cast<std::size_t>(n))) ch == '\n' ? s += "\r\n" : s += ch;
        return s;
    };
    std::mt19937 random(7);
    std::vector<std::int32_t> values = {0,    1,    -1,    9,     -9,        99,        -99,      999,
                                        -999, 9999, -9999, 10000, 123456789, INT32_MAX, INT32_MIN};
    for (int i = 0; i < 2000; ++i) values.push_back(static_cast<std::int32_t>(random()) >> (random() % 32));
    for (std::int32_t v : values) {
        const auto made = [v](int width, ReportBuffer::Pad pad) {
            ReportBuffer out;
            out.integer(v, width, pad);
            return std::string(out.view());
        };
        EXPECT_EQ(made(0, ReportBuffer::Pad::right), printed("%d", v));
        EXPECT_EQ(made(3, ReportBuffer::Pad::left), printed("%-3d", v));
        EXPECT_EQ(made(4, ReportBuffer::Pad::zero), printed("%04d", v));
        EXPECT_EQ(made(10, ReportBuffer::Pad::right), printed("%10d", v));
        ReportBuffer hex;
        hex.alternateHex8(static_cast<std::uint32_t>(v));
        EXPECT_EQ(hex.view(), printed("%#8x", static_cast<unsigned>(v)));
    }
    for (const std::string& text :
         std::vector<std::string>{"", "a", "勝利条件", "ｶﾀｶﾅ", "改\n行", std::string(29, 'x') + "表",
                                  "とても長いトリガの名前が三十バイトを超える"}) {
        ReportBuffer out;
        out.textLeft(text, 30);
        EXPECT_EQ(out.view(), printed("%-30s", text.c_str())) << text;
    }
    for (const char* flag : {"オン", "いいえ", "はい"}) {
        ReportBuffer out;
        out.literalLeft(flag, 6);
        EXPECT_EQ(out.view(), printed("%-6s", flag));
    }
}

// The UTF-8 of a report that comes in pieces, wherever they are cut.
TEST(Cp932Text, Utf8IsTheSameWhereverThePiecesAreCut) {
    const std::string report = "あ\r\nい\x82\r\nう\r\r\nｱ\x81\x7f\r\n";
    const std::string whole = cp932ToUtf8(report, true);
    const std::u8string_view expected = u8"あ\nい\uFFFD\nう\r\nｱ\uFFFD\x7f\n";
    EXPECT_EQ(whole, std::string(reinterpret_cast<const char*>(expected.data()), expected.size()));
    for (std::size_t cut = 0; cut <= report.size(); ++cut) {
        Utf8Converter pieces(true);
        std::string converted = pieces.convert(report.substr(0, cut));
        converted += pieces.convert(report.substr(cut));
        EXPECT_EQ(converted + pieces.finish(), whole) << "cut at " << cut;
    }
}

TEST(Sample, TheBundledFileIsWhatTheBuilderMakes) {
    ScenarioFile sample(platform::systemFiles());
    ScenarioBody body;
    ASSERT_TRUE(sample.open(std::filesystem::path(VANTOR_SAMPLE)));
    ASSERT_EQ(extractScenario(sample, body), ExtractOutcome::bodyReady);
    EXPECT_EQ(Bytes(body.bytes.get(), body.bytes.get() + body.size),
              testing::buildBody(testing::sampleScenario()).bytes)
        << "samples/sample.scx is out of date: rebuild it with make_sample";
}

}  // namespace
}  // namespace vantor
