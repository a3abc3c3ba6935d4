// The detailed report, byte for byte: the standard report with every
// parameter that a type uses in the body's edition and version added at the
// end of its line, in every edition; and what it needs beyond the records.
#include <gtest/gtest.h>

#include <bit>
#include <optional>

#include "report/trigger_report.h"
#include "tests/support/scenario_builder.h"

namespace vantor {
namespace {

using testing::condition;
using testing::effect;
using testing::Trigger;
using E = EffectField;
using C = ConditionField;
using Variables = std::vector<std::pair<std::uint32_t, std::string>>;

Trigger withRecords(std::vector<testing::Effect> effects, std::vector<testing::Condition> conditions = {}) {
    Trigger t;
    t.effects = std::move(effects);
    t.conditions = std::move(conditions);
    return t;
}

std::string u8(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

// A body of `version` (hundredths) holding the trigger, its records with the
// field counts that version stores (the HD editions 24 and 18).
testing::Bytes bodyOf(int version, Trigger t, const std::optional<Variables>& variables = Variables{}) {
    if (version >= 131) {
        testing::DefinitiveSpec spec;
        spec.version = version;
        for (testing::Effect& e : t.effects) e.fields.resize(testing::definitiveEffectFields(version), -1);
        for (testing::Condition& c : t.conditions) c.fields.resize(testing::definitiveConditionFields(version), -1);
        spec.triggers = {t};
        spec.variables = variables;
        return testing::buildDefinitiveBody(spec).bytes;
    }
    testing::BodySpec spec;
    spec.layout = testing::Layout::stored;
    spec.version = static_cast<float>(version) / 100.0f;
    for (testing::Effect& e : t.effects) e.fields.resize(version >= 123 ? 24 : 23, -1);
    for (testing::Condition& c : t.conditions) c.fields.resize(version >= 123 ? 18 : 16, -1);
    spec.triggers = {t};
    return testing::buildBody(spec).bytes;
}

// Its report of `detail`, checked as a stream checks it; empty when refused.
std::string reportOf(const testing::Bytes& body, ReportDetail detail) {
    const CheckedSection checked = checkTriggerSection(body, 0, RecordCheck::records, detail);
    ReportBuffer out;
    if (checked.outcome == ReportOutcome::reportReady) {
        EXPECT_TRUE(formatTriggerReport(body, checked, out));
    }
    return std::string(out.view());
}

// The record lines of the detailed report.
std::string detailedLines(int version, const Trigger& t, const Variables& variables = {}) {
    const std::string text = reportOf(bodyOf(version, t, variables), ReportDetail::detailed);
    const std::size_t first = text.find("\r\n  ");
    return first == std::string::npos ? text : text.substr(first + 2, text.size() - first - 4);
}

TEST(DetailedReport, EveryKindOfParameterInEveryEdition) {
    testing::Effect chat = effect(3).set(E::player, 1);
    static const char stored[] = "一行目\r\n二\n三\r四\0隠れた";
    chat.text = std::string(stored, sizeof stored - 1);
    testing::Effect horn = effect(4).set(E::player, 1).set(E::locationObject, 77);
    horn.sound = "horn";
    testing::Effect instructions = effect(20).set(E::displayTime, 10).set(E::panelPosition, 1);
    instructions.text = u8(u8"上\r\n下");
    instructions.sound = "s";
    struct Case {
        int version;
        Trigger trigger;
        std::string lines;
        Variables variables{};
    };
    const Case cases[] = {
        // Age of Kings: a location, an unset one left out, a fixed list, a text across lines, selected objects,
        // an area.
        {120,
         withRecords(
             {effect(11).set(E::player, 1).set(E::object, 83).set(E::locationX, 10).set(E::locationY, 20),
              effect(11).set(E::player, 1).set(E::object, 83),
              effect(1).set(E::player, 2).set(E::targetPlayer, 1).set(E::diplomacy, 3), chat, effect(6).select({5, 6})},
             {condition(5)
                  .set(C::player, 1)
                  .set(C::amount, 3)
                  .set(C::areaX1, 1)
                  .set(C::areaY1, 2)
                  .set(C::areaX2, 3)
                  .set(C::areaY2, 4)}),
         "  効果 0  :オブジェクトの作成 (プレイヤー 1 町の人) 位置:(10,20)\r\n"
         "  効果 1  :オブジェクトの作成 (プレイヤー 1 町の人)\r\n"
         "  効果 2  :外交姿勢の変更 プレイヤー:プレイヤー 2 対象プレイヤー:プレイヤー 1 外交:敵\r\n"
         "  効果 3  :チャットの送信 プレイヤー:プレイヤー 1 テキスト:「一行目／二／三／四」\r\n"
         "  効果 4  :門を開ける 選択オブジェクト:2(5,6)\r\n"
         "  条件 0  :エリア内のオブジェクト プレイヤー:プレイヤー 1 数量:3 範囲:(1,2)-(3,4)\r\n"},
        // The Conquerors: UserPatch's types named, the location object of field 5, an amount as stored,
        // difficulty levels without the Definitive Edition's -1.
        {122,
         withRecords({effect(30).set(E::amount, 6000).select({7}), horn, effect(28).set(E::amount, -5)},
                     {condition(19).set(C::amount, -1), condition(19).set(C::amount, 4)}),
         "  効果 0  :不明(    0x1e) 効果名:オブジェクトの速度を変更 数量:6000 選択オブジェクト:1(7)\r\n"
         "  効果 1  :サウンドの再生 プレイヤー:プレイヤー 1 位置オブジェクト:77 サウンド:「horn」\r\n"
         "  効果 2  :オブジェクトの攻撃力を変更 数量:-5\r\n"
         "  条件 0  :難易度\r\n"
         "  条件 1  :難易度 難易度:最も易しい\r\n"},
        // HD: its types 30 to 36 and condition 20 named as the Definitive Edition's; its 24th effect field
        // and 17th condition field.
        {126,
         withRecords({effect(36).set(E::player, 2).set(E::attackStance, 2)},
                     {condition(1).set(C::unitObject, 12).set(C::inverted, 1), condition(20).set(C::amount, 50)}),
         "  効果 0  :不明(    0x24) 効果名:オブジェクトの態勢を変更 プレイヤー:プレイヤー 2 態勢:持ち場を守る\r\n"
         "  条件 0  :オブジェクトをエリアに移動 対象オブジェクト:12 反転:はい\r\n"
         "  条件 1  :不明(    0x14) 条件名:確率 確率:50\r\n"},
        // The Definitive Edition: variables by the names the scenario gives them, or by number; its names;
        // a list that names -1.
        {136,
         withRecords({effect(56).set(E::amount, 5).set(E::operation, 2).set(E::variable, 1),
                      effect(2).set(E::player, 1).set(E::technology, 28).set(E::forceResearch, 1)},
                     {condition(22).set(C::amount, 10).set(C::variable, 2).set(C::comparison, 4).set(C::inverted, 0),
                      condition(19).set(C::amount, -1)}),
         "  効果 0  :変数の変更 演算:加算 数量:5 変数:1「金の数」\r\n"
         "  効果 1  :テクノロジーの研究 (プレイヤー 1 ビマリスタン) 強制研究:はい\r\n"
         "  条件 0  :変数の値 数量:10 変数:2 比較:以上 反転:いいえ\r\n"
         "  条件 1  :難易度 難易度:極限\r\n",
         {{3, "b"}, {1, u8(u8"金\nの数")}, {1, u8(u8"金の数")}}},
        // The early builds know the first release's types; an area that sets a part.
        {135,
         withRecords({effect(56).set(E::amount, 1)},
                     {condition(5).set(C::areaX1, -1).set(C::areaY1, 2).set(C::areaX2, 3).set(C::areaY2, 4)}),
         "  効果 0  :変数の変更 数量:1\r\n"
         "  条件 0  :エリア内のオブジェクト 範囲:(-1,2)-(3,4)\r\n"},
        // An attack value's class packed into its amount; an amount that holds none.
        {146,
         withRecords({effect(51).set(E::player, 1).set(E::objectAttribute, 9).set(E::amount, 4 << 16 | 25),
                      effect(51).set(E::player, 1).set(E::objectAttribute, 0).set(E::amount, -3)}),
         "  効果 0  :属性の変更 プレイヤー:プレイヤー 1 属性:攻撃力 数量:25 ダメージ区分:基本近接\r\n"
         "  効果 1  :属性の変更 プレイヤー:プレイヤー 1 属性:ヒットポイント 数量:-3\r\n"},
        // A float in a field's place; a command button's place.
        {155,
         withRecords({effect(51).set(E::amountFloat, std::bit_cast<std::int32_t>(1.5f)),
                      effect(46).set(E::object2, 83).set(E::buttonLocation, 7)}),
         "  効果 0  :属性の変更 小数値:1.5\r\n"
         "  効果 1  :訓練場所を変更 オブジェクト2:町の人 ボタン位置:2行2列\r\n"},
        // A standard text as read, then what the standard report does not show; the newest types.
        {158,
         withRecords({instructions, effect(109).set(E::player, 1).set(E::targetPlayer, 2).set(E::enabled, 1)},
                     {condition(79).set(C::trigger, 3)}),
         "  効果 0  :説明を表示 (上\r\r\n下) 表示時間:10 パネル位置:中 サウンド:「s」\r\n"
         "  効果 1  :外交姿勢の同期 プレイヤー:プレイヤー 1 対象プレイヤー:プレイヤー 2 有効:はい\r\n"
         "  条件 0  :トリガが有効 トリガ:0003\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(detailedLines(c.version, c.trigger, c.variables), c.lines);
    }
}

// The Definitive Edition's variables stand behind the triggers: the detailed
// report needs them whole (and refuses the body without them, before its
// first byte), the standard report does not look at them.
TEST(DetailedReport, NeedsTheVariablesBehindTheTriggers) {
    Trigger t;
    t.effects = {effect(56).set(E::variable, 0)};
    testing::Bytes whole = bodyOf(158, t, Variables{{0, "v"}});
    const std::string standard = reportOf(whole, ReportDetail::standard);
    ASSERT_NE(standard, "");
    for (const testing::Bytes& body : {testing::Bytes(whole.begin(), whole.end() - 1), bodyOf(158, t, std::nullopt)}) {
        EXPECT_EQ(reportOf(body, ReportDetail::standard), standard);
        EXPECT_EQ(reportOf(body, ReportDetail::detailed), "");
        const CheckedSection unchecked = checkTriggerSection(body, 0, RecordCheck::walkOnly, ReportDetail::detailed);
        ReportBuffer out;
        EXPECT_FALSE(formatTriggerReport(body, unchecked, out));
        EXPECT_EQ(out.size(), 0u);
    }
}

}  // namespace
}  // namespace vantor
