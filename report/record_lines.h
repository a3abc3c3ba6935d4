// One report line for every effect and every condition of a trigger.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scenario/triggers.h"

namespace vantor {

class ReportBuffer;

// A stored text as the report carries it: cp932 bytes.  The older editions'
// texts pass through as they are; the Definitive Edition's UTF-8 becomes
// cp932, built in `scratch` where it differs.
std::string_view reportText(const StoredText& text, std::string& scratch);

// Writes the line of each record: "  効果 N  :type (parameters)" for an
// effect, "  条件 N  :…" for a condition, with the parameters that its type
// shows.  `definitive` is the Definitive Edition's body version (0 before
// it), whose newer types are named in its reports alone.
class RecordLines {
public:
    RecordLines(ReportBuffer& out, int definitive) : out_(out), definitive_(definitive) {}
    void effect(std::int32_t index, const EffectRecord& record);
    void condition(std::int32_t index, const ConditionRecord& record);

private:
    ReportBuffer& out_;
    int definitive_;
    std::string scratch_;
};

}  // namespace vantor
