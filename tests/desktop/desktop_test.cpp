#include "external_tools.h"
#include "image_files.h"

#include <QMimeDatabase>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using pictavo::testing::Quoted;
using pictavo::testing::TempDir;

// Runs a shell command, its output and errors into `output`; true when it exits with 0.
bool RunShell(const std::string& command, std::string& output) {
    TempDir dir;
    const bool ok = std::system((command + " >" + Quoted(dir.File("log")) + " 2>&1").c_str()) == 0;
    std::ifstream log(dir.File("log"));
    output.assign(std::istreambuf_iterator<char>(log), {});
    return ok;
}

TEST(MimePackage, ValidatesAndGivesIwiFilesTheirTypeByContentAndName) {
    TempDir data;
    const std::filesystem::path mime = data.path() / "mime";
    std::filesystem::create_directories(mime / "packages");
    std::filesystem::copy_file(PICTAVO_SOURCE_DIR "/res/pictavo.xml",
                               mime / "packages" / "pictavo.xml");
    // Only this folder is searched, by the tool and by Qt below.
    const std::string dirs = data.path().string() + ":/usr/share";
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    setenv("XDG_DATA_DIRS", dirs.c_str(), 1);
    std::string output;
    ASSERT_TRUE(RunShell("update-mime-database " + Quoted(mime.string()), output)) << output;
    EXPECT_EQ(output, "") << "the tool complains about the package file";
    ASSERT_TRUE(std::filesystem::exists(mime / "image" / "x-iwi.xml"));

    // A corpus file when there is one, else one built here.
    std::filesystem::path sample = pictavo::testing::CorpusDir() / "cod4_v6" / "mouth.iwi";
    if (pictavo::testing::CorpusDir().empty()) {
        sample = data.path() / "built.iwi";
        pictavo::testing::WriteBytes(sample, pictavo::testing::MakeIwi({}));
    }
    const auto bytes = pictavo::testing::ReadBytes(sample);
    QMimeDatabase database;
    const QByteArray content(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size()));
    EXPECT_EQ(database.mimeTypeForData(content).name(), "image/x-iwi");
    EXPECT_EQ(
        database
            .mimeTypeForFile(QString::fromStdString(sample.string()), QMimeDatabase::MatchContent)
            .name(),
        "image/x-iwi");
    EXPECT_EQ(database.mimeTypeForFile("rock_col.IWI", QMimeDatabase::MatchExtension).name(),
              "image/x-iwi");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(DebianPackage, InstallsEveryPieceWithItsDependenciesDeclared) {
    TempDir out;
    std::string output;
    // gzip rather than xz: the contents are what is checked, not the size.
    ASSERT_TRUE(RunShell("cpack -G DEB --config " PICTAVO_BINARY_DIR "/CPackConfig.cmake -B " +
                             Quoted(out.path().string()) + " -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip",
                         output))
        << output;
    std::filesystem::path deb;
    for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path();
        }
    }
    ASSERT_FALSE(deb.empty()) << output;

    ASSERT_TRUE(RunShell("dpkg-deb -c " + Quoted(deb.string()) + " | awk '{print $6}'", output));
    const std::vector<std::string> files = Lines(output);
    std::vector<std::string> expected = {
        "./usr/bin/pictavo",
        "./usr/bin/pictavo-convert",
        "./usr/bin/pictavo-thumbnailer",
        "./usr/share/applications/pictavo.desktop",
        "./usr/share/doc/pictavo/copyright",
        "./usr/share/icons/hicolor/256x256/apps/pictavo.png",
        "./usr/share/kio/servicemenus/pictavo-convert-picture.desktop",
        "./usr/share/kio/servicemenus/pictavo-convert-texture.desktop",
        "./usr/share/pictavo/nautilus-scripts/Pictavo/",
        "./usr/share/mime/packages/pictavo.xml",
        "./usr/share/thumbnailers/pictavo.thumbnailer",
    };
    std::istringstream plugins(PICTAVO_IMAGE_PLUGINS);
    for (std::string plugin; std::getline(plugins, plugin, ',');) {
        expected.push_back("./usr/" + plugin);
    }
    for (const std::string& file : expected) {
        EXPECT_NE(std::find(files.begin(), files.end(), file), files.end()) << file;
    }

    // The copyright file in Debian's machine-readable format.
    ASSERT_TRUE(RunShell("dpkg-deb --fsys-tarfile " + Quoted(deb.string()) +
                             " | tar -xOf - ./usr/share/doc/pictavo/copyright",
                         output));
    EXPECT_EQ(
        output.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n",
                     0),
        0u);
    EXPECT_NE(output.find("\nFiles: *\nCopyright: 2026 Varnel\nLicense: Expat\n"),
              std::string::npos);

    const auto field = [&](const std::string& name) {
        std::string value;
        EXPECT_TRUE(RunShell("dpkg-deb -f " + Quoted(deb.string()) + " " + name, value)) << name;
        return value.substr(0, value.find('\n'));
    };
    EXPECT_EQ(field("Package"), "pictavo");
    EXPECT_EQ(field("Version"), PICTAVO_VERSION);
    EXPECT_EQ(field("Architecture"), "amd64");
    EXPECT_EQ(field("Section"), "graphics");
    const std::string depends = field("Depends");
    for (const char* library : PICTAVO_EXPECTED_DEPENDS) {
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;
    }
}

} // namespace
