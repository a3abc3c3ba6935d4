#include "tests/support/scenario_builder.h"

#include <zlib.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vantor::testing {

void putFiller(Bytes& out, std::size_t count) { out.insert(out.end(), count, 0xA5); }

void putEffect(Bytes& out, const Effect& e) {
    putS32(out, e.type);
    putS32(out, static_cast<std::int32_t>(e.fields.size()));
    for (std::int32_t f : e.fields) putS32(out, f);
    putString32(out, e.text);
    putString32(out, e.sound);
    for (std::int32_t id : e.selectedObjects) putS32(out, id);
}

void putCondition(Bytes& out, const Condition& c) {
    putS32(out, c.type);
    putS32(out, static_cast<std::int32_t>(c.fields.size()));
    for (std::int32_t f : c.fields) putS32(out, f);
}

namespace {

// A stored count: the given one, or the list's size when it was left unset.
std::int32_t storedCount(std::int64_t stored, std::size_t actual) {
    return static_cast<std::int32_t>(stored == Trigger::unset ? static_cast<std::int64_t>(actual) : stored);
}

void putTrigger(Bytes& out, const Trigger& t, int definitive) {
    putS32(out, t.enabled);
    out.push_back(static_cast<std::uint8_t>(t.loop));
    if (definitive >= 155) out.push_back(static_cast<std::uint8_t>(t.executeOnLoad));
    putFiller(out, 4);
    out.push_back(static_cast<std::uint8_t>(t.objective));
    putS32(out, t.descriptionOrder);
    putFiller(out, definitive ? 12 : 4);
    putString32(out, t.description);
    putString32(out, t.name);
    if (definitive) putString32(out, t.shortDescription);
    putS32(out, storedCount(t.effectCount, t.effects.size()));
    for (const Effect& e : t.effects) {
        putEffect(out, e);
        if (definitive >= 154)
            for (const std::string& text : e.optionTexts) putString32(out, text);
    }
    for (std::size_t i = 0; i < t.effects.size(); ++i) putS32(out, static_cast<std::int32_t>(i));
    putS32(out, storedCount(t.conditionCount, t.conditions.size()));
    for (const Condition& c : t.conditions) {
        putCondition(out, c);
        if (definitive >= 140) putString32(out, c.scriptText);
    }
    for (std::size_t i = 0; i < t.conditions.size(); ++i) putS32(out, static_cast<std::int32_t>(i));
}

}  // namespace

