// From a scenario file to its decompressed body.
#pragma once

#include <cstddef>
#include <span>

#include "scenario/body.h"
#include "scenario/source.h"

namespace vantor {

enum class [[nodiscard]] ExtractOutcome{
    bodyReady,            // the body holds the whole scenario
    decompressionFailed,  // not a scenario container, or its deflate stream is broken
    readFailed,           // the scenario file cannot be read
    keepFailed,           // the sink did not take the body's bytes
    outOfMemory,          // the body does not fit in memory
    unsupportedVersion,   // the container, or the body, is of another game or edition
};

// Takes the body's bytes as they are inflated, chunk after chunk from the
// first: the temporary file beside the scenario.
class BodySink {
public:
    virtual ~BodySink() = default;
    // False stops the extraction (keepFailed).
    [[nodiscard]] virtual bool keep(std::span<const std::uint8_t> bytes) = 0;
};

// The container (scenario/container.h): its version, the header, then the
// body as a raw deflate stream (RFC 1951) up to the end of the file.
//
// Inflates the body straight into `body` (which it empties first), reading
// the file in pieces and stopping at the end of the deflate stream.  A body
// whose version (its first bytes) no layout describes is refused as soon as
// they are inflated.  With a `sink`, every chunk also goes there, the first
// one only once the version is known.
ExtractOutcome extractScenario(ScenarioSource& file, ScenarioBody& body, BodySink* sink = nullptr);

// The decompression works through output chunks of this size.
inline constexpr std::size_t extractionChunkSize = 131072;

}  // namespace vantor
