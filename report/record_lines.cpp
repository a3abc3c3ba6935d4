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

// The fields a line shows, by their place among a record's stored fields
// (fields past the stored count are -1).
struct EffectFields {
    static constexpr std::size_t count = 23;
    enum : std::size_t {
        amount = 1,
        resource = 2,
        selectedCount = 4,
        object = 6,
        player = 7,
        receiver = 8,
        technology = 9,
        trigger = 13,
        unitGroup = 20,
        unitType = 21,
    };
};

struct ConditionFields {
    static constexpr std::size_t count = 16;
    enum : std::size_t {
        amount = 0,
        object = 4,
        player = 5,
        technology = 6,
        unitGroup = 13,
    };
};

template <typename Fields>
struct StoredFields : std::array<std::int32_t, Fields::count> {
    StoredFields() { this->fill(-1); }
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
    using F = EffectFields;
    const std::int32_t type = c.readS32();
    StoredFields<F> field;
    c.readCountedFields(field);
    const BodyText text = c.readString32();
    c.readString32();  // sound
    const std::int32_t selected = field[F::selectedCount];
    c.skipRecords(selected == -1 ? 0 : selected, 4);  // the selected objects' ids
    if (layout.effectOptionTexts()) {
        c.readString32();
        c.readString32();
    }
    if (!c.ok()) return;

    lineHead(out, effectLead, index, NameKind::EffectType, type, layout);
    switch (type) {
        case 2:  // (player technology)
            playerAnd(out, field[F::player], NameKind::Technology, field[F::technology]);
            break;
        case 5:  // (player→receiver resource amount)
            out.literal(" (");
            appendName(out, NameKind::Player, field[F::player]);
            out.literal(arrow);
            appendName(out, NameKind::Player, field[F::receiver]);
            out.literal(' ');
            appendName(out, NameKind::Resource, field[F::resource]);
            out.literal(' ');
            out.integer(field[F::amount]);
            out.literal(')');
            break;
        case 8:
        case 9:  // (trigger number)
            out.literal(" (");
            out.integer(field[F::trigger], 4, ReportBuffer::Pad::zero);
            out.literal(')');
            break;
        case 11:  // (player object)
            playerAnd(out, field[F::player], NameKind::Object, field[F::object]);
            break;
        case 14:  // (player object group type)
            out.literal(" (");
            playerAndObject(out, field[F::player], field[F::object], field[F::unitGroup], field[F::unitType], true);
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
            playerAndObject(out, field[F::player], field[F::object], field[F::unitGroup], field[F::unitType], true);
            out.literal(amountLabel);
            out.integer(field[F::amount]);
            out.literal(')');
            break;
        default: break;
    }
    out.newline();
}

void formatConditionLine(BodyCursor& c, std::int32_t index, ReportBuffer& out, const TriggerLayout& layout) {
    using F = ConditionFields;
    const std::int32_t type = c.readS32();
    StoredFields<F> field;
    c.readCountedFields(field);
    if (layout.conditionScriptText()) c.readString32();
    if (!c.ok()) return;

    lineHead(out, conditionLead, index, NameKind::ConditionType, type, layout);
    switch (type) {
        case 3:
        case 4:  // (player object group amount)
            out.literal(" (");
            playerAndObject(out, field[F::player], field[F::object], field[F::unitGroup], 0, false);
            out.literal(amountLabel);
            out.integer(field[F::amount]);
            out.literal(')');
            break;
        case 9:
        case 17:  // (player technology)
            playerAnd(out, field[F::player], NameKind::Technology, field[F::technology]);
            break;
        default: break;
    }
    out.newline();
}

}  // namespace vantor
