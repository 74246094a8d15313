#pragma once

#include "texture/texture.h"
#include "texture/texture_error.h"

namespace pictavo {

// Places the levels of a version 27 file whose header fields and offset table `info` holds:
// by the table where it describes a chain, else by the file's size, or as one level after a
// header that lost its table. `singleLevel`: the flags mark one level.
TextureError PlaceVersion27Levels(TextureInfo& info, bool singleLevel);

} // namespace pictavo
