#include "report/trigger_report.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "report/cp932_text.h"
#include "report/record_lines.h"
#include "scenario/triggers.h"

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

// "全シナリオ数：", "シナリオ ", "ファイル：", and the rule around a heading.
constexpr std::string_view scenarioCountLabel = "\x91S\x83V\x83i\x83\x8a\x83I\x90\x94\x81\x46";
constexpr std::string_view scenarioLabel = "\x83V\x83i\x83\x8a\x83I ";
constexpr std::string_view fileLabel = "\x83t\x83@\x83\x43\x83\x8b\x81\x46";
constexpr std::string_view headingRule = "=====================================================================";
constexpr std::string_view colon = "\x81\x46";  // "："

// The flag columns: the initial state as オフ/オン, the loop and the
// objective as いいえ/はい.  Any value other than 0 is on, negative ones too.
constexpr std::string_view offOn[] = {"\x83I\x83t", "\x83I\x83\x93"};
constexpr std::string_view noYes[] = {"\x82\xa2\x82\xa2\x82\xa6", "\x82\xcd\x82\xa2"};

ReportOutcome outcomeOf(WalkOutcome walk) {
    switch (walk) {
        case WalkOutcome::unsupportedVersion: return ReportOutcome::unsupportedVersion;
        case WalkOutcome::backgroundImage: return ReportOutcome::backgroundImage;
        case WalkOutcome::unreadableBody: return ReportOutcome::unreadableBody;
        case WalkOutcome::triggerSection: break;
    }
    return ReportOutcome::reportReady;
}

// "%04d %-30s %-8s %-6s %-6s %10d\n"
void writeTriggerLine(ReportBuffer& out, std::int32_t number, const TriggerHead& h, std::string_view name) {
    out.integer(number, 4, ReportBuffer::Pad::zero);
    out.literal(' ');
    out.textLeft(name, 30);
    out.literal(' ');
    out.literalLeft(offOn[h.enabled != 0], 8);
    out.literal(' ');
    out.literalLeft(noYes[h.loop != 0], 6);
    out.literal(' ');
    out.literalLeft(noYes[h.objective != 0], 6);
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

// The report's lines, as the records arrive.
class ReportWriter final : public TriggerVisitor {
public:
    ReportWriter(ReportBuffer& out, BodyVersion version, ReportDetail detail, std::span<const VariableName> variables)
        : out_(out), lines_(out, version, detail, variables) {}

    void section(std::int32_t triggerCount) override {
        out_.literal(countLabel);
        out_.integer(triggerCount);
        out_.newline();
        out_.newline();
        out_.literal(headerLine);
        out_.newline();
        out_.literal(ruleLine);
        out_.newline();
    }
    void trigger(std::int32_t number, const TriggerHead& head) override {
        writeTriggerLine(out_, number, head, reportText(head.name, nameScratch_));
        writeDescriptionLine(out_, reportText(head.description, descriptionScratch_));
    }
    void effect(std::int32_t index, const EffectRecord& record) override { lines_.effect(index, record); }
    void condition(std::int32_t index, const ConditionRecord& record) override { lines_.condition(index, record); }
    void triggerEnd() override { out_.newline(); }

private:
    ReportBuffer& out_;
    RecordLines lines_;
    std::string nameScratch_, descriptionScratch_;
};

// Whether the report needs the variables' names that stand behind the triggers.
bool needsVariableNames(const WalkResult& section, ReportDetail detail) {
    return detail == ReportDetail::detailed && section.version.definitive();
}

}  // namespace

CheckedSection checkTriggerSection(std::span<const std::uint8_t> body, int containerVersion, RecordCheck check,
                                   ReportDetail detail) {
    CheckedSection checked{ReportOutcome::reportReady, findTriggerSection(body, containerVersion), detail, {}};
    if (checked.section.outcome != WalkOutcome::triggerSection) {
        checked.outcome = outcomeOf(checked.section.outcome);
        return checked;
    }
    if (check == RecordCheck::walkOnly) return checked;
    bool readable = false;
    if (needsVariableNames(checked.section, detail))
        readable = readVariableNames(body, checked.section, checked.variables.emplace());
    else
        readable = readTriggers(body, checked.section);
    if (!readable) checked.outcome = ReportOutcome::unreadableBody;
    return checked;
}

bool formatTriggerReport(std::span<const std::uint8_t> body, const CheckedSection& checked, ReportBuffer& out) {
    // The variables' names as the check read them, else read here.
    std::vector<VariableName> read;
    const std::vector<VariableName>& variables = checked.variables ? *checked.variables : read;
    if (!checked.variables && needsVariableNames(checked.section, checked.detail) &&
        !readVariableNames(body, checked.section, read))
        return false;
    ReportWriter writer(out, checked.section.version, checked.detail, variables);
    return readTriggers(body, checked.section, &writer);
}

void formatCampaignCount(ReportBuffer& out, std::uint32_t scenarios) {
    out.literal(scenarioCountLabel);
    out.integer(static_cast<std::int32_t>(std::min<std::uint32_t>(scenarios, INT32_MAX)));
    out.newline();
}

void formatCampaignHeading(ReportBuffer& out, std::uint32_t number, const StoredText& name,
                           const StoredText& fileName) {
    std::string scratch;
    out.newline();
    out.literal(headingRule);
    out.newline();
    out.literal(scenarioLabel);
    out.integer(static_cast<std::int32_t>(number), 4, ReportBuffer::Pad::zero);
    out.literal(colon);
    out.text(reportText(name, scratch));
    out.newline();
    out.literal(fileLabel);
    out.text(reportText(fileName, scratch));
    out.newline();
    out.literal(headingRule);
    out.newline();
}

void formatMessageLine(ReportBuffer& out, std::string_view cp932) {
    out.literal(cp932);
    out.newline();
}

}  // namespace vantor
