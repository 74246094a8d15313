#include "external_tools.h"
#include "image_files.h"
#include "texture/image_decode.h"
#include "texture/texture_reader.h"
#include "thumbnailer/thumbnail.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace {

using pictavo::RgbaImage;
using pictavo::TextureInfo;
using pictavo::testing::Bytes;
using pictavo::testing::CorpusDir;
using pictavo::testing::RunWithoutEnvironment;
using pictavo::testing::TempDir;

struct LevelCase {
    std::uint32_t width, height, levels, size, expected;
};

TEST(ThumbnailLevel, IsTheSmallestLevelAtLeastTheSize) {
    const LevelCase cases[] = {
        {2048, 2048, 12, 256, 3},                         // 256 exactly
        {2048, 2048, 12, 200, 3},                         // 256; 128 would be smaller than asked
        {2048, 1024, 12, 128, 4},                         // the longer side counts
        {512, 2048, 12, 1024, 1}, {256, 256, 9, 512, 0},  // nothing larger: level 0
        {2048, 2048, 1, 64, 0},   {2048, 2048, 3, 64, 2}, // the chain ends early
    };
    for (const LevelCase& c : cases) {
        TextureInfo info;
        info.width = c.width;
        info.height = c.height;
        info.levels = c.levels;
        EXPECT_EQ(pictavo::ThumbnailLevel(info, c.size), c.expected)
            << c.width << " x " << c.height << ", " << c.levels << " levels, size " << c.size;
    }
}

TEST(FitWithin, KeepsTheAspectAndNeverEnlarges) {
    const std::uint32_t cases[][5] = {
        // width, height, size, expected width, expected height
        {300, 100, 256, 256, 85}, {100, 300, 256, 85, 256},  {2048, 1, 256, 256, 1},
        {64, 32, 256, 64, 32},    {512, 512, 256, 256, 256},
    };
    for (const auto& c : cases) {
        RgbaImage image;
        image.width = c[0];
        image.height = c[1];
        image.pixels.assign(std::size_t{c[0]} * c[1] * 4, 200);
        const RgbaImage fitted = pictavo::FitWithin(image, c[2]);
        EXPECT_EQ(fitted.width, c[3]) << c[0] << " x " << c[1];
        EXPECT_EQ(fitted.height, c[4]) << c[0] << " x " << c[1];
        ASSERT_EQ(fitted.pixels.size(), std::size_t{c[3]} * c[4] * 4);
        // A flat picture stays flat: the filter weighs, it does not invent.
        EXPECT_TRUE(std::all_of(fitted.pixels.begin(), fitted.pixels.end(),
                                [](std::uint8_t v) { return v == 200; }));
    }
}

// The arguments the desktop runs, from the installed thumbnailer file, %s, %i and %o filled
// in.
std::vector<std::string> DesktopCommand(int size, const std::string& input,
                                        const std::string& output) {
    std::ifstream file(PICTAVO_SOURCE_DIR "/res/pictavo.thumbnailer");
    std::string line;
    while (std::getline(file, line) && line.rfind("Exec=", 0) != 0) {
    }
    std::istringstream exec(line.substr(std::min<std::size_t>(5, line.size())));
    std::vector<std::string> arguments;
    for (std::string word; exec >> word;) {
        word = std::regex_replace(word, std::regex("%s"), std::to_string(size));
        word = std::regex_replace(word, std::regex("%i"), input);
        arguments.push_back(std::regex_replace(word, std::regex("%o"), output));
    }
    return arguments;
}

const std::string kBwrap = "/usr/bin/bwrap";

bool SandboxAvailable() {
    static const bool available = RunWithoutEnvironment({kBwrap, "--ro-bind", "/", "/",
                                                         "--unshare-all", "/usr/bin/true"}) == 0;
    return available;
}

// Runs the thumbnailer as GNOME does: read-only /usr, no home folder, no network, no
// environment, the input bound read-only and only the output's folder writable.
int RunAsDesktop(int size, const std::string& input, const std::filesystem::path& output) {
    const std::string programs = std::filesystem::path(PICTAVO_THUMBNAILER).parent_path();
    if (!SandboxAvailable()) {
        std::vector<std::string> command = DesktopCommand(size, input, output.string());
        command[0] = programs + "/" + command[0];
        return RunWithoutEnvironment(command);
    }
    std::vector<std::string> command = {
        kBwrap, "--ro-bind", "/usr", "/usr", "--symlink", "usr/lib", "/lib", "--symlink",
        "usr/lib64", "/lib64", "--symlink", "usr/bin", "/bin", "--proc", "/proc", "--dev", "/dev",
        "--ro-bind-try", "/etc/ld.so.cache", "/etc/ld.so.cache", "--tmpfs", "/tmp", "--ro-bind",
        programs, "/app", "--bind", output.parent_path().string(), "/tmp/out", "--ro-bind", input,
        "/tmp/input", "--chdir", "/", "--unshare-all", "--die-with-parent", "--setenv", "PATH",
        "/app:/usr/bin",
        // LeakSanitizer's tracer cannot attach across the sandbox's namespaces.
        "--setenv", "ASAN_OPTIONS", "detect_leaks=0"};
    for (const std::string& argument :
         DesktopCommand(size, "/tmp/input", "/tmp/out/" + output.filename().string())) {
        command.push_back(argument);
    }
    return RunWithoutEnvironment(command);
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        files.push_back(entry.path().filename());
    }
    return files;
}

