#include "scenario/container.h"

#include "scenario/body.h"
#include "scenario/versions.h"

namespace vantor {
namespace {

constexpr std::int64_t lengthOffset = 4;
constexpr std::int64_t headerStart = 8;
constexpr std::uint32_t newestHeaderVersion = 6;

// "d.dd" as a number, or 0.
int versionNumber(const std::uint8_t* b) noexcept {
    auto digit = [](std::uint8_t c) { return c >= '0' && c <= '9'; };
    if (!digit(b[0]) || b[1] != '.' || !digit(b[2]) || !digit(b[3])) return 0;
    return (b[0] - '0') * 100 + (b[2] - '0') * 10 + (b[3] - '0');
}

}  // namespace

bool knownContainerVersion(int version) noexcept {
    // The Definitive Edition's container carries its body's version (its
    // first early build wrote 1.21, as the HD editions do).
    for (const versions::StoredVersion& k : versions::known)
        if (k.version > versions::firstDefinitive && k.version.hundredths() == version) return true;
    return version >= 118 && version <= 121;
}

ContainerHead readContainerHead(ScenarioSource& file) {
    ContainerHead head;
    const std::int64_t fileLength = file.length();
    if (fileLength < headerStart) return head;
    std::uint8_t start[headerStart];
    if (file.readAt(0, start, sizeof start) != static_cast<std::int64_t>(sizeof start))
        return {ContainerOutcome::readFailed};
    head.containerVersion = versionNumber(start);
    if (head.containerVersion != 0 && !knownContainerVersion(head.containerVersion))
        return {ContainerOutcome::unsupportedVersion, 0, head.containerVersion};

    const auto headerLength = static_cast<std::int32_t>(loadU32(start + lengthOffset));
    if (headerLength < 0 || headerLength > fileLength - headerStart) return head;
    head.outcome = ContainerOutcome::bodyAt;
    head.bodyOffset = headerStart + headerLength;
    if (headerLength != 0) return head;

    SourceReader r(file, headerStart);
    const std::uint32_t version = r.u32();
    if (r.readFailed()) return {ContainerOutcome::readFailed};
    if (!r.ok() || version == 0 || version > newestHeaderVersion) return head;  // no header: the stream starts at 8

    if (version >= 2) r.skip(4);  // save time
    r.skip(r.u32());              // description
    if (version <= 5) r.skip(4);  // single-player victory
    r.skip(4);                    // active players
    if (version >= 3) {
        const std::uint32_t first = r.u32();
        if (first != 0 && first != 1) r.skip(4);  // a version, then the data set
        r.skip(std::int64_t{4} * r.u32());
    }
    if (version >= 5) {
        r.skip(r.u32());  // the author's name
        r.skip(4);        // trigger count
    }
    if (r.readFailed()) return {ContainerOutcome::readFailed};
    if (!r.ok()) return {ContainerOutcome::notAContainer, 0, head.containerVersion};
    head.bodyOffset = r.position();
    head.headerVersion = version;
    return head;
}

}  // namespace vantor
