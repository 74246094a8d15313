#include "cli/convert_command.h"
#include "convert/convert_file.h"
#include "external_tools.h"
#include "image_files.h"
#include "pictures.h"
#include "texture/decode.h"
#include "texture/encode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using pictavo::testing::MakeIwi;
using pictavo::testing::Psnr;
using pictavo::testing::ReadBytes;
using pictavo::testing::ReadPicture;
using pictavo::testing::TempDir;
using pictavo::testing::TestPicture;
using pictavo::testing::Tree;
using pictavo::testing::WriteBytes;
using pictavo::testing::WritePng;

struct Outcome {
    int status;
    std::string out;
};

Outcome Convert(std::vector<std::string> arguments, const ConvertEnvironment& environment = {}) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunConvertCommand(arguments, out, err, environment);
    return {status, out.str() + err.str()};
}

// Good textures and pictures, a corrupt texture, a foreign file under a texture's name and
// a file the walk leaves alone.
void MakeSourceTree(const fs::path& root, int pictures) {
    fs::create_directories(root / "sub" / "deep");
    WriteBytes(root / "a.iwi", MakeIwi({8, 13, 64, 32, 7}));
    WriteBytes(root / "sub" / "b.iwi", MakeIwi({13, 11, 16, 16, 5}));
    for (int i = 0; i < pictures; ++i) {
        WritePng(root / "sub" / "deep" / ("p" + std::to_string(i) + ".png"),
                 TestPicture(40 + 8 * i, 24, i % 2 == 1, i));
    }
    pictavo::testing::Bytes truncated = MakeIwi({6, 11, 64, 64, 7});
    truncated.resize(truncated.size() / 2);
    WriteBytes(root / "sub" / "corrupt.iwi", truncated);
    WriteBytes(root / "foreign.dds", {'h', 'e', 'l', 'l', 'o', '\n'});
    WriteBytes(root / "readme.txt", {'x'});
}

TEST(BatchConvert, AFolderTreeKeepsItsShapeAndItsSources) {
    TempDir dir;
    const fs::path source = dir.path() / "mod";
    MakeSourceTree(source, 2);
    const auto before = Tree(source);
    const fs::path out = dir.path() / "out";

    const Outcome first = Convert({"-r", "-o", out.string(), source.string()});
    EXPECT_EQ(first.status, kConvertSomeFailed) << first.out;
    EXPECT_NE(first.out.find("4 converted, 0 skipped, 2 failed"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("corrupt.iwi: "), std::string::npos);
    EXPECT_NE(first.out.find("foreign.dds: Not an IWI, DDS"), std::string::npos);
    EXPECT_EQ(first.out.find("readme"), std::string::npos);
    EXPECT_EQ(Tree(source), before);
    const auto written = Tree(out);
    std::vector<std::string> names;
    for (const auto& [name, bytes] : written) {
        names.push_back(name);
        pictavo::Texture texture;
        EXPECT_EQ(pictavo::ReadTexture(bytes, texture), pictavo::TextureError::kNone) << name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.dds", "sub/b.dds", "sub/deep/p0.iwi",
                                               "sub/deep/p1.iwi"}));

    // Again: nothing is replaced without -y, and each file says so in its record.
    const Outcome again =
        Convert({"--json", "--recursive", "--output", out.string(), source.string()});
    EXPECT_EQ(again.status, kConvertSomeFailed);
    EXPECT_NE(again.out.find("\"skipped\":4,\"failed\":2"), std::string::npos) << again.out;
    const auto json = [](const fs::path& path) {
        std::string text;
        for (const char c : path.string())
            text += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return text;
    };
    EXPECT_NE(again.out.find("{\"source\":\"" + json(source / "a.iwi") + "\",\"output\":\"" +
                             json(out / "a.dds") + "\",\"status\":\"skipped\""),
              std::string::npos)
        << again.out;
    // Without -o, beside each source: a source is never an output, even with -y.
    WriteBytes(source / "a.dds", ReadBytes(out / "a.dds"));
    const Outcome beside =
        Convert({"-y", "-q", (source / "a.iwi").string(), (source / "a.dds").string()});
    EXPECT_EQ(beside.status, kConvertSomeFailed);
    EXPECT_NE(beside.out.find("would replace a source file"), std::string::npos) << beside.out;
    EXPECT_EQ(Convert({"-j", "0", source.string()}).status, kConvertBadUsage);
}

