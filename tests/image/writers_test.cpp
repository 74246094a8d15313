#include "image/iwi.h"
#include "image_files.h"
#include "load_helpers.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

using pictavo::testing::Bytes;
using pictavo::testing::DdsLevels;
using pictavo::testing::DdsParams;
using pictavo::testing::FourCCOf;
using pictavo::testing::GetU32;
using pictavo::testing::IwiLevels;
using pictavo::testing::IwiParams;
using pictavo::testing::LoadBytes;
using pictavo::testing::MakeDds;
using pictavo::testing::MakeIwi;
using pictavo::testing::ReadBytes;
using pictavo::testing::TempDir;
using pictavo::testing::WriteBytes;

Bytes Concatenated(const std::vector<Bytes>& levels) {
    Bytes all;
    for (const Bytes& level : levels) {
        all.insert(all.end(), level.begin(), level.end());
    }
    return all;
}

Bytes After(const Bytes& file, std::size_t offset) {
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(offset), file.end());
}

std::size_t FilesIn(const std::filesystem::path& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                  std::filesystem::directory_iterator()));
}

TEST(WriteDDS, ExportsTheStoredDxtChainLevelZeroFirst) {
    TempDir dir;
    const IwiParams params{6, 11, 512, 256, 10};
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "rock_c.iwi", MakeIwi(params)), IWI_OK);
    ASSERT_EQ(image.WriteConvertedFile(), IWI_OK);
    const Bytes dds = ReadBytes(dir.File("rock_c.dds"));
    ASSERT_EQ(dds.size(), 128u + 87400u);
    EXPECT_EQ(GetU32(dds, 0), FourCCOf("DDS "));
    EXPECT_EQ(GetU32(dds, 4), 124u);
    EXPECT_EQ(GetU32(dds, 8), 0x21007u);
    EXPECT_EQ(GetU32(dds, 12), 256u);
    EXPECT_EQ(GetU32(dds, 16), 512u);
    EXPECT_EQ(GetU32(dds, 20), 0u);
    EXPECT_EQ(GetU32(dds, 28), 10u);
    EXPECT_EQ(GetU32(dds, 76), 32u);
    EXPECT_EQ(GetU32(dds, 80), 0x4u);
    EXPECT_EQ(GetU32(dds, 84), FourCCOf("DXT1"));
    EXPECT_EQ(GetU32(dds, 108), 0x401008u);
    for (std::size_t at : {32u, 88u, 92u, 96u, 100u, 104u, 112u, 116u, 120u, 124u}) {
        EXPECT_EQ(GetU32(dds, at), 0u) << at;
    }
    EXPECT_EQ(After(dds, 128), Concatenated(IwiLevels(params)));
}

struct UncompressedCase {
    int format;
    std::uint32_t pixelFlags;
    std::uint32_t bits;
    std::uint32_t alphaMask;
};

class UncompressedExportTest : public ::testing::TestWithParam<UncompressedCase> {};

TEST_P(UncompressedExportTest, WritesLevelZeroOnlyInStoredByteOrder) {
    const UncompressedCase c = GetParam();
    TempDir dir;
    const IwiParams params{6, c.format, 64, 64, 4};
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "sky.iwi", MakeIwi(params)), IWI_OK);
    ASSERT_EQ(image.WriteConvertedFile(), IWI_OK);
    const Bytes dds = ReadBytes(dir.File("sky.dds"));
    EXPECT_EQ(GetU32(dds, 8), 0x1007u);
    EXPECT_EQ(GetU32(dds, 28), 0u);
    EXPECT_EQ(GetU32(dds, 80), c.pixelFlags);
    EXPECT_EQ(GetU32(dds, 84), 0u);
    EXPECT_EQ(GetU32(dds, 88), c.bits);
    EXPECT_EQ(GetU32(dds, 92), 0x00FF0000u);
    EXPECT_EQ(GetU32(dds, 96), 0x0000FF00u);
    EXPECT_EQ(GetU32(dds, 100), 0x000000FFu);
    EXPECT_EQ(GetU32(dds, 104), c.alphaMask);
    EXPECT_EQ(GetU32(dds, 108), 0x1000u);
    EXPECT_EQ(After(dds, 128), IwiLevels(params)[0]);
    EXPECT_EQ(After(dds, 128).size(), 64u * 64u * c.bits / 8);
}

