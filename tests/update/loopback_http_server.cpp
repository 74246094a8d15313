#include "loopback_http_server.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>

namespace {

constexpr int kPollMilliseconds = 10;
// A test client that neither finishes its request nor disconnects is given up on.
constexpr int kGiveUpMilliseconds = 10000;

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The N of "Range: bytes=N-" in any spelling of the header name and spacing.
std::optional<std::size_t> RangeStart(const std::vector<std::string>& headerLines) {
    for (const std::string& line : headerLines) {
        const std::string lower = Lowercase(line);
        if (lower.rfind("range:", 0) != 0)
            continue;
        const std::size_t equals = lower.find("bytes=");
        if (equals == std::string::npos)
            return std::nullopt;
        return std::stoull(lower.substr(equals + 6));
    }
    return std::nullopt;
}

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 416:
        return "Range Not Satisfiable";
    default:
        return "Status";
    }
}

bool ClientGone(QTcpSocket& socket) {
    return socket.state() != QAbstractSocket::ConnectedState;
}

void WaitUntilClientGone(QTcpSocket& socket, const std::atomic<bool>& stopping) {
    QElapsedTimer waited;
    waited.start();
    while (!stopping && !ClientGone(socket) && waited.elapsed() < kGiveUpMilliseconds) {
        socket.waitForReadyRead(kPollMilliseconds);
        socket.readAll();
    }
}

bool Send(QTcpSocket& socket, const std::string& bytes) {
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    while (socket.bytesToWrite() > 0 && !ClientGone(socket))
        socket.waitForBytesWritten(kPollMilliseconds);
    return !ClientGone(socket);
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    std::promise<int> port;
    std::future<int> ready = port.get_future();
    thread_ = std::thread(&LoopbackHttpServer::Run, this, std::move(port));
    port_ = ready.get();
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    thread_.join();
}

void LoopbackHttpServer::Serve(const std::string& path, HttpAnswer answer) {
    const std::lock_guard lock(mutex_);
    answers_[path] = std::move(answer);
}

std::string LoopbackHttpServer::Address() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<HttpRequestSeen> LoopbackHttpServer::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::Run(std::promise<int> port) {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        port.set_value(0);
        return;
    }
    port.set_value(server.serverPort());
    while (!stopping_) {
        if (!server.waitForNewConnection(kPollMilliseconds))
            continue;
        QTcpSocket* socket = server.nextPendingConnection();
        Answer(*socket);
        socket->abort();
        delete socket;
    }
}

void LoopbackHttpServer::Answer(QTcpSocket& socket) {
    std::string head;
    QElapsedTimer waited;
    waited.start();
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (stopping_ || ClientGone(socket) || waited.elapsed() > kGiveUpMilliseconds)
            return;
        socket.waitForReadyRead(kPollMilliseconds);
        head += socket.readAll().toStdString();
    }

    HttpRequestSeen request;
    std::istringstream lines(head.substr(0, head.find("\r\n\r\n")));
    std::string line;
    std::getline(lines, line);
    const std::size_t pathStart = line.find(' ') + 1;
    request.path = line.substr(pathStart, line.find(' ', pathStart) - pathStart);
    while (std::getline(lines, line))
        request.headerLines.push_back(line.substr(0, line.find('\r')));

    HttpAnswer answer;
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        const auto found = answers_.find(request.path);
        if (found == answers_.end()) {
            answer.status = 404;
            answer.body = "not found";
        } else {
            answer = found->second;
        }
    }
    if (answer.stallBeforeHead) {
        WaitUntilClientGone(socket, stopping_);
        return;
    }

    std::string body = answer.body;
    int status = answer.status;
    std::vector<std::string> headers = answer.extraHeaders;
    const std::optional<std::size_t> rangeStart = RangeStart(request.headerLines);
    if (answer.honourRange && rangeStart && *rangeStart > 0) {
        const std::string whole = std::to_string(body.size());
        if (*rangeStart < body.size()) {
            status = 206;
            headers.push_back("Content-Range: bytes " + std::to_string(*rangeStart) + "-" +
                              std::to_string(body.size() - 1) + "/" + whole);
            body = body.substr(*rangeStart);
        } else {
            status = 416;
            headers.push_back("Content-Range: bytes */" + whole);
            body.clear();
        }
    }
    if (answer.length == HttpAnswer::Length::Exact)
        headers.push_back("Content-Length: " + std::to_string(body.size()));
    else if (answer.length == HttpAnswer::Length::Given)
        headers.push_back("Content-Length: " + answer.givenLength);
    headers.push_back("Connection: close");

    std::string response =
        answer.version + " " + std::to_string(status) + " " + Reason(status) + "\r\n";
    for (const std::string& header : headers)
        response += header + "\r\n";
    response += "\r\n";
    if (!Send(socket, response))
        return;

    const std::size_t stop = std::min({answer.stallAfter, answer.closeAfter, body.size()});
    std::size_t sent = 0;
    if (answer.midway && answer.pauseAfter < stop) {
        if (!Send(socket, body.substr(0, answer.pauseAfter)))
            return;
        answer.midway();
        sent = answer.pauseAfter;
    }
    if (!Send(socket, body.substr(sent, stop - sent)))
        return;
    if (answer.stallAfter < std::min(answer.closeAfter, body.size())) {
        WaitUntilClientGone(socket, stopping_);
        return;
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(1000);
}
