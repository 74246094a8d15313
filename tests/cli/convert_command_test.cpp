#include "cli/convert_command.h"
#include "image_files.h"
#include "texture/decode.h"
#include "texture/image_decode.h"
#include "texture/texture_reader.h"
#include "version/pictavo_version.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using pictavo::testing::DdsParams;
using pictavo::testing::FourCCOf;
using pictavo::testing::MakeDds;
using pictavo::testing::MakeIwi;
using pictavo::testing::ReadBytes;
using pictavo::testing::TempDir;
using pictavo::testing::WriteBytes;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

CommandRun Convert(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunConvertCommand(arguments, out, err);
    return {status, out.str(), err.str()};
}

TEST(ConvertCommand, UsageVersionAndBadArguments) {
    EXPECT_EQ(Convert({"--version"}).out, std::string("pictavo-convert ") + kPictavoVersion + "\n");
    const CommandRun help = Convert({"--help"});
    EXPECT_EQ(help.status, kConvertAllSucceeded);
    EXPECT_NE(help.out.find("Usage: pictavo-convert"), std::string::npos);
    EXPECT_EQ(Convert({}).status, kConvertBadUsage);
    EXPECT_EQ(Convert({"--info"}).status, kConvertBadUsage);
    const CommandRun unknown = Convert({"--frobnicate", "x.iwi"});
    EXPECT_EQ(unknown.status, kConvertBadUsage);
    EXPECT_NE(unknown.err.find("--frobnicate"), std::string::npos);
}

TEST(ConvertCommand, ConvertsEachFileBesideItself) {
    TempDir dir;
    WriteBytes(dir.File("a.iwi"), MakeIwi({6, 11, 8, 8, 4}));
    WriteBytes(dir.File("b.dds"), MakeDds(DdsParams{FourCCOf("DXT5"), 13, 16, 16, 5, true}));
    const CommandRun run = Convert({dir.File("a.iwi"), dir.File("b.dds")});
    EXPECT_EQ(run.status, kConvertAllSucceeded);
    EXPECT_EQ(run.out.substr(0, run.out.find("2 converted, 0 skipped, 0 failed")),
              dir.File("a.iwi") + ": wrote " + dir.File("a.dds") + "\n" + dir.File("b.dds") +
                  ": wrote " + dir.File("b.iwi") + "\n");
    EXPECT_EQ(std::filesystem::file_size(dir.File("a.dds")), 128u + 56u);
    EXPECT_EQ(std::filesystem::file_size(dir.File("b.iwi")), 28u + 256u + 64u + 16u + 16u + 16u);
}

TEST(ConvertCommand, InfoDescribesEachFile) {
    TempDir dir;
    WriteBytes(dir.File("a.iwi"), MakeIwi({13, 11, 512, 256, 10}));
    WriteBytes(dir.File("b.dds"), MakeDds(DdsParams{FourCCOf("DXT5"), 13, 4, 4, 1, false}));
    const CommandRun run = Convert({"--info", dir.File("a.iwi"), dir.File("b.dds")});
    EXPECT_EQ(run.status, kConvertAllSucceeded);
    EXPECT_EQ(run.out, dir.File("a.iwi") +
                           ": IWI v13, DXT1, 512 x 256, 10 levels, 1 face, usage 0x00 "
                           "(none), levels smallest first, data at 48\n" +
                           dir.File("b.dds") +
                           ": DDS, DXT5, 4 x 4, 1 level, 1 face, one level, data at 128\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.dds")));
    // A DDS of uncompressed pixels is named by its stored layout, as the viewer's panel names it.
    WriteBytes(dir.File("c.dds"), pictavo::testing::MakeA8B8G8R8Dds(1, 1, {1, 2, 3, 4}));
    EXPECT_EQ(Convert({"--info", dir.File("c.dds")}).out,
              dir.File("c.dds") +
                  ": DDS, A8B8G8R8, 1 x 1, 1 level, 1 face, one level, data at 128\n");
}

pictavo::RgbaImage ReadPng(const std::string& path) {
    pictavo::RgbaImage image;
    EXPECT_EQ(pictavo::testing::Why(pictavo::DecodePicture(ReadBytes(path), image)), "");
    return image;
}

