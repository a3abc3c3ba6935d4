// One row per effect type and per condition type of each edition: its number,
// the body versions it exists in, its name, and its parameters (where each is
// stored, its label, how it is shown, and from which version the type uses
// it).  The report's lines are printed from these rows and nothing else: the
// standard report from the parameters marked as its own, the detailed report
// from all of them (report/record_lines.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "report/names.h"
#include "scenario/versions.h"

namespace vantor {

class ReportBuffer;

// A value of a small fixed list that the game defines (diplomacy states,
// operations, comparisons, ...), and its name (cp932).
struct ListEntry {
    std::int32_t value;
    std::string_view name;
};

// How a parameter shows what is stored.
enum class Form : std::uint8_t {
    number,         // decimal
    floatNumber,    // the float32 stored in an int32's place, in decimal
    triggerNumber,  // four digits, as the trigger table numbers triggers
    name,           // a name table of report/names.h
    list,           // a small fixed list
    location,       // (x,y): the field and the next
    area,           // (x1,y1)-(x2,y2): the field and the next three
    text,           // one of the texts stored behind the fields
    selected,       // the selected objects: their count, then their numbers
    variable,       // a variable's number and the name the scenario gives it
    button,         // a command button's place: row and column
    attackAmount,   // the amount of an attack or armour value packed with its class
    attackClass,    // its class
};

// A parameter: where its value is stored, how it is labelled and shown.
struct Parameter {
    std::uint8_t place;                 // the field (an EffectField or a ConditionField), or the text
    Form form;                          // how the value is shown
    std::string_view label;             // cp932, short Japanese
    NameKind names{};                   // the table of Form::name
    std::span<const ListEntry> list{};  // the entries of Form::list
};

// How a parameter of the standard report joins the one before it inside the
// parentheses behind the type's name.
enum class Join : std::uint8_t {
    none,      // not shown by the standard report
    first,     // the first: nothing in front
    blank,     // " "
    arrow,     // "→"
    labelled,  // " label:"
    attached,  // nothing: the name brings its own leading blank and label (unit groups, types)
};

// The body versions from one to another, both included.
struct Versions {
    BodyVersion from = versions::oldest;
    BodyVersion until = versions::newest;

    [[nodiscard]] constexpr bool hold(BodyVersion v) const { return from <= v && v <= until; }
};

// A parameter as a type uses it, in some of the versions of its row.
struct Use {
    constexpr Use() = default;
    constexpr Use(const Parameter& p, Join j = Join::none, Versions v = {}) : parameter(&p), join(j), versions(v) {}
    constexpr Use(const Parameter& p, Versions v) : parameter(&p), versions(v) {}

    const Parameter* parameter = nullptr;
    Join join = Join::none;
    Versions versions;
};

// An effect or condition type as some body versions define it; the
// parameters of the standard report come first.
struct TypeRow {
    static constexpr std::size_t mostUses = 14;

    constexpr TypeRow(std::int32_t t, std::string_view n, std::initializer_list<Use> u) : type(t), name(n) {
        std::copy(u.begin(), u.end(), uses);
    }
    constexpr TypeRow(std::int32_t t, Versions v, std::string_view n, std::initializer_list<Use> u, bool named = true)
        : type(t), versions(v), name(n), standardName(named) {
        std::copy(u.begin(), u.end(), uses);
    }

    std::int32_t type;
    Versions versions;
    std::string_view name;  // cp932
    // Whether the standard report names the type; if not, it shows it as
    // unknown and the detailed report adds the name.
    bool standardName = true;
    Use uses[mostUses] = {};
};

enum class RecordKind { effect, condition };

// The row of a type in a body of `version` (its trigger types: the
// Definitive Edition's early builds have those of its first release), or
// none.
[[nodiscard]] const TypeRow* findTypeRow(RecordKind kind, std::int32_t type, BodyVersion version);

// The name the standard report gives a type in a body of `version`: the
// row's, or "不明(%#8x)".
void appendTypeName(ReportBuffer& out, RecordKind kind, std::int32_t type, BodyVersion version);

}  // namespace vantor
