// The report of a whole body: count, header and rule lines, trigger and
// description lines, and every line against an independent printf model.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "report/names.h"
#include "report/trigger_report.h"
#include "tests/support/scenario_builder.h"

namespace vantor {
namespace {

using testing::BodySpec;
using testing::Condition;
using testing::Effect;
using testing::Trigger;

const std::string reportHead =
    "No.  トリガ名                       初期設定 ループ 目的   説明の順序\r\n"
    "---- ------------------------------ -------- ------ ------ ----------\r\n";

std::string report(const BodySpec& spec, ReportOutcome expected = ReportOutcome::reportReady) {
    const auto built = testing::buildBody(spec);
    ReportBuffer out;
    EXPECT_EQ(buildTriggerReport({built.bytes.data(), built.bytes.size()}, out), expected);
    return std::string(out.view());
}

TEST(TriggerReport, NoTriggersGivesFourLines) { EXPECT_EQ(report(BodySpec{}), "全トリガ数：0\r\n\r\n" + reportHead); }

TEST(TriggerReport, HeaderAndRuleLinesHaveTheirByteWidths) {
    const std::string r = report(BodySpec{});
    const std::size_t header = r.find("No.");
    const std::string line = r.substr(header, r.find("\r\n", header) - header);
    EXPECT_EQ(line.size(), 5u + 31 + 9 + 7 + 7 + 10);
    EXPECT_EQ(line.substr(0, 5), "No.  ");
    EXPECT_EQ(line.substr(5, 31), "トリガ名" + std::string(23, ' '));
}

TEST(TriggerReport, NegativeTriggerCountIsWrittenAndNoTriggerFollows) {
    BodySpec spec;
    spec.triggerCount = -3;
    spec.trailing = "whatever";
    EXPECT_EQ(report(spec), "全トリガ数：-3\r\n\r\n" + reportHead);
}

TEST(TriggerReport, TriggerLineColumnsCountBytes) {
    BodySpec spec;
    Trigger t;
    t.enabled = 1;
    t.objective = 1;
    t.descriptionOrder = 1;
    t.name = std::string("勝利条件\0junk", 12);
    spec.triggers.push_back(t);
    Trigger off;
    off.enabled = 0;
    off.loop = 1;
    off.descriptionOrder = -12345;
    off.name = "とても長いトリガの名前が三十バイトを超える";  // 42 bytes: written whole
    spec.triggers.push_back(off);
    EXPECT_EQ(report(spec), "全トリガ数：2\r\n\r\n" + reportHead +
                                "0000 勝利条件                       オン     いいえ はい            1\r\n"
                                "説明：\r\n"
                                "\r\n"
                                "0001 とても長いトリガの名前が三十バイトを超える オフ     はい   いいえ     -12345\r\n"
                                "説明：\r\n"
                                "\r\n");
}

TEST(TriggerReport, FlagsAboveOneAndNegativeFlagsAreOn) {
    BodySpec spec;
    Trigger t;
    t.enabled = 5;
    t.loop = 3;
    t.objective = -128;  // a byte of 0x80
    t.name = "a";
    spec.triggers.push_back(t);
    t.enabled = -1;
    t.loop = -1;
    t.objective = 2;
    spec.triggers.push_back(t);
    t.enabled = 0;
    t.loop = 0;
    t.objective = 0;
    spec.triggers.push_back(t);
    const std::string r = report(spec);
    EXPECT_NE(r.find("0000 a                              オン     はい   はい            0\r\n"), std::string::npos);
    EXPECT_NE(r.find("0001 a                              オン     はい   はい            0\r\n"), std::string::npos);
    EXPECT_NE(r.find("0002 a                              オフ     いいえ いいえ          0\r\n"), std::string::npos);
}

TEST(TriggerReport, DescriptionLineBreaksAreIndented) {
    BodySpec spec;
    Trigger t;
    t.description = "一行目\r\n二行目\n三行目\r四\r\r\n";
    spec.triggers.push_back(t);
    t.description = std::string("前\0後", 5);
    spec.triggers.push_back(t);
    const std::string r = report(spec);
    EXPECT_NE(r.find("\r\n説明：一行目\r\n    ：二行目\r\n    ：三行目\r四\r\r\n    ：\r\n"), std::string::npos) << r;
    EXPECT_NE(r.find("\r\n説明：前\r\n\r\n"), std::string::npos);
}

TEST(TriggerReport, TriggerNumbersHaveFourDigits) {
    BodySpec spec;
    spec.triggers.resize(11);
    const std::string r = report(spec);
    EXPECT_NE(r.find("\r\n0010                                オン     いいえ いいえ          0\r\n"),
              std::string::npos);
}

TEST(TriggerReport, EffectsAndConditionsFollowInStoredOrder) {
    BodySpec spec;
    Trigger t;
    t.name = "t";
    Effect chat;
    chat.type = 3;
    chat.text = "hi";
    t.effects = {chat, Effect{}.set(13, 0)};
    t.effects[1].type = 8;
    Condition timer;
    timer.type = 10;
    t.conditions = {timer, timer};
    spec.triggers.push_back(t);
    const std::string r = report(spec);
    EXPECT_NE(r.find("説明：\r\n"
                     "  効果 0  :チャットの送信\r\n"
                     "  効果 1  :トリガを有効にする (0000)\r\n"
                     "  条件 0  :タイマー\r\n"
                     "  条件 1  :タイマー\r\n"
                     "\r\n"),
              std::string::npos);
}

TEST(TriggerReport, NegativeEffectAndConditionCountsMeanNoRecords) {
    BodySpec spec;
    Trigger t;
    t.effectCount = -1;
    t.conditionCount = -5;
    spec.triggers.push_back(t);
    spec.triggers.push_back(t);
    const std::string r = report(spec);
    EXPECT_EQ(r.find("効果"), std::string::npos);
    EXPECT_NE(r.find("0001 "), std::string::npos);
}

TEST(TriggerReport, RefusalsAndUnreadableBodiesWriteNothing) {
    BodySpec image;
    image.imageFlag = 1;
    image.triggers.resize(2);
    EXPECT_EQ(report(image, ReportOutcome::backgroundImage), "");

    BodySpec version;
    version.version = 1.10f;
    EXPECT_EQ(report(version, ReportOutcome::unsupportedVersion), "");

    BodySpec huge;
    huge.triggerCount = 0x7FFFFFFF;
    huge.triggers.resize(3);
    EXPECT_EQ(report(huge, ReportOutcome::unreadableBody), "");

    BodySpec manyEffects;
    Trigger t;
    t.effectCount = 0x7FFFFFFF;
    t.effects.resize(2);
    manyEffects.triggers.push_back(t);
    EXPECT_EQ(report(manyEffects, ReportOutcome::unreadableBody), "");

    BodySpec manyConditions;
    t = Trigger{};
    t.conditionCount = 1 << 30;
    manyConditions.triggers.push_back(t);
    EXPECT_EQ(report(manyConditions, ReportOutcome::unreadableBody), "");
}

TEST(TriggerReport, EveryTruncationOfTheTriggerSectionIsUnreadable) {
    BodySpec spec;
    Trigger t;
    t.description = "d";
    t.name = "n";
    Effect e;
    e.type = 20;
    e.text = "text";
    e.select({1, 2});
    t.effects = {e};
    t.conditions = {Condition{}};
    spec.triggers = {t, t};
    const auto built = testing::buildBody(spec);
    for (std::size_t n = built.triggerCountOffset; n < built.bytes.size(); ++n) {
        ReportBuffer out;
        EXPECT_EQ(buildTriggerReport({built.bytes.data(), n}, out), ReportOutcome::unreadableBody) << n;
    }
}

// ---------------------------------------------------------------------------
// An independent model of the report, written straight from its printf
// formats, applied to random scenarios.

std::string format(const char* f, auto... args) {
    char buffer[4096];
    const int n = std::snprintf(buffer, sizeof buffer, f, args...);
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += s[i++];
        }
    }
    return out;
}

