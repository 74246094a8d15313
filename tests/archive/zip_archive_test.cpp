#include "allocation_probe.h"
#include "archive/zip_archive.h"
#include "texture/texture_reader.h"
#include "zip_builder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <zip.h>

namespace pictavo {
namespace {

using testing::Bytes;
using testing::MakeZip;
using testing::PatchZipEntry;
using testing::ZipField;
using testing::ZipItem;

const Bytes kGood = testing::PatternLevel(3000, 0);

std::vector<std::string> Names(const ZipArchive& archive) {
    std::vector<std::string> names;
    for (const ArchiveEntry& entry : archive.Entries()) {
        names.push_back(entry.name);
    }
    return names;
}

// Every entry is either read whole, exactly its declared size, or refused with a reason.
void ReadEveryEntry(ZipArchive& archive) {
    for (const ArchiveEntry& entry : archive.Entries()) {
        Bytes bytes;
        const std::string error = testing::Why(archive.Read(entry, bytes));
        if (error.empty()) {
            EXPECT_EQ(bytes.size(), entry.size) << entry.name;
        } else {
            EXPECT_TRUE(bytes.empty()) << entry.name;
            EXPECT_EQ(error.rfind(entry.name + ": ", 0), 0u) << error;
        }
    }
}

TEST(ZipArchive, NamesThatCouldLeaveTheirFolderAreRefused) {
    const std::vector<std::pair<std::string, std::string>> unsafe = {
        {"../evil.iwi", "\"..\""},    {"images/../../x.iwi", "\"..\""},
        {"/abs.iwi", "absolute"},     {"C:\\x.iwi", "drive letter"},
        {"C:/x.iwi", "drive letter"}, {"images\\..\\..\\x.iwi", "backslash"},
    };
    std::vector<ZipItem> items = {{"images/", {}}, {"images/a.iwi", kGood}, {"..b/..c.iwi", kGood}};
    for (const auto& [name, reason] : unsafe) {
        items.push_back({name, kGood});
    }
    const Bytes zip = MakeZip(items);
    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.OpenBytes(zip)), "");

    EXPECT_EQ(Names(archive), (std::vector<std::string>{"images/a.iwi", "..b/..c.iwi"}));
    ASSERT_EQ(archive.Refused().size(), unsafe.size());
    for (std::size_t i = 0; i < unsafe.size(); ++i) {
        EXPECT_EQ(archive.Refused()[i].rfind(unsafe[i].first + ": ", 0), 0u)
            << archive.Refused()[i];
        EXPECT_NE(archive.Refused()[i].find(unsafe[i].second), std::string::npos)
            << archive.Refused()[i];
        EXPECT_EQ(archive.Find(unsafe[i].first), nullptr);
    }
    const ArchiveEntry* found = archive.Find("images/a.iwi");
    ASSERT_NE(found, nullptr);
    Bytes bytes;
    ASSERT_EQ(testing::Why(archive.Read(*found, bytes)), "");
    EXPECT_EQ(bytes, kGood);
}

struct LyingEntry {
    const char* what;
    Bytes data;
    bool stored;
    ZipField field;
    std::uint32_t value;
    const char* refusal;
};

void PrintTo(const LyingEntry& lie, std::ostream* out) {
    *out << lie.what;
}

class LyingEntries : public ::testing::TestWithParam<LyingEntry> {};

TEST_P(LyingEntries, AreRefusedWithoutBigAllocationsAndOthersStillRead) {
    const LyingEntry& lie = GetParam();
    Bytes zip = MakeZip({{"images/good.iwi", kGood}, {"images/lie.iwi", lie.data, lie.stored}});
    PatchZipEntry(zip, "images/lie.iwi", lie.field, lie.value);
    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.OpenBytes(zip)), "");
    const ArchiveEntry* liar = archive.Find("images/lie.iwi");
    ASSERT_NE(liar, nullptr);

    Bytes bytes;
    testing::ResetLargestAllocation();
    const std::string error = testing::Why(archive.Read(*liar, bytes));
    EXPECT_LE(testing::LargestAllocation(), std::max<std::size_t>(lie.data.size(), 1 << 18));
    EXPECT_TRUE(bytes.empty());
    EXPECT_NE(error.find(lie.refusal), std::string::npos) << error;
    EXPECT_EQ(error.rfind("images/lie.iwi: ", 0), 0u) << error;

    ASSERT_EQ(testing::Why(archive.Read(*archive.Find("images/good.iwi"), bytes)), "");
    EXPECT_EQ(bytes, kGood);
}

