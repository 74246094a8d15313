#include "grid/grid_thumbnail_maker.h"

#include "texture/byte_source.h"
#include "thumbnailer/thumbnail.h"

#include <utility>
#include <vector>

namespace pictavo {
namespace {

// The thumbnail's pixels, read from the file or the archive entry; `info` receives the header.
Result<RgbaImage> ThumbnailImage(const ImageLocation& where, std::uint32_t size,
                                 ArchiveCache& archives, TextureInfo& info) {
    if (where.InArchive()) {
        std::vector<std::uint8_t> bytes;
        if (Status read = archives.Read(where.archivePath, where.entryName, bytes); !read) {
            return read.error();
        }
        SpanSource source(bytes);
        return MakeThumbnailImage(source, size, info);
    }
    FileSource source;
    if (const TextureError opened = source.Open(where.filePath); opened != TextureError::kNone) {
        return opened;
    }
    return MakeThumbnailImage(source, size, info);
}

} // namespace

Status MakeGridThumbnail(const ImageLocation& where, std::uint32_t size, ArchiveCache& archives,
                         GridThumbnail& thumbnail) {
    TextureInfo info;
    Result<RgbaImage> image = ThumbnailImage(where, size, archives, info);
    if (!image) {
        return image.error();
    }
    thumbnail.image = std::move(image).value();
    thumbnail.width = info.width;
    thumbnail.height = info.height;
    thumbnail.faces = info.faces;
    thumbnail.format = info.FormatText();
    thumbnail.warning = info.WarningText();
    return {};
}

} // namespace pictavo
