#include "app/export_listed_dlg.h"
#include "app_test_support.h"
#include "archive/zip_archive.h"
#include "convert/convert_batch.h"
#include "image_files.h"
#include "pictures.h"
#include "texture/pixel_format.h"
#include "texture/texture_reader.h"
#include "zip_builder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace pictavo::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 60000;

RgbaImage DecodeFirstLevel(const Bytes& bytes) {
    Texture texture;
    EXPECT_EQ(ReadTexture(bytes, texture), TextureError::kNone);
    RgbaImage image;
    EXPECT_TRUE(DecodeImage(texture, 0, 0, image));
    return image;
}

// What the export of `image` wrote at `output` shows the source's first level.
void ExpectSamePixels(const ImageLocation& image, const fs::path& output) {
    Bytes source;
    ASSERT_EQ(Why(ReadImageBytes(image, source)), "");
    const RgbaImage expected = DecodeFirstLevel(source);
    const RgbaImage written = ReadPicture(output);
    EXPECT_EQ(written.width, expected.width) << output;
    EXPECT_EQ(written.height, expected.height) << output;
    EXPECT_EQ(written.pixels, expected.pixels) << output;
}

// A game's loose file and archive: the loose wall.iwi, and in iw_00.iwd another wall.iwi, a
// rock, a texture cut short, and an entry the archive does not have.
class ExportListedTest : public AppDoublesTest {
protected:
    ExportListedTest() {
        const fs::path raw = dir.path() / "raw" / "images";
        fs::create_directories(raw);
        WriteBytes(raw / "wall.iwi", MakeIwi({6, 11, 32, 16, 3}));
        Bytes cut = MakeIwi({6, 13, 64, 64, 1});
        cut.resize(cut.size() / 2);
        const fs::path archive = dir.path() / "main" / "iw_00.iwd";
        fs::create_directories(archive.parent_path());
        WriteZip(archive, {{"images/wall.iwi", MakeIwi({6, 13, 16, 16, 1})},
                           {"images/rock.iwi", MakeIwi({6, 12, 64, 32, 2})},
                           {"images/cut.iwi", cut}});
        images = {{"wall.iwi", (raw / "wall.iwi").string(), {}, {}},
                  {"wall.iwi", {}, archive.string(), "images/wall.iwi"},
                  {"rock.iwi", {}, archive.string(), "images/rock.iwi"},
                  {"gone.iwi", {}, archive.string(), "images/gone.iwi"},
                  {"cut.iwi", {}, archive.string(), "images/cut.iwi"}};
    }

    TempDir dir;
    fs::path out = dir.path() / "out";
    std::vector<ImageLocation> images;
};

TEST_F(ExportListedTest, EveryReadableImageConvertsWhateverFailsBesideIt) {
    const ExportPlan plan = PlanExport(images, out.string(), ".png");
    EXPECT_EQ(plan.renamed, std::vector<std::size_t>{1});
    BatchRun run;
    run.jobs = 2;
    run.read = [this](std::size_t i, std::vector<std::uint8_t>& bytes) {
        return ReadImageBytes(images[i], bytes);
    };
    std::vector<FileOutcome> outcomes;
    run.deliver = [&](std::size_t, const FileOutcome& outcome) { outcomes.push_back(outcome); };
    ConvertSettings settings;
    settings.target = Target::kPng;

    ASSERT_EQ(ConvertBatch(plan.files, settings, run), images.size());
    using Status = FileOutcome::Status;
    const Status expected[] = {Status::kConverted, Status::kConverted, Status::kConverted,
                               Status::kFailed, Status::kFailed};
    for (std::size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(DisplayName(images[i]));
        EXPECT_EQ(outcomes[i].status, expected[i]) << outcomes[i].message;
        EXPECT_EQ(outcomes[i].message.empty(), expected[i] == Status::kConverted);
    }
    std::vector<std::string> names;
    for (const auto& [name, bytes] : Tree(out)) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"rock.png", "wall (iw_00).png", "wall.png"}));
    ExpectSamePixels(images[0], out / "wall.png");
    ExpectSamePixels(images[1], out / "wall (iw_00).png");
    ExpectSamePixels(images[2], out / "rock.png");
}