const Bytes kZeros(1 << 20, 0);
const Bytes kPattern = testing::PatternLevel(4096, 1);

// Bytes deflate cannot shrink.
Bytes Noise(std::size_t size) {
    Bytes bytes(size);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    ZipArchive, LyingEntries,
    ::testing::Values(
        LyingEntry{"claims small, inflates big", kZeros, false, ZipField::kSize, 1000,
                   "more than its declared 1000 bytes"},
        LyingEntry{"claims big, is small", kPattern, false, ZipField::kSize, 5000, "5000"},
        LyingEntry{"claims 4 MB, holds 4 KB", Noise(4096), false, ZipField::kSize, 4000000,
                   "less than its declared 4000000"},
        LyingEntry{"claims more than deflate can give", kPattern, false, ZipField::kSize,
                   100u << 20, "compressed bytes can hold"},
        LyingEntry{"stored, claims more than it holds", kPattern, true, ZipField::kSize, 8000,
                   "stored uncompressed"},
        LyingEntry{"compressed size cut short", kPattern, false, ZipField::kCompressedSize, 100,
                   "damaged"},
        LyingEntry{"above the cap", kPattern, false, ZipField::kSize, 300u << 20, "256 MB"},
        LyingEntry{"wrong CRC", kPattern, false, ZipField::kCrc, 0x12345678, "CRC mismatch"},
        LyingEntry{"unknown method", kPattern, false, ZipField::kMethod, 77,
                   "compression method 77"}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST(ZipArchive, ZipBombsAreRefusedWithoutInflating) {
    const testing::TempDir dir;
    const std::filesystem::path zeros = dir.path() / "zeros";
    testing::WriteBytes(zeros, {});
    std::filesystem::resize_file(zeros, kMaxArchiveEntryBytes + 1); // sparse: costs no disk
    const std::filesystem::path path = dir.path() / "bomb.iwd";
    ZipItem big("images/big.iwi", {});
    big.source = zeros;
    testing::WriteZip(path,
                      {big, {"images/burst.iwi", Bytes(20 << 20, 0)}, {"images/good.iwi", kGood}});
    Bytes zip = testing::ReadBytes(path);
    PatchZipEntry(zip, "images/burst.iwi", ZipField::kSize, 1000);
    ASSERT_LT(zip.size(), 1u << 20);

    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.OpenBytes(zip)), "");
    Bytes bytes;
    testing::ResetLargestAllocation();
    const std::string tooBig = testing::Why(archive.Read(*archive.Find("images/big.iwi"), bytes));
    EXPECT_NE(tooBig.find("256 MB"), std::string::npos) << tooBig;
    const std::string burst = testing::Why(archive.Read(*archive.Find("images/burst.iwi"), bytes));
    EXPECT_NE(burst.find("more than its declared 1000"), std::string::npos) << burst;
    EXPECT_LT(testing::LargestAllocation(), 1u << 16);
    ASSERT_EQ(testing::Why(archive.Read(*archive.Find("images/good.iwi"), bytes)), "");
    EXPECT_EQ(bytes, kGood);
}

TEST(ZipArchive, EncryptedEntriesAreRefused) {
    if (!zip_encryption_method_supported(ZIP_EM_AES_256, 1)) {
        GTEST_SKIP() << "this libzip cannot write AES encrypted entries";
    }
    ZipItem secret("images/secret.iwi", kGood);
    secret.password = "password";
    const Bytes zip = MakeZip({secret});
    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.OpenBytes(zip)), "");
    Bytes bytes;
    EXPECT_EQ(testing::Why(archive.Read(archive.Entries().at(0), bytes)),
              "images/secret.iwi: encrypted");
}

TEST(ZipArchive, DamagedArchivesAreRefusedOrReadCheckedAtEveryLength) {
    const Bytes zip = MakeZip({{"images/a.iwi", kPattern}, {"images/b.iwi", kGood, true}});
    for (std::size_t length = 0; length < zip.size(); ++length) {
        const Bytes prefix(zip.begin(), zip.begin() + static_cast<long>(length));
        ZipArchive archive;
        const Status opened = archive.OpenBytes(prefix);
        if (opened) {
            ReadEveryEntry(archive);
        } else {
            EXPECT_FALSE(opened.error().text.empty());
        }
    }
    // Damage the middle of a.iwi's data, which follows the first local header.
    Bytes holed = zip;
    const std::size_t data = 30 + (zip[26] | zip[27] << 8) + (zip[28] | zip[29] << 8);
    std::fill(holed.begin() + static_cast<long>(data) + 8,
              holed.begin() + static_cast<long>(data) + 40, 0xA5);
    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.OpenBytes(holed)), "");
    Bytes bytes;
    const Status damaged = archive.Read(*archive.Find("images/a.iwi"), bytes);
    ASSERT_FALSE(damaged);
    EXPECT_EQ(damaged.error().code, TextureError::kArchiveDamaged);
    EXPECT_NE(damaged.error().text.find("damaged"), std::string::npos) << damaged.error().text;
    EXPECT_EQ(testing::Why(archive.Read(*archive.Find("images/b.iwi"), bytes)), "");
}