INSTANTIATE_TEST_SUITE_P(Formats, UncompressedExportTest,
                         ::testing::Values(UncompressedCase{1, 0x41, 32, 0xFF000000},
                                           UncompressedCase{2, 0x40, 24, 0}));

TEST(WriteIWI, ConvertsADxt5ChainWithItsOffsets) {
    TempDir dir;
    const DdsParams params{FourCCOf("DXT5"), 13, 16, 16, 3, true};
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "glow.dds", MakeDds(params)), IWI_OK);
    ASSERT_EQ(image.WriteConvertedFile(), IWI_OK);
    const Bytes iwi = ReadBytes(dir.File("glow.iwi"));
    ASSERT_EQ(iwi.size(), 364u);
    EXPECT_EQ(Bytes(iwi.begin(), iwi.begin() + 12),
              (Bytes{'I', 'W', 'i', 6, 13, 0, 16, 0, 16, 0, 1, 0}));
    EXPECT_EQ(GetU32(iwi, 12), 364u);
    EXPECT_EQ(GetU32(iwi, 16), 108u);
    EXPECT_EQ(GetU32(iwi, 20), 44u);
    EXPECT_EQ(GetU32(iwi, 24), 44u); // past the last level: its end again
    const std::vector<Bytes> levels = DdsLevels(params);
    EXPECT_EQ(Bytes(iwi.begin() + 28, iwi.begin() + 44), levels[2]);
    EXPECT_EQ(Bytes(iwi.begin() + 44, iwi.begin() + 108), levels[1]);
    EXPECT_EQ(After(iwi, 108), levels[0]);
}

TEST(WriteIWI, OffsetsForOneTwoAndFourLevels) {
    TempDir dir;
    struct Case {
        std::uint32_t levels;
        std::array<std::uint32_t, 4> offsets;
    };
    // 8 x 8 DXT1: levels of 32, 8, 8, 8 bytes.
    for (const Case& c :
         {Case{1, {60, 60, 60, 60}}, Case{2, {68, 36, 36, 36}}, Case{4, {84, 52, 44, 36}}}) {
        IWI image;
        const DdsParams params{FourCCOf("DXT1"), 11, 8, 8, c.levels, true};
        ASSERT_EQ(LoadBytes(image, dir, "m.dds", MakeDds(params)), IWI_OK);
        ASSERT_EQ(image.WriteConvertedFile(), IWI_OK);
        const Bytes iwi = ReadBytes(dir.File("m.iwi"));
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(GetU32(iwi, 12 + 4 * k), c.offsets[k]) << c.levels << " levels, entry " << k;
        }
    }
}

TEST(WriteIWI, AnImageWithoutLevelsIsRefused) {
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "a.dds", MakeDds({FourCCOf("DXT1"), 11, 4, 4, 1, true})),
              IWI_OK);
    image.levelCount = 0;
    EXPECT_EQ(image.WriteConvertedFile(), IWI_ERR_LEVELS);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.iwi")));
}

TEST(WriteIWI, BlockFormatsNoIwiHoldsAreRefusedSayingSo) {
    TempDir dir;
    IWI image;
    // Opened as the viewer opens a file of a folder, read whole: the game's own file steps
    // take DXT DDS files only.
    const Bytes dds = MakeDds({FourCCOf("ATI2"), 0x50, 8, 8, 4, true});
    EXPECT_EQ(LoadBytes(image, dir, "n.dds", dds), IWI_ERR_FORMAT);
    image.Unload();
    ASSERT_EQ(image.LoadBytes("n.dds", dir.File("n.dds"), dds), IWI_OK);
    EXPECT_EQ(image.GetFormatName(), "BC5");
    EXPECT_EQ(image.WriteConvertedFile(), IWI_ERR_NO_IWI_FORMAT);
    EXPECT_FALSE(std::filesystem::exists(dir.File("n.iwi")));
}