// Call of Duty 2 and Black Ops II textures and the DDS block formats export as pictures of
// their first level, and DDS-only formats as DDS again.
TEST_F(ExportListedTest, NewKindsExportAsPicturesAndDds) {
    const fs::path folder = dir.path() / "mod";
    fs::create_directories(folder);
    WriteBytes(folder / "cod2.iwi", MakeIwi({5, 13, 16, 8, 5}));
    WriteBytes(folder / "bo2.iwi", MakeIwi({27, 1, 8, 4, 4}));
    WriteBytes(folder / "normals.dds", MakeDds({FourCCOf("ATI2"), kFormatBc5, 8, 8, 4}));
    const std::vector<ImageLocation> listed = {
        {"cod2.iwi", (folder / "cod2.iwi").string(), {}, {}},
        {"bo2.iwi", (folder / "bo2.iwi").string(), {}, {}},
        {"normals.dds", (folder / "normals.dds").string(), {}, {}}};
    for (const auto& [target, extension] :
         {std::pair<Target, const char*>{Target::kPng, ".png"}, {Target::kDds, ".dds"}}) {
        SCOPED_TRACE(extension);
        const ExportPlan plan = PlanExport(listed, out.string(), extension);
        BatchRun run;
        run.read = [&](std::size_t i, std::vector<std::uint8_t>& bytes) {
            return ReadImageBytes(listed[i], bytes);
        };
        std::vector<FileOutcome> outcomes;
        run.deliver = [&](std::size_t, const FileOutcome& outcome) { outcomes.push_back(outcome); };
        ConvertSettings settings;
        settings.target = target;
        ASSERT_EQ(ConvertBatch(plan.files, settings, run), listed.size());
        for (const FileOutcome& outcome : outcomes) {
            EXPECT_EQ(outcome.status, FileOutcome::Status::kConverted) << outcome.message;
        }
    }
    for (const ImageLocation& image : listed) {
        const std::string stem = fs::path(image.name).stem().string();
        ExpectSamePixels(image, out / (stem + ".png"));
        EXPECT_EQ(DecodeFirstLevel(ReadBytes(out / (stem + ".dds"))).pixels,
                  ReadPicture(out / (stem + ".png")).pixels)
            << stem;
    }
}

TEST_F(ExportListedTest, DialogExportsIntoTheChosenFolderAndSumsUp) {
    fs::create_directories(out);
    WriteBytes(out / "rock.tga", {'k', 'e', 'e', 'p'});
    ExportListedDlg dialog(images, ReadImageBytes);
    dialog.jobs = 2;
    dialog.show();
    browser.answer = out.string();
    Click(dialog, ExportListedDlg::kBrowse);
    QComboBox& type = *FindControl<QComboBox>(dialog, ExportListedDlg::kType);
    type.setCurrentIndex(type.findText("TGA"));
    Click(dialog, ExportListedDlg::kExport);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }, kWaitMs));

    ASSERT_EQ(browser.requests.size(), 1u);
    EXPECT_EQ(browser.requests[0].owner, &dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(boxes.shown.size(), 1u);
    const MessageBoxRequest& box = boxes.shown[0];
    EXPECT_EQ(box.owner, &dialog);
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    for (const char* part : {"2 converted, 1 skipped, 2 failed",
                             "Files already in the folder are kept: 1 image was skipped",
                             "wall.iwi in iw_00.iwd as wall (iw_00).tga",
                             "\ngone.iwi in iw_00.iwd: ", "\ncut.iwi in iw_00.iwd: "}) {
        EXPECT_NE(box.text.find(part), std::string::npos) << part << " in\n" << box.text;
    }
    const auto written = Tree(out);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written.at("rock.tga"), (Bytes{'k', 'e', 'e', 'p'}));
    ExpectSamePixels(images[0], out / "wall.tga");
    ExpectSamePixels(images[1], out / "wall (iw_00).tga");
}

