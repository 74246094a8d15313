#include "start_directory_fixture.h"
#include "update/update_manifest.h"

#include <gtest/gtest.h>

namespace {

using pictavo::NoteColour;
using pictavo::NoteSpan;
using pictavo::ReadUpdateManifest;
using pictavo::UpdateManifest;

class UpdateManifestTest : public StartDirectoryTest {
protected:
    std::optional<UpdateManifest> Read(const std::string& xml) {
        WriteText(InFolder("UpdateCheck.xml"), xml);
        return ReadUpdateManifest(InFolder("UpdateCheck.xml"));
    }

    // A manifest whose root holds these entries.
    std::optional<UpdateManifest> ReadEntries(const std::string& entries) {
        return Read("<?xml version=\"1.0\"?>\n<update>" + entries + "</update>");
    }
};

TEST_F(UpdateManifestTest, ReadsANewerRelease) {
    const auto manifest = ReadEntries(R"(<e data="version">1.4.0</e>
        <e data="notes"><l>First</l><l>Second</l></e>
        <e data="DownloadLink">http://example.org/get</e>
        <e data="fileName">Pictavo_1.4.0.rar</e>)");

    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->version, "1.4.0");
    EXPECT_FALSE(manifest->upToDate);
    ASSERT_TRUE(manifest->notes);
    EXPECT_EQ(manifest->notes->text, "First\nSecond\n");
    EXPECT_TRUE(manifest->notes->spans.empty());
    EXPECT_EQ(manifest->downloadLink, "http://example.org/get");
    EXPECT_EQ(manifest->fileName, "Pictavo_1.4.0.rar");
}

TEST_F(UpdateManifestTest, OurOwnVersionEndsTheWalk) {
    const auto manifest = ReadEntries(R"(<e data="version">1.3.3</e>
        <e data="notes"><l>never read</l></e>
        <e data="fileName">never.rar</e>)");

    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->version, "1.3.3");
    EXPECT_TRUE(manifest->upToDate);
    EXPECT_FALSE(manifest->notes);
    EXPECT_EQ(manifest->fileName, "");
}

TEST_F(UpdateManifestTest, NotesBeforeOurVersionAreKept) {
    const auto manifest =
        ReadEntries(R"(<e data="notes"><l>kept</l></e><e data="version">1.3.3</e>)");

    ASSERT_TRUE(manifest);
    EXPECT_TRUE(manifest->upToDate);
    ASSERT_TRUE(manifest->notes);
    EXPECT_EQ(manifest->notes->text, "kept\n");
}

class OtherVersionTest : public UpdateManifestTest,
                         public testing::WithParamInterface<const char*> {};

TEST_P(OtherVersionTest, IsAnUpdateOnOffer) {
    const auto manifest = ReadEntries(std::string("<e data=\"version\">") + GetParam() +
                                      "</e><e data=\"notes\"><l>x</l></e>");

    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->version, GetParam());
    EXPECT_FALSE(manifest->upToDate);
    EXPECT_TRUE(manifest->notes);
}

INSTANTIATE_TEST_SUITE_P(Versions, OtherVersionTest,
                         testing::Values("1.3.2", "1.4", "1.3.3 ", " 1.3.3", "1.3.30", "1.3"));

TEST_F(UpdateManifestTest, MissingEntriesLeaveTheirFieldsEmpty) {
    const auto manifest = ReadEntries("");

    ASSERT_TRUE(manifest);
    EXPECT_FALSE(manifest->version);
    EXPECT_FALSE(manifest->upToDate);
    EXPECT_FALSE(manifest->notes);
    EXPECT_EQ(manifest->downloadLink, "");
    EXPECT_EQ(manifest->fileName, "");
}

TEST_F(UpdateManifestTest, EntriesNeedTheirExactKindAndText) {
    const auto manifest = ReadEntries(R"(<e>1.3.3</e>
        <e data="Version">1.3.3</e>
        <e data="version"/>
        <e data="NOTES"><l>x</l></e>
        <e data="fileName"></e>
        <e data="DownloadLink"><b>not text</b></e>
        <e data="something">else</e>)");

    ASSERT_TRUE(manifest);
    EXPECT_FALSE(manifest->version);
    EXPECT_FALSE(manifest->upToDate);
    EXPECT_FALSE(manifest->notes);
    EXPECT_EQ(manifest->fileName, "");
    EXPECT_EQ(manifest->downloadLink, "");
}

TEST_F(UpdateManifestTest, LaterEntriesReplaceEarlierOnes) {
    const auto manifest = ReadEntries(R"(<e data="version">1.4</e><e data="notes"><l>a</l></e>
        <e data="version">1.5</e><e data="notes"><l>b</l></e>)");

    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->version, "1.5");
    EXPECT_EQ(manifest->notes->text, "b\n");
}

TEST_F(UpdateManifestTest, RootWithoutEntriesOrNoRootIsEmpty) {
    EXPECT_TRUE(Read("<update/>"));
    const auto commentOnly = Read("<?xml version=\"1.0\"?><!-- nothing -->");
    ASSERT_TRUE(commentOnly);
    EXPECT_FALSE(commentOnly->version);
    EXPECT_FALSE(commentOnly->notes);
}

