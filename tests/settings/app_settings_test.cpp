#include "settings/app_settings.h"
#include "settings_file_fixture.h"

#include <QDir>
#include <filesystem>

namespace {

void ExpectDefaults(const AppSettings& s) {
    EXPECT_EQ(s.Cod4Path, "Set Path");
    EXPECT_EQ(s.Cod5Path, "Set Path");
    EXPECT_EQ(s.BOPath, "Set Path");
    EXPECT_EQ(s.MW2Path, "Set Path");
    EXPECT_EQ(s.MW3Path, "Set Path");
    EXPECT_EQ(s.ActiveGame, -1);
    EXPECT_EQ(s.CubeView, 0);
    EXPECT_EQ(s.StrecImage, 1);
    EXPECT_EQ(s.EnableZoom, 1);
    EXPECT_EQ(s.color_background, 0x00A4A0A0u);
    EXPECT_EQ(s.color_text, 0x00FF0000u);
    EXPECT_FALSE(s.MergeBUMP);
    EXPECT_FALSE(s.new_3DCubeView);
    EXPECT_FALSE(s.Vsync);
    EXPECT_FALSE(s.IsGameSet());
}

void ExpectCustomised(const AppSettings& s) {
    EXPECT_EQ(s.Cod4Path, "/games/Call of Duty 4");
    EXPECT_EQ(s.Cod5Path, "/games/cod5");
    EXPECT_EQ(s.BOPath, "/games/black ops");
    EXPECT_EQ(s.MW2Path, "/images/mw2");
    EXPECT_EQ(s.MW3Path, "/images/mw3");
    EXPECT_EQ(s.ActiveGame, 4);
    EXPECT_EQ(s.CubeView, 1);
    EXPECT_EQ(s.StrecImage, 0);
    EXPECT_EQ(s.EnableZoom, 0);
    EXPECT_EQ(s.color_background, 0x00112233u);
    EXPECT_EQ(s.color_text, 0x00445566u);
    EXPECT_TRUE(s.MergeBUMP);
    EXPECT_TRUE(s.new_3DCubeView);
    EXPECT_TRUE(s.Vsync);
}

TEST(AppSettingsTest, ConstructionGivesTheDefaults) {
    const AppSettings fresh;
    ExpectDefaults(fresh);
    EXPECT_EQ(fresh.StartDirectory, "");
    EXPECT_EQ(fresh.UpdateServer, "");
    EXPECT_FALSE(fresh.dialogMinimized);
    EXPECT_FALSE(fresh.normalMapLoaded);
    EXPECT_FALSE(fresh.embossOn);
    EXPECT_TRUE(fresh.defaultImageShown);
    ExpectDefaults(theSettings);
}

TEST(AppSettingsTest, GamePathNamesEachGamesFolderField) {
    AppSettings s;
    EXPECT_EQ(s.GamePath(0), &s.Cod4Path);
    EXPECT_EQ(s.GamePath(1), &s.Cod5Path);
    EXPECT_EQ(s.GamePath(2), &s.BOPath);
    EXPECT_EQ(s.GamePath(3), &s.MW2Path);
    EXPECT_EQ(s.GamePath(4), &s.MW3Path);
    for (const std::int32_t other : {-1, 5, -2, 1000})
        EXPECT_EQ(s.GamePath(other), nullptr) << other;
    const AppSettings& readOnly = s;
    EXPECT_EQ(readOnly.GamePath(3), &s.MW2Path);
}

TEST(AppSettingsTest, IsGameSetForEveryValueButMinusOne) {
    AppSettings s;
    for (const std::int32_t game : {0, 1, 4, 7, -2}) {
        s.ActiveGame = game;
        EXPECT_TRUE(s.IsGameSet()) << game;
    }
    s.ActiveGame = -1;
    EXPECT_FALSE(s.IsGameSet());
}

using LoadTest = SettingsFileTest;

TEST_F(LoadTest, EmptyStoreIsInitialisedWithTheDefaults) {
    AppSettings s;
    s.Load();
    ExpectDefaults(s);
    ExpectStored(DefaultValues());
    ExpectStored({{"Init_Settings", 1u}, {"Version", "1.3.3"}});
    EXPECT_TRUE(FileBytes().contains("ActiveGame=4294967295")) << FileBytes().toStdString();
}

TEST_F(LoadTest, InitSettingsZeroIsAFirstRunThatOverwritesTheStore) {
    Seed(With(CustomisedValues(), {{"Init_Settings", 0u}}));
    AppSettings s;
    s.Load();
    ExpectDefaults(s);
    ExpectStored(DefaultValues());
    ExpectStored({{"Init_Settings", 1u}, {"Version", "1.3.3"}});
}

TEST_F(LoadTest, MissingInitSettingsIsAFirstRun) {
    Seed(Without(CustomisedValues(), "Init_Settings"));
    AppSettings s;
    s.Load();
    ExpectDefaults(s);
    ExpectStored(DefaultValues());
}

TEST_F(LoadTest, StoreOfThisVersionIsReadWithoutWriting) {
    Seed(CustomisedValues());
    const QByteArray before = FileBytes();
    AppSettings s;
    s.Load();
    ExpectCustomised(s);
    EXPECT_TRUE(s.IsGameSet());
    EXPECT_EQ(FileBytes(), before);
}

class OtherVersionTest : public SettingsFileTest,
                         public testing::WithParamInterface<std::optional<std::string>> {};

TEST_P(OtherVersionTest, KeepsFoldersAndGameAndResetsTheRest) {
    std::vector<StoredValue> seeded = Without(CustomisedValues(), "Version");
    if (GetParam())
        seeded = With(seeded, {{"Version", *GetParam()}});
    Seed(seeded);
    AppSettings s;
    s.Load();

    EXPECT_EQ(s.Cod4Path, "/games/Call of Duty 4");
    EXPECT_EQ(s.Cod5Path, "/games/cod5");
    EXPECT_EQ(s.BOPath, "/games/black ops");
    EXPECT_EQ(s.MW2Path, "/images/mw2");
    EXPECT_EQ(s.ActiveGame, 4);
    const std::vector<StoredValue> expected =
        With(DefaultValues(), {{"Cod4Path", "/games/Call of Duty 4"},
                               {"Cod5Path", "/games/cod5"},
                               {"BOPath", "/games/black ops"},
                               {"MW2Path", "/images/mw2"},
                               {"ActiveGame", 4u},
                               {"Version", "1.3.3"}});
    ExpectStored(expected);

    EXPECT_EQ(s.MW3Path, "Set Path");
    EXPECT_EQ(s.CubeView, 0);
    EXPECT_EQ(s.StrecImage, 1);
    EXPECT_EQ(s.EnableZoom, 1);
    EXPECT_FALSE(s.MergeBUMP);
    EXPECT_FALSE(s.new_3DCubeView);
    EXPECT_FALSE(s.Vsync);
    EXPECT_EQ(s.color_background, 0x00A4A0A0u);
    EXPECT_EQ(s.color_text, 0x00FF0000u);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, OtherVersionTest,
    testing::Values(std::optional<std::string>("1.3.2"), std::optional<std::string>("1.2"),
                    std::optional<std::string>("1.3.3 "), std::optional<std::string>(" 1.3.3"),
                    std::optional<std::string>("1.3.33"), std::optional<std::string>("1.3.3.0"),
                    std::optional<std::string>(""),
                    std::optional<std::string>("1.3.3" + std::string(300, 'x')), std::nullopt));

TEST_F(LoadTest, EmptyMW2PathBecomesSetPathAndIsStoredAtOnce) {
    Seed(With(CustomisedValues(), {{"MW2Path", ""}}));
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.MW2Path, "Set Path");
    EXPECT_EQ(StoredText("MW2Path"), "Set Path");
    EXPECT_EQ(s.MW3Path, "/images/mw3");
}

