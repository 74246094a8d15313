// PNG through libpng. Its errors longjmp back to the setjmp in ReadRows: that function and the
// callbacks hold nothing with a destructor, so the jump skips no C++ clean-up.
#include "byte_order.h"
#include "picture_budget.h"
#include "picture_decoders.h"

#include <cstdio>
#include <cstring>
#include <png.h>
#include <string>
#include <vector>

namespace pictavo {

namespace {

constexpr std::size_t kSignatureSize = 8;
// Deflate writes at most 258 bytes for two bits.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
// Text and profile chunks are read into memory; real ones are far smaller.
constexpr png_alloc_size_t kMaxChunkBytes = 8 << 20;

struct Session {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
    char message[128] = "";
};

void ReadCallback(png_structp png, png_bytep out, std::size_t count) {
    auto* session = static_cast<Session*>(png_get_io_ptr(png));
    if (count > session->bytes.size() - session->offset) {
        png_error(png, "the file ends early");
    }
    std::memcpy(out, session->bytes.data() + session->offset, count);
    session->offset += count;
}

void ErrorCallback(png_structp png, png_const_charp message) {
    auto* session = static_cast<Session*>(png_get_error_ptr(png));
    std::snprintf(session->message, sizeof session->message, "%s", message);
    png_longjmp(png, 1);
}

void WarningCallback(png_structp, png_const_charp) {}

// The bytes of all IDAT chunks, which must inflate to the pixels the header claims.
std::uint64_t CompressedBytes(std::span<const std::uint8_t> bytes) {
    std::uint64_t total = 0;
    for (std::size_t at = kSignatureSize; bytes.size() - at >= 12;) {
        const std::uint64_t length = ReadU32BE(&bytes[at]);
        if (std::memcmp(&bytes[at + 4], "IDAT", 4) == 0) {
            total += length;
        }
        if (length > bytes.size() - at - 12) {
            break;
        }
        at += 12 + length;
    }
    return total;
}

// Statuses made here live only until the next libpng call, so no jump skips one.
Status ReadRows(png_structp png, png_infop info, Session& session, RgbaImage& out,
                std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) {
        return Failure(TextureError::kPictureDamaged,
                       std::string("the PNG cannot be read (") + session.message + ")");
    }
    // Sizes are checked below, with the same words as for every other kind of picture.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const std::uint64_t bits =
        std::uint64_t{png_get_bit_depth(png, info)} * png_get_channels(png, info);
    if (Status budget = WithinPictureBudget(width, height); !budget) {
        return budget;
    }
    if (Status held = BytesCanHold(std::uint64_t{width} * height * bits / 8 / kMaxDeflateRatio,
                                   CompressedBytes(session.bytes));
        !held) {
        return held;
    }
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) {
        return Failure(TextureError::kPictureKind, "the PNG's pixel layout is not read");
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(std::size_t{width} * height * 4);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = &out.pixels[std::size_t{y} * width * 4];
    }
    png_read_image(png, rows.data());
    return {};
}

} // namespace

Status DecodePng(std::span<const std::uint8_t> bytes, RgbaImage& out) {
    Session session{bytes, kSignatureSize};
    struct Reader {
        png_structp png = nullptr;
        png_infop info = nullptr;
        ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    } reader;
    reader.png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &session, ErrorCallback, WarningCallback);
    reader.info = reader.png == nullptr ? nullptr : png_create_info_struct(reader.png);
    if (reader.info == nullptr) {
        return Failure(TextureError::kPictureDamaged, "out of memory for the PNG reader");
    }
    png_set_read_fn(reader.png, &session, ReadCallback);
    png_set_sig_bytes(reader.png, kSignatureSize);
    std::vector<png_bytep> rows;
    return ReadRows(reader.png, reader.info, session, out, rows);
}

} // namespace pictavo
