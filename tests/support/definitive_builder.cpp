// Definitive Edition bodies and containers for tests, fuzz seeds and benchmarks.
#include <string>

#include "tests/support/scenario_builder.h"

namespace vantor::testing {
namespace {

constexpr std::int32_t separator = -99;

// The trigger records' version as each body version saves it.
double triggerVersion(int v) {
    if (v >= 158) return 4.9;
    if (v >= 157) return 4.7;
    if (v >= 155) return 4.5;
    if (v >= 154) return 4.1;
    if (v >= 147) return 3.5;
    return v >= 135 ? 2.2 : 2.0;
}

void putU16(Bytes& out, std::uint16_t value) { putS16(out, static_cast<std::int16_t>(value)); }

}  // namespace

std::size_t definitiveEffectFields(int v) {
    if (v >= 158) return 83;
    if (v >= 157) return 81;
    if (v >= 156) return 75;
    if (v >= 155) return 73;
    if (v >= 154) return 62;
    if (v >= 144) return 52;
    if (v >= 142) return 49;
    if (v >= 140) return 48;
    return v >= 135 ? 46 : (v >= 132 ? 45 : 42);
}

std::size_t definitiveConditionFields(int v) {
    if (v >= 155) return 33;
    if (v >= 154) return 30;
    if (v >= 146) return 27;
    if (v >= 142) return 24;
    return v >= 140 ? 23 : 21;
}

BuiltBody buildDefinitiveBody(const DefinitiveSpec& spec) {
    const int v = spec.version;
    BuiltBody built;
    Bytes& out = built.bytes;
    putS32(out, 1);
    putF32(out, static_cast<float>(v) / 100.0f);
    if (v >= 153) putFiller(out, 8);
    putFiller(out, 16 * 256 + 16 * 4);
    for (int p = 0; p < 16; ++p) {
        if (v < 156) {
            putFiller(out, v >= 140 ? 20 : 16);
            continue;
        }
        putFiller(out, 10);
        putString16(out, "civ");
        putFiller(out, 2);
        putString16(out, "arch");
        putFiller(out, 4);
    }
    putFiller(out, v >= 153 ? 128 : 64);
    putFiller(out, 9);
    putString16(out, "file.aoe2scenario");
    putFiller(out, 24);
    for (int i = 0; i < 10; ++i) putString16(out, std::string(static_cast<std::size_t>(i), 'm'));

    built.flagOffset = out.size();
    putS32(out, spec.imageFlag);
    putS32(out, spec.imageWidth);
    putS32(out, spec.imageHeight);
    putFiller(out, 2);
    putBitmap(out, spec.imageWidth, spec.imageHeight);
    for (int i = 0; i < 48; ++i) putString16(out, i % 5 == 0 ? "ai" : "");
    for (int i = 0; i < 16; ++i) {  // three lengths, then their bytes
        putS32(out, i == 1 ? 1 : 0);
        putS32(out, i == 1 ? 2 : 0);
        putS32(out, i == 1 ? 3 : 0);
        putFiller(out, i == 1 ? 6 : 0);
    }
    putFiller(out, 16);  // AI types
    putS32(out, separator);
    putFiller(out, 16 * 28);  // starting resources
    putS32(out, separator);
    putFiller(out, 40 + 1024 + 11520);  // victory, diplomacy, older victory records
    putS32(out, separator);
    putFiller(out, 64 + 4);
    for (int list = 0; list < 3; ++list) {
        for (int p = 0; p < 16; ++p) putS32(out, p == 2 ? list + 1 : 0);
        putFiller(out, 4 * static_cast<std::size_t>(list + 1));
    }
    putFiller(out, 12 + 64);
    putS32(out, separator);
    putFiller(out, 28 + (v >= 135 ? 4 : 0));

    putFiller(out, 2);
    putString16(out, "water");
    if (v >= 132) {
        putFiller(out, 2);
        putString16(out, "mood");
    }
    if (v >= 140) {
        putFiller(out, 2);
        putString16(out, "script");
    }
    putFiller(out, std::size_t{v >= 136} + std::size_t{v >= 137});
    if (v >= 140) putFiller(out, 128);
    if (v == 141) putFiller(out, 1);
    if (v < 142) {
        putFiller(out, 8);
    } else {
        putFiller(out, std::size_t{1} + (v < 147 ? 4 : 0) + (v >= 144 ? 64 : 0) + (v >= 145 && v < 147 ? 4 : 0) +
                           (v >= 147 ? 12 : 8));
    }
    putFiller(out, v >= 135 ? 1 : 0);  // waves
    built.mapStepOffset = out.size();
    putS32(out, spec.mapWidth);
    putS32(out, spec.mapHeight);
    putFiller(out, 7 * static_cast<std::size_t>(spec.mapWidth < 0 ? 0 : spec.mapWidth) *
                       static_cast<std::size_t>(spec.mapHeight < 0 ? 0 : spec.mapHeight));

    putS32(out, 9);  // world players
    putFiller(out, 8 * 28);
    const auto putUnits = [&out, v] {
        for (int section = 0; section < 9; ++section) {
            const int units = section == 1 ? 2 : 0;
            putS32(out, units);
            for (int u = 0; u < units; ++u) {
                putFiller(out, v >= 154 ? 33 : 29);
                if (v >= 155) putString32(out, "caption");
            }
        }
    };
    if (v <= 132) putUnits();  // the early builds: units before the players
    putS32(out, 9);            // players
    for (int p = 0; p < 8; ++p) {
        putString16(out, "player");
        putFiller(out, 13);
        putU16(out, 3);
        putFiller(out, 3 + 4 * (v >= 153 ? 3 : 9) + 4);
        putF32(out, 2.0f);
        putU16(out, 1);
        putFiller(out, 7 + 44);
        out.push_back(1);
        putFiller(out, 7 + 32 + 4);
    }
    if (v > 132) putUnits();
    putF64(out, triggerVersion(v));
    out.push_back(0);

    putTriggerSection(built, spec.triggers, spec.triggerCount, spec.variables ? "" : spec.trailing, v);
    if (spec.variables) {
        for (std::size_t t = 0; t < spec.triggers.size(); ++t) putS32(out, static_cast<std::int32_t>(t));
        out.insert(out.end(), 1024 + 4, 0);  // values, technologies
        putS32(out, static_cast<std::int32_t>(spec.variables->size()));
        for (const auto& [number, name] : *spec.variables) {
            putS32(out, static_cast<std::int32_t>(number));
            putString32(out, name);
        }
        out.insert(out.end(), spec.trailing.begin(), spec.trailing.end());
    }
    return built;
}

Bytes buildDefinitiveContainer(const Bytes& body, int version) {
    // The early build of 1.31 wrote the HD editions' container version.
    const std::string leading =
        version == 131 ? "1.21" : std::to_string(version / 100) + "." + std::to_string(version % 100);
    if (version <= 132) return buildContainer(body, HeaderSpec{.version = 3, .storeLength = false, .leading = leading});
    Bytes out(leading.begin(), leading.end());
    const std::int32_t headerVersion = version >= 140 ? 6 : 5;
    putS32(out, 0);  // header length
    putS32(out, headerVersion);
    putS32(out, 1700000000);  // save time
    putString32(out, "instructions");
    if (headerVersion < 6) putS32(out, 0);  // single-player victory
    putS32(out, 2);                         // players
    putS32(out, 1000);
    putS32(out, 2);  // data set
    putS32(out, 2);  // required add-ons
    putS32(out, 2);
    putS32(out, 3);
    putString32(out, "creator");
    putS32(out, 0);  // trigger count (copy)
    const Bytes compressed = rawDeflate(body);
    out.insert(out.end(), compressed.begin(), compressed.end());
    return out;
}

}  // namespace vantor::testing
