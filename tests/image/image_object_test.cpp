#include "image/file_path.h"
#include "image/iwi.h"
#include "image_files.h"
#include "load_helpers.h"

#include <gtest/gtest.h>

namespace {

using pictavo::testing::IwiParams;
using pictavo::testing::MakeIwi;
using pictavo::testing::TempDir;
using pictavo::testing::WriteBytes;

TEST(SetFile, NeedsASeparatorAndAnExistingFile) {
    TempDir dir;
    WriteBytes(dir.File("rock_c.iwi"), {1});
    IWI image;
    EXPECT_EQ(image.SetFile("rock_c.iwi"), IWI_ERR_NO_SEPARATOR);
    EXPECT_EQ(image.SetFile(dir.File("missing.iwi")), IWI_ERR_NOT_FOUND);
    EXPECT_FALSE(image.fileSet);
    ASSERT_EQ(image.SetFile(dir.File("rock_c.iwi")), IWI_OK);
    EXPECT_TRUE(image.fileSet);
    EXPECT_EQ(image.fileName, "rock_c.iwi");
    EXPECT_EQ(image.filePath, dir.File("rock_c.iwi"));
    EXPECT_FALSE(image.loaded);
}

TEST(GetFileType, ClassifiesByCaseSensitiveExtension) {
    TempDir dir;
    struct Case {
        const char* name;
        int type;
        bool dds;
        const char* extension;
    };
    for (const Case& c :
         {Case{"a.iwi", IWI_TYPE_IWI, false, "iwi"}, Case{"a.dds", IWI_TYPE_DDS, true, "dds"},
          Case{"a.IWI", IWI_TYPE_NONE, false, "IWI"}, Case{"a.Dds", IWI_TYPE_NONE, false, "Dds"},
          Case{"noextension", IWI_TYPE_NONE, false, ""},
          Case{"two.dots.iwi", IWI_TYPE_IWI, false, "iwi"},
          Case{"a.iwix", IWI_TYPE_NONE, false, "iwix"}}) {
        WriteBytes(dir.File(c.name), {0});
        IWI image;
        ASSERT_EQ(image.SetFile(dir.File(c.name)), IWI_OK);
        EXPECT_EQ(image.GetFileType(), c.type) << c.name;
        EXPECT_EQ(image.isDDS, c.dds) << c.name;
        EXPECT_EQ(image.extension, c.extension) << c.name;
    }
    IWI unset;
    EXPECT_EQ(unset.GetFileType(), IWI_ERR_NO_FILE);
}

TEST(LoadFile, RefusesASecondLoadUntilUnload) {
    TempDir dir;
    IWI image;
    ASSERT_EQ(pictavo::testing::LoadBytes(image, dir, "a.iwi", MakeIwi({})), IWI_OK);
    EXPECT_EQ(image.LoadFile(), IWI_ERR_ALREADY_LOADED);
    image.Unload();
    EXPECT_FALSE(image.loaded);
    EXPECT_FALSE(image.fileSet);
    EXPECT_TRUE(image.levels.empty());
    EXPECT_TRUE(image.fileName.empty());
    EXPECT_TRUE(image.filePath.empty());
    // The header and size outlive Unload.
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.IWIHeader.format, IWI_FMT_DXT1);
}

TEST(Unload, DoesNothingWhenNothingIsLoaded) {
    TempDir dir;
    WriteBytes(dir.File("x.dds"), {0});
    IWI image;
    ASSERT_EQ(image.SetFile(dir.File("x.dds")), IWI_OK);
    image.GetFileType();
    image.Unload();
    EXPECT_TRUE(image.fileSet);
    EXPECT_TRUE(image.isDDS);
    EXPECT_EQ(image.fileName, "x.dds");
}

TEST(GetErrorString, GivesEachCodeItsText) {
    const std::string unknown = "Unknown Error_?";
    struct Case {
        int code;
        std::string text;
    };
    for (const Case& c : {
             Case{0, "Unknown Error"},
             Case{5, "File Handel failed due to permissions, please run program as admin"},
             Case{9, "Unknown DDS Error"},
             Case{11, "Format Error"},
             Case{12, "COMP size error"},
             Case{19, "Unknown image format"},
             Case{23, "The file is shorter than its header says"},
             Case{24, "The image's size or level count is not valid"},
             Case{25,
                  "IWI format 7 stores levels of variable, compressed size, which cannot be read"},
             Case{26, "The file's size fits no known IWI level layout"},
             Case{28, "The DDS file is a volume texture (3D), which cannot be shown or converted"},
             Case{29, "No IWI format holds BC4, BC5 or BC7 textures (they can be written as PNG, "
                      "TGA or DDS)"},
         }) {
        EXPECT_EQ(IWI::GetErrorString(c.code), c.text) << c.code;
    }
    for (int code :
         {-1, 1, 2, 3, 4, 6, 7, 8, 10, 13, 14, 15, 16, 17, 18, 20, 21, 22, 27, 30, 1000}) {
        EXPECT_EQ(IWI::GetErrorString(code), unknown) << code;
    }
}

TEST(Describe, FormatNameAndSizeText) {
    IWI image;
    EXPECT_EQ(image.GetSizeText(), "0x00000000");
    const std::pair<int, const char*> names[] = {{1, "RGBA8"},
                                                 {2, "RGB"},
                                                 {11, "DTX1"},
                                                 {12, "DTX3"},
                                                 {13, "DTX5"},
                                                 {0, "Format Not Supported"},
                                                 {14, "Format Not Supported"}};
    for (const auto& [code, name] : names) {
        image.IWIHeader.format = static_cast<std::uint8_t>(code);
        EXPECT_EQ(image.GetFormatName(), name);
    }
    image.levels.push_back(LevelBuffer(65536));
    EXPECT_EQ(image.GetSizeText(), "0x00010000");
}

TEST(GetExtension, TextAfterTheLastDot) {
    EXPECT_EQ(IWI::GetExtension("a.b.iwi"), "iwi");
    EXPECT_EQ(IWI::GetExtension("name"), "");
    EXPECT_EQ(IWI::GetExtension("trailing."), "");
    EXPECT_EQ(IWI::GetExtension(".hidden"), "hidden");
}

TEST(FileExists, TrueOnlyForWhatCanBeStated) {
    TempDir dir;
    WriteBytes(dir.File("here"), {});
    EXPECT_TRUE(IWI::FileExists(dir.File("here")));
    EXPECT_TRUE(IWI::FileExists(dir.path().string()));
    EXPECT_FALSE(IWI::FileExists(dir.File("gone")));
    EXPECT_FALSE(IWI::FileExists(""));
}

TEST(Separators, LastNativeSeparator) {
    const std::string sep(1, pictavo::kPathSeparator);
    EXPECT_EQ(pictavo::LastSeparator("a" + sep + "b" + sep + "c"), 3u);
    EXPECT_EQ(pictavo::LastSeparator("abc"), std::string::npos);
}

} // namespace
