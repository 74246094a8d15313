#include "loopback_http_server.h"
#include "start_directory_fixture.h"
#include "update/http_downloader.h"
#include "update/varnel_download_error.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

using Report = std::pair<std::uint32_t, std::uint32_t>; // total, done

std::vector<Report> g_reports;

void RecordProgress(std::uint32_t total, std::uint32_t done) {
    g_reports.emplace_back(total, done);
}

std::string Pattern(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return text;
}

const DownloadTimeouts kQuickTimeouts{std::chrono::milliseconds(300), std::chrono::seconds(1)};

class HttpDownloaderTest : public StartDirectoryTest {
protected:
    void SetUp() override {
        StartDirectoryTest::SetUp();
        g_reports.clear();
    }

    // The message of the failure, or "" when the download succeeded.
    std::string Fetch(const std::string& path, bool overwrite, const std::string& file = "out") {
        HttpDownloader downloader;
        downloader.SetTimeouts(kQuickTimeouts);
        downloader.SetOutputFile(file);
        try {
            EXPECT_TRUE(downloader.Download(server_.Url(path), overwrite, &RecordProgress));
            return "";
        } catch (const VarnelDownloadError& error) {
            return error.message;
        }
    }

    bool Exists(const std::string& name) const {
        return std::filesystem::exists(folder_.path() / name);
    }

    LoopbackHttpServer server_;
};

TEST_F(HttpDownloaderTest, OverwriteReplacesTheFileAndAsksFromByteZero) {
    WriteText(InFolder("out"), "an older and longer file");
    server_.Serve("/file", {.body = "fresh"});

    EXPECT_EQ(Fetch("/file", true), "");

    EXPECT_EQ(ReadText(InFolder("out")), "fresh");
    EXPECT_FALSE(Exists("out.part"));
    ASSERT_EQ(server_.Requests().size(), 1u);
    const std::vector<std::string> lines = server_.Requests()[0].headerLines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Range:bytes=0-"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "User-Agent: downloader"), lines.end());
    EXPECT_EQ(g_reports, (std::vector<Report>{{5, 5}}));
}

TEST_F(HttpDownloaderTest, ResumeAsksForTheRestAndAppendsIt) {
    const std::string body = Pattern(3000);
    WriteText(InFolder("out"), body.substr(0, 1000));
    server_.Serve("/file", {.body = body});

    EXPECT_EQ(Fetch("/file", false), "");

    EXPECT_EQ(ReadText(InFolder("out")), body);
    const std::vector<std::string> lines = server_.Requests().at(0).headerLines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Range:bytes=1000-"), lines.end());
    ASSERT_FALSE(g_reports.empty());
    for (const Report& report : g_reports)
        EXPECT_EQ(report.first, 3000u) << "content length plus the bytes already there";
    EXPECT_GT(g_reports.front().second, 1000u);
    EXPECT_EQ(g_reports.back().second, 3000u);
}

TEST_F(HttpDownloaderTest, ResumeStartsAgainWhenTheServerSendsTheWholeResource) {
    const std::string body = Pattern(3000);
    WriteText(InFolder("out"), "XXXXXXXXXX");
    server_.Serve("/file", {.body = body, .honourRange = false});

    EXPECT_EQ(Fetch("/file", false), "");

    EXPECT_EQ(ReadText(InFolder("out")), body);
    ASSERT_FALSE(g_reports.empty());
    EXPECT_EQ(g_reports.back(), Report(3000, 3000));
}

TEST_F(HttpDownloaderTest, ResumeOfACompleteFileReadsNothing) {
    WriteText(InFolder("out"), "12345");
    server_.Serve("/file", {.body = "abcde", .honourRange = false});

    EXPECT_EQ(Fetch("/file", false), "");

    EXPECT_EQ(ReadText(InFolder("out")), "12345");
    EXPECT_EQ(g_reports, (std::vector<Report>{{5, 5}}));
}

TEST_F(HttpDownloaderTest, ResumeWithAnEmptyAnswerReadsNothing) {
    WriteText(InFolder("out"), "12345");
    server_.Serve("/file", {.body = "", .honourRange = false});

    EXPECT_EQ(Fetch("/file", false), "");

    EXPECT_EQ(ReadText(InFolder("out")), "12345");
    EXPECT_EQ(g_reports, (std::vector<Report>{{5, 5}}));
}

TEST_F(HttpDownloaderTest, PartialAnswerAsLongAsTheFileIsStillRead) {
    const std::string body = Pattern(2000);
    WriteText(InFolder("out"), body.substr(0, 1000));
    server_.Serve("/file", {.body = body});

    EXPECT_EQ(Fetch("/file", false), "");

    EXPECT_EQ(ReadText(InFolder("out")), body);
}

