#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How the server answers one path.
struct HttpAnswer {
    enum class Length { Exact, Missing, Given };
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    std::string body{};
    int status = 200;
    std::string version = "HTTP/1.1";
    Length length = Length::Exact;
    std::string givenLength{}; // the Content-Length text with Length::Given
    // "Range: bytes=N-" gets a 206 with the bytes from N on (416 past the end).
    bool honourRange = true;
    std::vector<std::string> extraHeaders{};
    // Sends nothing at all, not even the head, until the client gives up.
    bool stallBeforeHead = false;
    // After this many body bytes: stop sending and wait until the client gives up.
    std::size_t stallAfter = kNever;
    // After this many body bytes: run `midway` on the server's thread, then send the rest.
    std::size_t pauseAfter = kNever;
    std::function<void()> midway{};
    // Close the connection after this many body bytes, whatever Content-Length said.
    std::size_t closeAfter = kNever;
};

struct HttpRequestSeen {
    std::string path;
    std::vector<std::string> headerLines; // as sent, without line ends
};

// An HTTP/1.1 server on 127.0.0.1 with an ephemeral port, one connection at a time on its own
// thread. Unknown paths get 404. Every connection is closed after its answer.
class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Serve(const std::string& path, HttpAnswer answer);
    // "http://127.0.0.1:port"
    std::string Address() const;
    std::string Url(const std::string& path) const { return Address() + path; }
    std::vector<HttpRequestSeen> Requests() const;

private:
    void Run(std::promise<int> port);
    void Answer(class QTcpSocket& socket);

    mutable std::mutex mutex_;
    std::map<std::string, HttpAnswer> answers_;
    std::vector<HttpRequestSeen> requests_;
    std::atomic<bool> stopping_{false};
    int port_ = 0;
    std::thread thread_;
};
