// The layouts of every edition: the container head, the walk by stored sizes
// and the report that both lead to.
#include <gtest/gtest.h>

#include <cstring>

#include "report/trigger_report.h"
#include "scenario/container.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::BodySpec;
using testing::Bytes;
using testing::HeaderSpec;
using testing::Layout;

// A body of the version with triggers and every variable part in use.
BodySpec storedSpec(float version) {
    BodySpec spec;
    spec.layout = Layout::stored;
    spec.version = version;
    spec.firstText = "name.scx";
    spec.secondText = "description";
    spec.textsBehindSecondText = {"hints", "win", "loss", "history", "scout", "c1", "c2", "c3", "bmp"};
    spec.textsBehindFlag[3] = "ai name";
    spec.entries[3] = "(defrule (true) => (do-nothing))";
    spec.mapDimension = 5;
    spec.unitCounts = {2, 1, 0, 0, 3, 0, 0, 0, 1};
    for (auto& p : spec.players) p = {"player", 9, 2.0f};
    testing::Trigger t;
    t.name = "Edition";
    t.loop = 1;
    t.descriptionOrder = 3;
    t.description = "one\r\ntwo";
    t.effects = {testing::effect(8).set(13, 1), testing::effect(5).set(7, 3).set(8, 1).set(2, 0).set(1, 100)};
    t.effects[0].select({7, 8});
    t.conditions = {testing::condition(3).set(5, 1).set(4, 83).set(0, 2)};
    spec.triggers = {t, testing::Trigger{}};
    return spec;
}

constexpr std::string_view expectedReport =
    "全トリガ数：2\r\n\r\n"
    "No.  トリガ名                       初期設定 ループ 目的   説明の順序\r\n"
    "---- ------------------------------ -------- ------ ------ ----------\r\n"
    "0000 Edition                        オン     はい   いいえ          3\r\n"
    "説明：one\r\n"
    "    ：two\r\n"
    "  効果 0  :トリガを有効にする (0001)\r\n"
    "  効果 1  :貢物 (プレイヤー 3→プレイヤー 1 資源A 100)\r\n"
    "  条件 0  :オブジェクトの所有 (プレイヤー 1 町の人 数量:2)\r\n"
    "\r\n"
    "0001                                オン     いいえ いいえ          0\r\n"
    "説明：\r\n"
    "\r\n";

struct Edition {
    const char* what;
    float version;
    HeaderSpec header;
    std::int32_t victoryConditions = 0;
};

const Edition editions[] = {
    {"Age of Kings 1.18", 1.18f, {2, true, "d", false, "1.18"}},
    {"Age of Kings 1.20", 1.20f, {2, true, "", false, "1.18"}},
    {"The Conquerors 1.21", 1.21f, {2, true}},
    {"The Conquerors 1.22", 1.22f, {2, true}},
    {"1.22, victory conditions in the player blocks", 1.22f, {2, true}, 1},
    {"HD 1.23", 1.23f, {3, true}},
    {"HD 1.24, header length 0", 1.24f, {3, false}},
    {"HD 1.25, header version 2 with length 0", 1.25f, {2, false}},
    {"HD 1.26, data set first, header length 0", 1.26f, {3, false, "long description", true}},
};

TEST(Layouts, EveryEditionReportsItsTriggersExactly) {
    testing::TempDir dir;
    for (const Edition& e : editions) {
        BodySpec spec = storedSpec(e.version);
        for (auto& p : spec.players) p.victoryConditions = e.victoryConditions;
        testing::writeFile(dir.file("x.scx"), testing::buildContainer(testing::buildBody(spec).bytes, e.header));
        testing::RecordingActions ui;
        ScenarioBody body;
        EXPECT_TRUE(runReportCommand(dir.file("x.scx"), body, ui)) << e.what;
        const Bytes report = testing::readFile(dir.file("x.scx.txt"));
        EXPECT_EQ(std::string(report.begin(), report.end()), expectedReport) << e.what;
    }
}

TEST(Layouts, EveryTruncationOfEachLayoutIsUnreadable) {
    for (const Edition& e : editions) {
        BodySpec spec = storedSpec(e.version);
        for (auto& p : spec.players) p.victoryConditions = e.victoryConditions;
        const Bytes body = testing::buildBody(spec).bytes;
        ReportBuffer out;
        const ContainerFacts container{e.header.leading == "1.18" ? 118 : 121};
        ASSERT_EQ(buildTriggerReport({body.data(), body.size()}, out, container), ReportOutcome::reportReady);
        for (std::size_t n = 0; n < body.size(); ++n)
            ASSERT_EQ(buildTriggerReport({body.data(), n}, out, container), ReportOutcome::unreadableBody)
                << e.what << " cut at " << n;
    }
}