void putBitmap(Bytes& out, std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return;
    const auto stride = static_cast<std::uint32_t>((width + 3) & ~3);
    const auto pixels = stride * static_cast<std::uint32_t>(height);
    for (std::uint32_t field : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        putS32(out, static_cast<std::int32_t>(field));
    putS16(out, 1);  // planes
    putS16(out, 8);  // bits per pixel
    for (std::uint32_t field : {0u, pixels, 0u, 0u, 256u, 0u}) putS32(out, static_cast<std::int32_t>(field));
    putFiller(out, 4 * 256 + pixels);
}

void putF64(Bytes& out, double value) {
    const auto u = std::bit_cast<std::uint64_t>(value);
    putS32(out, static_cast<std::int32_t>(u & 0xFFFFFFFFu));
    putS32(out, static_cast<std::int32_t>(u >> 32));
}

void putTriggerSection(BuiltBody& built, const std::vector<Trigger>& triggers, std::int64_t triggerCount,
                       const std::string& trailing, int definitive) {
    Bytes& out = built.bytes;
    built.triggerCountOffset = out.size();
    putS32(out, storedCount(triggerCount, triggers.size()));
    for (const Trigger& t : triggers) putTrigger(out, t, definitive);
    out.insert(out.end(), trailing.begin(), trailing.end());
}

namespace {

void setField(std::vector<std::int32_t>& fields, std::size_t k, std::int32_t value) {
    if (k >= fields.size()) fields.resize(k + 1, -1);
    fields[k] = value;
}

}  // namespace

Effect& Effect::set(EffectField field, std::int32_t value) {
    setField(fields, static_cast<std::size_t>(field), value);
    return *this;
}

Effect& Effect::select(std::vector<std::int32_t> ids) {
    set(EffectField::selectedCount, static_cast<std::int32_t>(ids.size()));
    selectedObjects = std::move(ids);
    return *this;
}

Condition& Condition::set(ConditionField field, std::int32_t value) {
    setField(fields, static_cast<std::size_t>(field), value);
    return *this;
}

void putS32(Bytes& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

void putS16(Bytes& out, std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    out.push_back(static_cast<std::uint8_t>(u));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
}

void putF32(Bytes& out, float value) { putS32(out, std::bit_cast<std::int32_t>(value)); }

void putString32(Bytes& out, const std::string& text) {
    putS32(out, static_cast<std::int32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void putString16(Bytes& out, const std::string& text) {
    putS16(out, static_cast<std::int16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

namespace {

// The parts up to the trigger section as the game stores body `version`.
void putStoredLayout(BuiltBody& built, const BodySpec& spec) {
    Bytes& out = built.bytes;
    const auto v = static_cast<int>(spec.version * 100.0f + 0.5f);
    const int container = v <= 120 ? 118 : 121;
    auto since = [&](int first, std::size_t bytes) { return v >= first ? bytes : 0; };
    putS32(out, 1);  // next object id
    putF32(out, spec.version);
    putFiller(out, 4096 + 64 + 256 + 9);
    putString16(out, spec.firstText);
    putFiller(out, 20 + since(122, 4));
    putString16(out, spec.secondText);
    for (std::size_t i = 0; i < (v >= 122 ? 9u : 8u); ++i) putString16(out, spec.textsBehindSecondText[i]);

    built.flagOffset = out.size();
    putS32(out, spec.imageFlag);
    putS32(out, spec.imageWidth);
    putS32(out, spec.imageHeight);
    putFiller(out, 2);
    putBitmap(out, spec.imageWidth, spec.imageHeight);
    for (int i = 0; i < 32; ++i) putString16(out, "");  // build lists, city plans
    for (const std::string& s : spec.textsBehindFlag) putString16(out, s);
    for (const std::string& s : spec.entries) {
        putS32(out, 0);
        putS32(out, 0);
        putString32(out, s);
    }

    built.mapStepOffset = out.size();
    putFiller(out, since(120, 16));
    putS32(out, -99);
    putFiller(out, 16 * (v >= 124 ? 28u : 24u));
    putS32(out, -99);
    putFiller(out, 40 + 1024 + 11520);
    putS32(out, -99);
    putFiller(out, 64 + since(123, 4) + 3968 + 16 * 4 * (v >= 125 ? 31u : 21u) + 12 + 64);
    putS32(out, -99);
    putFiller(out, since(119, 8) + since(121, 4) + since(124, 16));
    built.mapOffset = out.size();
    putS32(out, spec.mapDimension);
    putS32(out, spec.mapDimension);
    putFiller(out, 3 * static_cast<std::size_t>(spec.mapDimension) * static_cast<std::size_t>(spec.mapDimension));
    putS32(out, 9);
    putFiller(out, 8 * (container >= 120 ? 28u : 24u));
    for (std::int32_t units : spec.unitCounts) {
        putS32(out, units);
        putFiller(out, 29 * static_cast<std::size_t>(units < 0 ? 0 : units));
    }
    putS32(out, 9);
    for (const PlayerBlock& p : spec.players) {
        putString16(out, p.name);
        putFiller(out, 13);
        putS16(out, p.entryCount);
        putFiller(out, static_cast<std::size_t>(p.entryCount < 0 ? 0 : p.entryCount) + 40);
        putF32(out, p.tailCount);
        putS32(out, p.victoryConditions);
        putFiller(out, 1 + 44 * static_cast<std::size_t>(p.victoryConditions < 0 ? 0 : p.victoryConditions));
        if (p.tailCount >= 1.0f) {
            putS32(out, 0);  // total points
            putS32(out, 0);  // point entries
            if (p.tailCount >= 2.0f) putFiller(out, 8);
        }
    }
    putF64(out, spec.triggerVersion);
    putFiller(out, 1);
}

}  // namespace

BuiltBody buildBody(const BodySpec& spec) {
    BuiltBody built;
    if (spec.layout == Layout::stored) {
        putStoredLayout(built, spec);
        putTriggerSection(built, spec.triggers, spec.triggerCount, spec.trailing);
        return built;
    }
    Bytes& out = built.bytes;
    putS32(out, 1);  // next object id
    putF32(out, spec.version);
    putFiller(out, 4433 - 8);
    putString16(out, spec.firstText);
    putFiller(out, 24);
    putString16(out, spec.secondText);
    for (const std::string& s : spec.textsBehindSecondText) putString16(out, s);

    built.flagOffset = out.size();
    putS32(out, spec.imageFlag);
    putS32(out, spec.imageWidth);
    putS32(out, spec.imageHeight);
    putFiller(out, 78 - 12);
    for (const std::string& s : spec.textsBehindFlag) putString16(out, s);
    for (const std::string& s : spec.entries) {
        putFiller(out, 8);
        putString32(out, s);
    }

    built.mapStepOffset = out.size();
    putFiller(out, 18464);
    putS32(out, spec.mapDimension);
    putFiller(out,
              236 - 4 + 3 * static_cast<std::size_t>(spec.mapDimension) * static_cast<std::size_t>(spec.mapDimension));
    for (std::int32_t units : spec.unitCounts) {
        putS32(out, units);
        putFiller(out, 29 * static_cast<std::size_t>(units < 0 ? 0 : units));
    }
    putFiller(out, 4);
    for (const PlayerBlock& p : spec.players) {
        putString16(out, p.name);
        putFiller(out, 13);
        putS16(out, p.entryCount);
        putFiller(out, 5 * static_cast<std::size_t>(p.entryCount < 0 ? 0 : p.entryCount) + 4);
        putF32(out, p.tailCount);
        const auto t = static_cast<std::int64_t>(p.tailCount);
        putFiller(out, 4 * static_cast<std::size_t>(t < 0 ? 0 : t) + 13);
    }
    putFiller(out, 9);
    putTriggerSection(built, spec.triggers, spec.triggerCount, spec.trailing);
    return built;
}

Bytes rawDeflate(const Bytes& bytes, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&z, static_cast<uLong>(bytes.size())));
    z.next_in = const_cast<Bytef*>(bytes.data());
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

Bytes buildContainer(const Bytes& body, const std::string& header, const std::string& leading) {
    Bytes out(leading.begin(), leading.end());
    out.resize(4, 0);
    putS32(out, static_cast<std::int32_t>(header.size()));
    out.insert(out.end(), header.begin(), header.end());
    const Bytes compressed = rawDeflate(body);
    out.insert(out.end(), compressed.begin(), compressed.end());
    return out;
}

Bytes buildContainer(const Bytes& body, const HeaderSpec& header) {
    Bytes fields;
    putS32(fields, static_cast<std::int32_t>(header.version));
    putS32(fields, 0x5F5E1000);  // save time
    putString32(fields, header.description);
    putS32(fields, 1);  // single-player victory
    putS32(fields, 2);  // active players
    if (header.version >= 3) {
        if (!header.dataSetFirst) putS32(fields, 1000);
        putS32(fields, 1);  // data set
        putS32(fields, 4);  // add-ons
        for (std::int32_t id : {2, 3, 4, 7}) putS32(fields, id);
    }
    Bytes out(header.leading.begin(), header.leading.end());
    out.resize(4, 0);
    putS32(out, header.storeLength ? static_cast<std::int32_t>(fields.size()) : 0);
    out.insert(out.end(), fields.begin(), fields.end());
    const Bytes compressed = rawDeflate(body);
    out.insert(out.end(), compressed.begin(), compressed.end());
    return out;
}

// A marked text of the newer campaigns: the mark 0x0A60, an uint16 length, the bytes.
void putMarkedText(Bytes& out, const std::string& text) {
    putS16(out, 0x0A60);
    putS16(out, static_cast<std::int16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

Bytes buildCampaign(int version, const std::string& name, const std::vector<CampaignScenario>& scenarios) {
    const std::string leading = version == 100 ? "1.00" : version == 110 ? "1.10" : "2.00";
    Bytes out(leading.begin(), leading.end());
    const auto fixed = [&out](const std::string& text, std::size_t size) {
        const std::size_t start = out.size();
        out.insert(out.end(), text.begin(), text.end());
        out.resize(start + size, 0);
    };
    if (version == 200) {
        putS32(out, 2);  // two required packages
        putS32(out, 2);
        putS32(out, 3);
    }
    if (version == 110) {
        putS32(out, static_cast<std::int32_t>(scenarios.size()));
        putMarkedText(out, name);
    } else {
        fixed(name + std::string(1, '\0') + "junk behind the name", 256);
        putS32(out, static_cast<std::int32_t>(scenarios.size()));
    }
    std::size_t offset = out.size();
    for (const CampaignScenario& s : scenarios)
        offset += version == 100 ? 520 : (version == 110 ? 16 : 8) + 8 + s.name.size() + s.fileName.size();
    for (const CampaignScenario& s : scenarios) {
        putS32(out, static_cast<std::int32_t>(s.file.size()));
        if (version == 110) putS32(out, 0);
        putS32(out, static_cast<std::int32_t>(offset));
        if (version == 110) putS32(out, 0);
        if (version == 100) {
            fixed(s.name, 255);
            fixed(s.fileName, 257);
        } else {
            putMarkedText(out, s.name);
            putMarkedText(out, s.fileName);
        }
        offset += s.file.size();
    }
    for (const CampaignScenario& s : scenarios) out.insert(out.end(), s.file.begin(), s.file.end());
    return out;
}

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string readText(const std::filesystem::path& path) {
    const Bytes bytes = readFile(path);
    return {bytes.begin(), bytes.end()};
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + path.string());
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace vantor::testing
