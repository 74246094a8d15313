#include "grid/grid_thumbnail_maker.h"

#include "texture/byte_source.h"
#include "thumbnailer/thumbnail.h"

#include <vector>

namespace pictavo {

std::string MakeGridThumbnail(const ImageLocation& where, std::uint32_t size,
                              ArchiveCache& archives, GridThumbnail& thumbnail) {
    TextureInfo info;
    std::string error;
    if (where.InArchive()) {
        std::vector<std::uint8_t> bytes;
        if (!archives.Read(where.archivePath, where.entryName, bytes, error)) {
            return error;
        }
        SpanSource source(bytes);
        error = MakeThumbnailImage(source, size, thumbnail.image, info);
    } else {
        FileSource source;
        if (const TextureError opened = source.Open(where.filePath);
            opened != TextureError::kNone) {
            return ErrorText(opened);
        }
        error = MakeThumbnailImage(source, size, thumbnail.image, info);
    }
    if (!error.empty()) {
        return error;
    }
    thumbnail.width = info.width;
    thumbnail.height = info.height;
    thumbnail.faces = info.faces;
    thumbnail.format = info.FormatText();
    thumbnail.warning = info.WarningText();
    return {};
}

} // namespace pictavo
