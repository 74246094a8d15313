#include "gl_recorder.h"
#include "image/iwi.h"
#include "image_files.h"
#include "load_helpers.h"
#include "texture/decode.h"

#include <algorithm>
#include <cstddef>
#include <gtest/gtest.h>

namespace {

using pictavo::testing::Bytes;
using pictavo::testing::GlCall;
using pictavo::testing::GlRecorder;
using pictavo::testing::IwiParams;
using pictavo::testing::LoadBytes;
using pictavo::testing::MakeIwi;
using pictavo::testing::TempDir;

// Counts the start-of-upload notices the view relies on.
class CountingImage : public IWI {
public:
    int notices = 0;

protected:
    void ClearDefaultImageShown() override { ++notices; }
};

std::vector<double> Args(std::initializer_list<double> values) {
    return values;
}

// What OpenGL must receive for level i of an image read from an IWI file: a flipped or
// channel-swapped copy, while the image keeps the stored bytes.
Bytes Prepared(const IWI& image, std::size_t i) {
    Bytes level = image.levels[i];
    const auto side = [&](int s) { return pictavo::LevelSide(static_cast<std::uint32_t>(s), i); };
    IWI::PrepareLevel(side(image.width), side(image.height), level.size(),
                      *FindFormatInfo(image.IWIHeader.format), level);
    return level;
}

TEST(LoadToOpenGL, UploadsEveryLevelOfAColourMapWithItsSize) {
    TempDir dir;
    GlRecorder gl;
    CountingImage image;
    ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({6, 11, 512, 256, 10})), IWI_OK);
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
    EXPECT_EQ(image.notices, 1);
    EXPECT_EQ(image.colorTexture, 1u);

    const std::vector<GlCall>& calls = gl.Calls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0].name, "glDeleteTextures");
    EXPECT_EQ(calls[0].args, Args({double(kNoColorTexture)}));
    EXPECT_EQ(calls[1].name, "glGenTextures");
    EXPECT_EQ(calls[2].args, Args({gl::kTexture2D, 1}));
    EXPECT_EQ(calls[3].args, Args({gl::kTexture2D, gl::kTextureMinFilter, gl::kLinear}));
    EXPECT_EQ(calls[4].args, Args({gl::kTexture2D, gl::kTextureMagFilter, gl::kLinear}));

    const auto uploads = gl.CallsNamed("glCompressedTexImage2DARB");
    ASSERT_EQ(uploads.size(), 10u);
    const int sides[][2] = {{512, 256}, {256, 128}, {128, 64}, {64, 32}, {32, 16},
                            {16, 8},    {8, 4},     {4, 2},    {2, 1},   {1, 1}};
    for (std::size_t i = 0; i < uploads.size(); ++i) {
        EXPECT_EQ(uploads[i].args,
                  Args({gl::kTexture2D, double(i), gl::kCompressedDXT1, double(sides[i][0]),
                        double(sides[i][1]), 0, double(image.levels[i].size())}))
            << "level " << i;
        EXPECT_EQ(uploads[i].data, Prepared(image, i));
    }
    EXPECT_NE(uploads[0].data, image.levels[0]);
    EXPECT_EQ(image.levels, pictavo::testing::IwiLevels({6, 11, 512, 256, 10}));
    EXPECT_TRUE(gl.CallsNamed("glPixelTransferf").empty());
    EXPECT_TRUE(gl.CallsNamed("glPixelStorei").empty());
}

