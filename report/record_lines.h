// One report line for every effect and every condition of a trigger, printed
// from the type's row (report/type_rows.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "report/type_rows.h"
#include "scenario/triggers.h"

namespace vantor {

class ReportBuffer;

// The report of the standard form, or the detailed one, whose effect and
// condition lines also show every parameter that their type uses.
enum class ReportDetail { standard, detailed };

// A stored text as the report carries it: cp932 bytes.  The older editions'
// texts pass through as they are; the Definitive Edition's UTF-8 becomes
// cp932, built in `scratch` where it differs.
std::string_view reportText(const StoredText& text, std::string& scratch);

// Writes the line of each record: "  効果 N  :type (parameters)" for an
// effect, "  条件 N  :…" for a condition, with the parameters that the
// standard report shows for its type; the detailed report adds, at the end
// of the line, " label:value" for every other parameter that the type uses in
// the body's version and the record sets.  `variables` are the names that
// the scenario gives its variables.
class RecordLines {
public:
    RecordLines(ReportBuffer& out, BodyVersion version, ReportDetail detail,
                std::span<const VariableName> variables = {})
        : out_(out), version_(version), detail_(detail), variables_(variables) {}
    void effect(std::int32_t index, const EffectRecord& record);
    void condition(std::int32_t index, const ConditionRecord& record);

    // What a line's parameters are read from.
    struct Values {
        StoredValues fields;
        std::span<const StoredText> texts;
        StoredValues selected;
    };

private:
    void line(std::string_view lead, RecordKind kind, std::int32_t index, std::int32_t type, const Values& values);
    void standardValue(const Parameter& p, const Values& values);
    void addition(const Parameter& p, const Values& values);
    void variable(std::int32_t number);
    void quotedText(const StoredText& text);

    ReportBuffer& out_;
    BodyVersion version_;
    ReportDetail detail_;
    std::span<const VariableName> variables_;
    std::string scratch_;
};

}  // namespace vantor
