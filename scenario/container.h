// The uncompressed head of a scenario file: which game wrote it, and where
// the deflate stream of its body starts.
#pragma once

#include <cstdint>

#include "scenario/source.h"

namespace vantor {

// The file starts with its container version as four characters ("1.21"),
// then a signed 32-bit header length and the header:
//
//   0      4           container version, "d.dd"
//   4      int32       header length; 0 in some files that do hold a header
//   8      uint32      header version
//   12     uint32      save time                         (header version 2 and later)
//          uint32 n    description length, then n bytes
//          uint32      whether single-player victory is set (up to version 5)
//          uint32      number of active players
//          int32       data set, or the version of what follows when it is
//                      neither 0 nor 1; then the data set   (version 3 and later)
//          uint32 k    required add-ons, then k int32
//          uint32 n    author's name length, then n bytes   (version 5 and later)
//          uint32      trigger count                        (version 5 and later)
//
// The body's raw deflate stream follows the header.  When the header length
// is not 0 it is taken as stored; when it is 0 the header is read field by
// field if its version is one we know, else the stream starts at 8.  Its
// texts are stepped over where they stand, never read.
enum class ContainerOutcome {
    bodyAt,              // the stream starts at bodyOffset
    notAContainer,       // the lengths lead outside the file
    unsupportedVersion,  // a container version of another game or edition
    readFailed,          // the file could not be read
};

struct ContainerHead {
    ContainerOutcome outcome = ContainerOutcome::notAContainer;
    std::int64_t bodyOffset = 0;
    // The container version as a number (1.21 gives 121); 0 when the first
    // four bytes are no version number: such a file is read as it always
    // was, and its body's own version picks the layout.
    int containerVersion = 0;
    // The header version when the header was read field by field, else 0.
    std::uint32_t headerVersion = 0;
};

// The container versions of the games whose bodies the walk knows.
[[nodiscard]] bool knownContainerVersion(int version) noexcept;

ContainerHead readContainerHead(ScenarioSource& file);

}  // namespace vantor