TEST(LoadToOpenGL, NormalMapGetsItsLevelsAndAnInvertedCopy) {
    TempDir dir;
    GlRecorder gl;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "rock_n.iwi", MakeIwi({6, 13, 256, 256, 9})), IWI_OK);
    image.targetSlot = TEXTURE_SLOT_NORMAL;
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
    EXPECT_EQ(image.colorTexture, kNoColorTexture);
    EXPECT_EQ(image.normalTexture, 1u);
    EXPECT_EQ(image.invertedNormalTexture, 2u);

    const auto uploads = gl.CallsNamed("glCompressedTexImage2DARB");
    ASSERT_EQ(uploads.size(), 10u);
    Bytes inverted = Prepared(image, 0);
    for (std::uint8_t& byte : inverted) {
        byte = static_cast<std::uint8_t>(255 - byte);
    }
    EXPECT_EQ(uploads.back().args,
              Args({gl::kTexture2D, 0, gl::kCompressedDXT5, 256, 256, 0, 65536}));
    EXPECT_EQ(uploads.back().data, inverted);

    // The order matters: scales on, normal map, its wrap and border, the inverted copy, scales off.
    std::vector<std::string> sequence;
    for (const GlCall& call : gl.Calls()) {
        if (call.name == "glCompressedTexImage2DARB" && !sequence.empty() &&
            sequence.back() == call.name) {
            continue;
        }
        sequence.push_back(call.name);
    }
    const std::vector<std::string> expected = {
        "glPixelTransferf", "glPixelTransferf", "glPixelTransferf",
        "glDeleteTextures", "glGenTextures",    "glBindTexture",
        "glTexParameteri",  "glTexParameteri",  "glCompressedTexImage2DARB",
        "glTexParameteri",  "glTexParameteri",  "glTexParameterfv",
        "glDeleteTextures", "glGenTextures",    "glBindTexture",
        "glTexParameteri",  "glTexParameteri",  "glCompressedTexImage2DARB",
        "glPixelTransferf", "glPixelTransferf", "glPixelTransferf"};
    EXPECT_EQ(sequence, expected);

    const auto transfers = gl.CallsNamed("glPixelTransferf");
    ASSERT_EQ(transfers.size(), 6u);
    const gl::Enum scales[] = {gl::kRedScale, gl::kGreenScale, gl::kBlueScale};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(transfers[i].args, Args({double(scales[i]), double(0.8f)}));
        EXPECT_EQ(transfers[3 + i].args, Args({double(scales[i]), 1.0}));
    }
    const auto parameters = gl.CallsNamed("glTexParameteri");
    EXPECT_EQ(parameters[0].args, Args({gl::kTexture2D, gl::kTextureMinFilter, gl::kNearest}));
    EXPECT_EQ(parameters[2].args, Args({gl::kTexture2D, gl::kTextureWrapS, gl::kClamp}));
    EXPECT_EQ(parameters[3].args, Args({gl::kTexture2D, gl::kTextureWrapT, gl::kClamp}));
    EXPECT_EQ(gl.CallsNamed("glTexParameterfv")[0].args,
              Args({gl::kTexture2D, gl::kTextureBorderColor, 0.5, 0.5, 0.5, 1.0}));
}

TEST(LoadToOpenGL, UncompressedRowsAreUploadedPacked) {
    TempDir dir;
    GlRecorder gl;
    IWI image;
    // A 2 x 2 RGB level has rows of 6 bytes: with the default alignment of 4 the upload
    // would read 2 bytes past its end.
    ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({6, 2, 2, 2, 2})), IWI_OK);
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
    const auto& calls = gl.Calls();
    const auto first = std::find_if(calls.begin(), calls.end(),
                                    [](const GlCall& c) { return c.name == "glTexImage2D"; });
    ASSERT_NE(first, calls.end());
    const auto store = std::find_if(calls.begin(), first,
                                    [](const GlCall& c) { return c.name == "glPixelStorei"; });
    ASSERT_NE(store, first) << "alignment must be set before the first upload";
    EXPECT_EQ(store->args, Args({gl::kUnpackAlignment, 1}));
    EXPECT_EQ(calls.back().name, "glPixelStorei");
    EXPECT_EQ(calls.back().args, Args({gl::kUnpackAlignment, 4}));

    const auto uploads = gl.CallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_EQ(uploads[0].args,
              Args({gl::kTexture2D, 0, gl::kRGB8, 2, 2, 0, gl::kRGB, gl::kUnsignedByte}));
    EXPECT_EQ(uploads[0].data, Prepared(image, 0));
    EXPECT_EQ(uploads[1].args,
              Args({gl::kTexture2D, 1, gl::kRGB8, 1, 1, 0, gl::kRGB, gl::kUnsignedByte}));
}

TEST(LoadToOpenGL, PackedDdsPixelsGoUpInRgbaOrderBottomRowFirst) {
    // 2 x 2 A8B8G8R8, as the viewer opens it: R, G, B, A in bytes, top row first.
    const Bytes top = {255, 0, 0, 255, 0, 255, 0, 128};
    const Bytes bottom = {0, 0, 255, 64, 10, 20, 30, 0};
    Bytes pixels(top.begin(), top.end());
    pixels.resize(top.size() + bottom.size());
    std::copy(bottom.begin(), bottom.end(), pixels.begin() + std::ptrdiff_t(top.size()));
    const Bytes dds = pictavo::testing::MakeA8B8G8R8Dds(2, 2, pixels);
    GlRecorder gl;
    IWI image;
    ASSERT_EQ(image.LoadBytes("a.dds", "", dds), IWI_OK);
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
    const auto uploads = gl.CallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].args,
              Args({gl::kTexture2D, 0, gl::kRGBA8, 2, 2, 0, gl::kRGBA, gl::kUnsignedByte}));
    Bytes expected = bottom;
    expected.insert(expected.end(), top.begin(), top.end());
    EXPECT_EQ(uploads[0].data, expected);
}

