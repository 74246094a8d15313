#include "archive/zip_archive.h"
#include "cli/convert_command.h"
#include "convert/archive_output.h"
#include "convert/convert_file.h"
#include "external_tools.h"
#include "image_files.h"
#include "texture/texture_reader.h"
#include "zip_builder.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

namespace fs = std::filesystem;
using pictavo::testing::Bytes;
using pictavo::testing::DdsParams;
using pictavo::testing::FourCCOf;
using pictavo::testing::MakeDds;
using pictavo::testing::RawZipEntries;
using pictavo::testing::TempDir;
using pictavo::testing::WriteBytes;

const Bytes kDxt5 = MakeDds(DdsParams{FourCCOf("DXT5"), 13, 16, 16, 5, true});
const Bytes kDxt1 = MakeDds(DdsParams{FourCCOf("DXT1"), 11, 8, 8, 4, true});
const Bytes kOldEntry = pictavo::testing::PatternLevel(2000, 7);

int Convert(const std::vector<std::string>& arguments, std::string& out) {
    std::ostringstream lines;
    std::ostringstream err;
    const int status = RunConvertCommand(arguments, lines, err);
    out = lines.str() + err.str();
    return status;
}

// The entry's texture as our reader reads it out of the archive: its width, or 0.
std::uint32_t EntryWidth(const fs::path& archivePath, const std::string& name) {
    pictavo::ZipArchive archive;
    const pictavo::ArchiveEntry* entry =
        archive.Open(archivePath.string()) ? archive.Find(name) : nullptr;
    Bytes bytes;
    pictavo::Texture texture;
    return entry != nullptr && archive.Read(*entry, bytes) &&
                   pictavo::ReadTexture(bytes, texture) == pictavo::TextureError::kNone &&
                   texture.info.container == pictavo::Container::kIwi
               ? texture.info.width
               : 0;
}

TEST(ArchiveOutput, ConvertsIntoTheModsArchive) {
    const struct {
        const char* what;
        bool existing;
        std::vector<std::string> options;
        std::uint32_t aWidth; // of images/a.iwi afterwards, 0 for the old entry kept
        const char* line;     // printed for a.dds
    } cases[] = {
        {"made", false, {}, 16, "a.dds: wrote "},
        {"kept", true, {}, 0, "mod.iwd/images/a.iwi exists (-y replaces it)"},
        {"replaced", true, {"-y"}, 16, "a.dds: wrote "},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const TempDir dir;
        const fs::path archive = dir.path() / "mod.iwd";
        fs::create_directories(dir.path() / "paint" / "sub");
        WriteBytes(dir.path() / "paint" / "a.dds", kDxt5);
        WriteBytes(dir.path() / "paint" / "sub" / "b.dds", kDxt1);
        if (test.existing) {
            pictavo::testing::WriteZip(
                archive, {{"images/a.iwi", kOldEntry}, {"sound/s.wav", Bytes(900, 3), true}});
        }
        const auto before = test.existing ? RawZipEntries(archive)
                                          : std::map<std::string, pictavo::testing::RawZipEntry>{};
        std::vector<std::string> arguments = test.options;
        arguments.insert(arguments.end(),
                         {"-r", "-o", archive.string(), (dir.path() / "paint").string()});
        std::string out;
        EXPECT_EQ(Convert(arguments, out), kConvertAllSucceeded) << out;
        EXPECT_NE(out.find(test.line), std::string::npos) << out;

        const auto after = RawZipEntries(archive);
        EXPECT_EQ(after.size(), test.existing ? 3u : 2u);
        EXPECT_EQ(EntryWidth(archive, "images/sub/b.iwi"), 8u);
        EXPECT_EQ(EntryWidth(archive, "images/a.iwi"), test.aWidth);
        if (test.existing) {
            EXPECT_EQ(after.at("sound/s.wav"), before.at("sound/s.wav"));
            EXPECT_EQ(after.at("images/a.iwi") == before.at("images/a.iwi"), test.aWidth == 0);
        }
        // Nothing is left beside the archive, and the sources stay as they were.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
        EXPECT_EQ(pictavo::testing::ReadBytes(dir.path() / "paint" / "a.dds"), kDxt5);
    }
}

TEST(ArchiveOutput, ArchiveThatIsNotOneIsLeftAlone) {
    const TempDir dir;
    WriteBytes(dir.File("a.dds"), kDxt5);
    WriteBytes(dir.File("mod.zip"), Bytes(64, 'n'));
    std::string out;
    EXPECT_EQ(Convert({"-o", dir.File("mod.zip"), dir.File("a.dds")}, out), kConvertSomeFailed);
    EXPECT_NE(out.find("Not a zip archive"), std::string::npos) << out;
    EXPECT_EQ(pictavo::testing::ReadBytes(dir.File("mod.zip")), Bytes(64, 'n'));
}

