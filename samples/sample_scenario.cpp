// Compiled with -fexec-charset=CP932: the Japanese texts below are stored as
// the cp932 bytes a Japanese scenario editor writes.
#include "samples/sample_scenario.h"

namespace vantor::testing {
namespace {

std::string z(const std::string& s) { return s + '\0'; }  // texts as the editor stores them

}  // namespace

BodySpec sampleScenario() {
    BodySpec spec;
    spec.firstText = z("sample.scx");
    spec.textsBehindSecondText[0] = z("ロードス島の攻防");
    spec.mapDimension = 24;
    spec.unitCounts = {2, 3, 3, 0, 0, 0, 0, 0, 5};
    spec.players[0] = {z("ジャンヌ"), 1, 2.0f};
    spec.players[1] = {z("リチャード"), 0, 0.0f};
    for (int p = 2; p < 8; ++p) spec.players[static_cast<std::size_t>(p)].name = z("プレイヤー");

    Trigger start;
    start.name = z("開始");
    start.objective = 1;
    start.descriptionOrder = 1;
    start.description = z("町の中心を守り抜け。\r\n援軍は二十分後に到着する。\r\n\r\n敵の城を破壊せよ。");
    start.effects.push_back(effect(3));  // chat, no parameters shown
    start.effects.back().text = z("開始！");
    start.effects.push_back(effect(20));
    start.effects.back().text = z("城を守れ");
    start.effects.push_back(effect(8).set(EffectField::trigger, 1));
    start.effects.push_back(effect(2).set(EffectField::player, 1).set(EffectField::technology, 101));
    start.effects.push_back(effect(11).set(EffectField::player, 1).set(EffectField::object, 83).select({101, 102}));
    start.conditions.push_back(condition(10).set(ConditionField::amount, 5));
    spec.triggers.push_back(start);

    Trigger reinforcements;
    reinforcements.name = z("援軍の到着（二十分後に北の森から騎士団が現れる）");  // longer than 30 bytes
    reinforcements.enabled = 0;
    reinforcements.description = z("騎士団が北から到着する。\n一行目は LF だけで区切られている。");
    reinforcements.effects.push_back(effect(5)
                                         .set(EffectField::player, 2)
                                         .set(EffectField::targetPlayer, 1)
                                         .set(EffectField::resource, 0)
                                         .set(EffectField::amount, 500));
    reinforcements.effects.push_back(effect(5)
                                         .set(EffectField::player, 0)
                                         .set(EffectField::targetPlayer, 9)
                                         .set(EffectField::resource, 7)
                                         .set(EffectField::amount, -1));
    reinforcements.effects.push_back(effect(14)
                                         .set(EffectField::player, 3)
                                         .set(EffectField::object, 38)
                                         .set(EffectField::unitGroup, 18)
                                         .set(EffectField::unitType, 4));
    reinforcements.effects.push_back(effect(24)
                                         .set(EffectField::player, 3)
                                         .set(EffectField::object, 684)
                                         .set(EffectField::unitGroup, -1)
                                         .set(EffectField::unitType, -1)
                                         .set(EffectField::amount, 25));
    reinforcements.effects.push_back(effect(27)
                                         .set(EffectField::player, 4)
                                         .set(EffectField::object, 1234)
                                         .set(EffectField::unitGroup, 5)
                                         .set(EffectField::unitType, 4)
                                         .set(EffectField::amount, 200));
    reinforcements.effects.push_back(effect(9).set(EffectField::trigger, 0));
    reinforcements.conditions.push_back(condition(3)
                                            .set(ConditionField::player, 1)
                                            .set(ConditionField::object, 4)
                                            .set(ConditionField::unitGroup, 18)
                                            .set(ConditionField::amount, 10));
    reinforcements.conditions.push_back(condition(4)
                                            .set(ConditionField::player, 2)
                                            .set(ConditionField::object, -1)
                                            .set(ConditionField::unitGroup, -1)
                                            .set(ConditionField::amount, 0));
    reinforcements.conditions.push_back(
        condition(9).set(ConditionField::player, 1).set(ConditionField::technology, 22));
    reinforcements.conditions.push_back(
        condition(17).set(ConditionField::player, 0).set(ConditionField::technology, 999));
    spec.triggers.push_back(reinforcements);

    Trigger loop;
    loop.name = z("見張り台の巡回");
    loop.loop = 1;
    loop.descriptionOrder = 2;
    loop.effects.push_back(effect(19));
    loop.effects.push_back(effect(10));
    loop.effects.push_back(effect(31));  // a type no table knows
    // A record saved by an editor that stores fewer fields.
    Effect shortEffect = effect(2);
    shortEffect.fields = {-1, -1, -1, -1, -1, -1, -1, 2, -1, 22};
    loop.effects.push_back(shortEffect);
    loop.conditions.push_back(condition(12));
    loop.conditions.push_back(condition(0));
    spec.triggers.push_back(loop);

    Trigger victory;
    victory.name = z("勝利");
    victory.objective = 1;
    victory.descriptionOrder = 3;
    victory.description = z("敵の王を倒す");
    victory.effects.push_back(effect(13).set(EffectField::player, 1));
    victory.conditions.push_back(condition(6));
    spec.triggers.push_back(victory);
    return spec;
}

}  // namespace vantor::testing
