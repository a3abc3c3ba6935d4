#include "report/record_lines.h"

#include <algorithm>
#include <array>

#include "report/cp932_text.h"
#include "report/names.h"
#include "report/report_buffer.h"

namespace vantor {
namespace {

constexpr std::string_view effectLead = "  \x8c\xf8\x89\xca ";     // "  効果 "
constexpr std::string_view conditionLead = "  \x8f\xf0\x8c\x8f ";  // "  条件 "
constexpr std::string_view arrow = "\x81\xa8";                     // →
constexpr std::string_view amountLabel = " \x90\x94\x97\xca:";     // " 数量:"

constexpr std::size_t effectFieldCount = 23;
constexpr std::size_t conditionFieldCount = 16;

// The stored fields of a record, those past its stored count as -1.
template <std::size_t Count>
struct RecordFields {
    std::array<std::int32_t, Count> value;

    RecordFields() { value.fill(-1); }

    // Reads F, then F fields; the cursor ends behind the fields.
    void read(BodyCursor& c) {
        const std::int32_t stored = c.readS32();
        const std::uint8_t* p = c.take(std::int64_t{4} * stored);  // a negative count fails here
        if (!p) return;
        const std::size_t present = std::min(Count, static_cast<std::size_t>(stored));
        for (std::size_t k = 0; k < present; ++k) value[k] = static_cast<std::int32_t>(loadU32(p + 4 * k));
    }
};

// "%-3d:%s" with the type's name, behind the lead.
void lineHead(ReportBuffer& out, std::string_view lead, std::int32_t index, NameKind kind, std::int32_t type,
              const TriggerLayout& layout) {
    out.literal(lead);
    out.integer(index, 3, ReportBuffer::Pad::left);
    out.literal(':');
    appendTypeName(out, kind, type, layout.definitive);
}

// "(%s %s)": a player and one more name.
void playerAnd(ReportBuffer& out, std::int32_t player, NameKind kind, std::int32_t value) {
    out.literal(" (");
    appendName(out, NameKind::Player, player);
    out.literal(' ');
    appendName(out, kind, value);
    out.literal(')');
}

// "%s %s%s%s": player, object, unit group, unit type.
void playerAndObject(ReportBuffer& out, std::int32_t player, std::int32_t object, std::int32_t unitGroup,
                     std::int32_t unitType, bool withUnitType) {
    appendName(out, NameKind::Player, player);
    out.literal(' ');
    appendName(out, NameKind::Object, object);
    appendName(out, NameKind::UnitGroup, unitGroup);
    if (withUnitType) appendName(out, NameKind::UnitType, unitType);
}

}  // namespace

void formatEffectLine(BodyCursor& c, std::int32_t index, ReportBuffer& out, const TriggerLayout& layout) {
    const std::int32_t type = c.readS32();
    RecordFields<effectFieldCount> field;
    field.read(c);
    const BodyText text = readString32(c);
    readString32(c);  // sound
    const std::int32_t selected = field.value[4] == -1 ? 0 : field.value[4];
    c.skip(selected < 0 ? -1 : std::int64_t{4} * selected);
    if (layout.effectOptionTexts()) {
        readString32(c);
        readString32(c);
    }
    if (!c.ok()) return;

    lineHead(out, effectLead, index, NameKind::EffectType, type, layout);
    switch (type) {
        case 2:  // (player technology)
            playerAnd(out, field.value[7], NameKind::Technology, field.value[9]);
            break;
        case 5:  // (player→receiver resource amount)
            out.literal(" (");
            appendName(out, NameKind::Player, field.value[7]);
            out.literal(arrow);
            appendName(out, NameKind::Player, field.value[8]);
            out.literal(' ');
            appendName(out, NameKind::Resource, field.value[2]);
            out.literal(' ');
            out.integer(field.value[1]);
            out.literal(')');
            break;
        case 8:
        case 9:  // (trigger number)
            out.literal(" (");
            out.integer(field.value[13], 4, ReportBuffer::Pad::zero);
            out.literal(')');
            break;
        case 11:  // (player object)
            playerAnd(out, field.value[7], NameKind::Object, field.value[6]);
            break;
        case 14:  // (player object group type)
            out.literal(" (");
            playerAndObject(out, field.value[7], field.value[6], field.value[20], field.value[21], true);
            out.literal(')');
            break;
        case 20: {  // (text), written as read
            std::string converted;
            out.literal(" (");
            out.text(layout.utf8Texts() ? utf8ToCp932(text.text, converted) : text.text);
            out.literal(')');
            break;
        }
        case 24:
        case 27:  // (player object group type amount)
            out.literal(" (");
            playerAndObject(out, field.value[7], field.value[6], field.value[20], field.value[21], true);
            out.literal(amountLabel);
            out.integer(field.value[1]);
            out.literal(')');
            break;
        default: break;
    }
    out.newline();
}

void formatConditionLine(BodyCursor& c, std::int32_t index, ReportBuffer& out, const TriggerLayout& layout) {
    const std::int32_t type = c.readS32();
    RecordFields<conditionFieldCount> field;
    field.read(c);
    if (layout.conditionScriptText()) readString32(c);
    if (!c.ok()) return;

    lineHead(out, conditionLead, index, NameKind::ConditionType, type, layout);
    switch (type) {
        case 3:
        case 4:  // (player object group amount)
            out.literal(" (");
            playerAndObject(out, field.value[5], field.value[4], field.value[13], 0, false);
            out.literal(amountLabel);
            out.integer(field.value[0]);
            out.literal(')');
            break;
        case 9:
        case 17:  // (player technology)
            playerAnd(out, field.value[5], NameKind::Technology, field.value[6]);
            break;
        default: break;
    }
    out.newline();
}

}  // namespace vantor
