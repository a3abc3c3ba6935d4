#include "bench/synthetic_scenario.h"

#include <random>
#include <string>
#include <string_view>

namespace vantor::bench {
namespace {

using testing::Condition;
using testing::Effect;
using testing::Trigger;

// Sentences of descriptions and of the texts that effects show (cp932).
constexpr std::string_view sentences[] = {
    "\x93G\x82\xcc\x8f\xe9\x82\xf0\x94j\x89\xf3\x82\xb9\x82\xe6\x81"
    "B",  // 敵の城を破壊せよ。
    "\x93\xaf\x96\xbf\x8d\x91\x82\xcc\x89\x87\x8cR\x82\xaa\x96k\x82\xcc\x90X\x82\xc9\x93\x9e\x92\x85\x82\xb5"
    "\x82\xdc\x82\xb5\x82\xbd\x81"
    "B",  // 同盟国の援軍が北の森に到着しました。
    "\x91S\x82\xc4\x82\xcc\x89p\x97Y\x82\xf0\x90\xb6\x82\xab\x8e"
    "c\x82\xe7\x82\xb9\x82\xe9\x82\xb1\x82\xc6\x81"
    "B",  // 全ての英雄を生き残らせること。
    "\x91\xe6\x8eO\x82\xcc\x96\xe5\x82\xaa\x8aJ\x82\xa9\x82\xea\x82\xbd\x81I",  // 第三の門が開かれた！
    "\x90\xb9\x90"
    "E\x8e\xd2\x82\xf0\x90_\x93"
    "a\x82\xdc\x82\xc5\x8c\xec\x89q\x82\xb9\x82\xe6\x81"
    "B",  // 聖職者を神殿まで護衛せよ。
    "\x90\xa7\x8c\xc0\x8e\x9e\x8a\xd4\x93\xe0\x82\xc9\x88\xe2\x95\xa8\x82\xf0\x8fW\x82\xdf\x82\xc4\x82\xad\x82"
    "\xbe\x82\xb3\x82\xa2\x81"
    "B",  // 制限時間内に遺物を集めてください。
    "\x93G\x82\xcc\x8cR\x91\xe0\x82\xaa\x90\xbc\x82\xcc\x8b\xb4\x82\xa9\x82\xe7\x8dU\x8c\x82\x82\xf0\x8aJ\x8en"
    "\x82\xb5\x82\xbd\x81"
    "B",  // 敵の軍隊が西の橋から攻撃を開始した。
    "\x83{\x81[\x83i\x83X\x81"
    "F\x8e\x91\x8c\xb9\x82\xaa\x92\xc7\x89\xc1\x82\xb3\x82\xea\x82\xdc\x82\xb7\x81"
    "B",  // ボーナス：資源が追加されます。
};

// Trigger names; two of them are longer than the 30-byte column.
constexpr std::string_view names[] = {
    "\x89p\x97Y\x82\xcc\x8fo\x8c\xbb",  // 英雄の出現
    "\x96k\x82\xcc\x8d\xd4\x82\xcc\x96h\x89q\x90\xed\x81i\x91\xe6\x93\xf1\x92i\x8aK\x81j\x81"
    "E\x89\x87\x8cR"
    "\x82\xcc\x93\x9e\x92\x85",                  // 北の砦の防衛戦（第二段階）・援軍の到着
    "\x88\xe2\x95\xa8\x82\xcc\x89\xf1\x8e\xfb",  // 遺物の回収
    "\x8d\xc5\x8fI\x8c\x88\x90\xed\x82\xc6\x89\xa4\x82\xcc\x8b"
    "A\x8a\xd2\x82\xf0\x8d\x90\x82\xb0\x82\xe9\x8f"
    "\xe0\x82\xcc\x89\xb9",  // 最終決戦と王の帰還を告げる鐘の音
    "\x89\x87\x8cR\x82\xaa\x93\x9e\x92\x85\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81I",  // 援軍が到着しました！
};

// The same kind of texts as the Definitive Edition stores them (UTF-8), with
// characters that cp932 does not hold among them.
constexpr std::u8string_view utf8Sentences[] = {
    u8"敵の城を破壊せよ。",
    u8"同盟国の援軍が北の森に到着しました。",
    u8"全ての英雄を生き残らせること。",
    u8"第三の門が開かれた！",
    u8"聖職者を神殿まで護衛せよ。",
    u8"Défendez la cathédrale — 🏰 avant l'aube.",
    u8"Żołnierze czekają przy moście.",
    u8"ボーナス：資源が追加されます。",
};
constexpr std::u8string_view utf8Names[] = {
    u8"英雄の出現",
    u8"北の砦の防衛戦（第二段階）・援軍の到着",
    u8"Reliquias — recogida",
    u8"最終決戦と王の帰還を告げる鐘の音",
    u8"援軍が到着しました！👑",
};

std::string utf8(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

// Effect types with each of the line formats, and some without parameters.
constexpr std::int32_t effectTypes[] = {2, 5, 8, 9, 11, 14, 20, 24, 27, 1, 3, 4, 7, 13, 29, 40};
constexpr std::int32_t conditionTypes[] = {3, 4, 9, 17, 1, 2, 6, 10, 22};
// Identifiers with names and without, -1 among them.
constexpr std::int32_t technologies[] = {2, 22, 101, 102, 103, 197, 9999};
constexpr std::int32_t objects[] = {4, 24, 74, 83, 125, 285, 331, 1200, -1};
constexpr std::int32_t unitGroups[] = {18, 5, -1, -1};
constexpr std::int32_t unitTypes[] = {4, 2, -1, -1};

class Generator {
public:
    // `definitive`: the body version (in hundredths) of a Definitive Edition
    // scenario to make, 0 for The Conquerors.
    Generator(std::uint32_t seed, int definitive) : random_(seed), definitive_(definitive) {}

    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    std::int32_t inRange(std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
    }
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[below(N)];
    }

    // Four to ten sentences, a line break (CR LF) behind every second one;
    // ended by a NUL as the editor stores it.
    std::string description() {
        std::string d;
        const std::size_t count = 4 + below(7);
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0 && i % 2 == 0) d += "\r\n";
            d += sentence();
        }
        d += '\0';
        return d;
    }

