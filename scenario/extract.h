// From a scenario file to its decompressed body.
#pragma once

#include <cstdio>
#include <string>

#include "scenario/body.h"

namespace vantor {

enum class [[nodiscard]] ExtractOutcome{
    bodyReady,            // the body holds the whole scenario; the temporary file is open
    decompressionFailed,  // not a scenario container, or its deflate stream is broken
    openFailed,           // the scenario file cannot be opened or read
    createFailed,         // the temporary file cannot be created, written or read back
    outOfMemory,          // the compressed bytes or the body do not fit in memory
    unsupportedVersion,   // the container is of another game or edition
};

// The file beside the scenario (x.scx.dat) through which the body is
// decompressed.  It exists only while one report command runs: whoever holds
// it removes it with removeTemporary(); the destructor removes it too.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    [[nodiscard]] bool exists() const noexcept { return file_ != nullptr; }
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

private:
    friend ExtractOutcome extractScenario(const std::string&, ScenarioBody&, TemporaryFile&);
    friend bool removeTemporary(TemporaryFile& temporary) noexcept;
    std::FILE* file_ = nullptr;
    std::string path_;
};

// The container (scenario/container.h): its version, the header, then the
// body as a raw deflate stream (RFC 1951) up to the end of the file.
//
// Fills `body` (which must be empty) and leaves the temporary file open in
// `temporary` whenever it was created.  The scenario file is only read.
ExtractOutcome extractScenario(const std::string& scenarioPath, ScenarioBody& body, TemporaryFile& temporary);

// Closes and deletes the temporary file; false when it could not be deleted.
bool removeTemporary(TemporaryFile& temporary) noexcept;

// The decompression works through one output chunk of this size.
inline constexpr std::size_t extractionChunkSize = 131072;

}  // namespace vantor