TEST_F(UpdateManifestTest, UnreadableFilesGiveNothing) {
    EXPECT_FALSE(ReadUpdateManifest(InFolder("absent.xml")));
    EXPECT_FALSE(Read(""));
    EXPECT_FALSE(Read("<update><e data=\"version\">1.4</e>"));
    EXPECT_FALSE(Read("not xml at all"));
    EXPECT_FALSE(Read(std::string(pictavo::kMaxManifestSize + 1, ' ')));
}

TEST_F(UpdateManifestTest, DeepNestingIsRefusedNotFollowed) {
    std::string opening;
    std::string closing;
    for (int i = 0; i < 100000; ++i) {
        opening += "<a>";
        closing += "</a>";
    }
    const std::string xml = opening + closing;
    EXPECT_FALSE(Read(xml));
}

TEST_F(UpdateManifestTest, RedLineEndsTwoBeforeTheNextSpanAmberLinesColourOneCharacter) {
    const auto manifest = ReadEntries(R"(<e data="notes">
        <l color="r">Fixed crash</l><l/><l color="y">Added A</l><l color="o">Added B</l>
        </e>)");

    ASSERT_TRUE(manifest && manifest->notes);
    EXPECT_EQ(manifest->notes->text, "Fixed crash\n\nAdded A\nAdded B\n");
    EXPECT_EQ(manifest->notes->spans, (std::vector<NoteSpan>{{0, 11, NoteColour::Red},
                                                             {13, 14, NoteColour::Amber},
                                                             {21, 22, NoteColour::Amber}}));
}

TEST_F(UpdateManifestTest, RedLineDirectlyBeforeTheNextSpanLosesItsLastCharacter) {
    const auto manifest =
        ReadEntries(R"(<e data="notes"><l color="r">abc</l><l color="r">def</l></e>)");

    ASSERT_TRUE(manifest && manifest->notes);
    // The next span starts at 4, so the first ends at 2; the last runs to its line's end.
    EXPECT_EQ(manifest->notes->spans,
              (std::vector<NoteSpan>{{0, 2, NoteColour::Red}, {4, 7, NoteColour::Red}}));
}

TEST_F(UpdateManifestTest, OneCharacterRedLineBeforeASpanIsEmptyNotReversed) {
    const auto manifest =
        ReadEntries(R"(<e data="notes"><l color="r">a</l><l color="y">b</l></e>)");

    ASSERT_TRUE(manifest && manifest->notes);
    EXPECT_EQ(manifest->notes->spans,
              (std::vector<NoteSpan>{{0, 0, NoteColour::Red}, {2, 3, NoteColour::Amber}}));
}

TEST_F(UpdateManifestTest, ColourWithoutTextRecordsNoSpan) {
    const auto manifest = ReadEntries(
        R"(<e data="notes"><l color="r"/><l>plain</l><l color="">x</l><l color="red">y</l></e>)");

    ASSERT_TRUE(manifest && manifest->notes);
    EXPECT_EQ(manifest->notes->text, "\nplain\nx\ny\n");
    EXPECT_EQ(manifest->notes->spans,
              (std::vector<NoteSpan>{{7, 8, NoteColour::Amber}, {9, 10, NoteColour::Red}}));
}

TEST_F(UpdateManifestTest, PositionsCountTextBoxCharactersNotBytes) {
    // "é" is two bytes, "😀" four bytes and two UTF-16 units.
    const auto manifest = ReadEntries(
        "<e data=\"notes\"><l>\xC3\xA9t\xC3\xA9</l><l color=\"y\">\xF0\x9F\x98\x80!</l></e>");

    ASSERT_TRUE(manifest && manifest->notes);
    EXPECT_EQ(manifest->notes->spans, (std::vector<NoteSpan>{{4, 6, NoteColour::Amber}}));
}

class HostileFileNameTest : public UpdateManifestTest,
                            public testing::WithParamInterface<const char*> {};

TEST_P(HostileFileNameTest, IsIgnored) {
    const auto manifest = ReadEntries(std::string("<e data=\"fileName\">") + GetParam() + "</e>");

    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->fileName, "");
}

INSTANTIATE_TEST_SUITE_P(Names, HostileFileNameTest,
                         testing::Values("../Pictavo.rar", "..\\Pictavo.rar", "/etc/passwd",
                                         "sub/Pictavo.rar", "sub\\Pictavo.rar", "C:Pictavo.rar",
                                         "C:\\Windows\\evil.exe", ".bashrc", "..", ".", "a..rar",
                                         "CON", "nul.rar", "LPT1.txt", "a.rar.", "a.rar ",
                                         "a|b.rar", "a&#9;b.rar"));

TEST_F(UpdateManifestTest, PlainFileNameReplacesAnEarlierOne) {
    const auto manifest = ReadEntries(R"(<e data="fileName">one.rar</e>
        <e data="fileName">../two.rar</e><e data="fileName">three 3.zip</e>)");

    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->fileName, "three 3.zip");
}

} // namespace
