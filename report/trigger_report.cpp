#include "report/trigger_report.h"

#include <cstring>

#include "report/cp932_text.h"
#include "report/record_lines.h"
#include "scenario/walk.h"

namespace vantor {
namespace {

// "全トリガ数："
constexpr std::string_view countLabel = "\x91S\x83g\x83\x8a\x83K\x90\x94\x81\x46";
// "No.  トリガ名                       初期設定 ループ 目的   説明の順序"
constexpr std::string_view headerLine =
    "No.  \x83g\x83\x8a\x83K\x96\xbc                       \x8f\x89\x8a\xfa\x90\xdd\x92\xe8 \x83\x8b\x81[\x83v "
    "\x96\xda\x93I   \x90\xe0\x96\xbe\x82\xcc\x8f\x87\x8f\x98";
constexpr std::string_view ruleLine = "---- ------------------------------ -------- ------ ------ ----------";
constexpr std::string_view descriptionLabel = "\x90\xe0\x96\xbe\x81\x46";  // "説明："
constexpr std::string_view continuationIndent = "    \x81\x46";            // "    ："

// The flag columns: the initial state as オフ/オン, the loop and the
// objective as いいえ/はい.
constexpr std::string_view offOn[] = {"\x83I\x83t", "\x83I\x83\x93"};
constexpr std::string_view noYes[] = {"\x82\xa2\x82\xa2\x82\xa6", "\x82\xcd\x82\xa2"};

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
// conditions (72 bytes each as the game saves them) and 4 bytes of order per
// condition.
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
struct TriggerHead {
    bool enabled;
    bool loop;
    bool objective;
    std::int32_t descriptionOrder;
    std::string_view description;
    std::string_view name;
    std::int32_t effectCount;
};

constexpr std::int64_t definitiveFlagsBehindOrder = 12;

// Texts of the Definitive Edition in cp932; the views stay valid until the
// next trigger.
struct TextScratch {
    std::string name;
    std::string description;
};

TriggerHead readTriggerHead(BodyCursor& c, const TriggerLayout& layout, TextScratch& scratch) {
    TriggerHead h{};
    // Any value other than 0 is on, negative ones included.
    h.enabled = c.readS32() != 0;
    h.loop = c.readS8() != 0;
    if (layout.executeOnLoadFlag()) c.skip(1);
    c.skip(4);
    h.objective = c.readS8() != 0;
    h.descriptionOrder = c.readS32();
    c.skip(layout.definitive != 0 ? definitiveFlagsBehindOrder : 4);
    h.description = c.readString32().text;
    h.name = c.readString32().text;
    if (layout.definitive != 0) c.readString32();  // short description
    h.effectCount = c.readS32();
    if (layout.utf8Texts()) {
        h.description = utf8ToCp932(h.description, scratch.description);
        h.name = utf8ToCp932(h.name, scratch.name);
    }
    return h;
}

// "%04d %-30s %-8s %-6s %-6s %10d\n"
void writeTriggerLine(ReportBuffer& out, std::int32_t number, const TriggerHead& h) {
    out.integer(number, 4, ReportBuffer::Pad::zero);
    out.literal(' ');
    out.textLeft(h.name, 30);
    out.literal(' ');
    out.literalLeft(offOn[h.enabled], 8);
    out.literal(' ');
    out.literalLeft(noYes[h.loop], 6);
    out.literal(' ');
    out.literalLeft(noYes[h.objective], 6);
    out.literal(' ');
    out.integer(h.descriptionOrder, 10);
    out.newline();
}

// "説明：" and the description, each of its line breaks (CR LF or LF)
// followed by an indent and "：".  A lone CR stays as it is.
void writeDescriptionLine(ReportBuffer& out, std::string_view description) {
    out.literal(descriptionLabel);
    while (!description.empty()) {
        const void* lf = std::memchr(description.data(), '\n', description.size());
        if (!lf) break;
        const auto i = static_cast<std::size_t>(static_cast<const char*>(lf) - description.data());
        const bool crlf = i > 0 && description[i - 1] == '\r';
        out.literal(description.substr(0, i - (crlf ? 1 : 0)));
        out.newline();
        out.literal(continuationIndent);
        description.remove_prefix(i + 1);
    }
    out.literal(description);
    out.newline();
}

std::int64_t countOrZero(std::int32_t count) { return count < 0 ? 0 : count; }

ReportOutcome outcomeOf(WalkOutcome walk) {
    switch (walk) {
        case WalkOutcome::unsupportedVersion: return ReportOutcome::unsupportedVersion;
        case WalkOutcome::backgroundImage: return ReportOutcome::backgroundImage;
        case WalkOutcome::unreadableBody: return ReportOutcome::unreadableBody;
        case WalkOutcome::triggerSection: break;
    }
    return ReportOutcome::reportReady;
}

ReportOutcome formatTriggers(std::span<const std::uint8_t> body, ReportBuffer& out, ContainerFacts container) {
    const WalkResult walk = findTriggerSection(body, container);
    if (walk.outcome != WalkOutcome::triggerSection) return outcomeOf(walk.outcome);

    BodyCursor c(body, walk.position);
    const std::int32_t triggerCount = c.readS32();
    if (!c.ok()) return ReportOutcome::unreadableBody;

    out.literal(countLabel);
    out.integer(triggerCount);
    out.newline();
    out.newline();
    out.literal(headerLine);
    out.newline();
    out.literal(ruleLine);
    out.newline();

    const TriggerLayout& layout = walk.layout;
    TextScratch scratch;
    for (std::int32_t t = 0; t < triggerCount; ++t) {
        const TriggerHead head = readTriggerHead(c, layout, scratch);
        if (!c.ok()) return ReportOutcome::unreadableBody;
        writeTriggerLine(out, t, head);
        writeDescriptionLine(out, head.description);

        for (std::int32_t i = 0; i < head.effectCount; ++i) {
            formatEffectLine(c, i, out, layout);
            if (!c.ok()) return ReportOutcome::unreadableBody;
        }
        c.skip(4 * countOrZero(head.effectCount));  // effect order

        const std::int32_t conditionCount = c.readS32();
        for (std::int32_t j = 0; c.ok() && j < conditionCount; ++j) formatConditionLine(c, j, out, layout);
        c.skip(4 * countOrZero(conditionCount));  // condition order
        if (!c.ok()) return ReportOutcome::unreadableBody;
        out.newline();
    }
    return ReportOutcome::reportReady;
}

}  // namespace

ReportOutcome buildTriggerReport(std::span<const std::uint8_t> body, ReportBuffer& out, ContainerFacts container) {
    out.clear();
    const ReportOutcome outcome = formatTriggers(body, out, container);
    if (outcome != ReportOutcome::reportReady) out.clear();  // no part of a report is ever shown
    return outcome;
}

ReportOutcome checkTriggerSection(std::span<const std::uint8_t> body, ContainerFacts container) {
    return outcomeOf(findTriggerSection(body, container).outcome);
}

}  // namespace vantor
