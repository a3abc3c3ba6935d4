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
//
// Behind the triggers, in the Definitive Edition's section (trigger records
// 2.2 and later):
//          int32 ×   one per trigger: their order
//          1024      the variables' starting values
//          uint32 n  then n int32: technologies
//          uint32 m  then m × (uint32 number, String32 name): the variables' names
struct RecordLayout {
    explicit RecordLayout(const WalkResult& section) noexcept
        : version(section.version), triggerVersion(section.triggerVersion) {}
    BodyVersion version;
    double triggerVersion;

    [[nodiscard]] bool definitive() const noexcept { return version.definitive(); }
    [[nodiscard]] bool executeOnLoadFlag() const noexcept { return version >= versions::executeOnLoadFlag; }
    [[nodiscard]] std::int64_t unusedBehindOrder() const noexcept { return definitive() ? 12 : 4; }
    [[nodiscard]] bool effectOptionTexts() const noexcept { return version >= versions::effectOptionTexts; }
    [[nodiscard]] bool conditionScriptText() const noexcept { return version >= versions::conditionScriptText; }
    [[nodiscard]] bool variableNames() const noexcept { return definitive() && triggerVersion >= firstVariableNames; }

    static constexpr double firstVariableNames = 2.2;  // the trigger records' version that names variables
};

constexpr std::int64_t variableValues = 1024;

StoredText storedText(BodyCursor& c, const RecordLayout& layout) noexcept {
    return {c.readStored32(), layout.definitive()};
}

// Reads one section; each record goes to the visitor once it is whole.
// Without a visitor, texts are stepped over unread.
class SectionReader {
public:
    SectionReader(std::span<const std::uint8_t> body, const WalkResult& section, TriggerVisitor* visitor) noexcept
        : c_(body, section.position), layout_(section), visitor_(visitor) {}

    bool run() {
        triggers_ = c_.readS32();
        if (!c_.ok()) return false;
        if (visitor_) visitor_->section(triggers_);
        for (std::int32_t t = 0; t < triggers_; ++t)
            if (!trigger(t)) return false;
        return true;
    }

    // Behind the triggers that run() read: the variables' names.
    bool variableNames(std::vector<VariableName>& names) {
        names.clear();
        if (!layout_.variableNames()) return true;
        c_.skipRecords(std::max(triggers_, 0), 4);  // trigger order
        c_.skip(variableValues);
        c_.skipRecords(c_.readU32(), 4);
        const std::int64_t count = c_.readU32();
        // Each name takes at least 8 bytes: a count past that fails before anything is held.
        c_.require(count <= c_.remaining() / 8);
        if (!c_.ok()) return false;
        names.reserve(static_cast<std::size_t>(count));
        for (std::int64_t i = 0; i < count && c_.ok(); ++i) {
            const std::uint32_t number = c_.readU32();
            names.push_back({number, storedText(c_, layout_)});
        }
        if (!c_.ok()) return false;
        // Sorted by number, the last of a number's names first among its equals.
        std::reverse(names.begin(), names.end());
        std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
        names.erase(
            std::unique(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.number == b.number; }),
            names.end());
        return true;
    }

private:
    StoredText text() noexcept {
        if (visitor_) return storedText(c_, layout_);
        c_.skipString32();
        return {};
    }

    bool trigger(std::int32_t number) {
        TriggerHead head;
        head.enabled = c_.readS32();
        head.loop = c_.readS8();
        if (layout_.executeOnLoadFlag()) c_.skip(1);
        c_.skip(4);
        head.objective = c_.readS8();
        head.descriptionOrder = c_.readS32();
        c_.skip(layout_.unusedBehindOrder());
        head.description = text();
        head.name = text();
        if (layout_.definitive()) head.shortDescription = text();
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
        e.fields = c_.readCountedValues();
        e.texts[static_cast<std::size_t>(EffectText::message)] = text();
        e.texts[static_cast<std::size_t>(EffectText::sound)] = text();
        const std::int32_t selected = e[EffectField::selectedCount];
        e.selectedObjects = c_.readValues(selected == -1 ? 0 : selected);
        if (layout_.effectOptionTexts()) {
            e.texts[static_cast<std::size_t>(EffectText::option1)] = text();
            e.texts[static_cast<std::size_t>(EffectText::option2)] = text();
        }
        if (!c_.ok()) return false;
        if (visitor_) visitor_->effect(index, e);
        return true;
    }

    bool condition(std::int32_t index) {
        ConditionRecord r;
        r.type = c_.readS32();
        r.fields = c_.readCountedValues();
        if (layout_.conditionScriptText()) r.scriptFunction = text();
        if (!c_.ok()) return false;
        if (visitor_) visitor_->condition(index, r);
        return true;
    }

    BodyCursor c_;
    RecordLayout layout_;
    TriggerVisitor* visitor_;
    std::int32_t triggers_ = 0;
};

}  // namespace

bool readTriggers(std::span<const std::uint8_t> body, const WalkResult& section, TriggerVisitor* visitor) {
    if (section.outcome != WalkOutcome::triggerSection) return false;
    return SectionReader(body, section, visitor).run();
}

bool readVariableNames(std::span<const std::uint8_t> body, const WalkResult& section,
                       std::vector<VariableName>& names) {
    names.clear();
    if (section.outcome != WalkOutcome::triggerSection) return false;
    SectionReader reader(body, section, nullptr);
    return reader.run() && reader.variableNames(names);
}

}  // namespace vantor
