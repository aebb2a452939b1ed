// A loopback HTTP/1.1 server for tests, running on threads inside the test
// process. Each request target is answered as the test scripted it; the
// bytes of every request are kept as they arrived on the wire.
//
//     HttpTestServer server(UPDATER_TEST_PORT);        // or 0: any free port
//     server.Serve("/soft/zevi/upt.htm", HttpResponse::Bytes(iniText));
//     server.Serve("/pkg.exe", HttpResponse::Pattern(1 << 20));
//     ... download server.Url("/pkg.exe") ...
//     std::vector<std::string> heads = server.Requests();
//
// An unscripted target is answered "404 Not Found" with a short body.
// Connections are kept alive between requests unless the response ends its
// body by closing. The destructor stops the server: it closes every
// connection, silent and stalled ones included, and joins its threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How the end of a body is made known to the client.
enum class BodyFraming {
    ContentLength,  // "Content-Length: n" (announcedLength when set)
    CloseDelimited, // no length; the server closes after the body
    Chunked,        // "Transfer-Encoding: chunked"
};

// What the server does to the connection after cutAfter body bytes.
enum class BodyCut {
    None,   // sends the whole body
    Close,  // closes gracefully
    Reset,  // aborts with a TCP reset
    Stall,  // sends nothing more but keeps the connection open
};

struct HttpResponse {
    int status = 200;
    std::string reason = "OK";
    BodyFraming framing = BodyFraming::ContentLength;
    std::vector<std::string> extraHeaders;  // full lines without CR LF

    // The body: the bytes of `body`, or, when patternLength is nonzero,
    // that many bytes of the fixed test pattern (see PatternByte).
    std::string body;
    uint64_t patternLength = 0;
    // Content-Length to announce instead of the body's true length.
    int64_t announcedLength = -1;

    bool silent = false;  // reads the request, then never answers at all
    BodyCut cut = BodyCut::None;
    uint64_t cutAfter = 0;

    // Slow trickle: the body goes out in pieces of trickleBytes with a pause
    // of trickleDelayMs after each. 0 sends in large pieces, at full speed.
    size_t trickleBytes = 0;
    unsigned trickleDelayMs = 0;

    static HttpResponse Bytes(std::string bytes);
    static HttpResponse Pattern(uint64_t length);
    static HttpResponse Status(int status, std::string reason, std::string bytes);
    static HttpResponse Silent();
};

class HttpTestServer {
public:
    // A Winsock SOCKET; kept as its integer type so that this header does
    // not pull in winsock2.h, which must come before windows.h.
    using Socket = uintptr_t;

    // Listens on 127.0.0.1:port; port 0 picks a free one. Throws
    // std::runtime_error when the port cannot be had.
    explicit HttpTestServer(unsigned short port = 0);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    unsigned short Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by target.
    std::string Url(const std::string& target) const;

    // Answers every later request for target (path and query, exactly as
    // in the request line) with response.
    void Serve(const std::string& target, const HttpResponse& response);

    // The raw bytes of each request (request line, header lines and the
    // blank line), in the order they arrived.
    std::vector<std::string> Requests() const;
    // Waits until n requests have arrived; false after timeoutMs.
    bool WaitForRequests(size_t n, unsigned timeoutMs = 20000) const;

    // Byte i of the test pattern: not periodic within 1 MB, so that a lost,
    // doubled or swapped block shows.
    static unsigned char PatternByte(uint64_t i);
    // True when the file at path holds exactly length pattern bytes.
    static bool FileHoldsPattern(const std::string& path, uint64_t length);

private:
    void AcceptLoop();
    void ServeConnection(Socket client);
    bool ReadRequestHead(Socket client, std::string& pending, std::string& head);
    bool Answer(Socket client, const std::string& target);
    bool SendBody(Socket client, const HttpResponse& response);
    bool WaitUntilReadable(Socket client) const;
    void WaitUntilStopped();
    HttpResponse ResponseFor(const std::string& target) const;

    Socket m_listener;
    unsigned short m_port = 0;
    std::atomic<bool> m_stopping{false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::map<std::string, HttpResponse> m_responses;
    std::vector<std::string> m_requests;
    std::vector<Socket> m_clients;
    std::vector<std::thread> m_connectionThreads;
    std::thread m_acceptThread;
};
