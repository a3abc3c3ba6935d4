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
    start.effects.push_back(effect(8).set(13, 1));
    start.effects.push_back(effect(2).set(7, 1).set(9, 101));
    start.effects.push_back(effect(11).set(7, 1).set(6, 83).select({101, 102}));
    start.conditions.push_back(condition(10).set(0, 5));
    spec.triggers.push_back(start);

    Trigger reinforcements;
    reinforcements.name = z("援軍の到着（二十分後に北の森から騎士団が現れる）");  // longer than 30 bytes
    reinforcements.enabled = 0;
    reinforcements.description = z("騎士団が北から到着する。\n一行目は LF だけで区切られている。");
    reinforcements.effects.push_back(effect(5).set(7, 2).set(8, 1).set(2, 0).set(1, 500));
    reinforcements.effects.push_back(effect(5).set(7, 0).set(8, 9).set(2, 7).set(1, -1));
    reinforcements.effects.push_back(effect(14).set(7, 3).set(6, 38).set(20, 18).set(21, 4));
    reinforcements.effects.push_back(effect(24).set(7, 3).set(6, 684).set(20, -1).set(21, -1).set(1, 25));
    reinforcements.effects.push_back(effect(27).set(7, 4).set(6, 1234).set(20, 5).set(21, 4).set(1, 200));
    reinforcements.effects.push_back(effect(9).set(13, 0));
    reinforcements.conditions.push_back(condition(3).set(5, 1).set(4, 4).set(13, 18).set(0, 10));
    reinforcements.conditions.push_back(condition(4).set(5, 2).set(4, -1).set(13, -1).set(0, 0));
    reinforcements.conditions.push_back(condition(9).set(5, 1).set(6, 22));
    reinforcements.conditions.push_back(condition(17).set(5, 0).set(6, 999));
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
    victory.effects.push_back(effect(13).set(7, 1));
    victory.conditions.push_back(condition(6));
    spec.triggers.push_back(victory);
    return spec;
}

}  // namespace vantor::testing