// A folder that names an archive gets the images as its entries, in one rewrite: the entries
// not exported stay as they were stored, one of an image's name is kept.
TEST_F(ExportListedTest, DialogExportsIntoAModsArchive) {
    const fs::path archive = dir.path() / "mod.iwd";
    WriteZip(archive, {{"images/rock.png", {'k', 'e', 'e', 'p'}}, {"sound/x.wav", Bytes(500, 3)}});
    const auto before = RawZipEntries(archive);
    ExportListedDlg dialog(images, ReadImageBytes);
    dialog.jobs = 2;
    dialog.show();
    FindControl<QLineEdit>(dialog, ExportListedDlg::kFolder)
        ->setText(QString::fromStdString(archive.string()));
    QComboBox& type = *FindControl<QComboBox>(dialog, ExportListedDlg::kType);
    type.setCurrentIndex(type.findText("PNG"));
    Click(dialog, ExportListedDlg::kExport);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }, kWaitMs));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("2 converted, 1 skipped, 2 failed"), std::string::npos)
        << boxes.shown[0].text;

    const auto after = RawZipEntries(archive);
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after.at("images/rock.png"), before.at("images/rock.png"));
    EXPECT_EQ(after.at("sound/x.wav"), before.at("sound/x.wav"));
    ZipArchive zip;
    ASSERT_EQ(Why(zip.Open(archive.string())), "");
    for (const auto& [entry, image] : {std::pair<const char*, std::size_t>{"images/wall.png", 0},
                                       {"images/wall (iw_00).png", 1}}) {
        Bytes bytes;
        ASSERT_EQ(Why(zip.Read(*zip.Find(entry), bytes)), "") << entry;
        WriteBytes(dir.path() / "entry.png", bytes);
        ExpectSamePixels(images[image], dir.path() / "entry.png");
    }
    // Nothing is left beside the archive.
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}),
              4); // raw, main, mod.iwd, entry.png
}

// "Existing files are kept" holds for a file that arrives while its image is being read: it is
// kept byte for byte and counted as skipped.
TEST_F(ExportListedTest, AFileThatArrivesDuringTheExportIsKept) {
    fs::create_directories(out);
    const Bytes theirs = {'t', 'h', 'e', 'i', 'r', 's'};
    ExportListedDlg dialog(images,
                           [&](const ImageLocation& image, std::vector<std::uint8_t>& bytes) {
                               if (image.name == "rock.iwi")
                                   WriteBytes(out / "rock.png", theirs);
                               return ReadImageBytes(image, bytes);
                           });
    dialog.jobs = 1;
    dialog.show();
    browser.answer = out.string();
    Click(dialog, ExportListedDlg::kBrowse);
    QComboBox& type = *FindControl<QComboBox>(dialog, ExportListedDlg::kType);
    type.setCurrentIndex(type.findText("PNG"));
    Click(dialog, ExportListedDlg::kExport);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }, kWaitMs));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("2 converted, 1 skipped, 2 failed"), std::string::npos)
        << boxes.shown[0].text;
    EXPECT_EQ(ReadBytes(out / "rock.png"), theirs);
    EXPECT_EQ(Tree(out).size(), 3u);
}

TEST_F(ExportListedTest, CancelStopsAfterTheFileInProgressAndLeavesOnlyWholeFiles) {
    std::vector<ImageLocation> many;
    const fs::path folder = dir.path() / "many";
    fs::create_directories(folder);
    for (int i = 0; i < 8; ++i) {
        const std::string name = "p" + std::to_string(i) + ".iwi";
        WriteBytes(folder / name, MakeIwi({6, 11, 16 + 8 * i, 16, 1}));
        many.push_back({name, (folder / name).string(), {}, {}});
    }
    QWidget owner;
    owner.show();
    ExportRun run(&owner, many, out.string(), Target::kPng, ReadImageBytes);
    bool finished = false;
    QObject::connect(&run, &ExportRun::Finished, [&] { finished = true; });
    // Clicks Cancel as the first file is done, and holds the worker until the click is in.
    run.afterFile = [&run](std::size_t done) {
        if (done == 1) {
            QProgressDialog* progress = run.Progress();
            QMetaObject::invokeMethod(
                progress, [progress] { progress->findChild<QPushButton*>()->click(); },
                Qt::BlockingQueuedConnection);
        }
    };
    run.Start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, kWaitMs));

    const RunSummary& summary = run.Report().Summary();
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.converted, 1u);
    EXPECT_EQ(summary.notStarted, 7u);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("stopped, 7 not started"), std::string::npos)
        << boxes.shown[0].text;
    const auto written = Tree(out);
    ASSERT_EQ(written.size(), 1u); // no temporary file beside it
    EXPECT_EQ(written.begin()->first, "p0.png");
    ExpectSamePixels(many[0], out / "p0.png");
}

} // namespace
} // namespace pictavo::testing
