// The walk from a body's first byte to its trigger section in every edition's
// layout: where it ends, what it refuses, and that every body cut short ends
// as unreadable.  (What each layout refuses is among the outcomes of the
// report command, tests/support/outcomes.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <limits>

#include "report/report_command.h"
#include "scenario/body.h"
#include "scenario/walk.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::BodySpec;
using testing::buildBody;
using testing::Bytes;

// The fixed layout of 1.22: whatever its variable parts hold, the walk ends
// at the trigger count; a value that no body has ends it early.
TEST(FixedLayout, EndsAtTheTriggerCountOrRefuses) {
    const auto plain = buildBody(BodySpec{});
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Case {
        std::function<void(BodySpec&)> spec;
        std::size_t at = 0;  // from the map step; with `value`, a stored int32 changed there
        std::int32_t value = 0;
        WalkOutcome outcome = WalkOutcome::triggerSection;
    };
    // clang-format off
    std::vector<Case> cases = {
        {[](BodySpec& s) { s.firstText = "1", s.secondText = std::string("ab\0", 3), s.textsBehindSecondText[3] = "x",
                           s.textsBehindFlag[15] = "y", s.entries[0] = "entry"; }},
        {[](BodySpec& s) { s.mapDimension = 7, s.unitCounts = {1, 0, 2, 0, 0, 0, 0, 0, 3}; }},
        {[](BodySpec& s) { s.players[0] = {"p1", 2, 2.0f}, s.players[7].tailCount = 1.9f; }},  // 1.9: 4 bytes more
        // A flag other than 1 holds an image only with a real width and height.
        {[](BodySpec& s) { s.imageFlag = 2, s.imageWidth = 640; }}, {[](BodySpec& s) { s.imageFlag = -1, s.imageHeight = 5; }},
        {[](BodySpec& s) { s.imageFlag = 2, s.imageWidth = 640, s.imageHeight = 480; }, 0, 0, WalkOutcome::backgroundImage},
        // 3·d·d past 32 bits, negative dimensions; huge and negative unit counts.
        {{}, 18464, 0x7FFFFFFF, WalkOutcome::unreadableBody}, {{}, 18464, 30000, WalkOutcome::unreadableBody},
        {{}, 18464, -1, WalkOutcome::unreadableBody}, {{}, 18700, 0x7FFFFFFF, WalkOutcome::unreadableBody},
        {{}, 18700, -1, WalkOutcome::unreadableBody},
    };
    // clang-format on
    for (float version : {1.17f, 1.27f, 1.10f, 1.2200001f, 0.0f, nan})
        cases.push_back({[version](BodySpec& s) { s.version = version; }, 0, 0, WalkOutcome::unsupportedVersion});
    // The third player's float (18700 + 9·4 + 4 + two blocks of 38, then 2 + 13 + 6), where truncating it is
    // undefined or leads past the body.
    for (float v : {inf, -inf, nan, 3.0e9f, -1.0f, -5.5f, 1.0e7f})
        cases.push_back(
            {{}, 18700 + 36 + 4 + 2 * 38 + 21, std::bit_cast<std::int32_t>(v), WalkOutcome::unreadableBody});
    for (const Case& c : cases) {
        BodySpec spec;
        if (c.spec) c.spec(spec);
        auto built = buildBody(spec);
        if (c.at) std::memcpy(built.bytes.data() + built.mapStepOffset + c.at, &c.value, 4);
        const WalkResult r = findTriggerSection(built.bytes);
        EXPECT_EQ(r.outcome, c.outcome) << c.at << " " << c.value;
        if (c.outcome == WalkOutcome::triggerSection) {
            EXPECT_EQ(r.position, static_cast<std::int64_t>(built.triggerCountOffset));
        }
    }
    // Flag 1 is decided before anything behind it is read; so is a negative text length.
    BodySpec image;
    image.imageFlag = 1;
    const auto withImage = buildBody(image);
    EXPECT_EQ(findTriggerSection(std::span(withImage.bytes).first(withImage.flagOffset + 4)).outcome,
              WalkOutcome::backgroundImage);
    Bytes negative = plain.bytes;
    std::fill_n(negative.begin() + 4433, 2, std::uint8_t{0xFF});
    EXPECT_EQ(findTriggerSection(negative).outcome, WalkOutcome::unreadableBody);
}