class RoundTripTest : public ::testing::TestWithParam<IwiParams> {};

TEST_P(RoundTripTest, IwiToDdsToIwiKeepsEveryLevelByte) {
    const IwiParams params = GetParam();
    TempDir dir;
    IWI original;
    ASSERT_EQ(LoadBytes(original, dir, "x.iwi", MakeIwi(params)), IWI_OK);
    ASSERT_EQ(original.WriteConvertedFile(), IWI_OK);

    IWI dds;
    ASSERT_EQ(dds.SetFile(dir.File("x.dds")), IWI_OK);
    ASSERT_EQ(dds.GetFileType(), IWI_TYPE_DDS);
    ASSERT_EQ(dds.LoadFile(), IWI_OK);
    ASSERT_EQ(dds.WriteConvertedFile(), IWI_OK); // overwrites x.iwi

    IWI back;
    ASSERT_EQ(back.SetFile(dir.File("x.iwi")), IWI_OK);
    back.GetFileType();
    ASSERT_EQ(back.LoadFile(), IWI_OK);
    EXPECT_EQ(back.IWIHeader.format, params.format);
    EXPECT_EQ(back.width, params.width);
    EXPECT_EQ(back.height, params.height);
    EXPECT_EQ(back.levels, IwiLevels(params));
}

INSTANTIATE_TEST_SUITE_P(
    Chains, RoundTripTest,
    ::testing::Values(IwiParams{6, 11, 512, 256, 10}, IwiParams{8, 13, 64, 64, 7},
                      IwiParams{13, 12, 32, 128, 8}, IwiParams{6, 13, 16, 16, 1},
                      IwiParams{6, 11, 8, 8, 2}, IwiParams{5, 12, 64, 32, 7},
                      IwiParams{27, 13, 1024, 4, 11}, IwiParams{27, 11, 16, 16, 1, 0x02}));

TEST(GetOutputName, ReplacesOnlyTheFileNamesExtension) {
    TempDir dir;
    const std::filesystem::path dotted = dir.path() / "mod.v2";
    std::filesystem::create_directory(dotted);
    const std::string source = (dotted / "rock").make_preferred().string();
    WriteBytes(source, MakeIwi({}));
    IWI image;
    ASSERT_EQ(image.SetFile(source), IWI_OK);
    EXPECT_EQ(image.GetOutputName(), "");
    image.GetFileType();
    ASSERT_EQ(image.LoadFile(), IWI_OK);
    // Without a dot in the name there is nowhere to write; the folder's dot is not the name's.
    EXPECT_EQ(image.WriteConvertedFile(), IWI_ERR_OPEN);
    EXPECT_EQ(FilesIn(dotted), 1u);

    image.filePath = (dotted / "rock.c.iwi").make_preferred().string();
    EXPECT_EQ(image.GetOutputName(), (dotted / "rock.c.dds").make_preferred().string());
    image.isDDS = true;
    EXPECT_EQ(image.GetOutputName(), (dotted / "rock.c.iwi").make_preferred().string());
}

TEST(WriteConvertedFile, NeedsALoadedImage) {
    IWI image;
    EXPECT_EQ(image.WriteConvertedFile(), IWI_ERR_NOT_LOADED);
}

TEST(WriteDDS, TooFewLevelsKeepsTheOldFile) {
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({6, 11, 8, 8, 4})), IWI_OK);
    WriteBytes(dir.File("a.dds"), {'o', 'l', 'd'});
    image.levels.pop_back();
    EXPECT_EQ(image.WriteConvertedFile(), IWI_ERR_LEVELS);
    EXPECT_EQ(ReadBytes(dir.File("a.dds")), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(FilesIn(dir.path()), 2u);
}

