// Writes the seed corpora of the fuzz targets: scenarios made by the test
// builder, and copies of given scenario files, each as a scenario file (for
// the file target) and as its decompressed body (for the body target).
//
//   vantor-fuzz-seeds OUTDIR [SCENARIO_FILE...]
//
// gives OUTDIR/file/*.scx and OUTDIR/body/*.body.
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "scenario/container.h"
#include "tests/support/scenario_builder.h"

namespace {

using namespace vantor::testing;

// The body of a scenario file, or nothing when it is not a readable container.
Bytes inflateContainer(const Bytes& file) {
    const vantor::ContainerHead head = vantor::readContainerHead(file, static_cast<std::int64_t>(file.size()));
    if (head.outcome != vantor::ContainerOutcome::bodyAt) return {};
    const auto start = static_cast<std::size_t>(head.bodyOffset);
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return {};
    z.next_in = const_cast<Bytef*>(file.data() + start);
    z.avail_in = static_cast<uInt>(file.size() - start);
    Bytes body;
    std::vector<std::uint8_t> chunk(131072);
    int result = Z_OK;
    while (result == Z_OK) {
        z.next_out = chunk.data();
        z.avail_out = static_cast<uInt>(chunk.size());
        result = inflate(&z, Z_NO_FLUSH);
        body.insert(body.end(), chunk.data(), chunk.data() + (chunk.size() - z.avail_out));
        if (result == Z_OK && z.avail_in == 0 && z.avail_out != 0) break;
    }
    inflateEnd(&z);
    return result == Z_STREAM_END ? body : Bytes{};
}

// Triggers with every effect and condition type, each with fields set.
std::vector<Trigger> richTriggers() {
    std::vector<Trigger> triggers;
    Trigger first;
    first.name = "A trigger whose name is longer than thirty bytes";
    first.description = "line one\r\nline two\nline\rthree";
    first.loop = 1;
    first.objective = 1;
    first.descriptionOrder = 7;
    for (std::int32_t type = -1; type <= 40; ++type) {
        Effect e = effect(type);
        e.set(1, 250).set(2, 3).set(6, 4).set(7, 1).set(8, 2).set(9, 22).set(13, 3).set(20, 5).set(21, 2);
        if (type == 20) e.text = std::string("shown\r\ntext\0tail", 16);
        if (type % 5 == 0) e.select({101, 102, 103});
        first.effects.push_back(e);
    }
    for (std::int32_t type = -1; type <= 25; ++type) {
        Condition c = condition(type);
        c.set(0, 10).set(4, 83).set(5, 2).set(6, 101).set(13, 7);
        first.conditions.push_back(c);
    }
    triggers.push_back(first);

    Trigger shortFields;  // records as third-party editors store them
    shortFields.enabled = -3;
    shortFields.loop = -2;
    shortFields.name = "short";
    for (std::size_t stored : {0u, 1u, 5u, 10u, 14u, 22u}) {
        Effect e = effect(static_cast<std::int32_t>(stored % 2 == 0 ? 24 : 14));
        e.fields.assign(stored, 3);
        shortFields.effects.push_back(e);
        Condition c = condition(3);
        c.fields.assign(stored % 17, 4);
        shortFields.conditions.push_back(c);
    }
    triggers.push_back(shortFields);

    Trigger empty;
    triggers.push_back(empty);
    Trigger negative;
    negative.effectCount = -1;
    negative.conditionCount = -5;
    triggers.push_back(negative);
    return triggers;
}

struct Seed {
    std::string name;
    Bytes body;
    std::optional<HeaderSpec> header;  // else a header of plain bytes
};

std::vector<Seed> builderSeeds() {
    std::vector<Seed> seeds;
    BodySpec plain;
    seeds.push_back({"empty", buildBody(plain).bytes, {}});

    BodySpec rich;
    rich.firstText = "first";
    rich.secondText = "second";
    rich.textsBehindSecondText[3] = "nine";
    rich.textsBehindFlag[15] = "sixteen";
    rich.entries[2] = "entry";
    rich.mapDimension = 4;
    rich.unitCounts = {1, 0, 2, 0, 0, 0, 0, 0, 3};
    rich.players[0] = {"player", 2, 2.0f};
    rich.players[7] = {"", 0, 1.9f};
    rich.triggers = richTriggers();
    rich.trailing = "after the triggers";
    seeds.push_back({"rich", buildBody(rich).bytes, {}});

    BodySpec image = rich;
    image.imageFlag = 1;
    seeds.push_back({"image", buildBody(image).bytes, {}});
    BodySpec otherFlag = rich;
    otherFlag.imageFlag = 2;
    seeds.push_back({"other-flag", buildBody(otherFlag).bytes, {}});
    BodySpec sizedFlag = rich;
    sizedFlag.imageFlag = 3;
    sizedFlag.imageWidth = 640;
    sizedFlag.imageHeight = 480;
    seeds.push_back({"sized-flag", buildBody(sizedFlag).bytes, {}});

    BodySpec oldVersion = rich;
    oldVersion.version = 1.20f;
    seeds.push_back({"old-version", buildBody(oldVersion).bytes, {}});

    BodySpec negativeCount;
    negativeCount.triggerCount = -2;
    seeds.push_back({"negative-count", buildBody(negativeCount).bytes, {}});

    BodySpec hugeCount = rich;
    hugeCount.triggerCount = 0x7FFFFFFF;
    seeds.push_back({"huge-count", buildBody(hugeCount).bytes, {}});

    BodySpec many;
    for (int i = 0; i < 40; ++i) {
        Trigger t;
        t.name = "t" + std::to_string(i);
        Effect e = effect(8);
        e.set(13, i);
        t.effects.push_back(e);
        t.conditions.push_back(condition(9).set(5, 1).set(6, i));
        many.triggers.push_back(t);
    }
    seeds.push_back({"many", buildBody(many).bytes, {}});

    // Every layout that the walk by stored sizes reads, in the container its
    // edition writes: Age of Kings, The Conquerors (one with victory
    // conditions in its player blocks), the HD editions with headers of
    // version 2 and 3, with and without their length.
    for (float version : {1.18f, 1.19f, 1.20f, 1.21f, 1.22f, 1.23f, 1.24f, 1.25f, 1.26f}) {
        BodySpec stored = rich;
        stored.triggers = {richTriggers()[0], Trigger{}};  // records that are read whole
        stored.layout = Layout::stored;
        stored.version = version;
        for (PlayerBlock& p : stored.players) p = {"player", 9, 2.0f, version == 1.22f ? 1 : 0};
        HeaderSpec header;
        if (version <= 1.20f) header.leading = "1.18";
        if (version >= 1.23f) header.version = 3;
        header.storeLength = version < 1.24f;
        seeds.push_back({"stored-" + std::to_string(version).substr(0, 4), buildBody(stored).bytes, header});
    }
    return seeds;
}

// Definitive Edition bodies: the versions at which the layout changes, with
// the fields and texts that each adds, UTF-8 texts among them.
constexpr int definitiveVersions[] = {136, 137, 140, 141, 142, 144, 145, 147, 153, 154, 155, 156, 158};

std::vector<Seed> definitiveSeeds() {
    std::vector<Seed> seeds;
    for (const int v : definitiveVersions) {
        DefinitiveSpec spec;
        spec.version = v;
        spec.triggers = richTriggers();
        spec.triggers.erase(spec.triggers.begin() + 1);  // short records come from older editors only
        for (Trigger& t : spec.triggers) {
            t.shortDescription = "short";
            t.executeOnLoad = 1;
            for (Effect& e : t.effects) {
                if (e.fields.size() == 23) e.fields.resize(definitiveEffectFields(v), 7);
                e.optionTexts = {"yes", "no"};
            }
            for (Condition& c : t.conditions) {
                if (c.fields.size() == 16) c.fields.resize(definitiveConditionFields(v), 7);
                c.scriptText = "check";
            }
        }
        spec.triggers[0].name = "\xe5\x9f\x8e Caf\xc3\xa9 \xf0\x9f\x8f\xb0 \xff";
        spec.trailing = "after the triggers";
        seeds.push_back({"de-" + std::to_string(v), buildDefinitiveBody(spec).bytes, std::nullopt});
    }
    return seeds;
}

void write(const std::filesystem::path& path, const Bytes& bytes) { writeFile(path.string(), bytes); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTDIR [SCENARIO_FILE...]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "file");
    std::filesystem::create_directories(out / "body");
    try {
        for (const Seed& seed : builderSeeds()) {
            write(out / "body" / (seed.name + ".body"), seed.body);
            write(out / "file" / (seed.name + ".scx"),
                  seed.header ? buildContainer(seed.body, *seed.header) : buildContainer(seed.body));
        }
        const std::vector<Seed> definitive = definitiveSeeds();
        for (std::size_t i = 0; i < definitive.size(); ++i) {
            write(out / "body" / (definitive[i].name + ".body"), definitive[i].body);
            write(out / "file" / (definitive[i].name + ".aoe2scenario"),
                  buildDefinitiveContainer(definitive[i].body, definitiveVersions[i]));
        }
        const Bytes rich = builderSeeds()[1].body;
        write(out / "file" / "no-header.scx", buildContainer(rich, ""));
        Bytes cut = buildContainer(rich);
        cut.resize(cut.size() / 2);
        write(out / "file" / "cut-short.scx", cut);
        Bytes stored = {'1', '.', '2', '1'};  // stored (uncompressed) deflate blocks
        putS32(stored, 0);
        const Bytes storedBlocks = rawDeflate(rich, 0);
        stored.insert(stored.end(), storedBlocks.begin(), storedBlocks.end());
        write(out / "file" / "stored.scx", stored);

        for (int i = 2; i < argc; ++i) {
            const std::filesystem::path source = argv[i];
            const Bytes file = readFile(source.string());
            const std::string name = source.filename().string();
            write(out / "file" / name, file);
            const Bytes body = inflateContainer(file);
            if (!body.empty()) write(out / "body" / (name + ".body"), body);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantor-fuzz-seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
