#include "platform/directory_scan.h"

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class DirectoryScanTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    fs::path Root() const { return fs::path(dir_.path().toStdString()); }
    std::string RootText() const { return dir_.path().toStdString(); }

    void MakeFile(const std::string& name) const {
        std::ofstream(Root() / name) << "x";
        ASSERT_TRUE(fs::is_regular_file(Root() / name)) << name;
    }

    static std::vector<std::string> Sorted(std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    QTemporaryDir dir_;
};

TEST_F(DirectoryScanTest, MissingFolderIsToldApartFromEmptyOne) {
    const FolderScan missing = ScanIwiFiles(RootText() + "/absent");
    EXPECT_EQ(missing.status, FolderScanStatus::FolderMissing);
    EXPECT_TRUE(missing.fileNames.empty());

    const FolderScan empty = ScanIwiFiles(RootText());
    EXPECT_EQ(empty.status, FolderScanStatus::Listed);
    EXPECT_TRUE(empty.fileNames.empty());
}

TEST_F(DirectoryScanTest, EmptyPathAndFilePathCountAsMissingFolders) {
    MakeFile("plain.iwi");
    EXPECT_EQ(ScanIwiFiles("").status, FolderScanStatus::FolderMissing);
    EXPECT_EQ(ScanIwiFiles((Root() / "plain.iwi").string()).status,
              FolderScanStatus::FolderMissing);
}

TEST_F(DirectoryScanTest, ExtensionMatchesInAnyCaseAndNothingElse) {
    struct Case {
        const char* name;
        bool listed;
    };
    const Case cases[] = {
        {"lower.iwi", true},    {"UPPER.IWI", true},    {"Mixed.IwI", true},
        {".iwi", true},         {"two.dots.iwi", true}, {"with space.iwi", true},
        {"longer.iwix", false}, {"image.dds", false},   {"iwi", false},
        {"old.iwi.bak", false}, {"noext", false},       {"short.iw", false},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        MakeFile(c.name);
        if (c.listed)
            expected.push_back(c.name);
    }
    const FolderScan scan = ScanIwiFiles(RootText());
    EXPECT_EQ(scan.status, FolderScanStatus::Listed);
    EXPECT_EQ(Sorted(scan.fileNames), Sorted(expected));
}

TEST_F(DirectoryScanTest, FoldersWithTheExtensionAreSkipped) {
    MakeFile("real.iwi");
    fs::create_directory(Root() / "folder.iwi");
    fs::create_directory(Root() / "SUB.IWI");
    EXPECT_EQ(ScanIwiFiles(RootText()).fileNames, std::vector<std::string>{"real.iwi"});
}

TEST_F(DirectoryScanTest, LinksCountOnlyWhenTheyLeadToAFile) {
    MakeFile("target.dds");
    fs::create_directory(Root() / "dir");
    std::error_code error;
    fs::create_symlink(Root() / "target.dds", Root() / "tofile.iwi", error);
    if (error)
        GTEST_SKIP() << "this system cannot make symbolic links: " << error.message();
    fs::create_directory_symlink(Root() / "dir", Root() / "todir.iwi");
    fs::create_symlink(Root() / "gone.dds", Root() / "broken.iwi");
    EXPECT_EQ(ScanIwiFiles(RootText()).fileNames, std::vector<std::string>{"tofile.iwi"});
}

TEST_F(DirectoryScanTest, NamesKeepTheFileSystemOrder) {
    for (int i = 0; i < 40; ++i)
        MakeFile("img" + std::to_string((i * 17) % 40) + (i % 3 == 0 ? ".IWI" : ".iwi"));
    MakeFile("skip.dds");
    std::vector<std::string> enumerated;
    for (const fs::directory_entry& entry : fs::directory_iterator(Root())) {
        const std::string name = entry.path().filename().string();
        if (name != "skip.dds")
            enumerated.push_back(name);
    }
    EXPECT_EQ(ScanIwiFiles(RootText()).fileNames, enumerated);
}

TEST_F(DirectoryScanTest, NamesThatAreNotUtf8AreListedWithTheirBytes) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps every name in UTF-16: none is not UTF-8";
#endif
    const std::string latin1 = "caf\xE9.iwi";
    const std::string stray = "\xFF\xFE.IWI";
    for (const std::string& name : {latin1, stray}) {
        std::ofstream(Root() / name) << "x";
        if (!fs::is_regular_file(Root() / name))
            GTEST_SKIP() << "this file system takes only UTF-8 names";
    }
    EXPECT_EQ(Sorted(ScanIwiFiles(RootText()).fileNames), Sorted({latin1, stray}));
}

TEST_F(DirectoryScanTest, TrailingSeparatorNamesTheSameFolder) {
    MakeFile("a.iwi");
    EXPECT_EQ(ScanIwiFiles(RootText() + "/").fileNames, std::vector<std::string>{"a.iwi"});
}

#ifdef _WIN32
constexpr bool kNamesIgnoreCase = true;
#else
constexpr bool kNamesIgnoreCase = false;
#endif

TEST_F(DirectoryScanTest, SubfolderMustCarryTheExactName) {
    struct Case {
        const char* entry;
        bool isFolder;
        bool found;
    };
    const Case cases[] = {
        // Windows' names ignore case.
        {"raw", true, true},
        {"Raw", true, kNamesIgnoreCase},
        {"RAW", true, kNamesIgnoreCase},
        {"raw", false, false}, // a file of that name
        {"raw2", true, false},
        {"ra", true, false},
        {".raw", true, false},
    };
    for (const Case& c : cases) {
        const fs::path game = Root() / (std::string(c.entry) + (c.isFolder ? "_dir" : "_file"));
        fs::create_directory(game);
        if (c.isFolder)
            fs::create_directory(game / c.entry);
        else
            std::ofstream(game / c.entry) << "x";
        EXPECT_EQ(HasSubfolderNamed(game.string(), "raw"), c.found)
            << c.entry << (c.isFolder ? " folder" : " file");
    }
}

TEST_F(DirectoryScanTest, SubfolderSearchOfNothingFindsNothing) {
    EXPECT_FALSE(HasSubfolderNamed("", "raw"));
    EXPECT_FALSE(HasSubfolderNamed(RootText() + "/absent", "raw"));
    // Only the folder's own entries count, not those further down.
    fs::create_directories(Root() / "game" / "raw");
    EXPECT_FALSE(HasSubfolderNamed(RootText(), "raw"));
}

} // namespace
