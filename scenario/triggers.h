// The trigger section of a body, record by record: what each trigger, effect
// and condition stores, with its fields named.  The records are read here
// and nowhere else; what is made of them is the reader's caller's.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "scenario/walk.h"

namespace vantor {

// A text as stored: its bytes up to the first NUL, and how they are encoded.
struct StoredText {
    std::string_view bytes;
    // The Definitive Edition's texts are UTF-8; the older editions' are in
    // the code page of the system that wrote them.
    bool utf8 = false;
};

// A trigger, up to its effects.
struct TriggerHead {
    std::int32_t enabled = 0;
    std::int8_t loop = 0;
    std::int8_t objective = 0;
    std::int32_t descriptionOrder = 0;
    StoredText description;
    StoredText name;
    std::int32_t effectCount = 0;  // as stored; a count below 0 holds no effect
};

// The fields of an effect that a report shows.  A field that the record does
// not store (its stored field count ends before it) is -1.
struct EffectRecord {
    std::int32_t type = 0;
    std::int32_t amount = -1;
    std::int32_t resource = -1;
    std::int32_t object = -1;
    std::int32_t player = -1;
    std::int32_t receiver = -1;
    std::int32_t technology = -1;
    std::int32_t trigger = -1;
    std::int32_t unitGroup = -1;
    std::int32_t unitType = -1;
    StoredText text;
};

struct ConditionRecord {
    std::int32_t type = 0;
    std::int32_t amount = -1;
    std::int32_t object = -1;
    std::int32_t player = -1;
    std::int32_t technology = -1;
    std::int32_t unitGroup = -1;
};

// Receives the section as it is read: the count, then for each trigger its
// head, its effects and its conditions in stored order, numbered from 0.
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

}  // namespace vantor