// Without -y the decision to keep a file is taken as the output is put in place: a file that
// arrives after the look before reading (here, while the source is read) is kept byte for
// byte, and the source counts as skipped.
TEST(BatchConvert, AnOutputThatAppearsBeforeTheWriteIsKept) {
    TempDir dir;
    const pictavo::testing::Bytes source = MakeIwi({6, 11, 8, 8, 4});
    const pictavo::testing::Bytes theirs = {'t', 'h', 'e', 'i', 'r', 's'};
    for (const Target target : {Target::kDds, Target::kIwi, Target::kPng, Target::kTga}) {
        const fs::path output = dir.path() / ("late" + std::string(OutputExtension(target, {})));
        SCOPED_TRACE(output.string());
        ConvertSettings settings;
        settings.target = target;
        const PlannedFile file{dir.File("late.iwi"), output.string(), {}};
        const FileOutcome outcome =
            ConvertFile(file, settings, [&](std::vector<std::uint8_t>& bytes) {
                WriteBytes(output, theirs);
                bytes = source;
                return pictavo::Status();
            });
        EXPECT_EQ(outcome.status, FileOutcome::Status::kSkipped) << outcome.message;
        EXPECT_EQ(outcome.message, output.string() + " exists");
        EXPECT_EQ(ReadBytes(output), theirs);
        // Nothing of ours is left beside it.
        EXPECT_EQ(Tree(dir.path()).size(), 1u);
        fs::remove(output);
    }
}

TEST(BatchConvert, OneJobAndTwoJobsWriteTheSameFilesAndLines) {
    TempDir dir;
    MakeSourceTree(dir.path() / "src", 6);
    std::vector<std::string> lines;
    for (const char* jobs : {"1", "2"}) {
        const fs::path out = dir.path() / (std::string("out") + jobs);
        const Outcome run =
            Convert({"-j", jobs, "-r", "-o", out.string(), (dir.path() / "src").string()});
        EXPECT_EQ(run.status, kConvertSomeFailed);
        // The summary's seconds differ; every line before it must not.
        std::string text = run.out.substr(0, run.out.find("8 converted"));
        for (std::size_t at; (at = text.find(out.string())) != std::string::npos;) {
            text.replace(at, out.string().size(), "OUT");
        }
        lines.push_back(text);
        EXPECT_NE(run.out.find("8 converted, 0 skipped, 2 failed"), std::string::npos) << run.out;
    }
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(Tree(dir.path() / "out1"), Tree(dir.path() / "out2"));
}

