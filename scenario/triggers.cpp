#include "scenario/triggers.h"

#include <algorithm>

#include "scenario/body.h"

namespace vantor {
namespace {

// A trigger record, up to its effects:
//   0      int32     enabled
//   4      int8      loop
//   5      4         not used
//   9      int8      objective
//   10     int32     description order
//   14     4         not used
//   18     String32  description
//          String32  name
//          int32     effect count
// then the effects, 4 bytes of order per effect, the condition count, the
// conditions and 4 bytes of order per condition.
//
// The Definitive Edition's record, up to its effects:
//   0      int32     enabled
//   4      int8      loop
//  (5      int8      run when loaded, 1.55 and later: the rest moves by 1)
//   5      4         not used
//   9      int8      objective
//   10     int32     description order
//   14     12        not used (header flag, short description's string and
//                    state, start time, muted objective)
//   26     String32  description (UTF-8, as every text of this edition)
//          String32  name
//          String32  short description
//          int32     effect count
//
// An effect record:
//   0          int32     effect type
//   4          int32     F, the number of fields stored (23 as the game saves it)
//   8 + 4k     int32     field k, for k < F
//   8 + 4F     String32  text
//              String32  sound
//              int32 ×   one per selected object (field 4; -1 counts as 0)
//              String32  ×2 the texts of a decision's two options (Definitive
//                        Edition 1.54 and later)
//
// A condition record:
//   0          int32     condition type
//   4          int32     F (16 as the game saves it)
//   8 + 4k     int32     field k, for k < F
//   8 + 4F     String32  a script function's name (Definitive Edition 1.40
//                        and later)
struct RecordLayout {
    explicit RecordLayout(int version) noexcept : definitive(version) {}
    int definitive;  // the Definitive Edition's body version, 0 before it

    [[nodiscard]] bool utf8Texts() const noexcept { return definitive != 0; }
    [[nodiscard]] bool executeOnLoadFlag() const noexcept { return definitive >= 155; }
    [[nodiscard]] std::int64_t unusedBehindOrder() const noexcept { return definitive != 0 ? 12 : 4; }
    [[nodiscard]] bool shortDescription() const noexcept { return definitive != 0; }
    [[nodiscard]] bool effectOptionTexts() const noexcept { return definitive >= 154; }
    [[nodiscard]] bool conditionScriptText() const noexcept { return definitive >= 140; }
};

// The places of the fields that a report shows among a record's stored fields.
enum EffectField : std::size_t {
    effectAmount = 1,
    effectResource = 2,
    effectSelectedCount = 4,
    effectObject = 6,
    effectPlayer = 7,
    effectReceiver = 8,
    effectTechnology = 9,
    effectTrigger = 13,
    effectUnitGroup = 20,
    effectUnitType = 21,
    effectFieldsShown = 22,
};
enum ConditionField : std::size_t {
    conditionAmount = 0,
    conditionObject = 4,
    conditionPlayer = 5,
    conditionTechnology = 6,
    conditionUnitGroup = 13,
    conditionFieldsShown = 14,
};

StoredText storedText(BodyCursor& c, const RecordLayout& layout) noexcept {
    return {c.readString32().text, layout.utf8Texts()};
}

// Reads one section; each record goes to the visitor once it is whole.
class SectionReader {
public:
    SectionReader(std::span<const std::uint8_t> body, const WalkResult& section, TriggerVisitor* visitor) noexcept
        : c_(body, section.position), layout_(section.definitive), visitor_(visitor) {}

    bool run() {
        const std::int32_t triggers = c_.readS32();
        if (!c_.ok()) return false;
        if (visitor_) visitor_->section(triggers);
        for (std::int32_t t = 0; t < triggers; ++t)
            if (!trigger(t)) return false;
        return true;
    }

private:
    bool trigger(std::int32_t number) {
        TriggerHead head;
        head.enabled = c_.readS32();
        head.loop = c_.readS8();
        if (layout_.executeOnLoadFlag()) c_.skip(1);
        c_.skip(4);
        head.objective = c_.readS8();
        head.descriptionOrder = c_.readS32();
        c_.skip(layout_.unusedBehindOrder());
        if (visitor_) {
            head.description = storedText(c_, layout_);
            head.name = storedText(c_, layout_);
        } else {
            c_.skipString32();
            c_.skipString32();
        }
        if (layout_.shortDescription()) c_.skipString32();
        head.effectCount = c_.readS32();
        if (!c_.ok()) return false;
        if (visitor_) visitor_->trigger(number, head);

        for (std::int32_t i = 0; i < head.effectCount; ++i)
            if (!effect(i)) return false;
        c_.skipRecords(std::max(head.effectCount, 0), 4);  // effect order

        const std::int32_t conditions = c_.readS32();
        for (std::int32_t j = 0; c_.ok() && j < conditions; ++j)
            if (!condition(j)) return false;
        c_.skipRecords(std::max(conditions, 0), 4);  // condition order
        if (!c_.ok()) return false;
        if (visitor_) visitor_->triggerEnd();
        return true;
    }

    bool effect(std::int32_t index) {
        EffectRecord e;
        e.type = c_.readS32();
        std::int32_t field[effectFieldsShown];
        std::fill(std::begin(field), std::end(field), -1);
        c_.readCountedFields(field);
        if (visitor_)
            e.text = storedText(c_, layout_);
        else
            c_.skipString32();
        c_.skipString32();  // sound
        const std::int32_t selected = field[effectSelectedCount];
        c_.skipRecords(selected == -1 ? 0 : selected, 4);  // the selected objects' ids
        if (layout_.effectOptionTexts()) {
            c_.skipString32();
            c_.skipString32();
        }
        if (!c_.ok()) return false;
        e.amount = field[effectAmount];
        e.resource = field[effectResource];
        e.object = field[effectObject];
        e.player = field[effectPlayer];
        e.receiver = field[effectReceiver];
        e.technology = field[effectTechnology];
        e.trigger = field[effectTrigger];
        e.unitGroup = field[effectUnitGroup];
        e.unitType = field[effectUnitType];
        if (visitor_) visitor_->effect(index, e);
        return true;
    }

    bool condition(std::int32_t index) {
        ConditionRecord r;
        r.type = c_.readS32();
        std::int32_t field[conditionFieldsShown];
        std::fill(std::begin(field), std::end(field), -1);
        c_.readCountedFields(field);
        if (layout_.conditionScriptText()) c_.skipString32();
        if (!c_.ok()) return false;
        r.amount = field[conditionAmount];
        r.object = field[conditionObject];
        r.player = field[conditionPlayer];
        r.technology = field[conditionTechnology];
        r.unitGroup = field[conditionUnitGroup];
        if (visitor_) visitor_->condition(index, r);
        return true;
    }

    BodyCursor c_;
    RecordLayout layout_;
    TriggerVisitor* visitor_;
};

}  // namespace

bool readTriggers(std::span<const std::uint8_t> body, const WalkResult& section, TriggerVisitor* visitor) {
    if (section.outcome != WalkOutcome::triggerSection) return false;
    return SectionReader(body, section, visitor).run();
}

}  // namespace vantor