// Black Ops II format 2 files hold 4-byte texels cut to three quarters: --info and each
// conversion line say so, and --as-4-byte-texels reads the texels they are, R, G, B, A, the
// rows the bytes lack clear; so written as version 27 they become the format 1 file the game
// draws whole.
TEST(ConvertCommand, CutTexelsAreToldAndReadAsFourByteTexelsOnRequest) {
    TempDir dir;
    const pictavo::testing::IwiParams params{27, 2, 8, 4, 1, 2};
    const pictavo::testing::Bytes stored = pictavo::testing::IwiLevels(params)[0];
    WriteBytes(dir.File("cut.iwi"), MakeIwi(params));
    pictavo::TextureInfo info;
    ASSERT_EQ(pictavo::ReadTextureInfo(dir.File("cut.iwi"), info), pictavo::TextureError::kNone);
    const std::string warning = info.WarningText();
    ASSERT_FALSE(warning.empty());

    EXPECT_EQ(Convert({"--info", dir.File("cut.iwi")}).out,
              dir.File("cut.iwi") +
                  ": IWI v27, RGB8, 8 x 4, 1 level, 1 face, usage 0x02 (no "
                  "mipmaps), one level, data at 64. " +
                  warning + "\n");
    const CommandRun striped = Convert({"--to", "png", dir.File("cut.iwi")});
    EXPECT_EQ(striped.status, kConvertAllSucceeded);
    EXPECT_NE(striped.out.find(dir.File("cut.iwi") + ": wrote " + dir.File("cut.png") + ". " +
                               warning + "\n"),
              std::string::npos)
        << striped.out;
    // As the game reads them: the second pixel is bytes 3 to 5.
    EXPECT_EQ(ReadPng(dir.File("cut.png")).pixels[4], stored[3]);

    const CommandRun recovered =
        Convert({"-y", "--as-4-byte-texels", "--to", "png", "--json", dir.File("cut.iwi")});
    EXPECT_EQ(recovered.status, kConvertAllSucceeded);
    EXPECT_NE(recovered.out.find("\"warning\":\"" + warning + "\""), std::string::npos)
        << recovered.out;
    const pictavo::RgbaImage texels = ReadPng(dir.File("cut.png"));
    ASSERT_EQ(texels.pixels.size(), 8u * 4 * 4);
    for (std::size_t i = 0; i < texels.pixels.size(); ++i) {
        ASSERT_EQ(texels.pixels[i], i < stored.size() ? stored[i] : 0) << i;
    }

    ASSERT_EQ(Convert({"--as-4-byte-texels", "--to", "iwi", "--iwi-version", "27", "-o",
                       dir.File("fixed"), dir.File("cut.iwi")})
                  .status,
              kConvertAllSucceeded);
    pictavo::Texture fixed;
    ASSERT_EQ(pictavo::ReadTexture(dir.File("fixed/cut.iwi"), fixed), pictavo::TextureError::kNone);
    EXPECT_EQ(ReadBytes(dir.File("fixed/cut.iwi"))[4], 1);
    EXPECT_EQ(fixed.info.WarningText(), "");
    pictavo::RgbaImage decoded;
    ASSERT_TRUE(pictavo::DecodeImage(fixed, 0, 0, decoded));
    EXPECT_EQ(decoded.pixels, texels.pixels);
    EXPECT_NE(Convert({"--help"}).out.find("--as-4-byte-texels"), std::string::npos);
}

// Each game's IWI version, and what no IWI version can hold, said plainly.
TEST(ConvertCommand, GamesPickTheirVersionAndDdsOnlyFormatsAreNotWrittenAsIwi) {
    TempDir dir;
    WriteBytes(dir.File("a.dds"), MakeDds(DdsParams{FourCCOf("DXT1"), 11, 8, 8, 4, true}));
    for (const auto& [game, version] : {std::pair<const char*, int>{"cod2", 5},
                                        {"cod4", 6},
                                        {"waw", 6},
                                        {"bo1", 13},
                                        {"mw2", 8},
                                        {"mw3", 8},
                                        {"bo2", 27}}) {
        SCOPED_TRACE(game);
        ASSERT_EQ(Convert({"-y", "--game", game, dir.File("a.dds")}).status, kConvertAllSucceeded);
        EXPECT_EQ(ReadBytes(dir.File("a.iwi"))[3], version);
    }
    WriteBytes(dir.File("normals.dds"), MakeDds(DdsParams{FourCCOf("ATI2"), 13, 8, 8, 4, true}));
    const CommandRun run = Convert({dir.File("normals.dds")});
    EXPECT_EQ(run.status, kConvertSomeFailed);
    EXPECT_NE(run.out.find("normals.dds: No IWI format holds BC4, BC5 or BC7"), std::string::npos)
        << run.out;
    const CommandRun png = Convert({"--to", "png", dir.File("normals.dds")});
    EXPECT_EQ(png.status, kConvertAllSucceeded) << png.out;
    EXPECT_TRUE(std::filesystem::exists(dir.File("normals.png")));
    const CommandRun bad = Convert({"--game", "cod3", dir.File("a.dds")});
    EXPECT_EQ(bad.status, kConvertBadUsage);
    EXPECT_NE(bad.err.find("--game takes cod2, cod4, waw, bo1, mw2, mw3 or bo2"),
              std::string::npos);
}

