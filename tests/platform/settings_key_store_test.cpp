#include "platform/settings_key_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr char kKey[] = "Software\\Varnel\\Pictavo";

class SettingsKeyStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString FilePath() const { return dir_.filePath("Pictavo.conf"); }

    void WriteFile(const QByteArray& bytes) const {
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray FileBytes() const {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<RegistryKey> Open() { return store_.OpenKey(kKey); }

    QTemporaryDir dir_;
    SettingsKeyStore store_{FilePath()};
};

TEST_F(SettingsKeyStoreTest, ValuesSurviveClosingTheKey) {
    {
        const auto key = Open();
        ASSERT_NE(key, nullptr);
        key->SetText("Cod4Path", "C:\\Games\\Call of Duty 4");
        key->SetText("Empty", "");
        key->SetText("Commas", "a, b,c");
        key->SetText("Unicode", "\xC3\xA9t\xC3\xA9");
        key->SetDword("Zero", 0);
        key->SetDword("Largest", 0xFFFFFFFFu);
        key->SetDword("Colour", 0x00A4A0A0u);
    }
    const auto key = Open();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->QueryText("Cod4Path"), "C:\\Games\\Call of Duty 4");
    EXPECT_EQ(key->QueryText("Empty"), "");
    EXPECT_EQ(key->QueryText("Commas"), "a, b,c");
    EXPECT_EQ(key->QueryText("Unicode"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(key->QueryDword("Zero"), 0u);
    EXPECT_EQ(key->QueryDword("Largest"), 0xFFFFFFFFu);
    EXPECT_EQ(key->QueryDword("Colour"), 0x00A4A0A0u);
}

TEST_F(SettingsKeyStoreTest, ClosingCommitsToTheFile) {
    Open()->SetDword("ActiveGame", 0xFFFFFFFFu);
    EXPECT_TRUE(FileBytes().contains("ActiveGame=4294967295")) << FileBytes().toStdString();
}

TEST_F(SettingsKeyStoreTest, MissingValuesAreNone) {
    const auto key = Open();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->QueryText("Nothing"), std::nullopt);
    EXPECT_EQ(key->QueryDword("Nothing"), std::nullopt);
}

TEST_F(SettingsKeyStoreTest, HandWrittenNumbersAreReadAsDwords) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"0", 0u},
        {"257", 257u},
        {"4294967295", 0xFFFFFFFFu},
        {"-1", 0xFFFFFFFFu},
        {"-2147483648", 0x80000000u},
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"0x10", std::nullopt},
        {"1.5", std::nullopt},
    };
    QByteArray file = "[General]\n";
    int index = 0;
    for (const Case& c : cases)
        file += "v" + QByteArray::number(index++) + "=" + c.text + "\n";
    WriteFile(file);
    const auto key = Open();
    ASSERT_NE(key, nullptr);
    index = 0;
    for (const Case& c : cases)
        EXPECT_EQ(key->QueryDword("v" + std::to_string(index++)), c.value) << c.text;
}

TEST_F(SettingsKeyStoreTest, UnquotedCommasInAHandWrittenFileStayOneText) {
    WriteFile("[General]\nMW2Path=/images/mw2, extracted\n");
    EXPECT_EQ(Open()->QueryText("MW2Path"), "/images/mw2, extracted");
}

TEST_F(SettingsKeyStoreTest, MissingFileAndFolderAreMadeOnWrite) {
    SettingsKeyStore nested(dir_.filePath("Varnel/deeper/Pictavo.conf"));
    EXPECT_TRUE(nested.CreateKey(kKey));
    nested.OpenKey(kKey)->SetText("Version", "1.3.3");
    EXPECT_TRUE(QFile::exists(dir_.filePath("Varnel/deeper/Pictavo.conf")));
}

TEST_F(SettingsKeyStoreTest, MalformedKeyNamesAreRefused) {
    for (const char* name :
         {"", "Pictavo", "Software\\Varnel", "Software\\\\Pictavo", "Other\\Varnel\\Pictavo",
          "Software\\Varnel\\Pictavo\\More", "Software\\Varnel\\"}) {
        EXPECT_FALSE(store_.CreateKey(name)) << name;
        EXPECT_EQ(store_.OpenKey(name), nullptr) << name;
    }
    EXPECT_FALSE(QFile::exists(FilePath()));
}

struct UnusableFile {
    const char* name;
    QByteArray content;
};

void PrintTo(const UnusableFile& file, std::ostream* out) {
    *out << file.name;
}

std::vector<UnusableFile> UnusableFiles() {
    return {
        {"UnclosedSection", "[General\nVersion=1.3.3\n"},
        {"BinaryJunk", QByteArray("\x00\x01\xff\n[\x80\x81\n=\n", 11)},
        {"UnclosedSectionLater", "[General]\nVersion=1.3.3\n[Other\nx=1\n"},
        {"Oversized", QByteArray("[General]\nVersion=1.3.3\n") + QByteArray((1 << 20) + 1, '#')},
    };
}