    Effect effect(std::int32_t triggerCount) {
        Effect e;
        e.type = pick(effectTypes);
        e.set(EffectField::amount, inRange(-50, 5000))
            .set(EffectField::resource, inRange(0, 3))
            .set(EffectField::object, pick(objects))
            .set(EffectField::player, inRange(0, 8))
            .set(EffectField::targetPlayer, inRange(1, 8))
            .set(EffectField::technology, pick(technologies))
            .set(EffectField::trigger, inRange(0, triggerCount - 1))
            .set(EffectField::unitGroup, pick(unitGroups))
            .set(EffectField::unitType, pick(unitTypes));
        if (e.type == 20) e.text = sentence() + '\0';
        if (below(4) == 0) e.select({inRange(0, 5000), inRange(0, 5000)});
        if (definitive_ != 0) {
            e.fields.resize(testing::definitiveEffectFields(definitive_), -1);
            if (below(8) == 0) e.type = 51 + static_cast<std::int32_t>(below(60));  // newer types
        }
        return e;
    }

    Condition condition() {
        Condition c;
        c.type = pick(conditionTypes);
        c.set(ConditionField::amount, inRange(0, 200))
            .set(ConditionField::object, pick(objects))
            .set(ConditionField::player, inRange(0, 8))
            .set(ConditionField::technology, pick(technologies))
            .set(ConditionField::unitGroup, pick(unitGroups));
        if (definitive_ != 0) c.fields.resize(testing::definitiveConditionFields(definitive_), -1);
        return c;
    }

    Trigger trigger(std::int32_t triggerCount) {
        Trigger t;
        t.enabled = below(5) == 0 ? 0 : 1;
        t.loop = static_cast<std::int8_t>(below(6) == 0);
        t.objective = static_cast<std::int8_t>(below(8) == 0);
        t.descriptionOrder = inRange(-1, 20);
        t.description = description();
        t.name = (definitive_ != 0 ? utf8(pick(utf8Names)) : std::string(pick(names))) + '\0';
        if (definitive_ != 0 && below(3) == 0) t.shortDescription = sentence() + '\0';
        const std::size_t effects = 1 + below(5);
        for (std::size_t i = 0; i < effects; ++i) t.effects.push_back(effect(triggerCount));
        const std::size_t conditions = below(4);
        for (std::size_t i = 0; i < conditions; ++i) t.conditions.push_back(condition());
        return t;
    }

private:
    std::string sentence() { return definitive_ != 0 ? utf8(pick(utf8Sentences)) : std::string(pick(sentences)); }

    std::mt19937 random_;
    int definitive_;
};

}  // namespace

testing::Bytes syntheticBody(std::int32_t triggerCount) {
    Generator g(20240601, 0);
    testing::BodySpec spec;
    spec.firstText = "synthetic";
    spec.mapDimension = 144;
    spec.unitCounts = {12, 40, 40, 40, 40, 40, 40, 40, 40};
    testing::Bytes bytes;
    // The triggers are built a slice at a time, so that a large scenario does
    // not hold every trigger as objects at once.
    constexpr std::int32_t slice = 4096;
    for (std::int32_t first = 0; first < triggerCount; first += slice) {
        spec.triggers.clear();
        for (std::int32_t t = first; t < triggerCount && t < first + slice; ++t)
            spec.triggers.push_back(g.trigger(triggerCount));
        spec.triggerCount = triggerCount;
        testing::BuiltBody built = testing::buildBody(spec);
        const auto sectionStart = static_cast<std::ptrdiff_t>(built.triggerCountOffset) + (first == 0 ? 0 : 4);
        if (first == 0)
            bytes.assign(built.bytes.begin(), built.bytes.end());
        else
            bytes.insert(bytes.end(), built.bytes.begin() + sectionStart, built.bytes.end());
    }
    if (triggerCount == 0) bytes = testing::buildBody(spec).bytes;
    return bytes;
}

}  // namespace vantor::bench

namespace vantor::bench {

testing::Bytes syntheticDefinitiveBody(std::int32_t triggerCount) {
    constexpr int version = 158;
    Generator g(20240601, version);
    testing::DefinitiveSpec spec;
    spec.version = version;
    spec.mapWidth = 144;
    spec.mapHeight = 144;
    testing::Bytes bytes;
    constexpr std::int32_t slice = 4096;  // as syntheticBody
    for (std::int32_t first = 0; first < triggerCount || first == 0; first += slice) {
        spec.triggers.clear();
        for (std::int32_t t = first; t < triggerCount && t < first + slice; ++t)
            spec.triggers.push_back(g.trigger(triggerCount));
        spec.triggerCount = triggerCount;
        testing::BuiltBody built = testing::buildDefinitiveBody(spec);
        const auto sectionStart = static_cast<std::ptrdiff_t>(built.triggerCountOffset) + (first == 0 ? 0 : 4);
        if (first == 0)
            bytes.assign(built.bytes.begin(), built.bytes.end());
        else
            bytes.insert(bytes.end(), built.bytes.begin() + sectionStart, built.bytes.end());
    }
    return bytes;
}

}  // namespace vantor::bench
