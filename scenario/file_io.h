// The few file operations that stdio does not give portably.  Paths are byte
// strings, as the user's system spells them (cp932 on a Japanese Windows).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vantor {

// The length of an open file, or -1.  Leaves the position at the start.
std::int64_t fileLength(std::FILE* file) noexcept;

// Moves the file position; false on failure.
bool seekTo(std::FILE* file, std::int64_t offset) noexcept;

// Renames `from` to `to`, replacing a file that stands there.
bool replaceFile(const std::string& from, const std::string& to) noexcept;

// Writes all bytes to a new file at `path` (replacing it), flushes and
// closes it; false, with no file left behind, when anything failed.
bool writeWholeFile(const std::string& path, const char* data, std::size_t size) noexcept;

}  // namespace vantor