TEST(ConvertCommand, AFailingFileIsReportedAndTheRestStillConverted) {
    TempDir dir;
    WriteBytes(dir.File("bad.iwi"), {'I', 'W', 'i', 7});
    WriteBytes(dir.File("notes.txt"), {'x'});
    WriteBytes(dir.File("good.iwi"), MakeIwi({}));
    const CommandRun run = Convert({dir.File("bad.iwi"), dir.File("missing.iwi"),
                                    dir.File("notes.txt"), dir.File("good.iwi")});
    EXPECT_EQ(run.status, kConvertSomeFailed);
    EXPECT_NE(run.out.find("bad.iwi: Unknown IWI version"), std::string::npos);
    EXPECT_NE(run.out.find("missing.iwi: The file cannot be opened"), std::string::npos);
    EXPECT_NE(run.out.find("notes.txt: Not an IWI, DDS, PNG, TGA, JPEG, BMP or PSD file"),
              std::string::npos);
    EXPECT_EQ(run.out.find("Unknown Error_?"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.File("good.dds")));
}

TEST(ConvertCommand, PicturesOfAChosenLevelAndFace) {
    TempDir dir;
    WriteBytes(dir.File("a.iwi"), MakeIwi({8, 13, 16, 8, 5}));
    struct Case {
        std::vector<std::string> options;
        std::string output;
        std::string failure; // empty when it must succeed
    };
    for (const Case& c :
         {Case{{"--to", "png"}, "a.png", ""}, Case{{"--to", "tga", "--level", "4"}, "a.tga", ""},
          Case{{"--to", "png", "--level", "5"}, "", "there is no level 5"},
          Case{{"--to", "png", "--face", "1"}, "", "there is no face 1"},
          Case{{"--to", "iwi"}, "", "would replace a source file"}}) {
        std::vector<std::string> arguments = c.options;
        arguments.push_back("-y");
        arguments.push_back(dir.File("a.iwi"));
        const CommandRun run = Convert(arguments);
        SCOPED_TRACE(run.out);
        if (c.failure.empty()) {
            EXPECT_EQ(run.status, kConvertAllSucceeded);
            EXPECT_GT(std::filesystem::file_size(dir.File(c.output)), 0u);
        } else {
            EXPECT_EQ(run.status, kConvertSomeFailed);
            EXPECT_NE(run.out.find(c.failure), std::string::npos);
        }
    }
    EXPECT_EQ(Convert({"--to", "jpg", dir.File("a.iwi")}).status, kConvertBadUsage);
    EXPECT_EQ(Convert({"--level", "x", dir.File("a.iwi")}).status, kConvertBadUsage);
    EXPECT_EQ(Convert({dir.File("a.iwi"), "--face"}).status, kConvertBadUsage);
}

TEST(ConvertCommand, PackedDdsPixelsKeepTheirColoursAndRowsInEveryOutput) {
    // 2 x 2 A8B8G8R8: R, G, B, A in bytes, top row first.
    const pictavo::testing::Bytes rgba = {255, 0, 0,   255, 0,   255, 0, 128,
                                          0,   0, 255, 64,  255, 255, 0, 0};
    const pictavo::testing::Bytes dds = pictavo::testing::MakeA8B8G8R8Dds(2, 2, rgba);
    TempDir dir;
    WriteBytes(dir.File("a.dds"), dds);
    for (const char* target : {"png", "tga", "iwi"}) {
        SCOPED_TRACE(target);
        ASSERT_EQ(Convert({"--to", target, dir.File("a.dds")}).status, kConvertAllSucceeded);
        const pictavo::testing::Bytes written =
            pictavo::testing::ReadBytes(dir.File(std::string("a.") + target));
        pictavo::RgbaImage image;
        if (std::string(target) == "iwi") {
            pictavo::Texture texture;
            ASSERT_EQ(pictavo::ReadTexture(written, texture), pictavo::TextureError::kNone);
            EXPECT_EQ(texture.info.format, pictavo::kFormatBgra8);
            ASSERT_TRUE(pictavo::DecodeLevel(*pictavo::FindFormat(texture.info.format), 2, 2,
                                             texture.Image(0), image));
        } else {
            ASSERT_EQ(pictavo::testing::Why(pictavo::DecodePicture(written, image)), "");
        }
        EXPECT_EQ(image.pixels, rgba);
    }
}

TEST(ConvertCommand, ABareNameMeansTheCurrentFolder) {
    TempDir dir;
    WriteBytes(dir.File("here.iwi"), MakeIwi({}));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const CommandRun run = Convert({"here.iwi"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(run.status, kConvertAllSucceeded) << run.out;
    EXPECT_TRUE(std::filesystem::exists(dir.File("here.dds")));
}

} // namespace
