// Writes a scenario file of about the given size, for measuring the time and
// memory of a report:
//
//   make_large_scenario OUT.scx MEGABYTES
//
// Half of the body is a map of random bytes, which deflate cannot shrink, so
// that the file is about as large as its body; the other half is triggers
// with effects and conditions, so that the report is large as well.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/scenario_builder.h"

int main(int argc, char** argv) {
    using namespace vantor::testing;
    using vantor::ConditionField, vantor::EffectField;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT.scx MEGABYTES\n", argv[0]);
        return 2;
    }
    const double megabytes = std::atof(argv[2]);
    const auto target = static_cast<std::size_t>(megabytes * 1024 * 1024);

    BodySpec spec;
    std::size_t dimension = 0;
    while (3 * (dimension + 1) * (dimension + 1) < target / 2) ++dimension;
    spec.mapDimension = static_cast<std::int32_t>(dimension);

    // A trigger of about 2 KB: a name, a description, 8 effects, 8 conditions.
    Trigger t;
    t.name = "Trigger with a fairly long name";
    t.description = "A description\r\nof two lines";
    for (int i = 0; i < 8; ++i) {
        Effect e;
        e.type = i % 2 ? 24 : 5;
        e.set(EffectField::amount, i)
            .set(EffectField::resource, 1)
            .set(EffectField::object, 83)
            .set(EffectField::player, 1)
            .set(EffectField::targetPlayer, 2)
            .set(EffectField::unitGroup, 3)
            .set(EffectField::unitType, 4);
        e.select({1, 2, 3});
        t.effects.push_back(e);
        Condition c;
        c.type = 3;
        c.set(ConditionField::amount, i)
            .set(ConditionField::object, 83)
            .set(ConditionField::player, 2)
            .set(ConditionField::unitGroup, 3);
        t.conditions.push_back(c);
    }
    const std::size_t triggerSize = 1700;
    spec.triggers.assign((target - 3 * dimension * dimension) / triggerSize, t);

    BuiltBody built = buildBody(spec);
    // The map cells: random bytes (the builder fills them with one value).
    std::uint64_t x = 88172645463325252ull;
    const std::size_t cells = built.mapStepOffset + 18464 + 236;
    for (std::size_t i = cells; i < cells + 3 * dimension * dimension; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        built.bytes[i] = static_cast<std::uint8_t>(x);
    }
    built.bytes.shrink_to_fit();
    Bytes file = buildContainer(built.bytes);
    writeFile(argv[1], file);
    std::printf("%s: file %zu bytes, body %zu bytes, %zu triggers\n", argv[1], file.size(), built.bytes.size(),
                spec.triggers.size());
    return 0;
}
