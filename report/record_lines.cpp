#include "report/record_lines.h"

#include "report/cp932_text.h"
#include "report/names.h"
#include "report/report_buffer.h"

namespace vantor {
namespace {

constexpr std::string_view effectLead = "  \x8c\xf8\x89\xca ";     // "  効果 "
constexpr std::string_view conditionLead = "  \x8f\xf0\x8c\x8f ";  // "  条件 "
constexpr std::string_view arrow = "\x81\xa8";                     // →
constexpr std::string_view amountLabel = " \x90\x94\x97\xca:";     // " 数量:"

// "%-3d:%s" with the type's name, behind the lead.
void lineHead(ReportBuffer& out, std::string_view lead, std::int32_t index, NameKind kind, std::int32_t type,
              int definitive) {
    out.literal(lead);
    out.integer(index, 3, ReportBuffer::Pad::left);
    out.literal(':');
    appendTypeName(out, kind, type, definitive);
}

// "(%s %s)": a player and one more name.
void playerAnd(ReportBuffer& out, std::int32_t player, NameKind kind, std::int32_t value, int definitive) {
    out.literal(" (");
    appendName(out, NameKind::Player, player, definitive);
    out.literal(' ');
    appendName(out, kind, value, definitive);
    out.literal(')');
}

// "%s %s%s%s": player, object, unit group and, where the line shows one, unit type.
void playerAndObject(ReportBuffer& out, std::int32_t player, std::int32_t object, std::int32_t unitGroup,
                     const std::int32_t* unitType, int definitive) {
    appendName(out, NameKind::Player, player, definitive);
    out.literal(' ');
    appendName(out, NameKind::Object, object, definitive);
    appendName(out, NameKind::UnitGroup, unitGroup, definitive);
    if (unitType) appendName(out, NameKind::UnitType, *unitType, definitive);
}

}  // namespace

std::string_view reportText(const StoredText& text, std::string& scratch) {
    return text.utf8 ? utf8ToCp932(text.bytes, scratch) : text.bytes;
}

void RecordLines::effect(std::int32_t index, const EffectRecord& e) {
    lineHead(out_, effectLead, index, NameKind::EffectType, e.type, definitive_);
    switch (e.type) {
        case 2:  // (player technology)
            playerAnd(out_, e.player, NameKind::Technology, e.technology, definitive_);
            break;
        case 5:  // (player→receiver resource amount)
            out_.literal(" (");
            appendName(out_, NameKind::Player, e.player, definitive_);
            out_.literal(arrow);
            appendName(out_, NameKind::Player, e.receiver, definitive_);
            out_.literal(' ');
            appendName(out_, NameKind::Resource, e.resource, definitive_);
            out_.literal(' ');
            out_.integer(e.amount);
            out_.literal(')');
            break;
        case 8:
        case 9:  // (trigger number)
            out_.literal(" (");
            out_.integer(e.trigger, 4, ReportBuffer::Pad::zero);
            out_.literal(')');
            break;
        case 11:  // (player object)
            playerAnd(out_, e.player, NameKind::Object, e.object, definitive_);
            break;
        case 14:  // (player object group type)
            out_.literal(" (");
            playerAndObject(out_, e.player, e.object, e.unitGroup, &e.unitType, definitive_);
            out_.literal(')');
            break;
        case 20:  // (text), written as read
            out_.literal(" (");
            out_.text(reportText(e.text, scratch_));
            out_.literal(')');
            break;
        case 24:
        case 27:  // (player object group type amount)
            out_.literal(" (");
            playerAndObject(out_, e.player, e.object, e.unitGroup, &e.unitType, definitive_);
            out_.literal(amountLabel);
            out_.integer(e.amount);
            out_.literal(')');
            break;
        default: break;
    }
    out_.newline();
}

void RecordLines::condition(std::int32_t index, const ConditionRecord& c) {
    lineHead(out_, conditionLead, index, NameKind::ConditionType, c.type, definitive_);
    switch (c.type) {
        case 3:
        case 4:  // (player object group amount)
            out_.literal(" (");
            playerAndObject(out_, c.player, c.object, c.unitGroup, nullptr, definitive_);
            out_.literal(amountLabel);
            out_.integer(c.amount);
            out_.literal(')');
            break;
        case 9:
        case 17:  // (player technology)
            playerAnd(out_, c.player, NameKind::Technology, c.technology, definitive_);
            break;
        default: break;
    }
    out_.newline();
}

}  // namespace vantor
