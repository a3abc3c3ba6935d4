// Effect and condition lines: their exact bytes and the size of each record.
#include <gtest/gtest.h>

#include "report/record_lines.h"
#include "report/report_buffer.h"
#include "tests/support/scenario_builder.h"

namespace vantor {
namespace {

using testing::Bytes;
using testing::Condition;
using testing::Effect;

Bytes effectBytes(const Effect& e) {
    Bytes b;
    testing::putS32(b, e.type);
    testing::putS32(b, static_cast<std::int32_t>(e.fields.size()));
    for (std::int32_t f : e.fields) testing::putS32(b, f);
    testing::putString32(b, e.text);
    testing::putString32(b, e.sound);
    for (std::int32_t id : e.selectedObjects) testing::putS32(b, id);
    return b;
}

Bytes conditionBytes(const Condition& c) {
    Bytes b;
    testing::putS32(b, c.type);
    testing::putS32(b, static_cast<std::int32_t>(c.fields.size()));
    for (std::int32_t f : c.fields) testing::putS32(b, f);
    return b;
}

struct Line {
    std::string text;
    std::int64_t size;
    bool ok;
};

Line effectLine(const Bytes& bytes, std::int32_t index = 0) {
    BodyCursor c({bytes.data(), bytes.size()});
    ReportBuffer out;
    formatEffectLine(c, index, out);
    return {std::string(out.view()), c.position(), c.ok()};
}

Line effectLine(const Effect& e, std::int32_t index = 0) { return effectLine(effectBytes(e), index); }

Line conditionLine(const Bytes& bytes, std::int32_t index = 0) {
    BodyCursor c({bytes.data(), bytes.size()});
    ReportBuffer out;
    formatConditionLine(c, index, out);
    return {std::string(out.view()), c.position(), c.ok()};
}

Line conditionLine(const Condition& c, std::int32_t index = 0) { return conditionLine(conditionBytes(c), index); }

TEST(EffectLines, TypeWithoutParametersIsIndexAndName) {
    Effect e;
    e.type = 1;
    EXPECT_EQ(effectLine(e).text, "  効果 0  :外交姿勢の変更\r\n");
    EXPECT_EQ(effectLine(e, 12).text, "  効果 12 :外交姿勢の変更\r\n");
    EXPECT_EQ(effectLine(e, 1000).text, "  効果 1000:外交姿勢の変更\r\n");
}

TEST(EffectLines, EveryFormatWithParameters) {
    Effect research;
    research.type = 2;
    research.set(7, 1).set(9, 101);
    EXPECT_EQ(effectLine(research).text, "  効果 0  :テクノロジーの研究 (プレイヤー 1 領主の時代)\r\n");

    Effect tribute;
    tribute.type = 5;
    tribute.set(7, 1).set(8, 2).set(2, 3).set(1, 250);
    EXPECT_EQ(effectLine(tribute, 3).text, "  効果 3  :貢物 (プレイヤー 1→プレイヤー 2 資源D 250)\r\n");

    Effect enable;
    enable.type = 8;
    enable.set(13, 10);
    EXPECT_EQ(effectLine(enable).text, "  効果 0  :トリガを有効にする (0010)\r\n");
    Effect disable;
    disable.type = 9;
    disable.set(13, -1);
    EXPECT_EQ(effectLine(disable).text, "  効果 0  :トリガを無効にする (-001)\r\n");

    Effect create;
    create.type = 11;
    create.set(7, 0).set(6, 83);
    EXPECT_EQ(effectLine(create).text, "  効果 0  :オブジェクトの作成 (地の女神 町の人)\r\n");

    Effect kill;
    kill.type = 14;
    kill.set(7, 2).set(6, 4).set(20, 18).set(21, 4);
    EXPECT_EQ(effectLine(kill).text, "  効果 0  :オブジェクトを倒す (プレイヤー 2 射手 グループ:聖職者 種類:軍隊)\r\n");
    kill.set(6, -1).set(20, -1).set(21, -1);
    EXPECT_EQ(effectLine(kill).text, "  効果 0  :オブジェクトを倒す (プレイヤー 2 )\r\n");

    Effect damage;
    damage.type = 24;
    damage.set(7, 3).set(6, 9999).set(20, -1).set(21, 4).set(1, -50);
    EXPECT_EQ(effectLine(damage).text,
              "  効果 0  :オブジェクトにダメージを与える (プレイヤー 3 不明(  0x270f) 種類:軍隊 数量:-50)\r\n");
    Effect hitPoints;
    hitPoints.type = 27;
    hitPoints.set(7, 4).set(6, 38).set(20, 5).set(1, 100);
    EXPECT_EQ(effectLine(hitPoints).text,
              "  効果 0  :オブジェクトのヒットポイントを変更 (プレイヤー 4 騎士 グループ:不明(     0x5) 数量:100)\r\n");
}

TEST(EffectLines, InstructionsTextIsWrittenAsRead) {
    Effect e;
    e.type = 20;
    static const char stored[] = "一行目\r\n二行目\n三\r行目\0隠れた";
    e.text = std::string(stored, sizeof stored - 1);
    EXPECT_EQ(effectLine(e).text, "  効果 0  :説明を表示 (一行目\r\r\n二行目\r\n三\r行目)\r\n");
    e.text = "";
    EXPECT_EQ(effectLine(e).text, "  効果 0  :説明を表示 ()\r\n");
}

TEST(EffectLines, UnknownTypesTakeTheLastRow) {
    for (std::int32_t type : {0, -7, 30, 12345}) {
        Effect e;
        e.type = type;
        e.set(7, 1).set(9, 2);
        const std::string name = type == 0    ? "不明(       0)"
                                 : type == -7 ? "不明(0xfffffff9)"
                                 : type == 30 ? "不明(    0x1e)"
                                              : "不明(  0x3039)";
        EXPECT_EQ(effectLine(e).text, "  効果 0  :" + name + "\r\n") << type;
    }
}

TEST(EffectLines, SizeFollowsTextSoundAndSelectedObjects) {
    Effect e;
    e.type = 3;
    EXPECT_EQ(effectLine(e).size, 108);
    e.fields[4] = 0;
    EXPECT_EQ(effectLine(e).size, 108);
    e.select({1, 2, 3});
    EXPECT_EQ(effectLine(e).size, 120);
    e.text = "hello";
    e.sound = std::string("snd.wav\0", 8);
    EXPECT_EQ(effectLine(e).size, 133);
}

// Records saved with fewer fields than the game writes: each sized by its own
// stored count, missing fields taken as -1.
TEST(EffectLines, ShortFieldCountsAreHonoured) {
    Effect e;
    e.type = 5;
    e.fields = {-1, 30, 1};  // amount 30, resource 1; no players stored
    e.text = "x";
    const Line line = effectLine(e);
    EXPECT_EQ(line.text, "  効果 0  :貢物 (不明(0xffffffff)→不明(0xffffffff) 資源B 30)\r\n");
    EXPECT_EQ(line.size, 8 + 12 + 5 + 4);

    Effect bare;
    bare.type = 20;
    bare.fields.clear();
    bare.text = "t";
    EXPECT_EQ(effectLine(bare).text, "  効果 0  :説明を表示 (t)\r\n");
    EXPECT_EQ(effectLine(bare).size, 8 + 5 + 4);

    Effect wide;  // more fields than 23: the rest is skipped
    wide.type = 8;
    wide.fields.assign(30, 7);
    wide.fields[4] = -1;
    EXPECT_EQ(effectLine(wide).text, "  効果 0  :トリガを有効にする (0007)\r\n");
    EXPECT_EQ(effectLine(wide).size, 8 + 120 + 8);
}

TEST(EffectLines, ImpossibleRecordsFailWithoutWriting) {
    Effect e;
    e.type = 2;
    e.fields[4] = -2;  // a selected count below -1
    EXPECT_FALSE(effectLine(e).ok);
    EXPECT_EQ(effectLine(e).text, "");

    Effect many;
    many.fields[4] = 0x7FFFFFFF;
    EXPECT_FALSE(effectLine(many).ok);

    Bytes negativeFields;
    testing::putS32(negativeFields, 2);
    testing::putS32(negativeFields, -1);
    negativeFields.resize(200, 0);
    EXPECT_FALSE(effectLine(negativeFields).ok);

    Effect text;
    text.text = "abc";
    Bytes b = effectBytes(text);
    b[100] = 0xFF;  // text length -… (low byte of 3 → 0xFF, still positive) : make it negative
    b[103] = 0x80;
    EXPECT_FALSE(effectLine(b).ok);

    // Every truncation of a record fails cleanly.
    const Bytes whole = effectBytes(Effect{}.select({5}));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(effectLine(cut).ok) << n;
    }
}

TEST(ConditionLines, EveryFormat) {
    Condition own;
    own.type = 3;
    own.set(5, 1).set(4, 83).set(13, 18).set(0, 10);
    EXPECT_EQ(conditionLine(own).text,
              "  条件 0  :オブジェクトの所有 (プレイヤー 1 町の人 グループ:聖職者 数量:10)\r\n");
    Condition fewer;
    fewer.type = 4;
    fewer.set(5, 0).set(0, 0);
    EXPECT_EQ(conditionLine(fewer, 7).text, "  条件 7  :所有オブジェクトの減少 (地の女神  数量:0)\r\n");

    Condition researched;
    researched.type = 9;
    researched.set(5, 2).set(6, 22);
    EXPECT_EQ(conditionLine(researched).text, "  条件 0  :テクノロジーの研究 (プレイヤー 2 機織り)\r\n");
    researched.type = 17;
    EXPECT_EQ(conditionLine(researched).text, "  条件 0  :テクノロジーを研究 (プレイヤー 2 機織り)\r\n");

    Condition timer;
    timer.type = 10;
    EXPECT_EQ(conditionLine(timer).text, "  条件 0  :タイマー\r\n");
    timer.type = 99;
    EXPECT_EQ(conditionLine(timer).text, "  条件 0  :不明(    0x63)\r\n");
}

TEST(ConditionLines, SizeIsEightPlusFourPerStoredField) {
    Condition c;
    EXPECT_EQ(conditionLine(c).size, 72);
    c.fields = {5};  // only the amount stored
    c.type = 3;
    const Line line = conditionLine(c);
    EXPECT_EQ(line.size, 12);
    EXPECT_EQ(line.text, "  条件 0  :オブジェクトの所有 (不明(0xffffffff)  数量:5)\r\n");

    const Bytes whole = conditionBytes(Condition{});
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(conditionLine(cut).ok) << n;
    }
}

}  // namespace
}  // namespace vantor
