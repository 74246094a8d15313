#pragma once

#include "archive/archive_cache.h"
#include "archive/image_location.h"
#include "texture/result.h"

#include <string>

namespace pictavo {

// Text that changes whenever the image's bytes may have: for a file its path, size and
// modification time; for an archive entry its archive's path, size and modification time,
// and the entry's name, CRC and size. A failure when the image is not there.
Result<std::string> ImageStamp(const ImageLocation& where, ArchiveCache& archives);

} // namespace pictavo