// Every edition's layout: the same triggers give the same report, through
// the container the game writes, and every body cut short is unreadable.
TEST(Editions, EachLayoutReportsItsTriggersAndEveryCutIsUnreadable) {
    testing::Trigger t;
    t.name = "Edition";
    t.loop = 1;
    t.descriptionOrder = 3;
    t.description = "one\r\ntwo";
    t.shortDescription = "short";
    t.executeOnLoad = 1;
    t.effects = {testing::effect(8).set(13, 1).select({7, 8}),
                 testing::effect(5).set(7, 3).set(8, 1).set(2, 0).set(1, 100)};
    t.effects[1].optionTexts = {"yes", "no"};
    t.conditions = {testing::condition(3).set(5, 1).set(4, 83).set(0, 2)};
    t.conditions[0].scriptText = "check";
    const std::string expected =
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
    testing::TempDir dir;
    for (const testing::Edition& e : testing::everyEdition({t, testing::Trigger{}})) {
        SCOPED_TRACE(e.name);
        testing::writeFile(dir.file("x.scx"), e.file);
        testing::RecordingActions ui;
        testing::StringSink report;
        ScenarioBody body;
        EXPECT_TRUE(streamReport(dir.file("x.scx"), body, ui, report));
        EXPECT_EQ(report.bytes, expected);
        ASSERT_EQ(body.view().size(), e.body.size());
        for (std::size_t n = 0; n < e.body.size(); ++n)
            ASSERT_EQ(checkTriggerSection(std::span(e.body).first(n), body.containerVersion).outcome,
                      ReportOutcome::unreadableBody)
                << "cut at " << n;
    }
}

// A background image is stepped over by its bitmap's own sizes in every body
// but The Conquerors' 1.22, which refuses it; a size that leads outside the
// body makes it unreadable.
TEST(Images, AreSteppedOverOutside122) {
    testing::Trigger t;
    t.name = "behind the image";
    const auto reportWith = [&t](float version, std::int32_t flag, std::int32_t side) {
        BodySpec spec;
        spec.layout = testing::Layout::stored;
        spec.version = version;
        spec.imageFlag = flag, spec.imageWidth = spec.imageHeight = side;
        spec.triggers = {t};
        std::string report;
        const ReportOutcome outcome = testing::reportOf(buildBody(spec).bytes, report, version <= 1.20f ? 118 : 121);
        return outcome == ReportOutcome::reportReady ? report : "refused";
    };
    const std::string plain = reportWith(1.20f, 0, 0);
    ASSERT_NE(plain.find("behind the image"), std::string::npos);
    for (float version : {1.20f, 1.24f, 1.26f})
        for (const auto& [flag, side] : {std::pair{1, 0}, {1, 5}, {3, 548}})
            EXPECT_EQ(reportWith(version, flag, side), plain);
    testing::DefinitiveSpec de;
    de.triggers = {t};
    std::string withoutImage, withImage;
    ASSERT_EQ(testing::reportOf(testing::buildDefinitiveBody(de).bytes, withoutImage), ReportOutcome::reportReady);
    de.imageWidth = 7, de.imageHeight = 3;
    auto built = testing::buildDefinitiveBody(de);
    EXPECT_EQ(testing::reportOf(built.bytes, withImage), ReportOutcome::reportReady);
    EXPECT_EQ(withImage, withoutImage);
    // No stored size of the pixels (at 14 + 20 from the flag): 3 rows of 7
    // bytes, each padded to 8.
    auto unsized = built;
    std::fill_n(unsized.bytes.begin() + static_cast<std::ptrdiff_t>(built.flagOffset + 14 + 20), 4, 0);
    EXPECT_EQ(testing::reportOf(unsized.bytes, withImage), ReportOutcome::reportReady);
    EXPECT_EQ(withImage, withoutImage);
    // The pixels' stored size (at 14 + 20 from the flag) made to lead past the body.
    built.bytes[built.flagOffset + 14 + 20 + 3] = 0x7F;
    EXPECT_EQ(findTriggerSection(built.bytes).outcome, WalkOutcome::unreadableBody);
}

// A 1.22 body is walked in the fixed layout of The Conquerors' editor first;
// only where that cannot read it does a walk by stored sizes that reaches
// the trigger count take over.  A refusal of the fixed walk stands.
TEST(Layouts, TheFixedWalkOf122ComesFirstAndAStoredWalkOnlyReadsWhatItCannot) {
    BodySpec fixed, stored, storedImage;
    stored.layout = storedImage.layout = testing::Layout::stored;
    for (auto& p : stored.players) p = {"player", 9, 2.0f, 1};  // victory conditions: the fixed walk misreads them
    storedImage.players = stored.players;
    storedImage.imageWidth = storedImage.imageHeight = 2;
    BodySpec fixedImage;
    fixedImage.imageFlag = 1;
    const auto builtFixed = buildBody(fixed), builtStored = buildBody(stored);
    const struct {
        Bytes body;
        WalkOutcome outcome;
        std::size_t position;
    } cases[] = {
        {builtFixed.bytes, WalkOutcome::triggerSection, builtFixed.triggerCountOffset},
        {builtStored.bytes, WalkOutcome::triggerSection, builtStored.triggerCountOffset},
        {buildBody(fixedImage).bytes, WalkOutcome::backgroundImage, 0},
        // The stored walk's refusal is not taken: the fixed walk's reading stands.
        {buildBody(storedImage).bytes, WalkOutcome::unreadableBody, 0},
        {Bytes(builtStored.bytes.begin(), builtStored.bytes.end() - 100), WalkOutcome::unreadableBody, 0},
    };
    for (const auto& c : cases) {
        const WalkResult r = findTriggerSection(c.body);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.position, static_cast<std::int64_t>(c.position));
    }
}

}  // namespace
}  // namespace vantor
