#include "scenario/extract.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

namespace vantor {
namespace {

constexpr std::int64_t containerHead = 8;  // leading 4 bytes and headerLength
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
};

// Where the deflate stream begins: behind the header.
BodyStart locateBody(ScenarioFile& scenario) {
    const std::int64_t length = scenario.length();
    std::uint8_t head[containerHead];
    if (length < containerHead) return {ExtractOutcome::decompressionFailed};
    if (scenario.read(head, sizeof head) != containerHead) return {ExtractOutcome::openFailed};
    const auto headerLength = static_cast<std::int32_t>(loadU32(head + 4));
    if (headerLength < 0 || headerLength > length - containerHead) return {ExtractOutcome::decompressionFailed};
    return {ExtractOutcome::bodyReady, containerHead + headerLength};
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
        if (outcome == ExtractOutcome::bodyReady)
            body.size = size;
        else
            body.clear();
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
