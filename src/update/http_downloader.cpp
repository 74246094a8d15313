#include "update/http_downloader.h"

#include "texture/utf8_path.h"
#include "update/start_directory_file.h"
#include "update/varnel_download_error.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

constexpr std::size_t kReadBufferSize = 10240;
constexpr long kMaxRedirects = 5;
constexpr char kPartialSuffix[] = ".part";

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

[[noreturn]] void Fail(const std::string& text) {
    throw VarnelDownloadError(text.c_str());
}

bool IsHttpUrl(std::string_view url) {
    constexpr std::string_view scheme = "http://";
    if (url.size() <= scheme.size())
        return false;
    return std::equal(scheme.begin(), scheme.end(), url.begin(), [](char expected, char given) {
        return expected == std::tolower(static_cast<unsigned char>(given));
    });
}

bool NetworkLibraryReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

long ResponseStatus(CURL* request) {
    long status = 0;
    curl_easy_getinfo(request, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

std::uint32_t ParseContentLength(const char* value) {
    if (*value == '\0')
        Fail("File or content length not found");
    std::uint64_t length = 0;
    for (const char* digit = value; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9')
            Fail("File or content length not found");
        length = length * 10 + static_cast<std::uint64_t>(*digit - '0');
        // The length is a 32-bit count; a bigger one does not fit its buffer.
        if (length > UINT32_MAX)
            Fail("HTTP Insufficient Buffer");
    }
    return static_cast<std::uint32_t>(length);
}

std::uint32_t ContentLengthOf(CURL* request) {
    curl_header* header = nullptr;
    // Request -1: the last answer, after any redirect.
    switch (curl_easy_header(request, "Content-Length", 0, CURLH_HEADER, -1, &header)) {
    case CURLHE_OK:
        return ParseContentLength(header->value);
    case CURLHE_MISSING:
    case CURLHE_NOHEADERS:
        Fail("HTTP Header Not Found");
    default:
        Fail("File or content length not found");
    }
}

std::uint32_t Saturated(std::uint64_t count) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(count, UINT32_MAX));
}

} // namespace

// The state of one request while libcurl runs it. libcurl hands us the body in callbacks, so
// the checks on the answer run when its first bytes arrive (or at the end for an empty body).
class HttpDownloader::Transfer {
public:
    Transfer(HttpDownloader& owner, CURL* request, bool overwrite, int startOffset,
             DownloadProgressFn progress)
        : owner_(owner), request_(request), overwrite_(overwrite),
          startOffset_(static_cast<std::uint32_t>(startOffset)), progress_(progress) {}

    bool Configure(const std::string& url, curl_slist* headers, const DownloadTimeouts& limits) {
        CURL* r = request_;
        return curl_easy_setopt(r, CURLOPT_URL, url.c_str()) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_USERAGENT, "downloader") == CURLE_OK &&
               // Direct access, whatever proxy the environment names.
               curl_easy_setopt(r, CURLOPT_PROXY, "") == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_REDIR_PROTOCOLS_STR, "http") == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_BUFFERSIZE, static_cast<long>(kReadBufferSize)) ==
                   CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_CONNECTTIMEOUT_MS,
                                static_cast<long>(limits.connect.count())) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_LOW_SPEED_TIME,
                                static_cast<long>(limits.stall.count())) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_WRITEFUNCTION, &Transfer::OnBody) == CURLE_OK &&
               curl_easy_setopt(r, CURLOPT_WRITEDATA, this) == CURLE_OK;
    }

    void Run() {
        const CURLcode code = curl_easy_perform(request_);
        if (error_)
            throw *error_;
        if (phase_ == Phase::Skipping)
            return; // we stopped the transfer ourselves
        if (code != CURLE_OK)
            ThrowFailure(code);
        if (phase_ == Phase::AwaitingBody)
            BeginBody(); // an empty body: the checks on the answer still apply
    }