TEST(WriteDDS, ReplacesAnExistingFileWhole) {
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({6, 11, 4, 4, 1})), IWI_OK);
    WriteBytes(dir.File("a.dds"), Bytes(5000, 0x77));
    ASSERT_EQ(image.WriteConvertedFile(), IWI_OK);
    EXPECT_EQ(ReadBytes(dir.File("a.dds")).size(), 136u);
    EXPECT_EQ(FilesIn(dir.path()), 2u);
}

TEST(WriteConvertedFileTo, KeepsWhatIsThereWhenToldTo) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> place; // puts something at a.dds
        int result;
    };
    const Case cases[] = {
        {"nothing", [](const std::filesystem::path&) {}, IWI_OK},
        {"a file",
         [](const std::filesystem::path& at) {
             WriteBytes(at, {'o', 'l', 'd'});
         },
         IWI_ERR_EXISTS},
        {"a folder", [](const std::filesystem::path& at) { std::filesystem::create_directory(at); },
         IWI_ERR_OPEN},
#ifndef _WIN32
        {"a dangling link",
         [](const std::filesystem::path& at) { std::filesystem::create_symlink("gone", at); },
         IWI_ERR_EXISTS},
#endif
    };
    for (const Case& c : cases) {
        TempDir dir;
        IWI image;
        ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({6, 11, 4, 4, 1})), IWI_OK);
        const std::filesystem::path target = dir.path() / "a.dds";
        c.place(target);
        const std::size_t before = FilesIn(dir.path());
        EXPECT_EQ(image.WriteConvertedFileTo(target.string(), pictavo::IfExists::kKeep), c.result)
            << c.what;
        if (c.result == IWI_OK) {
            EXPECT_EQ(ReadBytes(target).size(), 136u) << c.what;
            continue;
        }
        EXPECT_EQ(FilesIn(dir.path()), before) << c.what << ": a temporary file left behind";
        if (std::filesystem::is_regular_file(target)) {
            EXPECT_EQ(ReadBytes(target), (Bytes{'o', 'l', 'd'})) << c.what;
        }
    }
}

TEST(WriteDDS, AFolderInTheWayIsReportedAndLeftAlone) {
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({})), IWI_OK);
    std::filesystem::create_directory(dir.path() / "a.dds");
    EXPECT_EQ(image.WriteConvertedFile(), IWI_ERR_OPEN);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "a.dds"));
    EXPECT_EQ(FilesIn(dir.path()), 2u); // no temporary file left behind
}

#ifndef _WIN32
TEST(WriteDDS, AFailedWriteKeepsTheOldFileIntact) {
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "big.iwi", MakeIwi({6, 13, 256, 256, 9})), IWI_OK);
    const Bytes old(100, 0x42);
    WriteBytes(dir.File("big.dds"), old);

    // Let the file system refuse anything past 4 KiB, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = image.WriteConvertedFile();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result, IWI_ERR_OPEN);
    EXPECT_EQ(ReadBytes(dir.File("big.dds")), old);
    EXPECT_EQ(FilesIn(dir.path()), 2u);
}

TEST(WriteDDS, PermissionDeniedIsReportedAsSuch) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the super-user";
    }
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "a.iwi", MakeIwi({})), IWI_OK);
    WriteBytes(dir.File("a.dds"), {'o', 'l', 'd'});
    std::filesystem::permissions(dir.File("a.dds"), std::filesystem::perms::owner_read);
    EXPECT_EQ(image.WriteConvertedFile(), IWI_ERR_PERMISSION);
    std::filesystem::permissions(dir.File("a.dds"), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadBytes(dir.File("a.dds")), (Bytes{'o', 'l', 'd'}));
}
#endif

} // namespace