// A file that cannot be used: the key is refused, every time, and the file keeps every byte.
class UnusableSettingsFileTest : public SettingsKeyStoreTest,
                                 public testing::WithParamInterface<UnusableFile> {};

TEST_P(UnusableSettingsFileTest, KeyIsRefusedAndTheFileKept) {
    WriteFile(GetParam().content);
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_FALSE(store_.CreateKey(kKey)) << attempt;
        EXPECT_EQ(Open(), nullptr) << attempt;
    }
    EXPECT_EQ(FileBytes(), GetParam().content);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Pictavo.conf"});
}

INSTANTIATE_TEST_SUITE_P(Files, UnusableSettingsFileTest, testing::ValuesIn(UnusableFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsKeyStoreTest, AFileMadeGoodAgainIsUsable) {
    WriteFile("[General\nVersion=1.3.3\n");
    EXPECT_EQ(Open(), nullptr);
    WriteFile("[General]\nVersion=1.3.3\nMore=1\n");
    const auto key = Open();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->QueryText("Version"), "1.3.3");
}

TEST_F(SettingsKeyStoreTest, AFolderInPlaceOfTheFileIsRefused) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Pictavo.conf"));
    EXPECT_FALSE(store_.CreateKey(kKey));
    EXPECT_EQ(Open(), nullptr);
}

TEST_F(SettingsKeyStoreTest, StrangeStoredValuesNeverCrash) {
    WriteFile("[General]\n"
              "a=@Variant(\\0\\0\\0\\n\\xff\\xff\\xff\\xf0)\n"
              "b=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QRect\\0\\0\\0\\0)\n"
              "c=@ByteArray(raw)\n"
              "d=@Invalid()\n");
    const auto key = Open();
    ASSERT_NE(key, nullptr);
    for (const char* name : {"a", "b", "c", "d"}) {
        (void)key->QueryText(name);
        EXPECT_EQ(key->QueryDword(name), std::nullopt) << name;
    }
    EXPECT_EQ(key->QueryText("c"), "raw");
}

#ifndef Q_OS_WIN
// The folder Qt keeps native user settings in now.
QString NativeSettingsFolder() {
    QDir folder =
        QFileInfo(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Varnel", "Pictavo")
                      .fileName())
            .dir();
    folder.cdUp();
    return folder.path();
}

TEST(NativeSettingsKeyStoreTest, UsesTheFileQtKeepsNativeSettingsIn) {
    QTemporaryDir config;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(config.isValid() && elsewhere.isValid());
    const QString previousFolder = NativeSettingsFolder();
    const QByteArray previousConfigHome = qgetenv("XDG_CONFIG_HOME");
    // Qt takes its folder from the environment once per process, so an earlier test may
    // have fixed it; setting it holds whatever ran before. The environment points elsewhere
    // so that a store that looked there is caught, and nothing reaches the real folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    qputenv("XDG_CONFIG_HOME", elsewhere.path().toUtf8());
    if (const auto key = SettingsKeyStore().OpenKey(kKey))
        key->SetText("Version", "1.3.3");
    const QString expected = config.filePath("Varnel/Pictavo.conf");
    EXPECT_TRUE(QFile::exists(expected));
    QSettings qtNative(QSettings::NativeFormat, QSettings::UserScope, "Varnel", "Pictavo");
    EXPECT_EQ(qtNative.fileName(), expected);
    EXPECT_EQ(qtNative.value("Version").toString(), "1.3.3");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, previousFolder);
    if (previousConfigHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", previousConfigHome);
}
#else
// The registry key itself, with text in any language intact and numbers as DWORDs.
TEST(NativeSettingsKeyStoreTest, WritesTheRegistryKeyOfItsName) {
    const wchar_t* const keyPath = L"Software\\Varnel\\PictavoTest";
    const QString path = QString::fromUtf8("C:\\Spiele\\Call of Duty 4 – Größe");
    SettingsKeyStore store;
    ASSERT_TRUE(store.CreateKey("Software\\Varnel\\PictavoTest"));
    if (const auto key = store.OpenKey("Software\\Varnel\\PictavoTest")) {
        key->SetText("CoD4Path", path.toStdString());
        key->SetDword("ActiveGame", 3);
    }
    wchar_t text[256] = {};
    DWORD bytes = sizeof text;
    EXPECT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, keyPath, L"CoD4Path", RRF_RT_REG_SZ, nullptr, text, &bytes),
        ERROR_SUCCESS);
    EXPECT_EQ(QString::fromWCharArray(text), path);
    DWORD number = 0;
    bytes = sizeof number;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, keyPath, L"ActiveGame", RRF_RT_REG_DWORD, nullptr,
                           &number, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(number, 3u);
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath);
}
#endif

} // namespace
