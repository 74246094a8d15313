#pragma once

#include "update/release_notes.h"

#include <cstddef>
#include <optional>
#include <string>

namespace pictavo {

// A manifest is a few hundred bytes; anything far bigger is not read into memory.
inline constexpr std::size_t kMaxManifestSize = 1 << 20;

// What the update dialog shows from the manifest "UpdateCheck.xml". Entries are the root's
// child elements, named by their "data" attribute and read in document order.
struct UpdateManifest {
    // The last "version" entry read.
    std::optional<std::string> version;
    // A version entry equal to this program's version ended the walk.
    bool upToDate = false;
    // The last "notes" entry read; any notes entry offers the download.
    std::optional<ReleaseNotes> notes;
    std::string downloadLink;
    // Empty unless the manifest named a plain file name.
    std::string fileName;
};

// Nothing when the file is missing, too large or not well-formed XML.
std::optional<UpdateManifest> ReadUpdateManifest(const std::string& path);

} // namespace pictavo