private:
    enum class Phase { AwaitingBody, Reading, Skipping };

    struct Answer {
        long status;
        std::uint32_t contentLength;
    };

    static std::size_t OnBody(char* data, std::size_t, std::size_t size, void* self) {
        auto& transfer = *static_cast<Transfer*>(self);
        // Nothing may unwind through libcurl: keep the error and stop the transfer.
        try {
            if (transfer.phase_ == Phase::AwaitingBody)
                transfer.BeginBody();
            if (transfer.phase_ == Phase::Skipping)
                return CURL_WRITEFUNC_ERROR;
            transfer.Receive(data, size);
            return size;
        } catch (const VarnelDownloadError& error) {
            transfer.error_ = error;
        } catch (const std::exception&) {
            transfer.error_ = VarnelDownloadError("Error writing file");
        }
        return CURL_WRITEFUNC_ERROR;
    }

    Answer CheckAnswer() const {
        if (!CheckHttpVersion(request_))
            Fail("HTTP/1.1 not supported");
        const long status = ResponseStatus(request_);
        // An error page is not the resource.
        if (status >= 400)
            Fail("Server answered " + std::to_string(status));
        return {status, ContentLengthOf(request_)};
    }

    void BeginBody() {
        const Answer answer = CheckAnswer();
        contentLength_ = answer.contentLength;
        const bool partial = answer.status == 206;
        // A whole resource as long as the file already is: the file is complete. A partial
        // answer of that length is the rest of it and is read.
        const bool nothingToRead =
            contentLength_ == 0 || (contentLength_ == startOffset_ && !partial);
        if (!overwrite_ && nothingToRead) {
            phase_ = Phase::Skipping;
            Report(startOffset_, startOffset_);
            return;
        }
        if (startOffset_ > 0 && !partial) {
            // The server ignored the range and sends everything: start the file again.
            owner_.output_.close();
            owner_.OpenOutputFile(true);
            startOffset_ = 0;
        }
        phase_ = Phase::Reading;
    }

    void Receive(const char* data, std::size_t size) {
        while (size > 0) {
            const std::size_t chunk = std::min(size, kReadBufferSize);
            owner_.WriteChunk(data, chunk);
            received_ += chunk;
            Report(Saturated(std::uint64_t{contentLength_} + startOffset_),
                   Saturated(startOffset_ + received_));
            data += chunk;
            size -= chunk;
        }
    }

    void Report(std::uint32_t total, std::uint32_t done) const {
        if (progress_)
            progress_(total, done);
    }

    [[noreturn]] void ThrowFailure(CURLcode code) const {
        if (code == CURLE_OPERATION_TIMEDOUT) {
            curl_off_t connectTime = 0;
            curl_easy_getinfo(request_, CURLINFO_CONNECT_TIME_T, &connectTime);
            Fail(connectTime > 0 ? "Download stalled" : "Connection timed out");
        }
        if (ResponseStatus(request_) == 0)
            Fail("Can't open url");
        // A broken answer names its own fault before the broken transfer does.
        if (phase_ == Phase::AwaitingBody)
            CheckAnswer();
        Fail("Error occurred during download");
    }

    HttpDownloader& owner_;
    CURL* request_;
    bool overwrite_;
    std::uint32_t startOffset_;
    DownloadProgressFn progress_;
    Phase phase_ = Phase::AwaitingBody;
    std::uint32_t contentLength_ = 0;
    std::uint64_t received_ = 0;
    std::optional<VarnelDownloadError> error_;
};

void HttpDownloader::SetOutputFile(std::string fileName) {
    outputPath_ = pictavo::StartDirectoryFile(fileName);
}

bool HttpDownloader::Download(std::string url, bool overwrite, DownloadProgressFn progress) {
    if (outputPath_.empty())
        Fail("Output File Not Set");
    if (!IsHttpUrl(url))
        Fail("Must be HTTP url");
    try {
        const int startOffset = OpenOutputFile(overwrite);
        if (!NetworkLibraryReady())
            Fail("Can't connect");
        const EasyHandle request(curl_easy_init(), &curl_easy_cleanup);
        if (!request)
            Fail("Can't open connection");
        char range[32];
        std::snprintf(range, sizeof range, "Range:bytes=%d-", startOffset);
        const HeaderList headers(curl_slist_append(nullptr, range), &curl_slist_free_all);
        Transfer transfer(*this, request.get(), overwrite, startOffset, progress);
        if (!headers || !transfer.Configure(url, headers.get(), timeouts_))
            Fail("Can't open url");
        transfer.Run();
        FinishOutput();
    } catch (...) {
        AbandonOutput();
        throw;
    }
    return true;
}

int HttpDownloader::OpenOutputFile(bool overwrite) {
    replaceOnSuccess_ = overwrite;
    writingPath_ = overwrite ? outputPath_ + kPartialSuffix : outputPath_;
    errno = 0;
    output_.open(pictavo::PathOf(writingPath_),
                 overwrite ? std::ios::binary | std::ios::out | std::ios::trunc
                           : std::ios::binary | std::ios::app);
    if (!output_.is_open()) {
        replaceOnSuccess_ = false; // nothing was created
        Fail(std::string("Can't open output file: ") + std::strerror(errno));
    }
    if (overwrite)
        return 0;
    output_.seekp(0, std::ios::end);
    const std::streamoff size = output_.tellp();
    // The resume offset is a signed 32-bit number.
    if (size < 0 || size > INT_MAX)
        Fail(std::string("Can't open output file: ") + std::strerror(EFBIG));
    return static_cast<int>(size);
}

bool HttpDownloader::CheckHttpVersion(CURL* request) {
    long version = CURL_HTTP_VERSION_NONE;
    if (curl_easy_getinfo(request, CURLINFO_HTTP_VERSION, &version) != CURLE_OK)
        return false;
    // libcurl has read the status line; HTTP/1.0, 0.9 and 2 are all refused.
    return version == CURL_HTTP_VERSION_1_1;
}

void HttpDownloader::WriteChunk(const char* data, std::size_t size) {
    output_.write(data, static_cast<std::streamsize>(size));
    if (!output_.good())
        Fail("Error writing file");
}

void HttpDownloader::FinishOutput() {
    // The last buffered bytes reach the disk here; a file that misses them is not a success.
    output_.flush();
    const bool written = output_.good();
    output_.close();
    if (!written)
        Fail("Error writing file");
    if (replaceOnSuccess_) {
        std::error_code error;
        std::filesystem::rename(pictavo::PathOf(writingPath_), pictavo::PathOf(outputPath_), error);
        if (error)
            Fail("Error writing file");
        replaceOnSuccess_ = false;
    }
}

void HttpDownloader::AbandonOutput() {
    if (output_.is_open())
        output_.close();
    if (replaceOnSuccess_) {
        std::error_code ignored;
        std::filesystem::remove(pictavo::PathOf(writingPath_), ignored);
        replaceOnSuccess_ = false;
    }
}