TEST(BatchConvert, ASignalStopsTheRunAfterTheFilesInProgress) {
    TempDir dir;
    fs::create_directories(dir.path() / "in");
    for (int i = 0; i < 6; ++i) {
        WritePng(dir.path() / "in" / ("p" + std::to_string(i) + ".png"),
                 TestPicture(64, 64, false, i));
    }
    ConvertEnvironment environment;
    environment.afterFile = [](std::size_t done) {
        if (done == 2) {
            std::raise(SIGINT); // the converter's handler turns it into a stop
        }
    };
    const fs::path out = dir.path() / "out";
    const Outcome run =
        Convert({"-j", "1", "-o", out.string(), (dir.path() / "in").string()}, environment);
    EXPECT_EQ(run.status, kConvertSomeFailed);
    EXPECT_NE(run.out.find("2 converted, 0 skipped, 0 failed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("stopped, 4 not started"), std::string::npos) << run.out;
    const auto written = Tree(out);
    ASSERT_EQ(written.size(), 2u); // no temporary file left beside them
    for (const auto& [name, bytes] : written) {
        pictavo::Texture texture;
        EXPECT_EQ(pictavo::ReadTexture(bytes, texture), pictavo::TextureError::kNone) << name;
    }
}

// PNG -> IWI -> PNG keeps the picture within what each format promises.
TEST(BatchConvert, PicturesRoundTripThroughEveryIwiVersion) {
    TempDir dir;
    struct Case {
        const char* format;
        bool alpha;
        double minimumPsnr;
    };
    for (const char* version : {"5", "6", "8", "13", "27"}) {
        for (const Case& c :
             {Case{"dxt1", false, 30}, Case{"dxt3", true, 30}, Case{"dxt5", true, 32},
              Case{"rgba", true, 1e9}, Case{"rgb", false, 1e9}}) {
            SCOPED_TRACE(std::string(version) + " " + c.format);
            const pictavo::RgbaImage picture = TestPicture(100, 60, c.alpha);
            const fs::path png = dir.path() / "in.png";
            WritePng(png, picture);
            const Outcome there = Convert({"-y", "--iwi-version", version, "--format", c.format,
                                           png.string(), "-o", (dir.path() / "iwi").string()});
            EXPECT_EQ(there.status, kConvertAllSucceeded) << there.out;
            const Outcome back =
                Convert({"-y", "--to", "png", (dir.path() / "iwi" / "in.iwi").string(), "-o",
                         (dir.path() / "png").string()});
            EXPECT_EQ(back.status, kConvertAllSucceeded) << back.out;
            EXPECT_GE(Psnr(ReadPicture(dir.path() / "png" / "in.png"), picture), c.minimumPsnr);
        }
    }
}

// What the converter stores from a DDS comes back byte for byte from every IWI version.
TEST(BatchConvert, DdsToIwiToDdsIsExact) {
    TempDir dir;
    struct Case {
        const char* format;
        const char* mips;
    };
    for (const Case& c : {Case{"dxt1", "--mips"}, Case{"dxt3", "--no-mips"}, Case{"dxt5", "--mips"},
                          Case{"rgba", "--mips"}}) {
        const fs::path png = dir.path() / "in.png";
        WritePng(png, TestPicture(72, 40, true));
        ASSERT_EQ(Convert({"-y", "--to", "dds", "--format", c.format, c.mips, png.string()}).status,
                  kConvertAllSucceeded);
        const pictavo::testing::Bytes original = ReadBytes(dir.path() / "in.dds");
        for (const char* version : {"5", "6", "8", "13", "27"}) {
            SCOPED_TRACE(std::string(c.format) + " v" + version);
            const fs::path iwi = dir.path() / "iwi";
            const fs::path dds = dir.path() / "dds";
            EXPECT_EQ(Convert({"-y", "--iwi-version", version, (dir.path() / "in.dds").string(),
                               "-o", iwi.string()})
                          .status,
                      kConvertAllSucceeded);
            EXPECT_EQ(Convert({"-y", (iwi / "in.iwi").string(), "-o", dds.string()}).status,
                      kConvertAllSucceeded);
            EXPECT_EQ(ReadBytes(dds / "in.dds"), original);
        }
    }
}

// The DDS files we write open in ImageMagick and NVIDIA's tools with the pixels we meant.
TEST(BatchConvert, WrittenDdsFilesOpenInOtherTools) {
    if (!pictavo::testing::ToolInstalled("nvdecompress") ||
        !pictavo::testing::ToolInstalled("convert")) {
        GTEST_SKIP() << "nvdecompress (libnvtt-bin) or convert (ImageMagick) is not installed";
    }
    using pictavo::testing::Quoted;
    TempDir dir;
    for (const char* format : {"dxt1", "dxt5", "rgba"}) {
        SCOPED_TRACE(format);
        const pictavo::RgbaImage picture = TestPicture(64, 48, std::string(format) != "dxt1");
        const fs::path png = dir.path() / "in.png";
        WritePng(png, picture);
        ASSERT_EQ(Convert({"-y", "--to", "dds", "--format", format, png.string()}).status,
                  kConvertAllSucceeded);
        const std::string dds = Quoted(dir.File("in.dds"));
        EXPECT_EQ(std::system(("nvddsinfo " + dds + " >/dev/null").c_str()), 0);
        ASSERT_EQ(std::system(("nvdecompress " + dds + " >/dev/null").c_str()), 0);
        ASSERT_EQ(std::system(("convert " + dds + " " + Quoted(dir.File("magick.png"))).c_str()),
                  0);
        const double minimum = std::string(format) == "rgba" ? 1e9 : 30;
        // nvdecompress writes in.tga beside the file.
        EXPECT_GE(Psnr(ReadPicture(dir.path() / "in.tga"), picture), minimum);
        EXPECT_GE(Psnr(ReadPicture(dir.path() / "magick.png"), picture), minimum);
    }
}

// What a shell command prints.
std::string CommandOutput(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            text += buffer;
        }
        pclose(pipe);
    }
    return text;
}

