// JPEG through libjpeg-turbo. Its errors longjmp back to the setjmp in ReadScanlines: that
// function and the callbacks hold nothing with a destructor, so the jump skips no C++ clean-up.
#include "picture_budget.h"
#include "picture_decoders.h"

#include <csetjmp>
#include <cstdio>
#include <string>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace pictavo {

namespace {

// Each progressive scan passes over the whole picture; real files have about ten.
constexpr long kMaxScans = 500;
// The coefficients of a progressive picture are held whole; this covers the largest picture
// read with room to spare.
constexpr long kMaxDecoderMemory = 1024L << 20;

struct Errors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Fail(j_common_ptr info) {
    auto* errors = reinterpret_cast<Errors*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings are about damaged data, which would be read on as grey or noise: refuse instead.
void Message(j_common_ptr info, int level) {
    if (level < 0) {
        Fail(info);
    }
}

void CountScans(j_common_ptr info) {
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        auto* errors = reinterpret_cast<Errors*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %ld scans", kMaxScans);
        std::longjmp(errors->jump, 1);
    }
}

// Adobe's CMYK is stored inverted: cyan is 255 - red before black is applied.
void CmykToRgba(std::uint8_t* pixels, std::size_t count) {
    for (std::uint8_t* p = pixels; p != pixels + count * 4; p += 4) {
        const unsigned black = p[3];
        for (int c = 0; c < 3; ++c) {
            p[c] = static_cast<std::uint8_t>((p[c] * black + 127) / 255);
        }
        p[3] = 0xFF;
    }
}

// Statuses made here live only until the next libjpeg call, so no jump skips one.
Status ReadScanlines(jpeg_decompress_struct& info, Errors& errors, RgbaImage& out) {
    if (setjmp(errors.jump)) {
        return Failure(TextureError::kPictureDamaged,
                       std::string("the JPEG cannot be read (") + errors.message + ")");
    }
    jpeg_read_header(&info, TRUE);
    if (Status budget = WithinPictureBudget(info.image_width, info.image_height); !budget) {
        return budget;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    const std::size_t width = info.output_width;
    out.width = info.output_width;
    out.height = info.output_height;
    out.pixels.resize(width * out.height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out.pixels[info.output_scanline * width * 4];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    if (cmyk) {
        CmykToRgba(out.pixels.data(), width * out.height);
    }
    return {};
}

} // namespace

Status DecodeJpeg(std::span<const std::uint8_t> bytes, RgbaImage& out) {
    struct Reader {
        jpeg_decompress_struct info{};
        Errors errors{};
        jpeg_progress_mgr progress{};
        ~Reader() { jpeg_destroy_decompress(&info); }
    } reader;
    reader.info.err = jpeg_std_error(&reader.errors.manager);
    reader.errors.manager.error_exit = Fail;
    reader.errors.manager.emit_message = Message;
    if (setjmp(reader.errors.jump)) {
        return Failure(TextureError::kPictureDamaged,
                       std::string("the JPEG reader cannot start (") + reader.errors.message + ")");
    }
    jpeg_create_decompress(&reader.info);
    reader.info.mem->max_memory_to_use = kMaxDecoderMemory;
    reader.progress.progress_monitor = CountScans;
    reader.info.progress = &reader.progress;
    jpeg_mem_src(&reader.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    return ReadScanlines(reader.info, reader.errors, out);
}

} // namespace pictavo
