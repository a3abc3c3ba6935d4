#include "scenario/extract.h"

#include <zlib.h>

#include <memory>
#include <new>
#include <vector>

#include "scenario/container.h"
#include "scenario/file_io.h"

namespace vantor {
namespace {

constexpr std::int64_t containerHead = 8;  // container version and header length

// Closes a FILE on every path.
struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

// inflateEnd on every path once the stream is initialised.
struct InflateStream {
    z_stream stream{};
    bool initialised = false;
    ~InflateStream() {
        if (initialised) inflateEnd(&stream);
    }
};

enum class ReadOutcome { ok, notAContainer, unsupportedVersion, readFailed };

// The file's head, read in growing pieces until the stream's start is known;
// needMore only when the file cannot be read.
ContainerHead readHead(std::FILE* file, std::int64_t length) {
    std::vector<std::uint8_t> start;
    std::int64_t want = 4096;
    for (;;) {
        const auto size = static_cast<std::size_t>(want < length ? want : length);
        start.resize(size);
        if (!seekTo(file, 0) || std::fread(start.data(), 1, size, file) != size) return {ContainerOutcome::needMore};
        const ContainerHead head = readContainerHead(start, length);
        if (head.outcome != ContainerOutcome::needMore || static_cast<std::int64_t>(size) == length) return head;
        want *= 4;
    }
}

// Reads everything behind the container's header.
ReadOutcome readCompressedBody(std::FILE* file, std::vector<unsigned char>& compressed, ContainerFacts& facts) {
    const std::int64_t length = fileLength(file);
    if (length < 0) return ReadOutcome::readFailed;
    if (length < containerHead) return ReadOutcome::notAContainer;
    const ContainerHead head = readHead(file, length);
    switch (head.outcome) {
        case ContainerOutcome::bodyAt: break;
        case ContainerOutcome::needMore: return ReadOutcome::readFailed;
        case ContainerOutcome::notAContainer: return ReadOutcome::notAContainer;
        case ContainerOutcome::unsupportedVersion: return ReadOutcome::unsupportedVersion;
    }
    facts.version = head.containerVersion;

    const std::int64_t bodyStart = head.bodyOffset;
    const std::int64_t compressedSize = length - bodyStart;
    // zlib counts its input in 32 bits, and no body needs more: a larger rest
    // is no scenario, and is refused before it is read into memory.
    if (static_cast<std::uint64_t>(compressedSize) > UINT32_MAX) return ReadOutcome::notAContainer;
    compressed.resize(static_cast<std::size_t>(compressedSize));
    if (!seekTo(file, bodyStart)) return ReadOutcome::readFailed;
    if (compressedSize > 0 && std::fread(compressed.data(), 1, compressed.size(), file) != compressed.size())
        return ReadOutcome::readFailed;
    return ReadOutcome::ok;
}

// Raw-inflates `compressed` into the temporary file, chunk by chunk; yields
// the number of bytes written, or -1 when the stream is broken, -2 when a
// write failed.
std::int64_t inflateToFile(std::vector<unsigned char>& compressed, std::FILE* out) {
    const auto chunk = std::make_unique_for_overwrite<unsigned char[]>(extractionChunkSize);
    InflateStream z;
    z.stream.next_in = compressed.data();
    z.stream.avail_in = static_cast<uInt>(compressed.size());
    if (inflateInit2(&z.stream, -15) != Z_OK) return -1;
    z.initialised = true;

    std::int64_t total = 0;
    int result = Z_OK;
    do {
        z.stream.next_out = chunk.get();
        z.stream.avail_out = static_cast<uInt>(extractionChunkSize);
        result = inflate(&z.stream, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) return -1;
        const std::size_t produced = extractionChunkSize - z.stream.avail_out;
        // Room left in the chunk without the end of the stream: the input ran out.
        if (result == Z_OK && z.stream.avail_out != 0) return -1;
        if (total + static_cast<std::int64_t>(produced) > std::int64_t{maxBodySize}) return -1;
        if (produced > 0 && std::fwrite(chunk.get(), 1, produced, out) != produced) return -2;
        total += static_cast<std::int64_t>(produced);
    } while (result != Z_STREAM_END);
    if (std::fflush(out) != 0) return -2;
    return total;
}

}  // namespace

TemporaryFile::~TemporaryFile() { (void)removeTemporary(*this); }

bool removeTemporary(TemporaryFile& temporary) noexcept {
    if (!temporary.file_) return true;
    std::fclose(temporary.file_);
    temporary.file_ = nullptr;
    return std::remove(temporary.path_.c_str()) == 0;
}

ExtractOutcome extractScenario(const std::string& scenarioPath, ScenarioBody& body, TemporaryFile& temporary) {
    body.clear();
    try {
        std::vector<unsigned char> compressed;
        ContainerFacts facts;
        {
            FileCloser scenario{std::fopen(scenarioPath.c_str(), "rb")};
            if (!scenario.file) return ExtractOutcome::openFailed;
            switch (readCompressedBody(scenario.file, compressed, facts)) {
                case ReadOutcome::ok: break;
                case ReadOutcome::notAContainer: return ExtractOutcome::decompressionFailed;
                case ReadOutcome::unsupportedVersion: return ExtractOutcome::unsupportedVersion;
                case ReadOutcome::readFailed: return ExtractOutcome::openFailed;
            }
        }

        temporary.path_ = scenarioPath + ".dat";
        temporary.file_ = std::fopen(temporary.path_.c_str(), "w+b");
        if (!temporary.file_) return ExtractOutcome::createFailed;
        // Each chunk goes to the file in one write, and the body comes back in
        // one read: no copy through a stdio buffer.
        std::setvbuf(temporary.file_, nullptr, _IONBF, 0);

        const std::int64_t total = inflateToFile(compressed, temporary.file_);
        std::vector<unsigned char>().swap(compressed);  // freed before the body is allocated
        if (total == -2) return ExtractOutcome::createFailed;
        if (total <= 0) return ExtractOutcome::decompressionFailed;

        const auto size = static_cast<std::uint32_t>(total);
        body.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        if (!seekTo(temporary.file_, 0) || std::fread(body.bytes.get(), 1, size, temporary.file_) != size) {
            body.clear();
            return ExtractOutcome::createFailed;
        }
        body.size = size;
        body.container = facts;
        return ExtractOutcome::bodyReady;
    } catch (const std::bad_alloc&) {
        body.clear();
        return ExtractOutcome::outOfMemory;
    }
}

}  // namespace vantor