std::string upToNul(const std::string& s) { return s.substr(0, s.find('\0')); }

std::int32_t field(const std::vector<std::int32_t>& fields, std::size_t k) {
    return k < fields.size() ? fields[k] : -1;
}

std::string modelEffect(const Effect& e, int i) {
    auto f = [&](std::size_t k) { return field(e.fields, k); };
    auto name = [](NameKind kind, std::int32_t v) { return lookupName(kind, v); };
    const std::string type = name(NameKind::EffectType, e.type);
    switch (e.type) {
        case 2:
            return format("  効果 %-3d:%s (%s %s)\n", i, type.c_str(), name(NameKind::Player, f(7)).c_str(),
                          name(NameKind::Technology, f(9)).c_str());
        case 5:
            return format("  効果 %-3d:%s (%s→%s %s %d)\n", i, type.c_str(), name(NameKind::Player, f(7)).c_str(),
                          name(NameKind::Player, f(8)).c_str(), name(NameKind::Resource, f(2)).c_str(), f(1));
        case 8:
        case 9: return format("  効果 %-3d:%s (%04d)\n", i, type.c_str(), f(13));
        case 11:
            return format("  効果 %-3d:%s (%s %s)\n", i, type.c_str(), name(NameKind::Player, f(7)).c_str(),
                          name(NameKind::Object, f(6)).c_str());
        case 14:
            return format("  効果 %-3d:%s (%s %s%s%s)\n", i, type.c_str(), name(NameKind::Player, f(7)).c_str(),
                          name(NameKind::Object, f(6)).c_str(), name(NameKind::UnitGroup, f(20)).c_str(),
                          name(NameKind::UnitType, f(21)).c_str());
        case 20: return format("  効果 %-3d:%s (%s)\n", i, type.c_str(), upToNul(e.text).c_str());
        case 24:
        case 27:
            return format("  効果 %-3d:%s (%s %s%s%s 数量:%d)\n", i, type.c_str(), name(NameKind::Player, f(7)).c_str(),
                          name(NameKind::Object, f(6)).c_str(), name(NameKind::UnitGroup, f(20)).c_str(),
                          name(NameKind::UnitType, f(21)).c_str(), f(1));
        default: return format("  効果 %-3d:%s\n", i, type.c_str());
    }
}

