// From a scenario file to its decompressed body.
#pragma once

#include <cstddef>
#include <string>

#include "scenario/body.h"
#include "scenario/file_io.h"

namespace vantor {

enum class [[nodiscard]] ExtractOutcome{
    bodyReady,            // the body holds the whole scenario
    decompressionFailed,  // not a scenario container, or its deflate stream is broken
    openFailed,           // the scenario file cannot be opened or read
    createFailed,         // the temporary file cannot be created or written
    outOfMemory,          // the body does not fit in memory
    unsupportedVersion,   // the container is of another game or edition
};

// The file beside the scenario (x.scx.dat) that receives the body as it is
// decompressed.  It is ours alone while one report command runs: whoever
// holds it removes it with removeTemporary(); the destructor removes it too.
using TemporaryFile = OwnFile;

// The container (scenario/container.h): its version, the header, then the
// body as a raw deflate stream (RFC 1951) up to the end of the file.
//
// Inflates the body straight into `body` (which it empties first), reading
// the file in pieces and stopping at the end of the deflate stream.  With a
// `temporary`, every chunk also goes to scenarioPath + ".dat", created as a
// file of our own (a stale one of ours is replaced; anything else at that
// name is left as it is and gives createFailed); without, nothing is
// written.  The scenario file is only read.
ExtractOutcome extractScenario(ScenarioFile& scenario, const std::string& scenarioPath, ScenarioBody& body,
                               TemporaryFile* temporary);

// The same for a scenario file that it opens itself.
ExtractOutcome extractScenario(const std::string& scenarioPath, ScenarioBody& body, TemporaryFile& temporary);

// Closes and deletes the temporary file; false when it could not be deleted.
[[nodiscard]] inline bool removeTemporary(TemporaryFile& temporary) noexcept { return temporary.remove(); }

// The decompression works through output chunks of this size.
inline constexpr std::size_t extractionChunkSize = 131072;

}  // namespace vantor