TEST(ZipArchive, OpenSaysWhyAFileIsNoArchive) {
    const testing::TempDir dir;
    testing::WriteBytes(dir.path() / "text.iwd", Bytes(5000, 'x'));
    const Bytes zip = MakeZip({{"images/a.iwi", kGood}});
    testing::WriteBytes(dir.path() / "cut.iwd", Bytes(zip.begin(), zip.end() - 10));
    const struct {
        std::string path;
        std::string reason;
        TextureError code;
    } cases[] = {
        {dir.File("text.iwd"), "Not a zip archive", TextureError::kNotAnArchive},
        {dir.File("cut.iwd"), "Not a zip archive", TextureError::kNotAnArchive},
        {dir.File("absent.iwd"), "Cannot open " + dir.File("absent.iwd"), TextureError::kOpen},
    };
    for (const auto& [path, reason, code] : cases) {
        ZipArchive archive;
        const Status opened = archive.Open(path);
        ASSERT_FALSE(opened) << path;
        EXPECT_EQ(opened.error().code, code) << path;
        EXPECT_EQ(opened.error().text.rfind(reason, 0), 0u) << opened.error().text;
        EXPECT_TRUE(archive.Entries().empty());
    }
}

// How many of this process's open files are `path`; -1 where the system does not say.
int HandlesOn(const std::filesystem::path& path) {
#ifdef __linux__
    int count = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += std::filesystem::read_symlink(fd.path(), error) == path;
    }
    return count;
#else
    (void)path;
    return -1;
#endif
}

// Modders rebuild an archive while it is shown: Windows would refuse to replace or delete a
// file we hold open.
TEST(ZipArchive, HoldsNoHandleBetweenReadsAndRefusesAnArchiveReplacedUnderIt) {
    const testing::TempDir dir;
    const std::filesystem::path path = dir.path() / "mod.iwd";
    testing::WriteZip(path, {{"images/a.iwi", kGood}});
    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.Open(path.string())), "");
    EXPECT_LE(HandlesOn(path), 0);
    Bytes bytes;
    ASSERT_EQ(testing::Why(archive.Read(*archive.Find("images/a.iwi"), bytes)), "");
    EXPECT_EQ(bytes, kGood);
    EXPECT_LE(HandlesOn(path), 0);
    ASSERT_TRUE(std::filesystem::remove(path));

    testing::WriteZip(path, {{"images/b.iwi", Bytes(300, 7)}, {"images/a.iwi", kGood}});
    EXPECT_FALSE(archive.Read(*archive.Find("images/a.iwi"), bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(ZipArchive, RealTextureReadsTheSameFromAnArchive) {
    const std::filesystem::path corpus = testing::CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "no folder of real game files";
    }
    const auto rows = testing::ReadTsv(corpus / "iwi_kinds" / "MANIFEST.tsv");
    ASSERT_FALSE(rows.empty());
    const std::filesystem::path file = corpus / "iwi_kinds" / rows.front().front();
    const testing::TempDir dir;
    testing::WriteZip(dir.path() / "real.iwd", {{"images/real.iwi", testing::ReadBytes(file)}});

    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.Open(dir.File("real.iwd"))), "");
    Bytes bytes;
    ASSERT_EQ(testing::Why(archive.Read(*archive.Find("images/real.iwi"), bytes)), "");
    Texture fromArchive;
    Texture fromFile;
    ASSERT_EQ(ReadTexture(bytes, fromArchive), TextureError::kNone);
    ASSERT_EQ(ReadTexture(file.string(), fromFile), TextureError::kNone);
    EXPECT_EQ(fromArchive.info.format, fromFile.info.format);
    EXPECT_EQ(fromArchive.info.width, fromFile.info.width);
    EXPECT_EQ(fromArchive.info.levels, fromFile.info.levels);
    EXPECT_EQ(fromArchive.images, fromFile.images);
}

} // namespace
} // namespace pictavo