std::string modelCondition(const Condition& c, int i) {
    auto f = [&](std::size_t k) { return field(c.fields, k); };
    const std::string type = lookupName(NameKind::ConditionType, c.type);
    switch (c.type) {
        case 3:
        case 4:
            return format("  条件 %-3d:%s (%s %s%s 数量:%d)\n", i, type.c_str(),
                          lookupName(NameKind::Player, f(5)).c_str(), lookupName(NameKind::Object, f(4)).c_str(),
                          lookupName(NameKind::UnitGroup, f(13)).c_str(), f(0));
        case 9:
        case 17:
            return format("  条件 %-3d:%s (%s %s)\n", i, type.c_str(), lookupName(NameKind::Player, f(5)).c_str(),
                          lookupName(NameKind::Technology, f(6)).c_str());
        default: return format("  条件 %-3d:%s\n", i, type.c_str());
    }
}

std::string modelReport(const BodySpec& spec) {
    const char* flags[] = {"いいえ", "はい", "オフ", "オン", "いいえ", "はい"};
    std::string r = format("全トリガ数：%d\n\n", static_cast<int>(spec.triggers.size()));
    r += "No.  トリガ名                       初期設定 ループ 目的   説明の順序\n";
    r += "---- ------------------------------ -------- ------ ------ ----------\n";
    for (std::size_t t = 0; t < spec.triggers.size(); ++t) {
        const Trigger& g = spec.triggers[t];
        r += format("%04d %-30s %-8s %-6s %-6s %10d\n", static_cast<int>(t), upToNul(g.name).c_str(),
                    flags[2 + (g.enabled != 0)], flags[4 + (g.loop != 0)], flags[g.objective != 0], g.descriptionOrder);
        std::string d = replaceAll(upToNul(g.description), "\r\n", "\n");
        d = replaceAll(d, "\n", "\n    ：");
        r += "説明：" + d + "\n";
        for (std::size_t i = 0; i < g.effects.size(); ++i) r += modelEffect(g.effects[i], static_cast<int>(i));
        for (std::size_t j = 0; j < g.conditions.size(); ++j) r += modelCondition(g.conditions[j], static_cast<int>(j));
        r += "\n";
    }
    return replaceAll(r, "\n", "\r\n");  // the file is written in text mode
}

