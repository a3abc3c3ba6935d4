#include "tests/support/scenario_builder.h"

namespace vantor::testing {

std::vector<Edition> everyEdition(const std::vector<Trigger>& triggers) {
    std::vector<Edition> out;
    for (float version : {1.18f, 1.20f, 1.21f, 1.22f, 1.22f, 1.23f, 1.24f, 1.25f, 1.26f}) {
        const bool victory = version == 1.22f && !out.empty() && out.back().name == "1.22";
        BodySpec spec;
        spec.layout = Layout::stored;
        spec.version = version;
        spec.firstText = "name.scx";
        spec.textsBehindSecondText = {"hints", "win", "loss", "history", "scout", "c1", "c2", "c3", "bmp"};
        spec.textsBehindFlag[3] = "ai name";
        spec.entries[3] = "(defrule (true) => (do-nothing))";
        spec.mapDimension = 5;
        spec.unitCounts = {2, 1, 0, 0, 3, 0, 0, 0, 1};
        for (auto& p : spec.players) p = {"player", 9, 2.0f, victory ? 1 : 0};
        spec.triggers = triggers;
        HeaderSpec header;
        header.leading = version <= 1.20f ? "1.18" : "1.21";
        header.version = version >= 1.23f && version != 1.25f ? 3 : 2;
        header.storeLength = version < 1.24f;
        header.dataSetFirst = version == 1.26f;
        if (version == 1.26f) header.description.assign(5000, 'd');  // past the first piece read
        const Bytes body = buildBody(spec).bytes;
        out.push_back({std::to_string(version).substr(0, 4) + (victory ? " with victory conditions" : ""), body,
                       buildContainer(body, header)});
    }
    for (int version : {131, 132, 135, 136, 137, 140, 141, 142, 143, 144, 145,
                        146, 147, 148, 149, 151, 153, 154, 155, 156, 157, 158}) {
        DefinitiveSpec spec;
        spec.version = version;
        spec.triggers = triggers;
        for (Trigger& t : spec.triggers) {
            for (Effect& e : t.effects)
                if (e.fields.size() == 23) e.fields.resize(definitiveEffectFields(version), -1);
            for (Condition& c : t.conditions)
                if (c.fields.size() == 16) c.fields.resize(definitiveConditionFields(version), -1);
        }
        const Bytes body = buildDefinitiveBody(spec).bytes;
        out.push_back({"DE " + std::to_string(version), body, buildDefinitiveContainer(body, version)});
    }
    return out;
}

}  // namespace vantor::testing
