// The name tables: every text as the report prints it, in cp932 bytes.
#include <gtest/gtest.h>

#include "report/names.h"

namespace vantor {
namespace {

TEST(Names, KindsOutsideTheTablesGiveTheEmptyText) {
    for (std::int32_t kind : {0, 9, -1, 1000}) {
        for (std::int32_t value : {-1, 0, 2, 4, 757}) {
            EXPECT_EQ(lookupName(static_cast<NameKind>(kind), value), "") << kind << " " << value;
        }
    }
}

TEST(Names, FallbackIsHashEightX) {
    EXPECT_EQ(lookupName(NameKind::Technology, 0), "不明(       0)");
    EXPECT_EQ(lookupName(NameKind::Technology, 1), "不明(     0x1)");
    EXPECT_EQ(lookupName(NameKind::Technology, 18), "不明(    0x12)");
    EXPECT_EQ(lookupName(NameKind::Technology, 458), "不明(   0x1ca)");
    EXPECT_EQ(lookupName(NameKind::Technology, -1), "不明(0xffffffff)");
    EXPECT_EQ(lookupName(NameKind::Technology, 0x1234), "不明(  0x1234)");
    EXPECT_EQ(lookupName(NameKind::Technology, 0x123456), "不明(0x123456)");
    EXPECT_EQ(lookupName(NameKind::Technology, 0x1234567), "不明(0x1234567)");
    EXPECT_EQ(lookupName(NameKind::Technology, INT32_MIN), "不明(0x80000000)");
    EXPECT_EQ(lookupName(NameKind::Player, -1), "不明(0xffffffff)");
    EXPECT_EQ(lookupName(NameKind::Player, 9), "不明(     0x9)");
    EXPECT_EQ(lookupName(NameKind::Resource, 4), "不明(     0x4)");
    EXPECT_EQ(lookupName(NameKind::ConditionType, 0), "不明(       0)");
    EXPECT_EQ(lookupName(NameKind::EffectType, 0), "不明(       0)");
    EXPECT_EQ(lookupName(NameKind::ConditionType, 20), "不明(    0x14)");
    EXPECT_EQ(lookupName(NameKind::EffectType, 30), "不明(    0x1e)");
}

TEST(Names, ObjectsUnitGroupsAndUnitTypesPrintNothingForMinusOne) {
    EXPECT_EQ(lookupName(NameKind::Object, -1), "");
    EXPECT_EQ(lookupName(NameKind::Object, -2), "不明(0xfffffffe)");
    EXPECT_EQ(lookupName(NameKind::Object, 0), "不明(       0)");
    EXPECT_EQ(lookupName(NameKind::Object, 852), "不明(   0x354)");
    EXPECT_EQ(lookupName(NameKind::UnitGroup, -1), "");
    EXPECT_EQ(lookupName(NameKind::UnitType, -1), "");
}

TEST(Names, UnitGroupsAndUnitTypesCarryTheirLabel) {
    EXPECT_EQ(lookupName(NameKind::UnitGroup, 18), " グループ:聖職者");
    EXPECT_EQ(lookupName(NameKind::UnitGroup, 5), " グループ:不明(     0x5)");
    EXPECT_EQ(lookupName(NameKind::UnitType, 4), " 種類:軍隊");
    EXPECT_EQ(lookupName(NameKind::UnitType, 1), " 種類:不明(     0x1)");
}

TEST(Names, SharedTextsAndRuns) {
    for (std::int32_t v : {624, 625, 626}) EXPECT_EQ(lookupName(NameKind::Object, v), "テント");
    for (std::int32_t v = 712; v <= 719; ++v) EXPECT_EQ(lookupName(NameKind::Object, v), "幕舎");
    EXPECT_EQ(lookupName(NameKind::Object, 711), "不明(   0x2c7)");
    EXPECT_EQ(lookupName(NameKind::Object, 720), "ナイン バンド");
    EXPECT_EQ(lookupName(NameKind::ConditionType, 9), "テクノロジーの研究");
    EXPECT_EQ(lookupName(NameKind::ConditionType, 17), "テクノロジーを研究");
    EXPECT_EQ(lookupName(NameKind::EffectType, 2), lookupName(NameKind::ConditionType, 9));
    EXPECT_EQ(lookupName(NameKind::Technology, 280), "巡回");
    EXPECT_EQ(lookupName(NameKind::EffectType, 19), "巡回");
    EXPECT_EQ(lookupName(NameKind::Technology, 2), "エリートタルカン");
    EXPECT_EQ(lookupName(NameKind::Object, 757), "エリートタルカン");
}

// The signs whose cp932 bytes are easy to get wrong, checked as bytes.
TEST(Names, FullWidthSignsAndBlanksAreExactBytes) {
    EXPECT_EQ(lookupName(NameKind::Object, 600), "\x8a\xf8\x81\x7c\x82\x60");  // 旗－Ａ
    EXPECT_EQ(lookupName(NameKind::Object, 604), "\x8a\xf8\x81\x7c\x82\x64");  // 旗－Ｅ
    EXPECT_EQ(lookupName(NameKind::Object, 721), "\x81\x75\x81\x5e\x81\x76の船の残骸");
    EXPECT_EQ(lookupName(NameKind::Object, 722), "\x81\x75\x81\x5f\x81\x76の船の残骸");
    EXPECT_EQ(lookupName(NameKind::EffectType, 10), "AIスクリプト\x81\x40ゴール");
    EXPECT_EQ(lookupName(NameKind::Object, 684), "アカースト タワー ");
    EXPECT_EQ(lookupName(NameKind::Object, 684).size(), 18u);
    EXPECT_EQ(lookupName(NameKind::Object, 331), "遠投投石機(梱包)");
    EXPECT_EQ(lookupName(NameKind::Object, 759), "ハスカール(戦士育成所)");
    EXPECT_EQ(lookupName(NameKind::Object, 761), "エリートハスカール(戦士育成所)");
    EXPECT_EQ(lookupName(NameKind::Object, 685), "プライズ タワー");
    EXPECT_EQ(lookupName(NameKind::ConditionType, 12), "AIシグナル");
}

TEST(Names, PlayersAndResources) {
    EXPECT_EQ(lookupName(NameKind::Player, 0), "地の女神");
    EXPECT_EQ(lookupName(NameKind::Player, 1), "プレイヤー 1");
    EXPECT_EQ(lookupName(NameKind::Player, 8), "プレイヤー 8");
    EXPECT_EQ(lookupName(NameKind::Resource, 0), "資源A");
    EXPECT_EQ(lookupName(NameKind::Resource, 3), "資源D");
}

TEST(Names, TableEdgesAndSamples) {
    EXPECT_EQ(lookupName(NameKind::Technology, 457), "パーフュージョン");
    EXPECT_EQ(lookupName(NameKind::Technology, 101), "領主の時代");
    EXPECT_EQ(lookupName(NameKind::Technology, 103), "帝王の時代");
    EXPECT_EQ(lookupName(NameKind::Technology, 445), "新機箭");
    EXPECT_EQ(lookupName(NameKind::Object, 4), "射手");
    EXPECT_EQ(lookupName(NameKind::Object, 851), "旗");
    EXPECT_EQ(lookupName(NameKind::Object, 837), "マップ可視部分");
    EXPECT_EQ(lookupName(NameKind::Object, 83), "町の人");
    EXPECT_EQ(lookupName(NameKind::ConditionType, 1), "オブジェクトをエリアに移動");
    EXPECT_EQ(lookupName(NameKind::ConditionType, 19), "難易度");
    EXPECT_EQ(lookupName(NameKind::EffectType, 1), "外交姿勢の変更");
    EXPECT_EQ(lookupName(NameKind::EffectType, 29), "ユニットを停止");
    EXPECT_EQ(lookupName(NameKind::EffectType, 27), "オブジェクトのヒットポイントを変更");
}

// How many values of each table have a name: a lost or doubled row shows here.
TEST(Names, EveryTableHasItsNumberOfNamedValues) {
    auto named = [](NameKind kind) {
        int count = 0;
        for (std::int32_t v = -5; v <= 2000; ++v) {
            const std::string text = lookupName(kind, v);
            if (!text.empty() && text.find("不明(") == std::string::npos) ++count;
        }
        return count;
    };
    EXPECT_EQ(named(NameKind::Technology), 139);
    EXPECT_EQ(named(NameKind::Object), 154);
    EXPECT_EQ(named(NameKind::UnitGroup), 1);
    EXPECT_EQ(named(NameKind::ConditionType), 19);
    EXPECT_EQ(named(NameKind::EffectType), 29);
    EXPECT_EQ(named(NameKind::Player), 9);
    EXPECT_EQ(named(NameKind::Resource), 4);
    EXPECT_EQ(named(NameKind::UnitType), 1);
}

}  // namespace
}  // namespace vantor
