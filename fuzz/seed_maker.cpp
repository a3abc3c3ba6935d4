// Writes the seed corpora of the fuzz targets: scenarios made by the test
// builder in every edition's layout, and copies of given scenario files, each
// as a scenario file (for the file target) and as its decompressed body (for
// the body target).
//
//   vantor-fuzz-seeds OUTDIR [SCENARIO_FILE...]
//
// gives OUTDIR/file/* and OUTDIR/body/*.body.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "report/report_file.h"
#include "scenario/extract.h"
#include "tests/support/scenario_builder.h"

namespace {

using namespace vantor::testing;
using vantor::ConditionField;
using vantor::EffectField;

void write(const std::filesystem::path& path, const Bytes& bytes) { writeFile(path.string(), bytes); }

// Every effect and condition type with its fields set; records stored with
// fewer fields (as third-party editors store them); negative counts.
std::vector<Trigger> seedTriggers() {
    Trigger every, fewer, negative;
    every.name = "A trigger whose name is longer than thirty bytes";
    every.description = "one\r\ntwo\nthree\rfour";
    every.loop = every.objective = every.executeOnLoad = 1;
    for (std::int32_t type = -1; type <= 110; ++type) {
        every.effects.push_back(effect(type)
                                    .set(EffectField::amount, 250)
                                    .set(EffectField::resource, 3)
                                    .set(EffectField::object, 4)
                                    .set(EffectField::player, 1)
                                    .set(EffectField::targetPlayer, 2)
                                    .set(EffectField::technology, 22)
                                    .set(EffectField::trigger, 3));
        every.effects.back().text = std::string("shown\r\ntext\0tail", 16);
        if (type % 5 == 0) every.effects.back().select({101, 102});
    }
    for (std::int32_t type = -1; type <= 90; ++type)
        every.conditions.push_back(condition(type)
                                       .set(ConditionField::amount, 10)
                                       .set(ConditionField::object, 83)
                                       .set(ConditionField::player, 2)
                                       .set(ConditionField::technology, 101)
                                       .set(ConditionField::unitGroup, 7));
    for (std::size_t stored : {0u, 1u, 5u, 14u, 22u}) {
        fewer.effects.push_back(effect(stored % 2 ? 14 : 24));
        fewer.effects.back().fields.assign(stored, 3);
        fewer.conditions.push_back(condition(3));
        fewer.conditions.back().fields.assign(stored % 17, 4);
    }
    negative.effectCount = negative.conditionCount = -1;
    return {every, fewer, negative};
}

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
        for (const Edition& e : everyEdition(seedTriggers())) {
            write(out / "body" / (e.name + ".body"), e.body);
            write(out / "file" / (e.name + ".scx"), e.file);
        }
        BodySpec image;
        image.imageFlag = 1;
        write(out / "file" / "image.scx", buildContainer(buildBody(image).bytes));
        // Images stepped over by their bitmaps' sizes, and campaigns of every version.
        BodySpec olderImage;
        olderImage.layout = Layout::stored, olderImage.version = 1.20f, olderImage.imageWidth = 5,
        olderImage.imageHeight = 3;
        DefinitiveSpec definitiveImage;
        definitiveImage.imageWidth = definitiveImage.imageHeight = 6;
        write(out / "body" / "image-1.20.body", buildBody(olderImage).bytes);
        write(out / "body" / "image-DE.body", buildDefinitiveBody(definitiveImage).bytes);
        const std::vector<Edition> editions = everyEdition(seedTriggers());
        for (const int version : {100, 110, 200})
            write(out / "file" / ("campaign-" + std::to_string(version) + ".cpx"),
                  buildCampaign(version, "campaign",
                                {{"first", "first.scx", editions.front().file},
                                 {"last", "last.aoe2scenario", editions.back().file},
                                 {"broken", "broken.scx", {1, 2, 3}}}));
        image.imageFlag = 0;
        image.triggers = seedTriggers();
        const Bytes body = buildBody(image).bytes;
        Bytes stored = {'1', '.', '2', '1', 0, 0, 0, 0};  // stored (uncompressed) deflate blocks
        const Bytes blocks = rawDeflate(body, 0);
        stored.insert(stored.end(), blocks.begin(), blocks.end());
        write(out / "file" / "stored-blocks.scx", stored);
        for (int i = 2; i < argc; ++i) {
            const std::filesystem::path source = argv[i];
            write(out / "file" / source.filename(), readFile(source));
            vantor::ScenarioFile scenario(vantor::platform::systemFiles());
            vantor::ScenarioBody extracted;
            if (scenario.open(source) && extractScenario(scenario, extracted) == vantor::ExtractOutcome::bodyReady)
                write(out / "body" / (source.filename().string() + ".body"),
                      Bytes(extracted.bytes.get(), extracted.bytes.get() + extracted.size));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantor-fuzz-seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