// TGAs are uncompressed and hold alpha only where the picture has some: BC5 (which has none,
// and is written a band at a time) and an opaque DXT1 picture are 24-bit, DXT5 with alpha
// 32-bit. ImageMagick reads each back as the pixels we decode.
TEST(BatchConvert, TgasAre24BitWithoutAlphaAndImageMagickReadsBackTheirPixels) {
    if (!pictavo::testing::ToolInstalled("identify") ||
        !pictavo::testing::ToolInstalled("compare")) {
        GTEST_SKIP() << "ImageMagick's identify and compare are not installed";
    }
    using pictavo::testing::Quoted;
    // 70 x 38: edge blocks, and a last band of rows shorter than the others.
    constexpr std::uint32_t kWidth = 70;
    constexpr std::uint32_t kHeight = 38;
    pictavo::Texture bc5;
    bc5.info.format = pictavo::kFormatBc5;
    bc5.info.width = kWidth;
    bc5.info.height = kHeight;
    pictavo::testing::Bytes blocks(bc5.info.LevelBytes(0));
    std::mt19937 random(5);
    for (std::uint8_t& byte : blocks) {
        byte = static_cast<std::uint8_t>(random());
    }
    bc5.images = {blocks};
    const auto encoded = [](pictavo::FormatCode format, bool alpha) {
        pictavo::EncodeSettings settings;
        settings.format = format;
        settings.mipmaps = false;
        pictavo::Texture texture;
        EXPECT_TRUE(pictavo::EncodeTexture(TestPicture(kWidth, kHeight, alpha), settings, texture));
        return texture;
    };
    struct Case {
        const char* name;
        pictavo::Texture texture;
        std::uint32_t channels;
    };
    const Case cases[] = {{"bc5", bc5, 3},
                          {"dxt1", encoded(pictavo::kFormatDxt1, false), 3},
                          {"dxt5", encoded(pictavo::kFormatDxt5, true), 4}};
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dds = dir.File(std::string(c.name) + ".dds");
        ASSERT_EQ(pictavo::WriteDds(c.texture, dds), pictavo::TextureError::kNone);
        ASSERT_EQ(Convert({"-y", "--to", "tga", dds}).status, kConvertAllSucceeded);
        const std::string tga = dir.File(std::string(c.name) + ".tga");
        EXPECT_EQ(fs::file_size(tga), 18 + std::uintmax_t{kWidth} * kHeight * c.channels);
        EXPECT_EQ(CommandOutput("identify -format '%w %h %[channels]' " + Quoted(tga)),
                  "70 38 " + std::string(c.channels == 3 ? "srgb" : "srgba"));
        pictavo::RgbaImage decoded;
        ASSERT_TRUE(pictavo::DecodeImage(c.texture, 0, 0, decoded));
        const fs::path reference = dir.path() / "reference.png";
        WritePng(reference, decoded);
        EXPECT_EQ(CommandOutput("compare -metric AE " + Quoted(tga) + " " +
                                Quoted(reference.string()) + " null: 2>&1"),
                  "0");
    }
}

// The real Black Ops II files of cut texels, read as 4-byte texels: ImageMagick, given level 0's
// whole texels as raw R, G, B, A, sees the same picture, and the rows the bytes lack are clear.
TEST(BatchConvert, CutTexelsReadAsImageMagickReadsTheirBytesAsRgba) {
    const fs::path folder = pictavo::testing::CorpusDir() / "iwi_kinds_more" / "iwi_v27_fmt2";
    if (pictavo::testing::CorpusDir().empty() || !fs::exists(folder)) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    if (!pictavo::testing::ToolInstalled("convert") ||
        !pictavo::testing::ToolInstalled("compare")) {
        GTEST_SKIP() << "ImageMagick's convert and compare are not installed";
    }
    using pictavo::testing::Quoted;
    TempDir dir;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        const std::string copy = dir.File(entry.path().filename().string());
        fs::copy_file(entry.path(), copy);
        ASSERT_EQ(Convert({"--as-4-byte-texels", "--to", "png", copy}).status,
                  kConvertAllSucceeded);
        pictavo::TextureInfo info;
        ASSERT_EQ(pictavo::ReadTextureInfo(copy, info), pictavo::TextureError::kNone);
        const std::size_t width = info.width;
        const std::size_t height = info.height;
        // Level 0 is the file's last level: three bytes for each of its texels.
        const pictavo::testing::Bytes file = ReadBytes(copy);
        ASSERT_GE(file.size(), width * height * 3);
        const std::size_t held = width * height * 3 / (4 * width); // whole rows of 4-byte texels
        const auto level = file.end() - static_cast<std::ptrdiff_t>(width * height * 3);
        WriteBytes(
            dir.File("level.rgba"),
            pictavo::testing::Bytes(level, level + static_cast<std::ptrdiff_t>(held * width * 4)));
        const std::string size = std::to_string(width) + "x" + std::to_string(held);
        const std::string png = copy.substr(0, copy.size() - 4) + ".png";
        ASSERT_EQ(CommandOutput("convert -size " + size +
                                " -depth 8 rgba:" + Quoted(dir.File("level.rgba")) + " " +
                                Quoted(dir.File("magick.png")) + " 2>&1"),
                  "");
        EXPECT_EQ(CommandOutput("compare -metric AE " + Quoted(png + "[" + size + "+0+0]") + " " +
                                Quoted(dir.File("magick.png")) + " null: 2>&1"),
                  "0");
        const std::string rest = std::to_string(width) + "x" + std::to_string(height - held) +
                                 "+0+" + std::to_string(held);
        EXPECT_EQ(CommandOutput("convert " + Quoted(png + "[" + rest + "]") +
                                " -alpha extract -format '%[max]' info:"),
                  "0");
        ++files;
    }
    EXPECT_EQ(files, 3);
}

} // namespace
