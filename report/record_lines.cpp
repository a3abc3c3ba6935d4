#include "report/record_lines.h"

#include <algorithm>
#include <bit>
#include <charconv>

#include "report/cp932_literal.h"
#include "report/cp932_text.h"
#include "report/names.h"
#include "report/report_buffer.h"

namespace vantor {
namespace {

constexpr std::string_view effectLead = "  効果 "_cp932;
constexpr std::string_view conditionLead = "  条件 "_cp932;
constexpr std::string_view arrow = "→"_cp932;
// The detailed report's name of a type that the standard report does not name.
constexpr std::string_view effectNameLabel = "効果名"_cp932;
constexpr std::string_view conditionNameLabel = "条件名"_cp932;
// A text of the scenario in the detailed report: in brackets, its line
// breaks (CR LF, LF, CR) each shown as one mark, so that the record keeps its
// one line.
constexpr std::string_view openQuote = "「"_cp932;
constexpr std::string_view closeQuote = "」"_cp932;
constexpr std::string_view lineBreakMark = "／"_cp932;
constexpr std::string_view rowWord = "行"_cp932;
constexpr std::string_view columnWord = "列"_cp932;

constexpr std::int32_t buttonsPerRow = 5;
constexpr std::int32_t lastButton = 15;

std::string_view listName(std::span<const ListEntry> list, std::int32_t value) {
    for (const ListEntry& e : list)
        if (e.value == value) return e.name;
    return {};
}

// A value of a fixed list by its name, or "不明(%#8x)" when the list has none.
void appendListName(ReportBuffer& out, std::span<const ListEntry> list, std::int32_t value) {
    const std::string_view name = listName(list, value);
    name.empty() ? appendUnknown(out, value) : out.literal(name);
}

// The value of a field; unset past the stored count.
std::int32_t field(const RecordLines::Values& v, std::uint8_t place, std::size_t offset = 0) {
    return v.fields.at(place + offset);
}

// An amount or a class of an attack or armour value: the Definitive
// Edition's editor packs the class into the upper 16 bits of the amount
// field.  A value whose upper half only extends the sign of the lower holds
// no class.
bool holdsClass(std::int32_t packed) {
    const auto upper = static_cast<std::uint32_t>(packed) >> 16;
    const bool lowerNegative = (static_cast<std::uint32_t>(packed) & 0x8000u) != 0;
    return !(upper == 0 && !lowerNegative) && !(upper == 0xFFFF && lowerNegative);
}
std::int32_t packedAmount(std::int32_t packed) {
    return holdsClass(packed) ? static_cast<std::int16_t>(static_cast<std::uint32_t>(packed) & 0xFFFFu) : packed;
}
std::int32_t packedClass(std::int32_t packed) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(packed) >> 16);
}

// Whether the record leaves the parameter unset: -1 in its field (all of its
// fields, for a place or an area), an empty text, no selected object.  A
// list that names -1 makes it a value.
bool isUnset(const Parameter& p, const RecordLines::Values& v) {
    const std::int32_t first = field(v, p.place);
    switch (p.form) {
        case Form::text: return p.place >= v.texts.size() || v.texts[p.place].bytes().empty();
        case Form::selected: return v.selected.count() == 0;
        case Form::location: return first == -1 && field(v, p.place, 1) == -1;
        case Form::area:
            return first == -1 && field(v, p.place, 1) == -1 && field(v, p.place, 2) == -1 &&
                   field(v, p.place, 3) == -1;
        case Form::list: return first == -1 && listName(p.list, -1).empty();
        case Form::attackClass: return !holdsClass(first);
        case Form::number:
        case Form::floatNumber:
        case Form::triggerNumber:
        case Form::name:
        case Form::variable:
        case Form::button:
        case Form::attackAmount: break;
    }
    return first == -1;
}

void appendFloat(ReportBuffer& out, std::int32_t bits) {
    char digits[32];
    const auto r = std::to_chars(digits, digits + sizeof digits, std::bit_cast<float>(bits));
    out.literal(std::string_view(digits, static_cast<std::size_t>(r.ptr - digits)));
}

}  // namespace

std::string_view reportText(const StoredText& text, std::string& scratch) {
    return text.utf8 ? utf8ToCp932(text.bytes(), scratch) : text.bytes();
}

void RecordLines::effect(std::int32_t index, const EffectRecord& e) {
    line(effectLead, RecordKind::effect, index, e.type, {e.fields, e.texts, e.selectedObjects});
}

void RecordLines::condition(std::int32_t index, const ConditionRecord& c) {
    line(conditionLead, RecordKind::condition, index, c.type, {c.fields, std::span(&c.scriptFunction, 1), {}});
}

