#include "scenario/extract.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>

#include "scenario/container.h"
#include "scenario/walk.h"

namespace vantor {
namespace {

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

ExtractOutcome outcomeOf(ContainerOutcome container) {
    switch (container) {
        case ContainerOutcome::unsupportedVersion: return ExtractOutcome::unsupportedVersion;
        case ContainerOutcome::readFailed: return ExtractOutcome::readFailed;
        case ContainerOutcome::notAContainer:
        case ContainerOutcome::bodyAt: break;
    }
    return ExtractOutcome::decompressionFailed;
}

// Raw-inflates the file from `offset` into `out`, one output chunk at a time,
// each chunk also handed to `sink` when there is one; `total` is the body's size.
ExtractOutcome inflateBody(ScenarioSource& file, std::int64_t offset, BodyBytes& out, BodySink* sink,
                           std::uint32_t& total) {
    const auto input = std::make_unique_for_overwrite<unsigned char[]>(inputPieceSize);
    InflateStream z;
    if (inflateInit2(&z.stream, -15) != Z_OK) return ExtractOutcome::decompressionFailed;
    z.initialised = true;

    // A first guess at the body's size (most scenarios compress 5 to 15
    // times); it grows by doubling from there.
    const auto compressed = static_cast<std::uint64_t>(file.length() - offset);
    const std::uint64_t guess = std::min<std::uint64_t>(compressed * 8, maxFirstGuess);
    if (!out.reserve(static_cast<std::size_t>(guess) + extractionChunkSize)) return ExtractOutcome::outOfMemory;

    std::size_t produced = 0;
    bool inputEnded = false;
    int result = Z_OK;
    do {
        if (out.capacity() - produced < extractionChunkSize &&
            !out.reserve(std::min(std::max(out.capacity() * 2, produced + extractionChunkSize),
                                  std::size_t{maxBodySize} + extractionChunkSize)))
            return ExtractOutcome::outOfMemory;
        z.stream.next_out = out.get() + produced;
        z.stream.avail_out = static_cast<uInt>(extractionChunkSize);
        for (;;) {
            if (z.stream.avail_in == 0 && !inputEnded) {
                const std::int64_t n = file.readAt(offset, input.get(), inputPieceSize);
                if (n < 0) return ExtractOutcome::readFailed;
                offset += n;
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
        // No body is this large: refused as the limit is passed, nothing more kept.
        if (produced + chunk > maxBodySize) return ExtractOutcome::decompressionFailed;
        // The version stands in the first bytes: a body of no known version
        // is refused before the rest is inflated or anything is kept.
        if (produced == 0 && chunk >= bodyVersionEnd && !knownBodyVersion(std::span(out.get(), chunk)))
            return ExtractOutcome::unsupportedVersion;
        if (sink && chunk > 0 && !sink->keep(std::span(out.get() + produced, chunk))) return ExtractOutcome::keepFailed;
        produced += chunk;
    } while (result != Z_STREAM_END);

    if (produced == 0) return ExtractOutcome::decompressionFailed;
    total = static_cast<std::uint32_t>(produced);
    return ExtractOutcome::bodyReady;
}

}  // namespace

ExtractOutcome extractScenario(ScenarioSource& file, ScenarioBody& body, BodySink* sink) {
    body.clear();
    try {
        const ContainerHead head = readContainerHead(file);
        if (head.outcome != ContainerOutcome::bodyAt) return outcomeOf(head.outcome);
        std::uint32_t size = 0;
        const ExtractOutcome outcome = inflateBody(file, head.bodyOffset, body.bytes, sink, size);
        if (outcome != ExtractOutcome::bodyReady) {
            body.clear();
            return outcome;
        }
        body.size = size;
        body.containerVersion = head.containerVersion;
        return outcome;
    } catch (const std::bad_alloc&) {
        body.clear();
        return ExtractOutcome::outOfMemory;
    }
}

}  // namespace vantor
