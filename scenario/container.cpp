#include "scenario/container.h"

#include "scenario/body.h"

namespace vantor {
namespace {

constexpr std::int64_t lengthOffset = 4;
constexpr std::int64_t headerStart = 8;
constexpr std::uint32_t newestHeaderVersion = 6;

// "d.dd" as a number, or 0.
int versionNumber(std::span<const std::uint8_t> b) noexcept {
    auto digit = [](std::uint8_t c) { return c >= '0' && c <= '9'; };
    if (!digit(b[0]) || b[1] != '.' || !digit(b[2]) || !digit(b[3])) return 0;
    return (b[0] - '0') * 100 + (b[2] - '0') * 10 + (b[3] - '0');
}

// Reads the header's fields one after another.  Every read that goes past the
// bytes given asks for more, or fails when the file has no more.
class HeaderReader {
public:
    HeaderReader(std::span<const std::uint8_t> start, std::int64_t fileLength) noexcept
        : start_(start), fileLength_(fileLength) {}

    std::uint32_t u32() noexcept {
        if (!fits(4)) return 0;
        const std::uint32_t v = loadU32(start_.data() + position_);
        position_ += 4;
        return v;
    }
    void skip(std::int64_t count) noexcept {
        if (fits(count)) position_ += count;
    }
    [[nodiscard]] bool ok() const noexcept { return !short_ && !outside_; }
    [[nodiscard]] bool needsMore() const noexcept { return short_ && !outside_; }
    [[nodiscard]] std::int64_t position() const noexcept { return position_; }
    void at(std::int64_t position) noexcept { position_ = position; }

private:
    bool fits(std::int64_t count) noexcept {
        if (!ok()) return false;
        if (position_ + count > fileLength_)
            outside_ = true;
        else if (position_ + count > static_cast<std::int64_t>(start_.size()))
            short_ = true;
        return ok();
    }

    std::span<const std::uint8_t> start_;
    std::int64_t fileLength_;
    std::int64_t position_ = 0;
    bool short_ = false;
    bool outside_ = false;
};

}  // namespace

bool knownContainerVersion(int version) noexcept {
    // The Definitive Edition's container carries its body's version.
    constexpr int definitive[] = {136, 137, 140, 141, 142, 143, 144, 145, 146, 147,
                                  148, 149, 151, 153, 154, 155, 156, 157, 158};
    for (const int v : definitive)
        if (v == version) return true;
    return version >= 118 && version <= 121;
}

ContainerHead readContainerHead(std::span<const std::uint8_t> fileStart, std::int64_t fileLength) noexcept {
    ContainerHead head;
    if (fileLength < headerStart) return head;
    if (static_cast<std::int64_t>(fileStart.size()) < headerStart) return {ContainerOutcome::needMore};
    head.containerVersion = versionNumber(fileStart);
    if (head.containerVersion != 0 && !knownContainerVersion(head.containerVersion))
        return {ContainerOutcome::unsupportedVersion, 0, head.containerVersion};

    const auto headerLength = static_cast<std::int32_t>(loadU32(fileStart.data() + lengthOffset));
    if (headerLength < 0 || headerLength > fileLength - headerStart) return head;
    head.outcome = ContainerOutcome::bodyAt;
    head.bodyOffset = headerStart + headerLength;
    if (headerLength != 0) return head;

    HeaderReader r(fileStart, fileLength);
    r.at(headerStart);
    const std::uint32_t version = r.u32();
    if (r.needsMore()) return {ContainerOutcome::needMore};
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
    if (r.needsMore()) return {ContainerOutcome::needMore};
    if (!r.ok()) return {ContainerOutcome::notAContainer, 0, head.containerVersion};
    head.bodyOffset = r.position();
    head.headerVersion = version;
    return head;
}

}  // namespace vantor