TEST_F(LoadTest, MissingMW3PathReadsAsEmptyText) {
    Seed(Without(CustomisedValues(), "MW3Path"));
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.MW3Path, "");
    EXPECT_EQ(StoredText("MW3Path"), std::nullopt);
    EXPECT_EQ(s.MW2Path, "/images/mw2");
}

TEST_F(LoadTest, MissingFolderTextsReadAsEmpty) {
    std::vector<StoredValue> seeded = CustomisedValues();
    for (const char* name : {"Cod4Path", "Cod5Path", "BOPath"})
        seeded = Without(seeded, name);
    Seed(seeded);
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.Cod4Path, "");
    EXPECT_EQ(s.Cod5Path, "");
    EXPECT_EQ(s.BOPath, "");
}

TEST_F(LoadTest, TextsThatDoNotFitTheBufferReadAsEmpty) {
    struct Case {
        std::size_t length;
        bool kept;
    };
    for (const Case c : {Case{259, true}, Case{260, false}, Case{4096, false}}) {
        const std::string text(c.length, 'p');
        Seed(With(CustomisedValues(), {{"Cod4Path", text}, {"MW3Path", text}}));
        AppSettings s;
        s.Load();
        EXPECT_EQ(s.Cod4Path, c.kept ? text : "") << c.length;
        EXPECT_EQ(s.MW3Path, c.kept ? text : "") << c.length;
    }
}

