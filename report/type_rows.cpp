// The rows of every effect and condition type, and the parameters and fixed
// lists they show.
//
// Where the facts come from: the fields each type uses in each version of the
// Definitive Edition, and the values of its fixed lists, are those that
// AoE2ScenarioParser's version files and datasets give (KSneijders/
// AoE2ScenarioParser, commit b763e2e3: versions/DE/v1.36 to v1.58, effects.json
// and conditions.json, "attributes" of each type; datasets/trigger_lists);
// the older editions' records hold the first 23 effect fields and 16
// condition fields of the same meaning (the HD editions 24 and 18), their
// location object in effect field 5 (genie-rs, crates/genie-scx/src/
// triggers.rs).  The HD editions' effect types 30 to 36 and condition 20 are
// the Definitive Edition's; The Conquerors' bodies made with UserPatch use
// 30 to 33 for speed, range, melee and pierce armour (genieutils, include/
// genie/script/scn/Trigger.h), with the fields of type 28.  The standard
// report names a type only where it always did: the types of the older
// editions, and the Definitive Edition's in its own reports from the version
// whose editor offers them.
#include "report/type_rows.h"

#include <array>

#include "report/cp932_literal.h"
#include "report/report_buffer.h"
#include "scenario/trigger_fields.h"

namespace vantor {
namespace {

// A version of a row or a use: one that the walk knows (checked as the
// program is compiled).
consteval BodyVersion known(int hundredths) {
    if (versions::ofStored(static_cast<float>(hundredths) / 100.0f) != BodyVersion{hundredths})
        throw "a body version that the walk does not know";
    return BodyVersion{hundredths};
}
consteval Versions since(int v) { return {known(v), versions::newest}; }
consteval Versions upTo(int v) { return {versions::oldest, known(v)}; }
consteval Versions only(int v) { return {known(v), known(v)}; }
consteval Versions between(int from, int until) { return {known(from), known(until)}; }

// clang-format off
namespace lists {

constexpr ListEntry yesNo[] = {{0, "いいえ"_cp932}, {1, "はい"_cp932}};
constexpr ListEntry diplomacy[] = {{0, "同盟"_cp932}, {1, "中立"_cp932}, {3, "敵"_cp932}};
constexpr ListEntry operation[] = {
    {1, "設定"_cp932}, {2, "加算"_cp932}, {3, "減算"_cp932}, {4, "乗算"_cp932}, {5, "除算"_cp932}};
constexpr ListEntry comparison[] = {
    {0, "等しい"_cp932}, {1, "より小さい"_cp932}, {2, "より大きい"_cp932}, {3, "以下"_cp932}, {4, "以上"_cp932}};
constexpr ListEntry attackStance[] = {
    {0, "攻撃的"_cp932}, {1, "防御的"_cp932}, {2, "持ち場を守る"_cp932}, {3, "攻撃しない"_cp932}};
constexpr ListEntry panelPosition[] = {{0, "上"_cp932}, {1, "中"_cp932}, {2, "下"_cp932}};
constexpr ListEntry visibility[] = {{0, "可視"_cp932}, {1, "探索済み"_cp932}, {2, "不可視"_cp932}};
constexpr ListEntry timeUnit[] = {{0, "年"_cp932}, {1, "分"_cp932}, {2, "秒"_cp932}, {3, "分と秒"_cp932}};
constexpr ListEntry technologyState[] = {
    {-1, "無効"_cp932}, {0, "未準備"_cp932}, {1, "研究可能"_cp932}, {2, "研究中"_cp932}, {3, "研究完了"_cp932},
    {4, "順番待ち"_cp932}};
constexpr ListEntry playerColour[] = {
    {1, "青"_cp932}, {2, "赤"_cp932}, {3, "緑"_cp932}, {4, "黄"_cp932}, {5, "水色"_cp932}, {6, "紫"_cp932},
    {7, "灰色"_cp932}, {8, "橙"_cp932}};
constexpr ListEntry colourMood[] = {
    {0, "標準"_cp932}, {1, "秋"_cp932}, {2, "冬"_cp932}, {3, "ジャングル"_cp932}, {4, "砂漠"_cp932},
    {5, "夜"_cp932}, {6, "夕方"_cp932}, {7, "春"_cp932}, {8, "サバンナ"_cp932}, {9, "極地"_cp932},
    {10, "熱帯雨林"_cp932}, {11, "沼地"_cp932}, {12, "ステップ"_cp932}, {13, "霧"_cp932}, {14, "夏"_cp932},
    {15, "薄暗がり"_cp932}, {16, "もや"_cp932}, {17, "薄明"_cp932}, {18, "暗闇"_cp932}};
constexpr ListEntry objectState[] = {
    {0, "土台"_cp932}, {1, "完成間近"_cp932}, {2, "生存"_cp932}, {3, "資源"_cp932}, {4, "死亡中"_cp932},
    {5, "死亡"_cp932}, {6, "不死"_cp932}, {7, "削除"_cp932}};
constexpr ListEntry actionType[] = {
    {0, "既定"_cp932}, {1, "移動"_cp932}, {2, "巡回"_cp932}, {3, "護衛"_cp932}, {4, "追従"_cp932},
    {5, "停止"_cp932}, {6, "地面を攻撃"_cp932}, {7, "駐留"_cp932}, {8, "倒す"_cp932}, {9, "降ろす"_cp932},
    {10, "集合地点"_cp932}, {11, "施錠・解錠"_cp932}, {12, "作業"_cp932}, {13, "駐留解除"_cp932},
    {14, "聖遺物を置く"_cp932}, {15, "梱包"_cp932}, {16, "展開"_cp932}, {17, "攻撃移動"_cp932},
    {18, "横隊"_cp932}, {19, "方陣"_cp932}, {20, "散開隊形"_cp932}, {21, "側面隊形"_cp932}, {22, "変形"_cp932},
    {23, "食料を売る"_cp932}, {24, "木材を売る"_cp932}, {25, "石材を売る"_cp932}, {26, "食料を買う"_cp932},
    {27, "木材を買う"_cp932}, {28, "石材を買う"_cp932}, {29, "町の鐘を鳴らす"_cp932}, {30, "仕事に戻る"_cp932},
    {31, "全員仕事に戻る"_cp932}, {32, "荷を降ろす"_cp932}};
constexpr ListEntry aiAction[] = {
    {0, "すべて"_cp932}, {1, "攻撃"_cp932}, {2, "防御"_cp932}, {3, "建設"_cp932}, {4, "治療"_cp932},
    {5, "改宗"_cp932}, {6, "探索"_cp932}, {7, "停止"_cp932}, {8, "逃走"_cp932}, {9, "退却"_cp932},
    {10, "採集"_cp932}, {11, "移動"_cp932}, {12, "巡回"_cp932}, {13, "追従"_cp932}, {14, "狩猟"_cp932},
    {15, "輸送"_cp932}, {16, "交易"_cp932}, {17, "回避"_cp932}, {18, "進入"_cp932}, {19, "修理"_cp932},
    {20, "訓練"_cp932}, {21, "研究"_cp932}, {22, "降ろす"_cp932}, {23, "聖遺物"_cp932}, {24, "待機"_cp932}};
constexpr ListEntry decisionOption[] = {{1, "選択肢1"_cp932}, {2, "選択肢2"_cp932}};
constexpr ListEntry victoryTimer[] = {
    {0, "民族の象徴"_cp932}, {1, "聖遺物"_cp932}, {2, "キングオブザヒル"_cp932}};
// The older editions' difficulty levels; the Definitive Edition adds -1.
constexpr ListEntry difficultyOlder[] = {
    {0, "最も難しい"_cp932}, {1, "難しい"_cp932}, {2, "普通"_cp932}, {3, "標準"_cp932}, {4, "最も易しい"_cp932}};
constexpr ListEntry difficulty[] = {
    {-1, "極限"_cp932}, {0, "最も難しい"_cp932}, {1, "難しい"_cp932}, {2, "普通"_cp932}, {3, "標準"_cp932},
    {4, "最も易しい"_cp932}};
constexpr ListEntry objectFilter[] = {{0, "すべて"_cp932}, {1, "未変更"_cp932}, {2, "変更済み"_cp932}};
// The classes of attack and armour values.
constexpr ListEntry damageClass[] = {
    {0, "民族の象徴"_cp932}, {1, "歩兵"_cp932}, {2, "亀甲船"_cp932}, {3, "基本遠隔"_cp932}, {4, "基本近接"_cp932},
    {5, "エレファント"_cp932}, {8, "騎兵"_cp932}, {11, "港以外の建物"_cp932}, {13, "石の防御施設"_cp932},
    {14, "肉食動物"_cp932}, {15, "射手"_cp932}, {16, "戦艦と爆破工作船"_cp932},
    {17, "破城槌・投石機・攻城塔"_cp932}, {18, "木"_cp932}, {19, "ユニークユニット"_cp932},
    {20, "攻城兵器"_cp932}, {21, "標準の建物"_cp932}, {22, "壁と門"_cp932}, {23, "火薬ユニット"_cp932},
    {24, "イノシシ"_cp932}, {25, "聖職者"_cp932}, {26, "城"_cp932}, {27, "槍兵"_cp932}, {28, "弓騎兵"_cp932},
    {29, "イーグルウォリア"_cp932}, {30, "らくだ"_cp932}, {31, "レイタスの攻撃"_cp932},
    {32, "コンドッティエーロ"_cp932}, {33, "火薬の二次弾"_cp932}, {34, "漁船"_cp932}, {35, "マムルーク"_cp932},
    {36, "英雄と王"_cp932}, {37, "フス派の戦車"_cp932}};
constexpr ListEntry objectAttribute[] = {
    {0, "ヒットポイント"_cp932}, {1, "視界"_cp932}, {2, "駐留可能数"_cp932}, {3, "大きさX"_cp932},
    {4, "大きさY"_cp932}, {5, "移動速度"_cp932}, {6, "回転速度"_cp932}, {8, "防御力"_cp932},
    {9, "攻撃力"_cp932}, {10, "攻撃間隔"_cp932}, {11, "命中率"_cp932}, {12, "最大射程"_cp932},
    {13, "作業速度"_cp932}, {14, "運搬量"_cp932}, {15, "基本防御力"_cp932}, {16, "発射物"_cp932},
    {17, "建物アイコン"_cp932}, {18, "地形防御ボーナス"_cp932}, {19, "発射物の予測射撃"_cp932},
    {20, "最小射程"_cp932}, {21, "第1資源の量"_cp932}, {22, "爆風範囲"_cp932}, {23, "索敵範囲"_cp932},
    {24, "ボーナスダメージ耐性"_cp932}, {25, "アイコンID"_cp932}, {26, "第2資源の量"_cp932},
    {27, "第3資源の量"_cp932}, {28, "霧の中の表示"_cp932}, {29, "隠れたときの表示"_cp932},
    {30, "駐留区分"_cp932}, {32, "大きさZ"_cp932}, {33, "上に建設可能"_cp932}, {34, "土台の地形"_cp932},
    {40, "英雄状態"_cp932}, {41, "攻撃フレーム遅延"_cp932}, {42, "訓練場所"_cp932}, {43, "訓練ボタン"_cp932},
    {44, "爆風攻撃レベル"_cp932}, {45, "爆風防御レベル"_cp932}, {46, "表示攻撃力"_cp932},
    {47, "表示射程"_cp932}, {48, "表示近接防御力"_cp932}, {49, "表示遠隔防御力"_cp932}, {50, "名前ID"_cp932},
    {51, "短い説明ID"_cp932}, {53, "地形制限ID"_cp932}, {54, "ユニット特性"_cp932}, {56, "特性の対象"_cp932},
    {57, "死亡時ユニット"_cp932}, {58, "ホットキーID"_cp932}, {59, "最大チャージ"_cp932},
    {60, "チャージ速度"_cp932}, {61, "チャージイベント"_cp932}, {62, "チャージ区分"_cp932},
    {63, "戦闘能力"_cp932}, {64, "攻撃の散らばり"_cp932}, {65, "第2発射物"_cp932}, {66, "血のユニット"_cp932},
    {67, "発射物の命中方式"_cp932}, {68, "発射物の消滅方式"_cp932}, {69, "発射物の弧"_cp932},
    {70, "攻撃グラフィック"_cp932}, {71, "待機グラフィック"_cp932}, {72, "待機グラフィック2"_cp932},
    {73, "死亡グラフィック"_cp932}, {74, "不死グラフィック"_cp932}, {75, "歩行グラフィック"_cp932},
    {76, "走行グラフィック"_cp932}, {77, "特殊グラフィック"_cp932}, {78, "障害物区分"_cp932},
    {79, "通行妨害区分"_cp932}, {80, "選択効果"_cp932}, {81, "特殊能力"_cp932},
    {82, "攻撃待機グラフィック"_cp932}, {83, "英雄の光グラフィック"_cp932}, {84, "駐留グラフィック"_cp932},
    {85, "建設グラフィック"_cp932}, {86, "雪グラフィック"_cp932}, {87, "破壊グラフィック"_cp932},
    {88, "瓦礫グラフィック"_cp932}, {89, "研究中グラフィック"_cp932}, {90, "研究完了グラフィック"_cp932},
    {91, "損傷グラフィック"_cp932}, {92, "選択音"_cp932}, {93, "選択音イベント"_cp932}, {94, "死亡音"_cp932},
    {95, "死亡音イベント"_cp932}, {96, "訓練音"_cp932}, {97, "訓練音イベント"_cp932}, {98, "損傷音"_cp932},
    {99, "損傷音イベント"_cp932}, {100, "資源コスト"_cp932}, {101, "訓練時間"_cp932}, {102, "発射数"_cp932},
    {103, "食料コスト"_cp932}, {104, "木材コスト"_cp932}, {105, "金コスト"_cp932}, {106, "石材コスト"_cp932},
    {107, "最大発射数"_cp932}, {108, "駐留時回復速度"_cp932}, {109, "自然回復速度"_cp932}, {110, "人口"_cp932},
    {111, "最短改宗時間補正"_cp932}, {112, "最長改宗時間補正"_cp932}, {113, "改宗確率補正"_cp932},
    {114, "隊形区分"_cp932}, {115, "範囲ダメージ"_cp932}, {118, "ダメージ反射"_cp932},
    {119, "同士討ちダメージ"_cp932}, {120, "自然回復率"_cp932}, {121, "能力ボタンアイコンID"_cp932},
    {122, "能力の短い説明ID"_cp932}, {123, "能力の詳しい説明ID"_cp932}, {124, "能力のホットキー"_cp932},
    {125, "チャージ発射物"_cp932}, {126, "利用可能フラグ"_cp932}, {127, "無効化フラグ"_cp932},
    {128, "攻撃優先度"_cp932}, {129, "無敵レベル"_cp932}, {130, "駐留時火力"_cp932},
    {131, "攻撃グラフィック2"_cp932}, {132, "命令音"_cp932}, {133, "命令音イベント"_cp932}, {134, "移動音"_cp932},
    {135, "移動音イベント"_cp932}, {136, "建設音"_cp932}, {137, "建設音イベント"_cp932}, {138, "変形音"_cp932},
    {139, "変形音イベント"_cp932}, {140, "走行パターン"_cp932}, {141, "操作画面区分"_cp932},
    {142, "戦闘レベル"_cp932}, {143, "操作方式"_cp932}, {144, "ミニマップ表示"_cp932},
    {145, "軌跡ユニット"_cp932}, {146, "軌跡方式"_cp932}, {147, "軌跡密度"_cp932},
    {148, "発射物グラフィック位置X"_cp932}, {149, "発射物グラフィック位置Y"_cp932},
    {150, "発射物グラフィック位置Z"_cp932}, {151, "発射範囲の幅"_cp932}, {152, "発射範囲の長さ"_cp932},
    {153, "発射範囲のばらつき"_cp932}, {154, "損傷グラフィック補正"_cp932}, {155, "損傷グラフィック数"_cp932},
    {156, "損傷グラフィック割合"_cp932}, {157, "損傷グラフィック適用方式"_cp932}};

}  // namespace lists

constexpr std::uint8_t at(EffectField f) { return static_cast<std::uint8_t>(f); }
constexpr std::uint8_t at(EffectText t) { return static_cast<std::uint8_t>(t); }
constexpr std::uint8_t at(ConditionField f) { return static_cast<std::uint8_t>(f); }
constexpr std::uint8_t at(ConditionText t) { return static_cast<std::uint8_t>(t); }

// The labels: one word for one meaning in every row.
namespace label {
constexpr std::string_view player = "プレイヤー"_cp932;
constexpr std::string_view targetPlayer = "対象プレイヤー"_cp932;
constexpr std::string_view technology = "テクノロジー"_cp932;
constexpr std::string_view localTechnology = "ローカルテクノロジー"_cp932;
constexpr std::string_view object = "オブジェクト"_cp932;
constexpr std::string_view unitGroup = "グループ"_cp932;
constexpr std::string_view unitType = "種類"_cp932;
constexpr std::string_view amount = "数量"_cp932;
constexpr std::string_view resource = "資源"_cp932;
constexpr std::string_view diplomacy = "外交"_cp932;
constexpr std::string_view operation = "演算"_cp932;
constexpr std::string_view variable = "変数"_cp932;
constexpr std::string_view variable2 = "変数2"_cp932;
constexpr std::string_view trigger = "トリガ"_cp932;
constexpr std::string_view location = "位置"_cp932;
constexpr std::string_view area = "範囲"_cp932;
constexpr std::string_view locationObject = "位置オブジェクト"_cp932;
constexpr std::string_view selectedObjects = "選択オブジェクト"_cp932;
constexpr std::string_view objectState = "状態"_cp932;
constexpr std::string_view text = "テキスト"_cp932;
constexpr std::string_view stringId = "文字列ID"_cp932;
constexpr std::string_view timer = "タイマー"_cp932;
constexpr std::string_view timerNumber = "タイマー番号"_cp932;
constexpr std::string_view aiSignal = "AIシグナル"_cp932;
constexpr std::string_view decision = "選択肢ID"_cp932;
constexpr std::string_view inverted = "反転"_cp932;
}  // namespace label

// The parameters of effects.
namespace e {
using F = EffectField;
constexpr Parameter player{at(F::player), Form::name, label::player, NameKind::Player};
constexpr Parameter targetPlayer{at(F::targetPlayer), Form::name, label::targetPlayer, NameKind::Player};
constexpr Parameter diplomacy{at(F::diplomacy), Form::list, label::diplomacy, {}, lists::diplomacy};
constexpr Parameter mutualDiplomacy{at(F::mutualDiplomacy), Form::list, "相互"_cp932, {}, lists::yesNo};
constexpr Parameter technology{at(F::technology), Form::name, label::technology, NameKind::Technology};
constexpr Parameter localTechnology{at(F::localTechnology), Form::name, label::localTechnology, NameKind::Technology};
constexpr Parameter forceResearch{at(F::forceResearch), Form::list, "強制研究"_cp932, {}, lists::yesNo};
constexpr Parameter object{at(F::object), Form::name, label::object, NameKind::Object};
constexpr Parameter object2{at(F::object2), Form::name, "オブジェクト2"_cp932, NameKind::Object};
constexpr Parameter building{at(F::buildingList), Form::name, "建物"_cp932, NameKind::Object};
constexpr Parameter unitGroup{at(F::unitGroup), Form::name, label::unitGroup, NameKind::UnitGroup};
constexpr Parameter unitType{at(F::unitType), Form::name, label::unitType, NameKind::UnitType};
constexpr Parameter unitGroup2{at(F::unitGroup2), Form::name, "グループ2"_cp932, NameKind::UnitGroup};
constexpr Parameter unitType2{at(F::unitType2), Form::name, "種類2"_cp932, NameKind::UnitType};
constexpr Parameter objectAttribute{at(F::objectAttribute), Form::list, "属性"_cp932, {}, lists::objectAttribute};
constexpr Parameter objectFilter{at(F::objectFilter), Form::list, "絞り込み"_cp932, {}, lists::objectFilter};
constexpr Parameter operation{at(F::operation), Form::list, label::operation, {}, lists::operation};
constexpr Parameter amount{at(F::amount), Form::number, label::amount};
constexpr Parameter attackAmount{at(F::amount), Form::attackAmount, label::amount};
constexpr Parameter attackClass{at(F::amount), Form::attackClass, "ダメージ区分"_cp932, {}, lists::damageClass};
constexpr Parameter amountFloat{at(F::amountFloat), Form::floatNumber, "小数値"_cp932};
constexpr Parameter resource{at(F::resource), Form::name, label::resource, NameKind::Resource};
constexpr Parameter resource1{at(F::resource1), Form::name, "資源1"_cp932, NameKind::Resource};
constexpr Parameter resource1Amount{at(F::resource1Amount), Form::number, "数量1"_cp932};
constexpr Parameter resource2{at(F::resource2), Form::name, "資源2"_cp932, NameKind::Resource};
constexpr Parameter resource2Amount{at(F::resource2Amount), Form::number, "数量2"_cp932};
constexpr Parameter resource3{at(F::resource3), Form::name, "資源3"_cp932, NameKind::Resource};
constexpr Parameter resource3Amount{at(F::resource3Amount), Form::number, "数量3"_cp932};
constexpr Parameter food{at(F::food), Form::number, "食料"_cp932};
constexpr Parameter wood{at(F::wood), Form::number, "木材"_cp932};
constexpr Parameter stone{at(F::stone), Form::number, "石材"_cp932};
constexpr Parameter gold{at(F::gold), Form::number, "金"_cp932};
constexpr Parameter variable{at(F::variable), Form::variable, label::variable};
constexpr Parameter variable2{at(F::variable2), Form::variable, label::variable2};
constexpr Parameter trigger{at(F::trigger), Form::triggerNumber, label::trigger};
constexpr Parameter location{at(F::locationX), Form::location, label::location};
constexpr Parameter locationObject{at(F::locationObjectId), Form::number, label::locationObject};
constexpr Parameter legacyLocationObject{at(F::locationObject), Form::number, label::locationObject};
constexpr Parameter facet{at(F::facet), Form::number, "向き"_cp932};
constexpr Parameter facet2{at(F::facet2), Form::number, "向き2"_cp932};
constexpr Parameter area{at(F::areaX1), Form::area, label::area};
constexpr Parameter wall{at(F::wallX1), Form::area, "壁"_cp932};
constexpr Parameter selectedObjects{0, Form::selected, label::selectedObjects};
constexpr Parameter maxUnitsAffected{at(F::maxUnitsAffected), Form::number, "最大数"_cp932};
constexpr Parameter actionType{at(F::actionType), Form::list, "行動"_cp932, {}, lists::actionType};
constexpr Parameter attackStance{at(F::attackStance), Form::list, "態勢"_cp932, {}, lists::attackStance};
constexpr Parameter objectState{at(F::objectState), Form::list, label::objectState, {}, lists::objectState};
constexpr Parameter groupCommand{at(F::issueGroupCommand), Form::list, "集団命令"_cp932, {}, lists::yesNo};
constexpr Parameter queueAction{at(F::queueAction), Form::list, "行動予約"_cp932, {}, lists::yesNo};
constexpr Parameter visibility{at(F::visibility), Form::list, "可視性"_cp932, {}, lists::visibility};
constexpr Parameter playerColour{at(F::playerColour), Form::list, "プレイヤー色"_cp932, {}, lists::playerColour};
constexpr Parameter colourMood{at(F::colourMood), Form::list, "カラームード"_cp932, {}, lists::colourMood};
constexpr Parameter flashObject{at(F::flashObject), Form::list, "点滅"_cp932, {}, lists::yesNo};
constexpr Parameter enabled{at(F::enabled), Form::list, "有効"_cp932, {}, lists::yesNo};
constexpr Parameter item{at(F::item), Form::number, "アイテムID"_cp932};
constexpr Parameter buttonLocation{at(F::buttonLocation), Form::button, "ボタン位置"_cp932};
constexpr Parameter hotkey{at(F::hotkey), Form::number, "ホットキー"_cp932};
constexpr Parameter trainTime{at(F::trainTime), Form::number, "訓練時間"_cp932};
constexpr Parameter timer{at(F::timer), Form::number, label::timerNumber};
constexpr Parameter displayTime{at(F::displayTime), Form::number, "表示時間"_cp932};
constexpr Parameter timeUnit{at(F::timeUnit), Form::list, "時間単位"_cp932, {}, lists::timeUnit};
constexpr Parameter resetTimer{at(F::resetTimer), Form::list, "タイマー初期化"_cp932, {}, lists::yesNo};
constexpr Parameter scroll{at(F::scroll), Form::list, "スクロール"_cp932, {}, lists::yesNo};
constexpr Parameter aiScriptGoal{at(F::aiScriptGoal), Form::number, "AIゴール"_cp932};
constexpr Parameter aiSignal{at(F::aiSignal), Form::number, label::aiSignal};
constexpr Parameter decision{at(F::decision), Form::number, label::decision};
constexpr Parameter stringId{at(F::stringId), Form::number, label::stringId};
constexpr Parameter message{at(EffectText::message), Form::text, label::text};
constexpr Parameter optionStringId1{at(F::optionStringId1), Form::number, "文字列ID1"_cp932};
constexpr Parameter option1{at(EffectText::option1), Form::text, "選択肢テキスト1"_cp932};
constexpr Parameter optionStringId2{at(F::optionStringId2), Form::number, "文字列ID2"_cp932};
constexpr Parameter option2{at(EffectText::option2), Form::text, "選択肢テキスト2"_cp932};
constexpr Parameter panelPosition{at(F::panelPosition), Form::list, "パネル位置"_cp932, {}, lists::panelPosition};
constexpr Parameter tagColourForIcon{at(F::tagColourForIcon), Form::list, "タグ色アイコン"_cp932, {}, lists::yesNo};
constexpr Parameter sound{at(EffectText::sound), Form::text, "サウンド"_cp932};
constexpr Parameter playSound{at(F::playSound), Form::list, "サウンド再生"_cp932, {}, lists::yesNo};
constexpr Parameter globalSound{at(F::globalSound), Form::list, "全体サウンド"_cp932, {}, lists::yesNo};
constexpr Parameter disableSound{at(F::disableSound), Form::list, "音なし"_cp932, {}, lists::yesNo};
constexpr Parameter disableUnloadSound{at(F::disableGarrisonUnloadSound), Form::list, "降車音なし"_cp932, {},
                                       lists::yesNo};
}  // namespace e

// The parameters of conditions.
namespace c {
using F = ConditionField;
constexpr Parameter player{at(F::player), Form::name, label::player, NameKind::Player};
constexpr Parameter targetPlayer{at(F::targetPlayer), Form::name, label::targetPlayer, NameKind::Player};
constexpr Parameter technology{at(F::technology), Form::name, label::technology, NameKind::Technology};
constexpr Parameter localTechnology{at(F::localTechnology), Form::name, label::localTechnology, NameKind::Technology};
constexpr Parameter object{at(F::object), Form::name, label::object, NameKind::Object};
constexpr Parameter unitGroup{at(F::unitGroup), Form::name, label::unitGroup, NameKind::UnitGroup};
constexpr Parameter unitType{at(F::unitType), Form::name, label::unitType, NameKind::UnitType};
constexpr Parameter unitObject{at(F::unitObject), Form::number, "対象オブジェクト"_cp932};
constexpr Parameter nextObject{at(F::nextObject), Form::number, "目標オブジェクト"_cp932};
constexpr Parameter changeableWeapons{at(F::includeChangeableWeaponObjects), Form::list, "武器切替を含む"_cp932, {},
                                      lists::yesNo};
constexpr Parameter amount{at(F::amount), Form::number, label::amount};
// The amount field where it holds something else.
constexpr Parameter chance{at(F::amount), Form::number, "確率"_cp932};
constexpr Parameter difficultyOlder{at(F::amount), Form::list, "難易度"_cp932, {}, lists::difficultyOlder};
constexpr Parameter difficulty{at(F::amount), Form::list, "難易度"_cp932, {}, lists::difficulty};
constexpr Parameter technologyState{at(F::amount), Form::list, "研究状態"_cp932, {}, lists::technologyState};
constexpr Parameter diplomacy{at(F::amount), Form::list, label::diplomacy, {}, lists::diplomacy};
constexpr Parameter resource{at(F::resource), Form::name, label::resource, NameKind::Resource};
constexpr Parameter variable{at(F::variable), Form::variable, label::variable};
constexpr Parameter variable2{at(F::variable2), Form::variable, label::variable2};
constexpr Parameter comparison{at(F::comparison), Form::list, "比較"_cp932, {}, lists::comparison};
constexpr Parameter trigger{at(F::trigger), Form::triggerNumber, label::trigger};
constexpr Parameter area{at(F::areaX1), Form::area, label::area};
constexpr Parameter objectState{at(F::objectState), Form::list, label::objectState, {}, lists::objectState};
constexpr Parameter aiAction{at(F::unitAiAction), Form::list, "AI行動"_cp932, {}, lists::aiAction};
constexpr Parameter timer{at(F::timer), Form::number, label::timer};
constexpr Parameter timerId{at(F::timerId), Form::number, label::timerNumber};
constexpr Parameter victoryTimer{at(F::victoryTimerType), Form::list, "勝利タイマー"_cp932, {}, lists::victoryTimer};
constexpr Parameter aiSignal{at(F::aiSignal), Form::number, label::aiSignal};
constexpr Parameter decision{at(F::decision), Form::number, label::decision};
constexpr Parameter decisionOption{at(F::decisionOption), Form::list, "選択結果"_cp932, {}, lists::decisionOption};
constexpr Parameter scriptFunction{at(ConditionText::scriptFunction), Form::text, "スクリプト"_cp932};
constexpr Parameter inverted{at(F::inverted), Form::list, label::inverted, {}, lists::yesNo};
}  // namespace c

constexpr TypeRow effectRows[] = {
    {1, "外交姿勢の変更"_cp932, {e::player, e::targetPlayer, e::diplomacy, {e::mutualDiplomacy, since(157)}}},
    {2, "テクノロジーの研究"_cp932, {{e::player, Join::first}, {e::technology, Join::blank}, {e::forceResearch, since(136)}}},
    {3, "チャットの送信"_cp932, {e::player, e::stringId, e::message, e::sound}},
    {4, "サウンドの再生"_cp932, {e::player, e::location, {e::locationObject, since(136)}, {e::legacyLocationObject, upTo(126)}, e::sound, {e::globalSound, since(155)}}},
    {5, "貢物"_cp932, {{e::player, Join::first}, {e::targetPlayer, Join::arrow}, {e::resource, Join::blank}, {e::amount, Join::blank}}},
    {6, "門を開ける"_cp932, {e::selectedObjects}},
    {7, "門を閉ざす"_cp932, {e::selectedObjects}},
    {8, "トリガを有効にする"_cp932, {{e::trigger, Join::first}}},
    {9, "トリガを無効にする"_cp932, {{e::trigger, Join::first}}},
    {10, "AIスクリプト　ゴール"_cp932, {e::aiScriptGoal}},
    {11, "オブジェクトの作成"_cp932, {{e::player, Join::first}, {e::object, Join::blank}, e::location, {e::facet, since(136)}, {e::item, since(136)}, {e::disableSound, since(155)}}},
    {12, "オブジェクトに仕事を与える"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::location, {e::locationObject, since(136)}, {e::legacyLocationObject, upTo(126)}, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, {e::actionType, since(144)}, {e::groupCommand, since(156)}, {e::queueAction, since(156)}, {e::disableUnloadSound, since(155)}}},
    {13, "勝利宣言"_cp932, {e::player, {e::enabled, since(136)}}},
    {14, "オブジェクトを倒す"_cp932, {{e::player, Join::first}, {e::object, Join::blank}, {e::unitGroup, Join::attached}, {e::unitType, Join::attached}, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {15, "オブジェクトの削除"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, {e::objectState, since(144)}}},
    {16, "ビューの変更"_cp932, {e::player, {e::amount, since(146)}, e::location, {e::scroll, since(136)}}},
    {17, "下船"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::location, {e::locationObject, since(136)}, {e::legacyLocationObject, upTo(126)}, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {18, "所有者の変更"_cp932, {e::player, e::targetPlayer, e::object, e::unitGroup, e::unitType, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, {e::flashObject, since(136)}}},
    {19, "巡回"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::location, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {20, "説明を表示"_cp932, {{e::message, Join::first}, e::player, e::object, e::displayTime, e::stringId, e::panelPosition, {e::tagColourForIcon, since(158)}, e::sound, {e::playSound, since(136)}}},
    {21, "説明を消去"_cp932, {e::panelPosition}},
    {22, "ユニットをフリーズ"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {23, "詳細ボタンの使用"_cp932, {}},
    {24, "オブジェクトにダメージを与える"_cp932, {{e::player, Join::first}, {e::object, Join::blank}, {e::unitGroup, Join::attached}, {e::unitType, Join::attached}, {e::amount, Join::labelled}, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {25, "土台を築く"_cp932, {e::player, e::object, e::location}},
    {26, "オブジェクト名を変更"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, e::stringId, e::message}},
    {27, "オブジェクトのヒットポイントを変更"_cp932, {{e::player, Join::first}, {e::object, Join::blank}, {e::unitGroup, Join::attached}, {e::unitType, Join::attached}, {e::amount, Join::labelled}, {e::operation, since(136)}, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {28, "オブジェクトの攻撃力を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, {e::operation, since(136)}, {e::amount, upTo(126)}, {e::attackAmount, since(136)}, {e::attackClass, since(136)}, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {29, "ユニットを停止"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {30, only(122), "オブジェクトの速度を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {30, between(123, 126), "攻撃移動"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::location, e::legacyLocationObject, e::area, e::selectedObjects}, false},
    {30, since(136), "攻撃移動"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::location, e::locationObject, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {31, only(122), "オブジェクトの射程を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {31, between(123, 126), "オブジェクトの防御力を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {31, since(136), "オブジェクトの防御力を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::operation, e::attackAmount, e::attackClass, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {32, only(122), "オブジェクトの近接防御力を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {32, between(123, 126), "オブジェクトの射程を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {32, since(136), "オブジェクトの射程を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::operation, e::amount, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {33, only(122), "オブジェクトの遠隔防御力を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {33, between(123, 126), "オブジェクトの速度を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {33, since(136), "オブジェクトの速度を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {34, between(123, 126), "オブジェクトを回復"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects}, false},
    {34, since(136), "オブジェクトを回復"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::amount, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {35, between(123, 126), "オブジェクトをテレポート"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::location, e::area, e::selectedObjects}, false},
    {35, since(136), "オブジェクトをテレポート"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::location, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {36, between(123, 126), "オブジェクトの態勢を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::area, e::selectedObjects, e::attackStance}, false},
    {36, since(136), "オブジェクトの態勢を変更"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, e::attackStance}},
    {37, since(136), "タイマーを表示"_cp932, {e::timer, e::displayTime, e::timeUnit, {e::resetTimer, since(144)}, e::stringId, e::message}},
    {38, since(136), "オブジェクトの有効・無効"_cp932, {e::player, e::object, e::enabled, e::item}},
    {39, since(136), "テクノロジーの有効・無効"_cp932, {e::player, e::technology, e::enabled, e::item}},
    {40, since(136), "オブジェクトのコストを変更"_cp932, {e::player, e::object, {e::resource1, since(154)}, {e::resource1Amount, since(154)}, {e::resource2, since(154)}, {e::resource2Amount, since(154)}, {e::resource3, since(154)}, {e::resource3Amount, since(154)}, {e::food, between(136, 153)}, {e::wood, between(136, 153)}, {e::stone, between(136, 153)}, {e::gold, between(136, 153)}}},
    {41, since(136), "プレイヤーの視界を設定"_cp932, {e::player, e::targetPlayer, e::visibility}},
    {42, since(136), "オブジェクトのアイコンを変更"_cp932, {e::player, e::object, e::object2, e::unitGroup, e::unitType, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {43, since(136), "オブジェクトの置き換え"_cp932, {e::player, e::targetPlayer, e::object, e::object2, e::unitGroup, e::unitType, {e::facet2, since(155)}, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {44, since(136), "オブジェクトの説明を変更"_cp932, {e::player, e::object, e::stringId, e::message}},
    {45, since(136), "プレイヤー名を変更"_cp932, {e::player, e::stringId, e::message}},
    {46, since(136), "訓練場所を変更"_cp932, {e::player, e::object, e::object2, e::buttonLocation}},
    {47, since(136), "研究場所を変更"_cp932, {e::player, e::technology, e::object2, e::buttonLocation}},
    {48, since(136), "文明名を変更"_cp932, {e::player, e::stringId, e::message}},
    {49, since(136), "駐留オブジェクトの作成"_cp932, {e::player, e::object, e::object2, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, {e::disableSound, since(155)}}},
    {50, since(136), "AIシグナルに応答"_cp932, {e::aiSignal}},
    {51, since(136), "属性の変更"_cp932, {e::player, e::object, e::objectAttribute, e::operation, e::attackAmount, e::attackClass, {e::amountFloat, since(155)}, e::item, {e::message, since(145)}}},
    {52, since(136), "資源の変更"_cp932, {e::player, e::resource, e::operation, e::amount, e::item}},
    {53, since(136), "変数で資源を変更"_cp932, {e::player, e::resource, e::operation, e::variable, e::item}},
    {54, since(140), "建物の集合地点を設定"_cp932, {e::player, e::object, e::location, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {55, since(140), "スクリプトの呼び出し"_cp932, {e::stringId, e::message}},
    {56, since(136), "変数の変更"_cp932, {e::operation, e::amount, e::variable, e::message}},
    {57, since(136), "タイマーを消去"_cp932, {e::timer}},
    {58, since(140), "オブジェクトのプレイヤー色を変更"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, e::playerColour}},
    {59, since(140), "オブジェクトの文明名を変更"_cp932, {e::player, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, e::stringId, e::message}},
    {60, since(140), "オブジェクトのプレイヤー名を変更"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, e::stringId, e::message}},
    {61, since(140), "ユニットの標的化を無効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {62, since(140), "ユニットの標的化を有効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {63, since(140), "テクノロジーのコストを変更"_cp932, {e::player, e::technology, {e::resource1, since(154)}, {e::resource1Amount, since(154)}, {e::resource2, since(154)}, {e::resource2Amount, since(154)}, {e::resource3, since(154)}, {e::resource3Amount, since(154)}, {e::food, between(140, 153)}, {e::wood, between(140, 153)}, {e::stone, between(140, 153)}, {e::gold, between(140, 153)}}},
    {64, since(140), "テクノロジーの研究時間を変更"_cp932, {e::player, e::technology, e::amount}},
    {65, since(140), "テクノロジー名を変更"_cp932, {e::player, e::technology, e::stringId, e::message}},
    {66, since(140), "テクノロジーの説明を変更"_cp932, {e::player, e::technology, e::stringId, e::message}},
    {67, since(140), "テクノロジーの累積を有効にする"_cp932, {e::player, e::technology, e::amount}},
    {68, since(140), "テクノロジーの累積を無効にする"_cp932, {e::player, e::technology}},
    {69, since(140), "マルチプレイAIシグナルに応答"_cp932, {e::aiSignal}},
    {70, since(140), "オブジェクトの選択を無効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {71, since(140), "オブジェクトの選択を有効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {72, since(142), "カラームードの変更"_cp932, {e::amount, e::colourMood}},
    {73, since(146), "オブジェクトの削除を有効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, e::item}},
    {74, since(146), "オブジェクトの削除を無効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}, e::item}},
    {75, since(151), "ユニットの訓練"_cp932, {e::player, e::object, e::amount, e::location, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {76, since(151), "研究の開始"_cp932, {e::player, e::technology, e::selectedObjects}},
    {77, since(151), "オブジェクトに攻撃を追加"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::operation, e::attackAmount, e::attackClass, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {78, since(151), "オブジェクトに防御を追加"_cp932, {e::player, e::object, e::unitGroup, e::unitType, e::operation, e::attackAmount, e::attackClass, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {79, since(151), "変数で属性を変更"_cp932, {e::player, e::object, e::objectAttribute, e::operation, {e::attackClass, since(154)}, e::variable, e::message}},
    {80, since(154), "オブジェクトのコストを設定"_cp932, {e::player, e::object, e::resource, e::amount}},
    {81, since(154), "キー値の読み込み"_cp932, {e::amount, e::variable, e::message}},
    {82, since(154), "キー値の保存"_cp932, {e::variable, e::message}},
    {83, since(154), "キーの削除"_cp932, {e::message}},
    {84, since(154), "テクノロジーのアイコンを変更"_cp932, {e::player, e::technology, e::amount}},
    {85, since(154), "テクノロジーのホットキーを変更"_cp932, {e::player, e::technology, e::amount}},
    {86, since(154), "資源で変数を変更"_cp932, {e::player, e::resource, e::operation, e::variable}},
    {87, since(154), "属性で変数を変更"_cp932, {e::player, e::object, e::objectAttribute, e::operation, e::attackClass, e::variable, e::message}},
    {88, since(154), "オブジェクトのキャプションを変更"_cp932, {e::player, e::object, e::area, e::selectedObjects, e::stringId, e::message}},
    {89, since(154), "プレイヤー色を変更"_cp932, {e::player, e::playerColour}},
    {90, since(154), "選択肢の作成"_cp932, {e::decision, e::stringId, e::message, e::optionStringId1, e::option1, e::optionStringId2, e::option2}},
    {98, since(154), "ユニットへの攻撃を無効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {99, since(154), "ユニットへの攻撃を有効にする"_cp932, {e::player, e::object, e::area, e::selectedObjects, {e::maxUnitsAffected, since(155)}}},
    {100, since(154), "変数で変数を変更"_cp932, {e::operation, e::variable, e::variable2}},
    {101, since(154), "ユニット数を変数に代入"_cp932, {e::player, e::object, e::unitGroup, e::variable2, e::area}},
    {102, since(155), "訓練場所を追加"_cp932, {e::player, e::object, e::object2, e::buttonLocation, e::hotkey, e::trainTime}},
    {103, since(155), "ローカルテクノロジーの研究"_cp932, {e::player, e::localTechnology, e::object2, e::area, e::selectedObjects}},
    {104, since(155), "グループの属性を変更"_cp932, {e::player, e::unitGroup2, e::unitType2, e::objectAttribute, e::operation, e::attackAmount, e::attackClass, e::amountFloat, e::message}},
    {105, since(155), "オブジェクトの属性を変更"_cp932, {e::player, e::object, e::objectAttribute, {e::objectFilter, since(158)}, e::operation, e::attackAmount, e::attackClass, e::amountFloat, e::area, e::selectedObjects, e::message}},
    {106, since(155), "変数でオブジェクトの属性を変更"_cp932, {e::player, e::object, e::objectAttribute, e::operation, e::attackClass, e::variable, e::area, e::selectedObjects, e::message}},
    {107, since(155), "オブジェクトの可視性を変更"_cp932, {e::player, e::targetPlayer, e::area, e::selectedObjects, e::maxUnitsAffected, e::visibility}},
    {108, since(157), "オブジェクトの建設"_cp932, {e::player, e::object, e::building, e::unitGroup, e::unitType, e::location, e::locationObject, e::area, e::wall, e::selectedObjects, e::maxUnitsAffected, e::groupCommand, e::queueAction, e::disableUnloadSound}},
    {109, since(158), "外交姿勢の同期"_cp932, {e::player, e::targetPlayer, e::enabled}},
};

constexpr TypeRow conditionRows[] = {
    {1, "オブジェクトをエリアに移動"_cp932, {c::unitObject, c::area, {c::inverted, since(123)}}},
    {2, "オブジェクトをオブジェクトに移動"_cp932, {c::unitObject, c::nextObject, {c::inverted, since(123)}}},
    {3, "オブジェクトの所有"_cp932, {{c::player, Join::first}, {c::object, Join::blank}, {c::unitGroup, Join::attached}, {c::amount, Join::labelled}, c::unitType, {c::changeableWeapons, since(146)}}},
    {4, "所有オブジェクトの減少"_cp932, {{c::player, Join::first}, {c::object, Join::blank}, {c::unitGroup, Join::attached}, {c::amount, Join::labelled}, c::unitType, {c::changeableWeapons, since(146)}, c::area}},
    {5, "エリア内のオブジェクト"_cp932, {c::player, c::object, c::unitGroup, c::unitType, {c::changeableWeapons, since(146)}, c::amount, c::area, {c::objectState, since(142)}, {c::inverted, since(123)}}},
    {6, "オブジェクトの破壊"_cp932, {c::unitObject, {c::inverted, since(123)}}},
    {7, "オブジェクトの確保"_cp932, {c::player, c::unitObject, {c::inverted, since(123)}}},
    {8, "達成値"_cp932, {c::player, c::resource, c::amount, {c::inverted, since(123)}}},
    {9, "テクノロジーの研究"_cp932, {{c::player, Join::first}, {c::technology, Join::blank}, {c::inverted, since(123)}}},
    {10, "タイマー"_cp932, {c::timer, {c::inverted, since(123)}}},
    {11, "オブジェクトを選択"_cp932, {c::unitObject, {c::inverted, since(123)}}},
    {12, "AIシグナル"_cp932, {c::aiSignal, {c::inverted, since(123)}}},
    {13, "プレイヤーの敗北"_cp932, {c::player, {c::inverted, since(123)}}},
    {14, "ターゲットの捕獲"_cp932, {c::object, c::unitGroup, c::unitType, c::unitObject, c::nextObject, {c::inverted, since(123)}}},
    {15, "オブジェクトが視野に入る"_cp932, {c::unitObject}},
    {16, "オブジェクトが視野から外れる"_cp932, {c::unitObject}},
    {17, "テクノロジーを研究"_cp932, {{c::player, Join::first}, {c::technology, Join::blank}, {c::inverted, since(123)}}},
    {18, "駐留ユニット"_cp932, {c::unitObject, c::amount, {c::inverted, since(123)}}},
    {19, "難易度"_cp932, {{c::difficultyOlder, upTo(126)}, {c::difficulty, since(136)}, {c::inverted, since(123)}}},
    {20, between(123, 126), "確率"_cp932, {c::chance}, false},
    {20, since(136), "確率"_cp932, {c::chance}},
    {21, since(136), "テクノロジーの状態"_cp932, {c::player, c::technology, c::technologyState, c::inverted}},
    {22, since(136), "変数の値"_cp932, {c::amount, c::variable, c::comparison, c::inverted}},
    {23, since(136), "オブジェクトのヒットポイント"_cp932, {c::unitObject, c::amount, c::comparison, c::inverted}},
    {24, since(136), "外交姿勢"_cp932, {c::player, c::targetPlayer, c::diplomacy, c::inverted}},
    {25, since(140), "スクリプトの呼び出し"_cp932, {c::scriptFunction}},
    {26, since(140), "オブジェクトを選択(マルチプレイ)"_cp932, {c::player, c::unitObject, c::inverted}},
    {27, since(140), "オブジェクトが視野に入る(マルチプレイ)"_cp932, {c::player, c::unitObject, c::inverted}},
    {28, since(140), "オブジェクトの行動"_cp932, {c::object, c::unitGroup, c::unitType, c::unitObject, c::nextObject, c::aiAction, c::inverted}},
    {29, since(140), "または"_cp932, {}},
    {30, since(140), "AIシグナル(マルチプレイ)"_cp932, {c::aiSignal, c::inverted}},
    {54, since(146), "建物が交易中"_cp932, {c::unitObject, c::inverted}},
    {55, since(146), "タイマー表示の終了"_cp932, {c::timerId, c::inverted}},
    {56, since(146), "勝利タイマー"_cp932, {c::player, c::amount, c::comparison, c::victoryTimer, c::inverted}},
    {57, since(146), "かつ"_cp932, {}},
    {75, since(154), "選択肢の決定"_cp932, {c::decision, c::decisionOption, c::inverted}},
    {76, since(154), "オブジェクトへの攻撃"_cp932, {c::player, c::object, c::unitGroup, c::unitType, c::unitObject, c::amount, c::inverted}},
    {77, since(154), "ヒーローパワーの使用"_cp932, {c::player}},
    {78, since(154), "変数の比較"_cp932, {c::variable, c::comparison, c::variable2, c::inverted}},
    {79, since(154), "トリガが有効"_cp932, {c::trigger, c::inverted}},
    {80, since(155), "ローカルテクノロジーの研究完了"_cp932, {c::player, c::localTechnology, c::unitObject, c::amount, c::area, c::inverted}},
};
// clang-format on

// Where each type's rows start, by type, built as the program is compiled:
// the rows of a type stand together, in the order of their versions.
template <std::size_t Count>
struct RowIndex {
    static constexpr std::int32_t none = -1;
    std::array<std::int16_t, 128> first{};

    consteval explicit RowIndex(const TypeRow (&rows)[Count]) {
        first.fill(none);
        for (std::size_t i = Count; i-- > 0;) {
            const std::int32_t type = rows[i].type;
            if (type < 0 || type >= static_cast<std::int32_t>(first.size())) throw "a type past the index";
            if (i + 1 < Count && rows[i + 1].type < type) throw "rows out of order";
            first[static_cast<std::size_t>(type)] = static_cast<std::int16_t>(i);
            // The standard report's parameters lead: the lines stop at the first other.
            for (std::size_t u = 1; u < TypeRow::mostUses; ++u)
                if (rows[i].uses[u].join != Join::none && rows[i].uses[u - 1].join == Join::none)
                    throw "a standard parameter behind another";
        }
    }
};

constexpr RowIndex effectIndex(effectRows);
constexpr RowIndex conditionIndex(conditionRows);

template <std::size_t Count>
const TypeRow* find(const TypeRow (&rows)[Count], const RowIndex<Count>& index, std::int32_t type, BodyVersion v) {
    if (type < 0 || type >= static_cast<std::int32_t>(index.first.size())) return nullptr;
    for (auto i = static_cast<std::size_t>(index.first[static_cast<std::size_t>(type)]);
         i < Count && rows[i].type == type; ++i)
        if (rows[i].versions.hold(v)) return &rows[i];
    return nullptr;
}

}  // namespace

const TypeRow* findTypeRow(RecordKind kind, std::int32_t type, BodyVersion version) {
    const BodyVersion v = version.ofTriggerTypes();
    return kind == RecordKind::effect ? find(effectRows, effectIndex, type, v)
                                      : find(conditionRows, conditionIndex, type, v);
}

void appendTypeName(ReportBuffer& out, RecordKind kind, std::int32_t type, BodyVersion version) {
    const TypeRow* row = findTypeRow(kind, type, version);
    if (row && row->standardName)
        out.literal(row->name);
    else
        appendUnknown(out, type);
}

}  // namespace vantor