class RandomScenario {
public:
    explicit RandomScenario(unsigned seed) : rng_(seed) {}

    BodySpec make() {
        BodySpec spec;
        spec.firstText = text();
        spec.textsBehindSecondText[slot(9)] = text();
        spec.mapDimension = pick(20);
        spec.unitCounts[slot(9)] = pick(4);
        spec.players[slot(8)] = {text(), static_cast<std::int16_t>(pick(3)), static_cast<float>(pick(4)) + 0.5f};
        const int triggers = pick(4) == 0 ? pick(60) : pick(6);
        for (int t = 0; t < triggers; ++t) spec.triggers.push_back(trigger());
        return spec;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::size_t slot(int n) { return static_cast<std::size_t>(pick(n)); }

    std::string text() {
        static const char* pieces[] = {"村",     "兵士",     "\r\n",           "\n", "\r", "Attack!", " ", "ｶﾀｶﾅ",
                                       "「／」", "\xe9\xe8", "長い長い説明文", "0",  "%d", "\\"};
        std::string s;
        for (int n = pick(8); n > 0; --n) s += pieces[pick(14)];
        if (pick(5) == 0) s += std::string(1, '\0') + "hidden";
        if (pick(3) == 0) s += '\0';
        return s;
    }

    std::int32_t value() {
        static const std::int32_t values[] = {-1,  -1,  0,   1,   2,   3,   4,  8,    9,          18,        83,    101,
                                              457, 600, 684, 757, 851, 852, -2, 1000, 0x7FFFFFFF, INT32_MIN, 123456};
        return values[pick(23)];
    }

    Effect effect() {
        static const std::int32_t types[] = {0, 1, 2, 3, 5, 8, 9, 11, 14, 20, 24, 27, 29, 30, -1, 99};
        Effect e;
        e.type = types[pick(16)];
        e.fields.resize(pick(4) == 0 ? static_cast<std::size_t>(pick(31)) : 23);
        for (auto& f : e.fields) f = value();
        if (e.fields.size() > 4) e.fields[4] = -1;
        if (e.fields.size() > 4 && pick(3) == 0)
            e.select(std::vector<std::int32_t>(static_cast<std::size_t>(pick(4)), 7));
        e.text = text();
        e.sound = pick(2) ? "sound.wav" : "";
        return e;
    }

    Condition condition() {
        static const std::int32_t types[] = {0, 1, 3, 4, 9, 10, 17, 19, 20, -3};
        Condition c;
        c.type = types[pick(10)];
        c.fields.resize(pick(4) == 0 ? static_cast<std::size_t>(pick(20)) : 16);
        for (auto& f : c.fields) f = value();
        return c;
    }

    Trigger trigger() {
        Trigger t;
        static const std::int32_t enabled[] = {0, 1, 5, -1};
        static const std::int8_t bytes[] = {0, 1, 3, -1, -128};
        t.enabled = enabled[pick(4)];
        t.loop = bytes[pick(5)];
        t.objective = bytes[pick(5)];
        t.descriptionOrder = value();
        t.description = text();
        t.name = pick(4) == 0 ? "とても長いトリガの名前が三十バイトを超える" + text() : text();
        for (int n = pick(5); n > 0; --n) t.effects.push_back(effect());
        for (int n = pick(4); n > 0; --n) t.conditions.push_back(condition());
        return t;
    }

    std::mt19937 rng_;
};

TEST(TriggerReport, RandomScenariosMatchThePrintfModel) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const BodySpec spec = RandomScenario(seed).make();
        ASSERT_EQ(report(spec), modelReport(spec)) << "seed " << seed;
    }
}

}  // namespace
}  // namespace vantor
