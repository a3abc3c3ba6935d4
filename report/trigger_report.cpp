#include "report/trigger_report.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "report/cp932_text.h"
#include "report/record_lines.h"
#include "scenario/extract.h"
#include "scenario/file_io.h"
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

// The flag texts: いいえ, はい, オフ, オン, いいえ, はい.  The initial state
// shows the text at 2 + enabled, the loop column the one at 4 + loop, the
// objective column the one at objective.
constexpr std::string_view flagTexts[] = {
    "\x82\xa2\x82\xa2\x82\xa6", "\x82\xcd\x82\xa2", "\x83I\x83t", "\x83I\x83\x93",
    "\x82\xa2\x82\xa2\x82\xa6", "\x82\xcd\x82\xa2",
};

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
    h.description = readString32(c).text;
    h.name = readString32(c).text;
    if (layout.definitive != 0) readString32(c);  // short description
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
    out.literalLeft(flagTexts[2 + h.enabled], 8);
    out.literal(' ');
    out.literalLeft(flagTexts[4 + h.loop], 6);
    out.literal(' ');
    out.literalLeft(flagTexts[h.objective], 6);
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

Message messageFor(ReportOutcome outcome) {
    switch (outcome) {
        case ReportOutcome::unsupportedVersion: return Message::unsupportedVersion;
        case ReportOutcome::backgroundImage: return Message::backgroundImage;
        case ReportOutcome::unreadableBody:
        case ReportOutcome::reportReady: break;
    }
    return Message::unreadableBody;
}

Message messageFor(ExtractOutcome outcome) {
    switch (outcome) {
        case ExtractOutcome::openFailed: return Message::openFailed;
        case ExtractOutcome::createFailed: return Message::createFailed;
        case ExtractOutcome::outOfMemory: return Message::outOfMemory;
        case ExtractOutcome::unsupportedVersion: return Message::unsupportedVersion;
        case ExtractOutcome::decompressionFailed:
        case ExtractOutcome::bodyReady: break;
    }
    return Message::decompressionFailed;
}

// Passes the report's bytes through the encoder, if any.
class EncodedSink final : public ReportSink {
public:
    EncodedSink(ReportSink& next, ReportEncoder* encoder) : next_(next), encoder_(encoder) {}
    bool write(std::string_view bytes) override {
        return encoder_ ? encoder_->write(bytes, next_) : next_.write(bytes);
    }
    bool finish() { return encoder_ ? encoder_->finish(next_) : true; }

private:
    ReportSink& next_;
    ReportEncoder* encoder_;
};

class FileSink final : public ReportSink {
public:
    explicit FileSink(OwnFile& file) : file_(file) {}
    bool write(std::string_view bytes) override { return file_.write(bytes.data(), bytes.size()); }

private:
    OwnFile& file_;
};

class DiscardingSink final : public ReportSink {
public:
    bool write(std::string_view) override { return true; }
};

// Streams the report through `out` into `sink`; false, after its message,
// when the body cannot be reported or a write failed.
bool streamReport(const ScenarioBody& body, UserActions& ui, ReportSink& sink, ReportEncoder* encoder) {
    EncodedSink encoded(sink, encoder);
    ReportBuffer out;
    out.streamTo(encoded);
    const ReportOutcome outcome = buildTriggerReport(body.view(), out, body.container);
    if (outcome != ReportOutcome::reportReady) {
        ui.showMessage(messageFor(outcome));
        return false;
    }
    if (!out.flush() || !encoded.finish()) {
        ui.showMessage(Message::createFailed);
        return false;
    }
    return true;
}

// A stream cannot take back what it was given: the whole report is made once
// into nothing, so that every failure shows before the first byte goes out.
bool printReport(const ScenarioBody& body, UserActions& ui, const ReportDestination& destination) {
    DiscardingSink nowhere;
    return streamReport(body, ui, nowhere, nullptr) && streamReport(body, ui, *destination.stream, destination.encoder);
}

ReportOutcome writeReport(std::span<const std::uint8_t> body, ReportBuffer& out, ContainerFacts container) {
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
    const ReportOutcome outcome = writeReport(body, out, container);
    if (outcome != ReportOutcome::reportReady) out.clear();  // no part of a report is ever shown
    return outcome;
}

std::string reportPathFor(const std::string& scenarioPath) { return scenarioPath + ".txt"; }

bool writeTriggerReport(const std::string& scenarioPath, const ScenarioBody& body, UserActions& ui,
                        unsigned permissions, ReportEncoder* encoder) {
    if (body.empty()) return false;
    try {
        // A refusal of the walk shows before any file is created.
        const ReportOutcome walk = outcomeOf(findTriggerSection(body.view(), body.container).outcome);
        if (walk != ReportOutcome::reportReady) {
            ui.showMessage(messageFor(walk));
            return false;
        }
        const std::string reportPath = reportPathFor(scenarioPath);
        OwnFile partial;
        if (partial.createUnique(reportPath, permissions) != OwnFile::Outcome::created) {
            ui.showMessage(Message::createFailed);
            return false;
        }
        FileSink file(partial);
        if (!streamReport(body, ui, file, encoder)) return false;  // the partial file goes with `partial`
        if (!partial.renameOver(reportPath)) {
            ui.showMessage(Message::createFailed);
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

bool runReportCommand(const std::string& scenarioPath, ScenarioBody& body, UserActions& ui,
                      const ReportDestination& destination) {
    body.clear();
    try {
        ScenarioFile scenario;
        if (!scenario.open(scenarioPath)) {
            ui.showMessage(Message::openFailed);
            return false;
        }
        if (destination.stream) {
            const ExtractOutcome extraction = extractScenario(scenario, scenarioPath, body, nullptr);
            if (extraction == ExtractOutcome::bodyReady) return printReport(body, ui, destination);
            ui.showMessage(messageFor(extraction));
            return false;
        }

        // The files beside the scenario are taken in turns with any other run.
        if (!scenario.lock()) {
            ui.showMessage(Message::openFailed);
            return false;
        }
        TemporaryFile temporary;
        const ExtractOutcome extraction = extractScenario(scenario, scenarioPath, body, &temporary);
        bool reported = false;
        if (extraction != ExtractOutcome::bodyReady)
            ui.showMessage(messageFor(extraction));
        else
            reported = writeTriggerReport(scenarioPath, body, ui, scenario.permissions(), destination.encoder);

        if (!removeTemporary(temporary)) {
            ui.showMessage(Message::removeFailed);
            return false;
        }
        // Handed on only when nothing of ours is left beside the scenario.
        if (reported) ui.openInViewer(reportPathFor(scenarioPath));
        return reported;
    } catch (const std::bad_alloc&) {
        body.clear();
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

}  // namespace vantor