TEST(ArchiveOutput, ASaveReplacesTheEntryItsRunWroteButNotAnEarlierOne) {
    const TempDir dir;
    const fs::path archive = dir.path() / "mod.iwd";
    WriteBytes(dir.File("a.dds"), kDxt5);
    const std::vector<SourceFile> sources = {{dir.path() / "a.dds", "a.dds"}};
    const auto extension = [](const fs::path& source) {
        return OutputExtension(Target::kDefault, source);
    };
    ArchiveOutput output;
    ASSERT_TRUE(output.Open(archive.string()));
    for (int save = 0; save < 2; ++save) {
        SCOPED_TRACE(save);
        const std::vector<PlannedFile> files = output.Plan(sources, extension);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0].output, archive.string() + "/images/a.iwi");
        EXPECT_FALSE(files[0].exists);
        const FileOutcome outcome = ConvertFile(files[0], ConvertSettings{});
        ASSERT_EQ(outcome.status, FileOutcome::Status::kConverted) << outcome.message;
        output.Delivered(0, true);
        ASSERT_TRUE(output.Commit());
        EXPECT_FALSE(fs::exists(files[0].writeTo)) << "the staged file is left";
        EXPECT_EQ(EntryWidth(archive, "images/a.iwi"), 16u);
    }
    ArchiveOutput later;
    ASSERT_TRUE(later.Open(archive.string()));
    EXPECT_TRUE(later.Plan(sources, extension).at(0).exists);
}

// A disk that fills up while the archive is written, as a limit on the size of the files the
// converter writes (its signal ignored, so that the write fails instead): the old archive stays
// whole, nothing is left beside it, and the failure is told.
TEST(ArchiveOutput, AFullDiskLeavesTheOldArchiveWhole) {
    const TempDir dir;
    const fs::path archive = dir.path() / "mod.iwd";
    Bytes big(3 << 20);
    std::uint32_t seed = 1;
    for (std::uint8_t& byte : big) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    pictavo::testing::WriteZip(archive, {{"images/big.iwi", big, true}});
    const Bytes before = pictavo::testing::ReadBytes(archive);
    WriteBytes(dir.File("a.dds"), kDxt5);
    const std::string log = dir.File("log");
    // 2048 blocks of 512 bytes: room for the staged file, not for the new archive.
    const std::string command = "cd " + pictavo::testing::Quoted(dir.path().string()) +
                                " && ulimit -f 2048 && trap '' XFSZ && exec " +
                                pictavo::testing::Quoted(PICTAVO_CONVERT) + " -o mod.iwd a.dds >" +
                                pictavo::testing::Quoted(log) + " 2>&1";
    const int status = std::system(("sh -c " + pictavo::testing::Quoted(command)).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kConvertSomeFailed) << status;
    const Bytes said = pictavo::testing::ReadBytes(log);
    const std::string text(said.begin(), said.end());
    EXPECT_NE(text.find("pictavo-convert: Cannot write mod.iwd: "), std::string::npos) << text;
    EXPECT_NE(text.find("it is left as it was"), std::string::npos) << text;
    EXPECT_EQ(pictavo::testing::ReadBytes(archive), before);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.dds", "log", "mod.iwd"}));
}

// A file other than those named, in the folder: libzip's temporary archive.
bool StrangerIn(const fs::path& folder, const std::vector<std::string>& known) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (std::find(known.begin(), known.end(), entry.path().filename().string()) ==
            known.end()) {
            return true;
        }
    }
    return false;
}

TEST(ArchiveOutput, KilledWhileWritingLeavesTheOldArchiveWhole) {
    const TempDir dir;
    const fs::path archive = dir.path() / "mod.iwd";
    // Large enough that the rewrite lasts: noise deflates slowly and copies in full.
    std::mt19937_64 random(7);
    const auto noise = [&random](std::size_t size) {
        Bytes bytes(size);
        for (std::size_t at = 0; at < size; at += 8) {
            const std::uint64_t value = random();
            std::memcpy(bytes.data() + at, &value, std::min<std::size_t>(8, size - at));
        }
        return bytes;
    };
    fs::create_directory(dir.path() / "paint");
    pictavo::testing::WriteZip(
        archive, {{"images/old.iwi", noise(48 << 20), true}, {"images/small.iwi", kOldEntry}});
    const Bytes before = pictavo::testing::ReadBytes(archive);
    std::vector<std::string> arguments = {PICTAVO_CONVERT, "-q", "-j", "1", "-o", archive.string()};
    for (int i = 0; i < 4; ++i) {
        const std::string name = "big" + std::to_string(i) + ".dds";
        WriteBytes(dir.path() / "paint" / name,
                   pictavo::testing::MakeA8B8G8R8Dds(2048, 2048, noise(2048 * 2048 * 4)));
        arguments.push_back((dir.path() / "paint" / name).string());
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    // Its staging folder, which the kill leaves behind, inside the test's folder.
    const std::string temporary = "TMPDIR=" + (dir.path() / "tmp").string();
    fs::create_directory(dir.path() / "tmp");
    std::vector<char*> environment = {const_cast<char*>(temporary.c_str())};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, "TMPDIR=", 7) != 0) {
            environment.push_back(*variable);
        }
    }
    environment.push_back(nullptr);
    ASSERT_EQ(posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environment.data()), 0);
    // Waits for the temporary archive, up to ten minutes, then kills the converter.
    bool sawTemporary = false;
    int status = 0;
    for (int i = 0; i < 600000 && !sawTemporary; ++i) {
        sawTemporary = StrangerIn(dir.path(), {"mod.iwd", "paint", "tmp"});
        if (!sawTemporary && waitpid(child, &status, WNOHANG) == child) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(sawTemporary) << "the converter ended before writing beside the archive";
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "it had already finished";
    EXPECT_EQ(pictavo::testing::ReadBytes(archive), before);
}

} // namespace
