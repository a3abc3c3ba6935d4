// The trigger section of a body, record by record: what each trigger, effect
// and condition stores, handed on as views of the body.  The records are read
// here and nowhere else; what is made of them is the reader's caller's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "scenario/body.h"
#include "scenario/trigger_fields.h"
#include "scenario/walk.h"

namespace vantor {

// A text as stored, and how it is encoded; its text is its bytes up to the
// first NUL.
struct StoredText {
    std::string_view stored;
    // The Definitive Edition's texts are UTF-8; the older editions' are in
    // the code page of the system that wrote them.
    bool utf8 = false;

    [[nodiscard]] std::string_view bytes() const noexcept { return stored.substr(0, stored.find('\0')); }
};

// A trigger, up to its effects.
struct TriggerHead {
    std::int32_t enabled = 0;
    std::int8_t loop = 0;
    std::int8_t objective = 0;
    std::int32_t descriptionOrder = 0;
    StoredText description;
    StoredText name;
    StoredText shortDescription;   // the Definitive Edition's
    std::int32_t effectCount = 0;  // as stored; a count below 0 holds no effect
};

// An effect: its type, every field it stores, its texts and the numbers of
// its selected objects.
struct EffectRecord {
    std::int32_t type = 0;
    StoredValues fields;
    StoredText texts[4];  // by EffectText; the options' texts are empty before 1.54
    StoredValues selectedObjects;

    [[nodiscard]] std::int32_t operator[](EffectField f) const noexcept {
        return fields.at(static_cast<std::size_t>(f));
    }
    [[nodiscard]] const StoredText& text(EffectText t) const noexcept { return texts[static_cast<std::size_t>(t)]; }
};

struct ConditionRecord {
    std::int32_t type = 0;
    StoredValues fields;
    StoredText scriptFunction;  // the Definitive Edition's from 1.40

    [[nodiscard]] std::int32_t operator[](ConditionField f) const noexcept {
        return fields.at(static_cast<std::size_t>(f));
    }
};

// Receives the section as it is read: the count, then for each trigger its
// head, its effects and its conditions in stored order, numbered from 0.
// What it is handed points into the body.
class TriggerVisitor {
public:
    virtual ~TriggerVisitor() = default;
    virtual void section(std::int32_t /*triggerCount*/) {}
    virtual void trigger(std::int32_t /*number*/, const TriggerHead&) {}
    virtual void effect(std::int32_t /*index*/, const EffectRecord&) {}
    virtual void condition(std::int32_t /*index*/, const ConditionRecord&) {}
    virtual void triggerEnd() {}
};

// Reads the section that the walk found, from its trigger count to its last
// record, handing each record to `visitor` once it is read whole.  False
// when a record leads outside the body (or holds a negative field count,
// text length or selected count): the visitor has then been handed the
// records before it only.  Without a visitor, it only checks that every
// record can be read.
[[nodiscard]] bool readTriggers(std::span<const std::uint8_t> body, const WalkResult& section,
                                TriggerVisitor* visitor = nullptr);

// A variable of the Definitive Edition, as the section names it.
struct VariableName {
    std::uint32_t number = 0;
    StoredText name;
};

// The names that the Definitive Edition's section gives its variables,
// behind the triggers (trigger records of version 2.2 and later), sorted by
// number; a number named twice keeps its last name.  None for the older
// editions.  False when the triggers or the names lead outside the body.
[[nodiscard]] bool readVariableNames(std::span<const std::uint8_t> body, const WalkResult& section,
                                     std::vector<VariableName>& names);

}  // namespace vantor