TEST(LoadToOpenGL, BlockFormatsWithoutAnOpenGLFormatGoUpDecodedBottomRowFirst) {
    // An 8 x 8 BC5 (ATI2) level of two mip levels: its own decode, rows turned over, in RGBA.
    const pictavo::testing::DdsParams params{pictavo::testing::FourCCOf("ATI2"), 0x50, 8, 8, 2};
    GlRecorder gl;
    IWI image;
    ASSERT_EQ(image.LoadBytes("normals.dds", "", pictavo::testing::MakeDds(params)), IWI_OK);
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
    const auto uploads = gl.CallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_TRUE(gl.CallsNamed("glCompressedTexImage2DARB").empty());
    for (std::uint32_t level = 0; level < 2; ++level) {
        const double side = 8 >> level;
        EXPECT_EQ(uploads[level].args, Args({gl::kTexture2D, double(level), gl::kRGBA8, side, side,
                                             0, gl::kRGBA, gl::kUnsignedByte}));
        pictavo::RgbaImage decoded;
        ASSERT_TRUE(pictavo::DecodeLevel(*FindFormatInfo(0x50), 8 >> level, 8 >> level,
                                         image.levels[level], decoded));
        const std::size_t row = std::size_t{decoded.width} * 4;
        Bytes bottomUp;
        for (std::size_t y = decoded.height; y-- > 0;) {
            bottomUp.insert(bottomUp.end(), decoded.pixels.begin() + y * row,
                            decoded.pixels.begin() + (y + 1) * row);
        }
        EXPECT_EQ(uploads[level].data, bottomUp);
    }
}

TEST(LoadToOpenGL, RgbaUsesItsOwnFormatAndAZeroSideBecomesOne) {
    GlRecorder gl;
    IWI image;
    image.IWIHeader.format = IWI_FMT_RGBA8;
    image.width = 0;
    image.height = 1;
    image.levelCount = 1;
    image.levels = {Bytes{1, 2, 3, 4}};
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
    const auto uploads = gl.CallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].args,
              Args({gl::kTexture2D, 0, gl::kRGBA8, 1, 1, 0, gl::kRGBA, gl::kUnsignedByte}));
}

TEST(LoadToOpenGL, UnknownFormatCreatesNothing) {
    GlRecorder gl;
    CountingImage image;
    image.IWIHeader.format = 0;
    image.colorTexture = 7;
    EXPECT_EQ(image.LoadToOpenGL(), IWI_ERR_GL_FORMAT);
    EXPECT_TRUE(gl.Calls().empty());
    EXPECT_EQ(image.colorTexture, 7u);
    EXPECT_EQ(image.notices, 1);
}

TEST(LoadToOpenGL, WithoutOpenGLNothingIsCalled) {
    IWI image;
    image.IWIHeader.format = IWI_FMT_DXT1;
    EXPECT_EQ(image.LoadToOpenGL(), IWI_ERR_GL_FORMAT);
}

TEST(LoadToOpenGL, ANewUploadReplacesTheSlotsTexture) {
    TempDir dir;
    GlRecorder gl;
    {
        IWI image;
        ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({})), IWI_OK);
        ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
        ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
        EXPECT_EQ(image.colorTexture, 2u);
        EXPECT_EQ(gl.CallsNamed("glDeleteTextures").back().args, Args({1}));
        gl.Clear();
    }
    // Destruction deletes each of the three names once.
    const auto deleted = gl.CallsNamed("glDeleteTextures");
    ASSERT_EQ(deleted.size(), 3u);
    EXPECT_EQ(deleted[0].args, Args({2}));
    EXPECT_EQ(deleted[1].args, Args({0}));
    EXPECT_EQ(deleted[2].args, Args({0}));
}

TEST(LoadToOpenGL, NeverUploadsMoreLevelsThanItHolds) {
    GlRecorder gl;
    IWI image;
    image.IWIHeader.format = IWI_FMT_DXT1;
    image.width = image.height = 8;
    image.levelCount = 4;
    image.levels = {Bytes(32), Bytes(8)};
    ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
    EXPECT_EQ(gl.CallsNamed("glCompressedTexImage2DARB").size(), 2u);
}

TEST(LoadToOpenGL, UploadsTheChosenFaceOfACubeMap) {
    struct Case {
        std::int16_t faces;
        std::int16_t chosen;
        int uploaded;
    };
    for (const Case c : {Case{6, 3, 3}, Case{6, 5, 5}, Case{6, 0, 0}, Case{6, 6, 0}, Case{6, -1, 0},
                         Case{1, 3, 0}}) {
        GlRecorder gl;
        IWI image;
        image.IWIHeader.format = IWI_FMT_DXT1;
        image.width = image.height = 8;
        image.levelCount = 2;
        image.faceCount = c.faces;
        // Every face's two levels, each filled with its own byte.
        for (int i = 0; i < 2 * c.faces; ++i)
            image.levels.push_back(Bytes(i % 2 == 0 ? 32 : 8, std::uint8_t(i)));
        image.uploadFace = c.chosen;
        ASSERT_EQ(image.LoadToOpenGL(), IWI_OK);
        const auto uploads = gl.CallsNamed("glCompressedTexImage2DARB");
        ASSERT_EQ(uploads.size(), 2u);
        for (int level = 0; level < 2; ++level) {
            EXPECT_EQ(uploads[std::size_t(level)].data,
                      image.levels[std::size_t(2 * c.uploaded + level)])
                << "face " << c.chosen << " of " << c.faces << ", level " << level;
        }
    }
}

} // namespace