class UnreadableNumberTest : public SettingsFileTest,
                             public testing::WithParamInterface<std::optional<Stored>> {};

TEST_P(UnreadableNumberTest, LeavesTheFieldAsConstructed) {
    std::vector<StoredValue> seeded = CustomisedValues();
    for (const char* name : {"ActiveGame", "CubeView", "StrecImage", "EnableZoom", "MergeBUMP",
                             "new_3DCubeView", "Vsync", "color_background", "color_text"}) {
        seeded = Without(seeded, name);
        if (GetParam())
            seeded.push_back({name, *GetParam()});
    }
    Seed(seeded);
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.Cod4Path, "/games/Call of Duty 4");
    ExpectStored(seeded);
    EXPECT_EQ(s.ActiveGame, -1);
    EXPECT_EQ(s.CubeView, 0);
    EXPECT_EQ(s.StrecImage, 1);
    EXPECT_EQ(s.EnableZoom, 1);
    EXPECT_FALSE(s.MergeBUMP);
    EXPECT_FALSE(s.new_3DCubeView);
    EXPECT_FALSE(s.Vsync);
    EXPECT_EQ(s.color_background, 0x00A4A0A0u);
    EXPECT_EQ(s.color_text, 0x00FF0000u);
}

INSTANTIATE_TEST_SUITE_P(Values, UnreadableNumberTest,
                         testing::Values(std::optional<Stored>(), std::optional<Stored>("abc"),
                                         std::optional<Stored>("99999999999")));

class FlagByteTest : public SettingsFileTest,
                     public testing::WithParamInterface<std::pair<std::uint32_t, bool>> {};

TEST_P(FlagByteTest, OnlyTheLowByteCounts) {
    const auto [stored, expected] = GetParam();
    Seed(With(CustomisedValues(),
              {{"MergeBUMP", stored}, {"new_3DCubeView", stored}, {"Vsync", stored}}));
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.MergeBUMP, expected);
    EXPECT_EQ(s.new_3DCubeView, expected);
    EXPECT_EQ(s.Vsync, expected);
}

INSTANTIATE_TEST_SUITE_P(Values, FlagByteTest,
                         testing::Values(std::pair{0x101u, true}, std::pair{0x100u, false},
                                         std::pair{0x1u, true}, std::pair{0x0u, false},
                                         std::pair{0x80u, true}, std::pair{0xFFFFFF00u, false},
                                         std::pair{0xFFFFFFFFu, true}));

using SaveTest = SettingsFileTest;