TEST(Layouts, ImagesOtherLayoutsAndOtherGamesAreRefused) {
    struct Case {
        const char* what;
        void (*change)(BodySpec&);
        ReportOutcome outcome;
    };
    const Case cases[] = {
        {"image flag 1", [](BodySpec& s) { s.imageFlag = 1; }, ReportOutcome::backgroundImage},
        {"image size with flag 0",
         [](BodySpec& s) {
             s.imageWidth = 2;
             s.imageHeight = 2;
         },
         ReportOutcome::backgroundImage},
        {"older trigger records", [](BodySpec& s) { s.triggerVersion = 1.4; }, ReportOutcome::unsupportedVersion},
        {"newer trigger records", [](BodySpec& s) { s.triggerVersion = 1.8; }, ReportOutcome::unsupportedVersion},
    };
    for (float version : {1.20f, 1.24f}) {
        for (const Case& c : cases) {
            BodySpec spec = storedSpec(version);
            c.change(spec);
            const Bytes body = testing::buildBody(spec).bytes;
            ReportBuffer out;
            EXPECT_EQ(buildTriggerReport({body.data(), body.size()}, out), c.outcome) << version << " " << c.what;
        }
        // A body whose parts do not stand where its version puts them.
        auto built = testing::buildBody(storedSpec(version));
        built.bytes[built.mapStepOffset + (version >= 1.20f ? 16 : 0)] = 0;
        ReportBuffer out;
        EXPECT_EQ(buildTriggerReport({built.bytes.data(), built.bytes.size()}, out), ReportOutcome::unsupportedVersion);
        // Map sides that no map has.
        const std::pair<std::int32_t, std::int32_t> sides[] = {{0x7FFFFFFF, 0x7FFFFFFF}, {-1, 5}, {5, 0x10000}};
        for (const auto& [width, height] : sides) {
            auto odd = testing::buildBody(storedSpec(version));
            std::memcpy(odd.bytes.data() + odd.mapOffset, &width, 4);
            std::memcpy(odd.bytes.data() + odd.mapOffset + 4, &height, 4);
            EXPECT_EQ(buildTriggerReport({odd.bytes.data(), odd.bytes.size()}, out), ReportOutcome::unreadableBody);
        }
    }
}

TEST(ContainerHead, FindsTheStreamFieldByFieldAndAsksForMoreWhenShort) {
    struct Case {
        HeaderSpec header;
        ContainerOutcome outcome;
        std::uint32_t headerVersion;
    };
    const Case cases[] = {
        {{2, true}, ContainerOutcome::bodyAt, 0},
        {{2, false}, ContainerOutcome::bodyAt, 2},
        {{3, false}, ContainerOutcome::bodyAt, 3},
        {{3, false, "", true}, ContainerOutcome::bodyAt, 3},
        {{3, false, "", false, "1.50"}, ContainerOutcome::unsupportedVersion, 0},
        {{2, true, "", false, "1.11"}, ContainerOutcome::unsupportedVersion, 0},
    };
    const Bytes body = {1, 2, 3};
    const std::size_t stream = testing::rawDeflate(body).size();
    for (const Case& c : cases) {
        const Bytes file = testing::buildContainer(body, c.header);
        const auto length = static_cast<std::int64_t>(file.size());
        const ContainerHead head = readContainerHead(file, length);
        EXPECT_EQ(head.outcome, c.outcome) << c.header.version;
        EXPECT_EQ(head.headerVersion, c.headerVersion);
        if (c.outcome != ContainerOutcome::bodyAt) continue;
        EXPECT_EQ(head.bodyOffset, length - static_cast<std::int64_t>(stream));
        for (std::size_t n = 0; n < static_cast<std::size_t>(head.bodyOffset); ++n) {
            const ContainerHead part = readContainerHead({file.data(), n}, length);
            ASSERT_TRUE(part.outcome == ContainerOutcome::needMore || part.bodyOffset == head.bodyOffset) << n;
        }
    }
    // A header whose description runs past the end of the file.
    Bytes cut = testing::buildContainer(body, HeaderSpec{3, false, std::string(200, 'd')});
    cut.resize(100);
    EXPECT_EQ(readContainerHead(cut, 100).outcome, ContainerOutcome::notAContainer);
}

}  // namespace
}  // namespace vantor
