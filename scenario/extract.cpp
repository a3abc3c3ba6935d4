#include "scenario/extract.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "scenario/container.h"

namespace vantor {
namespace {

constexpr std::int64_t containerHead = 8;  // container version and header length
constexpr std::int64_t firstHeadPiece = 4096;
constexpr std::size_t inputPieceSize = 65536;
constexpr std::uint64_t maxFirstGuess = 64 << 20;

// inflateEnd on every path once the stream is initialised.
struct InflateStream {
    z_stream stream{};
    bool initialised = false;
    ~InflateStream() {
        if (initialised) inflateEnd(&stream);
    }
};

struct BodyStart {
    ExtractOutcome outcome;
    std::int64_t offset = 0;
    ContainerFacts facts;
};

BodyStart refused(ExtractOutcome outcome) { return {outcome, 0, {}}; }

// Fills `buffer` from the start of the file; false when it cannot be read.
bool readStart(ScenarioFile& scenario, std::vector<std::uint8_t>& buffer) {
    if (!scenario.seek(0)) return false;
    for (std::size_t done = 0; done < buffer.size();) {
        const std::int64_t n = scenario.read(buffer.data() + done, buffer.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Where the deflate stream begins: the container's head is read in growing
// pieces until it tells.
BodyStart locateBody(ScenarioFile& scenario) {
    const std::int64_t length = scenario.length();
    if (length < containerHead) return refused(ExtractOutcome::decompressionFailed);
    std::vector<std::uint8_t> start;
    for (std::int64_t want = firstHeadPiece;; want *= 4) {
        start.resize(static_cast<std::size_t>(std::min(want, length)));
        if (!readStart(scenario, start)) return refused(ExtractOutcome::openFailed);
        const ContainerHead head = readContainerHead(start, length);
        switch (head.outcome) {
            case ContainerOutcome::bodyAt: return {ExtractOutcome::bodyReady, head.bodyOffset, {head.containerVersion}};
            case ContainerOutcome::notAContainer: return refused(ExtractOutcome::decompressionFailed);
            case ContainerOutcome::unsupportedVersion: return refused(ExtractOutcome::unsupportedVersion);
            case ContainerOutcome::needMore: break;
        }
        if (static_cast<std::int64_t>(start.size()) == length) return refused(ExtractOutcome::decompressionFailed);
    }
}

// Raw-inflates the rest of the scenario file into `out`, one output chunk at
// a time, each chunk also written to `temporary` when there is one.
ExtractOutcome inflateBody(ScenarioFile& scenario, std::int64_t compressedSize, BodyBytes& out,
                           TemporaryFile* temporary, std::uint32_t& total) {
    const auto input = std::make_unique_for_overwrite<unsigned char[]>(inputPieceSize);
    InflateStream z;
    if (inflateInit2(&z.stream, -15) != Z_OK) return ExtractOutcome::decompressionFailed;
    z.initialised = true;

    // A first guess at the body's size (most scenarios compress 5 to 15
    // times); it grows by doubling from there.
    const std::uint64_t guess = std::min<std::uint64_t>(static_cast<std::uint64_t>(compressedSize) * 8, maxFirstGuess);
    if (!out.reserve(static_cast<std::size_t>(guess) + extractionChunkSize)) return ExtractOutcome::outOfMemory;

    std::size_t produced = 0;
    bool inputEnded = false;
    int result = Z_OK;
    do {
        if (produced > maxBodySize) return ExtractOutcome::decompressionFailed;  // no body is this large
        if (out.capacity() - produced < extractionChunkSize &&
            !out.reserve(std::max(out.capacity() * 2, produced + extractionChunkSize)))
            return ExtractOutcome::outOfMemory;
        z.stream.next_out = out.get() + produced;
        z.stream.avail_out = static_cast<uInt>(extractionChunkSize);
        for (;;) {
            if (z.stream.avail_in == 0 && !inputEnded) {
                const std::int64_t n = scenario.read(input.get(), inputPieceSize);
                if (n < 0) return ExtractOutcome::openFailed;
                inputEnded = n == 0;
                z.stream.next_in = input.get();
                z.stream.avail_in = static_cast<uInt>(n);
            }
            result = inflate(&z.stream, Z_SYNC_FLUSH);
            if (result == Z_STREAM_END || z.stream.avail_out == 0) break;
            if (result == Z_MEM_ERROR) return ExtractOutcome::outOfMemory;
            // inflate stops short of a full chunk only when it needs more input;
            // when there is none, the stream is cut short.
            if ((result != Z_OK && result != Z_BUF_ERROR) || z.stream.avail_in != 0 || inputEnded)
                return ExtractOutcome::decompressionFailed;
        }
        const std::size_t chunk = extractionChunkSize - z.stream.avail_out;
        if (temporary && chunk > 0 && !temporary->write(out.get() + produced, chunk))
            return ExtractOutcome::createFailed;
        produced += chunk;
    } while (result != Z_STREAM_END);

    if (produced == 0 || produced > maxBodySize) return ExtractOutcome::decompressionFailed;
    total = static_cast<std::uint32_t>(produced);
    return ExtractOutcome::bodyReady;
}

}  // namespace

ExtractOutcome extractScenario(ScenarioFile& scenario, const std::string& scenarioPath, ScenarioBody& body,
                               TemporaryFile* temporary) {
    body.clear();
    try {
        const BodyStart start = locateBody(scenario);
        if (start.outcome != ExtractOutcome::bodyReady) return start.outcome;
        if (!scenario.seek(start.offset)) return ExtractOutcome::openFailed;

        if (temporary && temporary->createTemporary(scenarioPath + ".dat") != OwnFile::Outcome::created)
            return ExtractOutcome::createFailed;

        std::uint32_t size = 0;
        const ExtractOutcome outcome =
            inflateBody(scenario, scenario.length() - start.offset, body.bytes, temporary, size);
        if (outcome == ExtractOutcome::bodyReady) {
            body.size = size;
            body.container = start.facts;
        } else {
            body.clear();
        }
        return outcome;
    } catch (const std::bad_alloc&) {
        body.clear();
        return ExtractOutcome::outOfMemory;
    }
}

ExtractOutcome extractScenario(const std::string& scenarioPath, ScenarioBody& body, TemporaryFile& temporary) {
    body.clear();
    ScenarioFile scenario;
    if (!scenario.open(scenarioPath)) return ExtractOutcome::openFailed;
    return extractScenario(scenario, scenarioPath, body, &temporary);
}

}  // namespace vantor
