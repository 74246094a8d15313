#pragma once

#include "archive/archive_cache.h"
#include "archive/image_location.h"
#include "grid/grid_thumbnail.h"
#include "texture/result.h"

#include <cstdint>
#include <functional>

namespace pictavo {

// Makes a thumbnail of at most `size` a side from the image's own bytes: the decode the disk
// cache saves, into `thumbnail`.
using GridThumbnailMaker = std::function<Status(const ImageLocation& where, std::uint32_t size,
                                                ArchiveCache& archives, GridThumbnail& thumbnail)>;

// The grid's maker: a file's header and the one level the thumbnail needs, or an archive
// entry read into memory, decoded as the desktop's thumbnailer does.
Status MakeGridThumbnail(const ImageLocation& where, std::uint32_t size, ArchiveCache& archives,
                         GridThumbnail& thumbnail);

} // namespace pictavo