// "%-3d:%s", the standard report's parameters "(…)", then the detailed
// report's " label:value" of every other parameter the type uses.
void RecordLines::line(std::string_view lead, RecordKind kind, std::int32_t index, std::int32_t type,
                       const Values& values) {
    out_.literal(lead);
    out_.integer(index, 3, ReportBuffer::Pad::left);
    out_.literal(':');
    const TypeRow* row = findTypeRow(kind, type, version_);
    if (row && row->standardName)
        out_.literal(row->name);
    else
        appendUnknown(out_, type);
    if (row) {
        bool open = false;
        for (const Use& use : row->uses) {
            if (use.join == Join::none) break;  // the standard report's parameters lead
            if (!open) {
                out_.literal(" (");
                open = true;
            } else if (use.join == Join::blank) {
                out_.literal(' ');
            } else if (use.join == Join::arrow) {
                out_.literal(arrow);
            } else if (use.join == Join::labelled) {
                out_.literal(' ');
                out_.literal(use.parameter->label);
                out_.literal(':');
            }
            standardValue(*use.parameter, values);
        }
        if (open) out_.literal(')');
    }
    if (row && detail_ == ReportDetail::detailed) {
        if (!row->standardName) {
            out_.literal(' ');
            out_.literal(kind == RecordKind::effect ? effectNameLabel : conditionNameLabel);
            out_.literal(':');
            out_.literal(row->name);
        }
        const BodyVersion types = version_.ofTriggerTypes();
        for (const Use& use : row->uses) {
            if (!use.parameter) break;
            if (use.join == Join::none && use.versions.hold(types) && !isUnset(*use.parameter, values))
                addition(*use.parameter, values);
        }
    }
    out_.newline();
}

// A parameter as the standard report shows it, set or not; a text written
// as read.
void RecordLines::standardValue(const Parameter& p, const Values& values) {
    const std::int32_t v = field(values, p.place);
    switch (p.form) {
        case Form::name: appendName(out_, p.names, v, version_); return;
        case Form::triggerNumber: out_.integer(v, 4, ReportBuffer::Pad::zero); return;
        case Form::text:
            if (p.place < values.texts.size()) out_.text(reportText(values.texts[p.place], scratch_));
            return;
        default: out_.integer(v); return;
    }
}

// " label:value".
void RecordLines::addition(const Parameter& p, const Values& values) {
    out_.literal(' ');
    out_.literal(p.label);
    out_.literal(':');
    const std::int32_t v = field(values, p.place);
    switch (p.form) {
        case Form::number: out_.integer(v); return;
        case Form::floatNumber: appendFloat(out_, v); return;
        case Form::triggerNumber: out_.integer(v, 4, ReportBuffer::Pad::zero); return;
        case Form::name: appendName(out_, p.names, v, version_, Label::bare); return;
        case Form::list: appendListName(out_, p.list, v); return;
        case Form::location:
            out_.literal('(');
            out_.integer(v);
            out_.literal(',');
            out_.integer(field(values, p.place, 1));
            out_.literal(')');
            return;
        case Form::area:
            for (std::size_t corner = 0; corner < 4; corner += 2) {
                out_.literal(corner == 0 ? "(" : "-(");
                out_.integer(field(values, p.place, corner));
                out_.literal(',');
                out_.integer(field(values, p.place, corner + 1));
                out_.literal(')');
            }
            return;
        case Form::text: quotedText(values.texts[p.place]); return;
        case Form::selected: {
            const std::size_t count = values.selected.count();
            out_.integer(static_cast<std::int32_t>(count));
            for (std::size_t i = 0; i < count; ++i) {
                out_.literal(i == 0 ? '(' : ',');
                out_.integer(values.selected.at(i));
            }
            out_.literal(')');
            return;
        }
        case Form::variable: variable(v); return;
        case Form::button:
            if (v < 0 || v > lastButton) {
                out_.integer(v);
                return;
            }
            // 1 to 15 run along rows of five; 0 is the first place too.
            out_.integer((std::max(v, 1) - 1) / buttonsPerRow + 1);
            out_.literal(rowWord);
            out_.integer((std::max(v, 1) - 1) % buttonsPerRow + 1);
            out_.literal(columnWord);
            return;
        case Form::attackAmount: out_.integer(packedAmount(v)); return;
        case Form::attackClass: appendListName(out_, p.list, packedClass(v)); return;
    }
}

// "N「name」": the number, and the name that the scenario gives it, if any.
void RecordLines::variable(std::int32_t number) {
    out_.integer(number);
    const auto at = std::lower_bound(variables_.begin(), variables_.end(), static_cast<std::uint32_t>(number),
                                     [](const VariableName& n, std::uint32_t k) { return n.number < k; });
    if (number >= 0 && at != variables_.end() && at->number == static_cast<std::uint32_t>(number)) quotedText(at->name);
}

// 「text」 with each line break as one mark.
void RecordLines::quotedText(const StoredText& stored) {
    std::string_view text = reportText(stored, scratch_);
    out_.literal(openQuote);
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    while (!text.empty()) {
        const std::size_t end =
            static_cast<std::size_t>(std::find_if(text.begin(), text.end(), isBreak) - text.begin());
        out_.literal(text.substr(0, end));
        if (end == text.size()) break;
        out_.literal(lineBreakMark);
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    out_.literal(closeQuote);
}

}  // namespace vantor