TEST_F(SaveTest, MinusOneIsStoredAsAllBitsAndReadBack) {
    Seed(CustomisedValues());
    AppSettings s;
    s.Load();
    s.ActiveGame = -1;
    s.Save(false);
    EXPECT_TRUE(FileBytes().contains("ActiveGame=4294967295")) << FileBytes().toStdString();
    ExpectStored({{"ActiveGame", 0xFFFFFFFFu}});
    AppSettings reloaded;
    reloaded.Load();
    EXPECT_EQ(reloaded.ActiveGame, -1);
    EXPECT_FALSE(reloaded.IsGameSet());
}

TEST_F(SaveTest, EveryPersistedFieldRoundTrips) {
    AppSettings first;
    first.Load();
    first.Cod4Path = "/games/Call of Duty 4";
    first.Cod5Path = "/games/cod5";
    first.BOPath = "/games/black ops";
    first.MW2Path = "/images/mw2";
    first.MW3Path = "/images/mw3";
    first.ActiveGame = 4;
    first.CubeView = 1;
    first.StrecImage = 0;
    first.EnableZoom = 0;
    first.MergeBUMP = true;
    first.new_3DCubeView = true;
    first.Vsync = true;
    first.color_background = 0x00112233;
    first.color_text = 0x00445566;
    first.Save(false);
    ExpectStored(CustomisedValues());

    AppSettings second;
    second.Load();
    ExpectCustomised(second);
}

TEST_F(SaveTest, NegativeNumbersRoundTrip) {
    AppSettings first;
    first.Load();
    first.CubeView = -5;
    first.EnableZoom = INT32_MIN;
    first.Save(false);
    AppSettings second;
    second.Load();
    EXPECT_EQ(second.CubeView, -5);
    EXPECT_EQ(second.EnableZoom, INT32_MIN);
}

TEST_F(SaveTest, UpdateServerIsReadButNeverWritten) {
    Seed(With(CustomisedValues(), {{"UpdateServer", "http://mirror.example"}}));
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.UpdateServer, "http://mirror.example");
    s.UpdateServer = "http://changed.example";
    s.Save(false);
    EXPECT_EQ(StoredText("UpdateServer"), "http://mirror.example");
}

TEST_F(SaveTest, UpdateServerIsReadOnAFirstRunToo) {
    Seed({{"UpdateServer", "http://mirror.example"}});
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.UpdateServer, "http://mirror.example");
}

struct UnusableFile {
    const char* name;
    QByteArray content;
};

void PrintTo(const UnusableFile& file, std::ostream* out) {
    *out << file.name;
}

// A file that cannot be read or parsed leaves the defaults in force and is never overwritten.
class UnusableFileTest : public SettingsFileTest,
                         public testing::WithParamInterface<UnusableFile> {};

TEST_P(UnusableFileTest, LoadKeepsDefaultsAndSaveWritesNothing) {
    WriteFile(GetParam().content);
    AppSettings s;
    s.Load();
    ExpectDefaults(s);
    EXPECT_FALSE(s.StartDirectory.empty());
    s.Cod4Path = "/games/cod4";
    s.ActiveGame = 0;
    s.Save(false);
    EXPECT_EQ(FileBytes(), GetParam().content);
    EXPECT_EQ(s.Cod4Path, "/games/cod4");
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableFileTest,
    testing::Values(
        UnusableFile{"UnclosedSection", "[General\nInit_Settings=1\nVersion=1.3.3\nActiveGame=3\n"},
        UnusableFile{"BinaryJunk", QByteArray("\x00\x01\xff\n[\x80\n=\n", 10)},
        UnusableFile{"Oversized", QByteArray("[General]\nInit_Settings=1\nActiveGame=3\n") +
                                      QByteArray(2 << 20, ' ')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveTest, AFolderInPlaceOfTheFileLeavesDefaults) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Pictavo.conf"));
    AppSettings s;
    s.Load();
    ExpectDefaults(s);
    s.Save(false);
    EXPECT_TRUE(QDir(dir_.filePath("Pictavo.conf")).isEmpty());
}

TEST_F(LoadTest, StartDirectoryIsTheWorkingDirectory) {
    AppSettings s;
    s.Load();
    EXPECT_EQ(std::filesystem::path(s.StartDirectory), std::filesystem::current_path());
}

} // namespace