TEST_F(HttpDownloaderTest, OverwriteWithAnEmptyBodyLeavesAnEmptyFileWithoutReports) {
    WriteText(InFolder("out"), "old");
    server_.Serve("/file", {.body = ""});

    EXPECT_EQ(Fetch("/file", true), "");

    EXPECT_EQ(ReadText(InFolder("out")), "");
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(HttpDownloaderTest, ReportsEveryChunkOfAtMostTheReadBuffer) {
    const std::string body = Pattern(100000);
    server_.Serve("/file", {.body = body});

    EXPECT_EQ(Fetch("/file", true), "");

    EXPECT_EQ(ReadText(InFolder("out")), body);
    ASSERT_GE(g_reports.size(), 10u);
    std::uint32_t previous = 0;
    for (const Report& report : g_reports) {
        EXPECT_EQ(report.first, 100000u);
        EXPECT_GT(report.second, previous);
        EXPECT_LE(report.second - previous, 10240u);
        previous = report.second;
    }
    EXPECT_EQ(previous, 100000u);
}

TEST_F(HttpDownloaderTest, FollowsARedirectToTheResource) {
    server_.Serve("/old", {.status = 302, .extraHeaders = {"Location: /new"}});
    server_.Serve("/new", {.body = "moved here"});

    EXPECT_EQ(Fetch("/old", true), "");

    EXPECT_EQ(ReadText(InFolder("out")), "moved here");
}

struct FailingAnswer {
    const char* name;
    HttpAnswer answer;
    const char* message;
};

void PrintTo(const FailingAnswer& failing, std::ostream* out) {
    *out << failing.name;
}

class HttpDownloaderFailureTest : public HttpDownloaderTest,
                                  public testing::WithParamInterface<FailingAnswer> {};

TEST_P(HttpDownloaderFailureTest, ThrowsItsMessageAndKeepsTheEarlierFile) {
    WriteText(InFolder("out"), "the earlier copy");
    server_.Serve("/file", GetParam().answer);

    EXPECT_EQ(Fetch("/file", true), GetParam().message);

    EXPECT_EQ(ReadText(InFolder("out")), "the earlier copy");
    EXPECT_FALSE(Exists("out.part"));
}

const std::string kBody = Pattern(5000);

INSTANTIATE_TEST_SUITE_P(
    Answers, HttpDownloaderFailureTest,
    testing::Values(
        FailingAnswer{"NoContentLength",
                      {.body = kBody, .length = HttpAnswer::Length::Missing},
                      "HTTP Header Not Found"},
        FailingAnswer{"Http10", {.body = kBody, .version = "HTTP/1.0"}, "HTTP/1.1 not supported"},
        FailingAnswer{
            "Http10WithoutBody", {.body = "", .version = "HTTP/1.0"}, "HTTP/1.1 not supported"},
        FailingAnswer{"NotFound", {.body = "gone", .status = 404}, "Server answered 404"},
        FailingAnswer{"ServerError", {.body = "", .status = 500}, "Server answered 500"},
        FailingAnswer{"ErrorWithoutLength",
                      {.body = "x", .status = 403, .length = HttpAnswer::Length::Missing},
                      "Server answered 403"},
        FailingAnswer{
            "LengthBeyond32Bits",
            {.body = kBody, .length = HttpAnswer::Length::Given, .givenLength = "4294967296"},
            "HTTP Insufficient Buffer"},
        FailingAnswer{"LengthNotANumber",
                      {.body = kBody, .length = HttpAnswer::Length::Given, .givenLength = "12abc"},
                      "File or content length not found"},
        FailingAnswer{"LengthLongerThanBody",
                      {.body = kBody, .length = HttpAnswer::Length::Given, .givenLength = "9000"},
                      "Error occurred during download"},
        FailingAnswer{"ConnectionDropped",
                      {.body = kBody, .closeAfter = 2000},
                      "Error occurred during download"},
        FailingAnswer{"SilentServer", {.body = kBody, .stallBeforeHead = true}, "Download stalled"},
        FailingAnswer{"StalledBody", {.body = kBody, .stallAfter = 1}, "Download stalled"}),
    [](const testing::TestParamInfo<FailingAnswer>& info) { return info.param.name; });

TEST_F(HttpDownloaderTest, ShorterContentLengthEndsTheBody) {
    server_.Serve("/file",
                  {.body = kBody, .length = HttpAnswer::Length::Given, .givenLength = "100"});

    EXPECT_EQ(Fetch("/file", true), "");

    EXPECT_EQ(ReadText(InFolder("out")), kBody.substr(0, 100));
}

TEST_F(HttpDownloaderTest, ResumeKeepsWhatArrivedBeforeAFailure) {
    WriteText(InFolder("out"), kBody.substr(0, 1000));
    server_.Serve("/file", {.body = kBody, .closeAfter = 1000});

    EXPECT_EQ(Fetch("/file", false), "Error occurred during download");

    EXPECT_EQ(ReadText(InFolder("out")), kBody.substr(0, 2000));
}

TEST_F(HttpDownloaderTest, WithoutEarlierFileAFailureLeavesNoFile) {
    server_.Serve("/file", {.body = kBody, .length = HttpAnswer::Length::Missing});

    EXPECT_EQ(Fetch("/file", true), "HTTP Header Not Found");

    EXPECT_FALSE(Exists("out"));
    EXPECT_FALSE(Exists("out.part"));
}

TEST_F(HttpDownloaderTest, UnsetOutputFileFailsBeforeAnyRequest) {
    HttpDownloader downloader;
    try {
        downloader.Download(server_.Url("/file"), true, nullptr);
        FAIL() << "no error";
    } catch (const VarnelDownloadError& error) {
        EXPECT_STREQ(error.message, "Output File Not Set");
    }
    EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(HttpDownloaderTest, MissingFolderCannotBeOpened) {
    server_.Serve("/file", {.body = "x"});

    EXPECT_EQ(Fetch("/file", true, "no-such-folder/out"),
              std::string("Can't open output file: ") + std::strerror(ENOENT));
    EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(HttpDownloaderTest, ClosedPortCannotOpenTheUrl) {
    std::string closedAddress;
    {
        const LoopbackHttpServer gone;
        closedAddress = gone.Address();
    }
    HttpDownloader downloader;
    downloader.SetOutputFile("out");
    try {
        downloader.Download(closedAddress + "/file", true, nullptr);
        FAIL() << "no error";
    } catch (const VarnelDownloadError& error) {
        EXPECT_STREQ(error.message, "Can't open url");
    }
}

TEST_F(HttpDownloaderTest, UnansweredConnectTimesOut) {
    // Past its backlog the system drops new connections, so a connect waits for ever.
    QTcpServer full;
    full.setListenBacklogSize(0);
    ASSERT_TRUE(full.listen(QHostAddress::LocalHost, 0));
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    bool backlogFull = false;
    for (int i = 0; i < 8 && !backlogFull; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, full.serverPort());
        backlogFull = !fillers.back()->waitForConnected(200);
    }
    if (!backlogFull)
        GTEST_SKIP() << "this system accepts connections beyond the listen backlog";

    HttpDownloader downloader;
    downloader.SetTimeouts(kQuickTimeouts);
    downloader.SetOutputFile("out");
    try {
        downloader.Download("http://127.0.0.1:" + std::to_string(full.serverPort()) + "/file", true,
                            nullptr);
        FAIL() << "no error";
    } catch (const VarnelDownloadError& error) {
        EXPECT_STREQ(error.message, "Connection timed out");
    }
}

TEST_F(HttpDownloaderTest, FullDiskIsAWriteError) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    theSettings.StartDirectory = "/dev";
    server_.Serve("/file", {.body = Pattern(50000)});

    EXPECT_EQ(Fetch("/file", false, "full"), "Error writing file");
}

class HttpUrlTest : public HttpDownloaderTest, public testing::WithParamInterface<const char*> {};

TEST_P(HttpUrlTest, RefusesOtherSchemes) {
    HttpDownloader downloader;
    downloader.SetOutputFile("out");
    try {
        downloader.Download(GetParam(), true, nullptr);
        FAIL() << "no error";
    } catch (const VarnelDownloadError& error) {
        EXPECT_STREQ(error.message, "Must be HTTP url");
    }
    EXPECT_FALSE(Exists("out"));
}

INSTANTIATE_TEST_SUITE_P(Urls, HttpUrlTest,
                         testing::Values("", "http://", "https://example.org/x",
                                         "ftp://example.org/x", "file:///etc/passwd",
                                         "http:/127.0.0.1/x", "127.0.0.1/x"));

TEST_F(HttpDownloaderTest, SchemeLetterCaseDoesNotMatter) {
    server_.Serve("/file", {.body = "ok"});
    HttpDownloader downloader;
    downloader.SetOutputFile("out");

    EXPECT_TRUE(downloader.Download("HTTP" + server_.Url("/file").substr(4), true, nullptr));

    EXPECT_EQ(ReadText(InFolder("out")), "ok");
}

TEST(VarnelDownloadErrorTest, KeepsShortTextsAndCutsLongOnes) {
    EXPECT_STREQ(VarnelDownloadError("Can't connect").message, "Can't connect");
    const std::string longText(200, 'x');
    const VarnelDownloadError cut(longText.c_str());
    EXPECT_EQ(std::string(cut.message), longText.substr(0, 79));
}

} // namespace
