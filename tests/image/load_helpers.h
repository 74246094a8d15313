#pragma once

#include "image/iwi.h"
#include "image_files.h"

#include <string>

namespace pictavo::testing {

// Writes `bytes` to `name` in `dir` and runs SetFile, GetFileType and LoadFile on it.
inline int LoadBytes(IWI& image, const TempDir& dir, const std::string& name, const Bytes& bytes) {
    WriteBytes(dir.File(name), bytes);
    const int set = image.SetFile(dir.File(name));
    if (set != IWI_OK) {
        return set;
    }
    image.GetFileType();
    return image.LoadFile();
}

} // namespace pictavo::testing
