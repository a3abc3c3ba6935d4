// The body readers and the walk to the trigger count.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "scenario/body.h"
#include "scenario/walk.h"
#include "tests/support/scenario_builder.h"

namespace vantor {
namespace {

using testing::BodySpec;
using testing::buildBody;
using testing::Bytes;

std::span<const std::uint8_t> span(const Bytes& b) { return {b.data(), b.size()}; }

TEST(BodyCursor, ReadsLittleEndianAndSignedBytes) {
    const Bytes b = {0xFE, 0xFF, 0xFF, 0xFF, 0x80, 0x01, 0x80, 0x00, 0x00, 0x80, 0x3F};
    BodyCursor c(span(b));
    EXPECT_EQ(c.readS32(), -2);
    EXPECT_EQ(c.readS8(), -128);
    EXPECT_EQ(c.readS16(), -32767);
    c.skip(-0);
    EXPECT_EQ(c.readS16(), 0);
    EXPECT_EQ(c.position(), 9);
    EXPECT_TRUE(c.ok());
}

TEST(BodyCursor, FailureIsStickyAndDoesNotMove) {
    const Bytes b(10, 0x11);
    BodyCursor c(span(b));
    c.skip(8);
    EXPECT_EQ(c.readS32(), 0);  // 2 bytes left
    EXPECT_FALSE(c.ok());
    EXPECT_EQ(c.position(), 8);
    EXPECT_EQ(c.readS8(), 0);  // would fit, but the cursor stays failed
    EXPECT_FALSE(c.ok());

    BodyCursor negative(span(b));
    negative.skip(-1);
    EXPECT_FALSE(negative.ok());

    BodyCursor huge(span(b));
    huge.skip(std::numeric_limits<std::int64_t>::max());
    EXPECT_FALSE(huge.ok());
    EXPECT_EQ(huge.position(), 0);
}

TEST(BodyCursor, ReadsUpToTheLastByteExactly) {
    const Bytes b(4, 0x7F);
    BodyCursor c(span(b));
    EXPECT_EQ(c.readS32(), 0x7F7F7F7F);
    EXPECT_TRUE(c.ok());
    EXPECT_EQ(c.remaining(), 0);
    c.skip(0);
    EXPECT_TRUE(c.ok());
}

TEST(BodyStrings, TextStopsAtFirstNulButCursorMovesByStoredLength) {
    Bytes b;
    testing::putString16(b, std::string("abc\0", 4));
    testing::putString32(b, std::string("ab\0cd", 5));
    testing::putString32(b, "");
    BodyCursor c(span(b));
    BodyText s16 = readString16(c);
    EXPECT_EQ(s16.text, "abc");
    EXPECT_EQ(s16.length, 4);
    EXPECT_EQ(c.position(), 6);
    BodyText s32 = readString32(c);
    EXPECT_EQ(s32.text, "ab");
    EXPECT_EQ(s32.length, 5);
    EXPECT_EQ(c.position(), 6 + 9);
    BodyText empty = readString32(c);
    EXPECT_EQ(empty.text, "");
    EXPECT_EQ(c.position(), 6 + 9 + 4);
    EXPECT_TRUE(c.ok());
}

TEST(BodyStrings, NegativeOrOverlongLengthsFail) {
    Bytes negative;
    testing::putS32(negative, -1);
    negative.resize(negative.size() + 8, 'x');
    BodyCursor c1(span(negative));
    EXPECT_EQ(readString32(c1).text, "");
    EXPECT_FALSE(c1.ok());

    Bytes overlong;
    testing::putS16(overlong, 5);
    overlong.insert(overlong.end(), {'a', 'b', 'c', 'd'});
    BodyCursor c2(span(overlong));
    readString16(c2);
    EXPECT_FALSE(c2.ok());

    Bytes s16max;
    testing::putS16(s16max, -32768);
    BodyCursor c3(span(s16max));
    readString16(c3);
    EXPECT_FALSE(c3.ok());
}

TEST(Walk, EmptyTextsPlaceTheFlagAt4479) {
    const auto built = buildBody(BodySpec{});
    EXPECT_EQ(built.flagOffset, 4479u);
    const WalkResult r = findTriggerSection(span(built.bytes));
    ASSERT_EQ(r.outcome, WalkOutcome::triggerSection);
    EXPECT_EQ(r.position, static_cast<std::int64_t>(built.triggerCountOffset));
}

TEST(Walk, VariablePartsAreSteppedByTheirStoredSizes) {
    BodySpec spec;
    spec.firstText = "first";
    spec.secondText = std::string("ab\0", 3);
    spec.textsBehindSecondText[3] = "xyz";
    spec.textsBehindFlag[15] = "last of sixteen";
    spec.entries[0] = "entry";
    spec.mapDimension = 7;
    spec.unitCounts = {1, 0, 2, 0, 0, 0, 0, 0, 3};
    spec.players[0] = {"p1", 2, 2.0f};
    spec.players[7] = {"", 0, 1.9f};
    const auto built = buildBody(spec);
    const WalkResult r = findTriggerSection(span(built.bytes));
    ASSERT_EQ(r.outcome, WalkOutcome::triggerSection);
    EXPECT_EQ(r.position, static_cast<std::int64_t>(built.triggerCountOffset));
}

TEST(Walk, MapDimensionZeroMovesExactly18700) {
    const auto built = buildBody(BodySpec{});
    // With d = 0 and empty unit lists: 18700, 9 counts, 4, eight players of 2+13+6+17, 9.
    EXPECT_EQ(built.triggerCountOffset - built.mapStepOffset, 18700u + 9 * 4 + 4 + 8 * (2 + 13 + 6 + 17) + 9);
}

TEST(Walk, PlayerTailOf2Point0Occupies25BytesAnd0Point0Occupies17) {
    BodySpec two, zero;
    two.players[4].tailCount = 2.0f;
    const auto a = buildBody(two), b = buildBody(zero);
    EXPECT_EQ(a.triggerCountOffset - b.triggerCountOffset, 8u);
    EXPECT_EQ(findTriggerSection(span(a.bytes)).position, static_cast<std::int64_t>(a.triggerCountOffset));
}

TEST(Walk, BackgroundImageIsRefused) {
    BodySpec spec;
    spec.imageFlag = 1;
    EXPECT_EQ(findTriggerSection(span(buildBody(spec).bytes)).outcome, WalkOutcome::backgroundImage);

    // Another flag with a real width and height holds an image too.
    spec.imageFlag = 2;
    spec.imageWidth = 640;
    spec.imageHeight = 480;
    EXPECT_EQ(findTriggerSection(span(buildBody(spec).bytes)).outcome, WalkOutcome::backgroundImage);
}

TEST(Walk, FlagOtherThanOneWithoutImageSizeContinuesToTheSamePosition) {
    BodySpec spec;
    const auto zero = buildBody(spec);
    spec.imageFlag = 2;
    spec.imageWidth = 640;  // height 0: no image
    const auto two = buildBody(spec);
    spec.imageFlag = -1;
    spec.imageWidth = 0;
    spec.imageHeight = 5;
    const auto minusOne = buildBody(spec);
    const auto p0 = findTriggerSection(span(zero.bytes));
    const auto p2 = findTriggerSection(span(two.bytes));
    const auto pm = findTriggerSection(span(minusOne.bytes));
    ASSERT_EQ(p2.outcome, WalkOutcome::triggerSection);
    ASSERT_EQ(pm.outcome, WalkOutcome::triggerSection);
    EXPECT_EQ(p0.position, p2.position);
    EXPECT_EQ(p0.position, pm.position);
}

TEST(Walk, VersionsOfNoLayoutAreRefused) {
    for (float version : {1.17f, 1.27f, 1.10f, 1.2200001f, 0.0f, std::numeric_limits<float>::quiet_NaN()}) {
        BodySpec spec;
        spec.version = version;
        EXPECT_EQ(findTriggerSection(span(buildBody(spec).bytes)).outcome, WalkOutcome::unsupportedVersion) << version;
    }
}

TEST(Walk, MalformedSizesEndInUnreadableBody) {
    auto outcomeOf = [](auto mutate) {
        BodySpec spec;
        auto built = buildBody(spec);
        mutate(built);
        return findTriggerSection(span(built.bytes)).outcome;
    };
    auto putAt = [](Bytes& b, std::size_t at, std::int32_t v) {
        Bytes le;
        testing::putS32(le, v);
        std::memcpy(b.data() + at, le.data(), 4);
    };
    // A negative first-text length.
    EXPECT_EQ(outcomeOf([](testing::BuiltBody& b) {
                  b.bytes[4433] = 0xFF;
                  b.bytes[4434] = 0xFF;
              }),
              WalkOutcome::unreadableBody);
    // A map dimension whose 3·d·d overflows 32 bits, and a negative one.
    for (std::int32_t d : {0x7FFFFFFF, 30000, -1, -30000}) {
        EXPECT_EQ(outcomeOf([&](testing::BuiltBody& b) { putAt(b.bytes, b.mapStepOffset + 18464, d); }),
                  WalkOutcome::unreadableBody)
            << d;
    }
    // A huge and a negative unit count.
    for (std::int32_t n : {0x7FFFFFFF, -1}) {
        EXPECT_EQ(outcomeOf([&](testing::BuiltBody& b) { putAt(b.bytes, b.mapStepOffset + 18700, n); }),
                  WalkOutcome::unreadableBody)
            << n;
    }
}

TEST(Walk, PlayerFloatsOutOfRangeEndInUnreadableBody) {
    for (float v : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN(), 3.0e9f, -1.0f, -5.5f, 1.0e7f}) {
        BodySpec spec;
        spec.players[2].tailCount = 0.0f;
        auto built = buildBody(spec);
        // The third player's float: 18700 + 9·4 + 4 + two blocks of 38, then 2 + 13 + 6.
        const std::size_t at = built.mapStepOffset + 18700 + 36 + 4 + 2 * 38 + 21;
        const auto bits = std::bit_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            built.bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
        EXPECT_EQ(findTriggerSection(span(built.bytes)).outcome, WalkOutcome::unreadableBody) << v;
    }
}

TEST(Walk, EveryTruncationEndsCleanly) {
    BodySpec spec;
    spec.firstText = "t";
    spec.mapDimension = 3;
    spec.unitCounts[0] = 2;
    spec.players[1].tailCount = 3.0f;
    const auto built = buildBody(spec);
    for (std::size_t n = 0; n < built.triggerCountOffset; ++n) {
        const Bytes cut(built.bytes.begin(), built.bytes.begin() + static_cast<std::ptrdiff_t>(n));
        const WalkOutcome o = findTriggerSection(span(cut)).outcome;
        // Too short to hold the version or any later part: never a trigger section.
        ASSERT_TRUE(o == WalkOutcome::unreadableBody) << n;
    }
}

}  // namespace
}  // namespace vantor