TEST(DesktopThumbnail, EveryCorpusTextureGivesAPngWithinTheSize) {
    const std::filesystem::path corpus = CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "no corpus: set PICTAVO_CORPUS_DIR or put it beside the checkout";
    }
    if (!SandboxAvailable()) {
        std::cout << "bwrap cannot run here: the thumbnailer runs without a sandbox\n";
    }
    constexpr std::uint32_t kSize = 128;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        TextureInfo info;
        const std::filesystem::path extension = entry.path().extension();
        if ((extension != ".iwi" && extension != ".dds") ||
            pictavo::ReadTextureInfo(entry.path().string(), info) != pictavo::TextureError::kNone) {
            continue;
        }
        ++files;
        SCOPED_TRACE(entry.path().lexically_relative(corpus).string());
        TempDir out;
        ASSERT_EQ(RunAsDesktop(kSize, entry.path().string(), out.path() / "thumb.png"), 0);
        ASSERT_EQ(FilesIn(out.path()), std::vector<std::filesystem::path>{"thumb.png"});
        RgbaImage png;
        ASSERT_EQ(pictavo::testing::Why(pictavo::DecodePicture(
                      pictavo::testing::ReadBytes(out.path() / "thumb.png"), png)),
                  "");
        const std::uint32_t longer = std::max(info.width, info.height);
        const std::uint32_t shorter = std::min(info.width, info.height);
        EXPECT_EQ(std::max(png.width, png.height), std::min(kSize, longer));
        const double expectedShorter =
            longer <= kSize ? shorter : std::max(1.0, double(shorter) * kSize / longer);
        EXPECT_NEAR(std::min(png.width, png.height), expectedShorter, 1.0);
        EXPECT_EQ(png.width >= png.height, info.width >= info.height);
    }
    EXPECT_GT(files, 0);
}

Bytes HeaderOnly(int width, int height) {
    Bytes file = pictavo::testing::MakeIwi({.version = 6, .format = 11, .usage = 2});
    file[6] = width & 0xff;
    file[7] = width >> 8;
    file[8] = height & 0xff;
    file[9] = height >> 8;
    return file;
}

TEST(DesktopThumbnail, HostileFilesAreRefusedWithoutOutput) {
    const Bytes dxt5 = pictavo::testing::MakeIwi(
        {.version = 6, .format = 13, .width = 64, .height = 64, .levels = 7});
    TempDir in;
    struct Hostile {
        const char* name;
        Bytes bytes;
        std::uint64_t sparseSize; // grown to this size without writing, when not 0
    };
    const std::vector<Hostile> files = {
        {"empty", {}, 0},
        {"magic only", {'I', 'W', 'i'}, 0},
        {"half a file", Bytes(dxt5.begin(), dxt5.begin() + dxt5.size() / 2), 0},
        {"sides that lie", HeaderOnly(32767, 32767), 0},
        {"unknown format",
         [&] {
             Bytes b = dxt5;
             b[4] = 99;
             return b;
         }(),
         0},
        // A consistent 16384 x 16384 DXT1 file: 128 MiB to read, 1 GiB to decode.
        {"too large to decode", HeaderOnly(16384, 16384), 28 + (std::uint64_t{16384} * 16384) / 2},
        {"half-float DDS", pictavo::testing::MakeDds({113, 13, 16, 16, 1}), 0},
    };
    for (const Hostile& hostile : files) {
        SCOPED_TRACE(hostile.name);
        const std::string input = in.File(std::string(hostile.name) + ".iwi");
        pictavo::testing::WriteBytes(input, hostile.bytes);
        if (hostile.sparseSize != 0) {
            std::filesystem::resize_file(input, hostile.sparseSize);
            TextureInfo info;
            ASSERT_EQ(pictavo::ReadTextureInfo(input, info), pictavo::TextureError::kNone);
        }
        TempDir out;
        EXPECT_EQ(RunAsDesktop(256, input, out.path() / "thumb.png"), 1);
        EXPECT_TRUE(FilesIn(out.path()).empty());
    }
}

} // namespace
