#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/support/HttpTestServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

// A prime, so that the pattern never lines up with block or buffer sizes.
constexpr size_t kPatternPeriod = 1048583;
constexpr size_t kSendPiece = 65536;
const char kHeadEnd[] = "\r\n\r\n";

const std::vector<unsigned char>& PatternTable()
{
    static const std::vector<unsigned char> table = [] {
        std::vector<unsigned char> bytes(kPatternPeriod);
        uint32_t state = 2463534242u;
        for (unsigned char& b : bytes) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            b = static_cast<unsigned char>(state >> 24);
        }
        return bytes;
    }();
    return table;
}

bool SendAll(SOCKET s, const char* data, size_t length)
{
    while (length > 0) {
        int chunk = static_cast<int>(std::min(length, kSendPiece));
        int sent = send(s, data, chunk, 0);
        if (sent <= 0)
            return false;
        data += sent;
        length -= static_cast<size_t>(sent);
    }
    return true;
}

bool SendText(SOCKET s, const std::string& text)
{
    return SendAll(s, text.data(), text.size());
}

uint64_t BodyLength(const HttpResponse& r)
{
    return r.patternLength != 0 ? r.patternLength : r.body.size();
}

// Points at up to `wanted` body bytes starting at offset.
const char* BodyBytes(const HttpResponse& r, uint64_t offset, size_t& wanted)
{
    if (r.patternLength == 0) {
        wanted = static_cast<size_t>(std::min<uint64_t>(wanted, r.body.size() - offset));
        return r.body.data() + offset;
    }
    size_t start = static_cast<size_t>(offset % kPatternPeriod);
    wanted = std::min(wanted, kPatternPeriod - start);
    wanted = static_cast<size_t>(std::min<uint64_t>(wanted, r.patternLength - offset));
    return reinterpret_cast<const char*>(PatternTable().data()) + start;
}

std::string ResponseHead(const HttpResponse& r)
{
    std::string head = "HTTP/1.1 " + std::to_string(r.status) + " " + r.reason + "\r\n";
    switch (r.framing) {
    case BodyFraming::ContentLength: {
        uint64_t length = r.announcedLength >= 0 ? static_cast<uint64_t>(r.announcedLength)
                                                 : BodyLength(r);
        head += "Content-Length: " + std::to_string(length) + "\r\n";
        break;
    }
    case BodyFraming::CloseDelimited:
        head += "Connection: close\r\n";
        break;
    case BodyFraming::Chunked:
        head += "Transfer-Encoding: chunked\r\n";
        break;
    }
    for (const std::string& line : r.extraHeaders)
        head += line + "\r\n";
    return head + "\r\n";
}

// Makes the coming closesocket send a reset instead of a graceful close.
void AbortOnClose(SOCKET s)
{
    linger abortive{1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive), sizeof abortive);
}

std::string RequestTarget(const std::string& head)
{
    size_t start = head.find(' ');
    if (start == std::string::npos)
        return std::string();
    size_t end = head.find(' ', start + 1);
    return head.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

}  // namespace

HttpResponse HttpResponse::Bytes(std::string bytes)
{
    HttpResponse r;
    r.body = std::move(bytes);
    return r;
}

HttpResponse HttpResponse::Pattern(uint64_t length)
{
    HttpResponse r;
    r.patternLength = length;
    return r;
}

HttpResponse HttpResponse::Status(int status, std::string reason, std::string bytes)
{
    HttpResponse r = Bytes(std::move(bytes));
    r.status = status;
    r.reason = std::move(reason);
    return r;
}

HttpResponse HttpResponse::Silent()
{
    HttpResponse r;
    r.silent = true;
    return r;
}

HttpTestServer::HttpTestServer(unsigned short port) : m_listener(INVALID_SOCKET)
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        throw std::runtime_error("WSAStartup failed");
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;  // earlier servers on this port leave TIME_WAIT behind
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, SOMAXCONN) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        int error = WSAGetLastError();
        closesocket(m_listener);
        WSACleanup();
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) +
                                 ", error " + std::to_string(error));
    }
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread(&HttpTestServer::AcceptLoop, this);
}

HttpTestServer::~HttpTestServer()
{
    m_stopping = true;
    closesocket(m_listener);
    m_acceptThread.join();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (Socket s : m_clients)
            shutdown(s, SD_BOTH);
        m_changed.notify_all();
    }
    for (std::thread& t : m_connectionThreads)
        t.join();
    WSACleanup();
}

std::string HttpTestServer::Url(const std::string& target) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + target;
}

void HttpTestServer::Serve(const std::string& target, const HttpResponse& response)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responses[target] = response;
}

std::vector<std::string> HttpTestServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

bool HttpTestServer::WaitForRequests(size_t n, unsigned timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_requests.size() >= n; });
}

unsigned char HttpTestServer::PatternByte(uint64_t i)
{
    return PatternTable()[static_cast<size_t>(i % kPatternPeriod)];
}

bool HttpTestServer::FileHoldsPattern(const std::string& path, uint64_t length)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::vector<unsigned char> buffer(kSendPiece);
    uint64_t offset = 0;
    bool same = true;
    while (same) {
        size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n == 0)
            break;
        for (size_t i = 0; i < n && same; ++i)
            same = offset + i < length && buffer[i] == PatternByte(offset + i);
        offset += n;
    }
    std::fclose(file);
    return same && offset == length;
}

void HttpTestServer::AcceptLoop()
{
    for (;;) {
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;  // the listener was closed: the server is stopping
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            closesocket(client);
            return;
        }
        m_clients.push_back(client);
        m_connectionThreads.emplace_back(&HttpTestServer::ServeConnection, this, client);
    }
}

void HttpTestServer::ServeConnection(Socket client)
{
    std::string pending;
    std::string head;
    bool open = true;
    while (open && !m_stopping && ReadRequestHead(client, pending, head))
        open = Answer(client, RequestTarget(head));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clients.erase(std::find(m_clients.begin(), m_clients.end(), client));
    closesocket(client);
}

// Reads up to the blank line that ends a request head, and records it.
// Requests without a body are all this server expects.
bool HttpTestServer::ReadRequestHead(Socket client, std::string& pending, std::string& head)
{
    size_t end;
    while ((end = pending.find(kHeadEnd)) == std::string::npos) {
        if (!WaitUntilReadable(client))
            return false;
        char buffer[4096];
        int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        pending.append(buffer, static_cast<size_t>(n));
    }
    head = pending.substr(0, end + 4);
    pending.erase(0, end + 4);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(head);
    m_changed.notify_all();
    return true;
}

HttpResponse HttpTestServer::ResponseFor(const std::string& target) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_responses.find(target);
    if (it != m_responses.end())
        return it->second;
    return HttpResponse::Status(404, "Not Found", "<html>not found</html>");
}

// Sends the scripted answer; false when the connection is to be closed.
bool HttpTestServer::Answer(Socket client, const std::string& target)
{
    HttpResponse response = ResponseFor(target);
    if (response.silent) {
        WaitUntilStopped();
        return false;
    }
    if (!SendText(client, ResponseHead(response)) || !SendBody(client, response))
        return false;
    switch (response.cut) {
    case BodyCut::Close:
        break;
    case BodyCut::Reset:
        AbortOnClose(client);
        return false;
    case BodyCut::Stall:
        WaitUntilStopped();
        return false;
    case BodyCut::None:
        return response.framing != BodyFraming::CloseDelimited;
    }
    shutdown(client, SD_SEND);
    return true;  // the client's close ends the connection's loop
}

// Sends the body up to its end or its cut; false when the client has gone.
bool HttpTestServer::SendBody(Socket client, const HttpResponse& response)
{
    uint64_t length = BodyLength(response);
    if (response.cut != BodyCut::None)
        length = std::min(length, response.cutAfter);
    const bool chunked = response.framing == BodyFraming::Chunked;
    const size_t piece = response.trickleBytes != 0 ? response.trickleBytes : kSendPiece;
    for (uint64_t offset = 0; offset < length && !m_stopping;) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(piece, length - offset));
        const char* bytes = BodyBytes(response, offset, n);
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", n);
        if ((chunked && !SendText(client, size)) || !SendAll(client, bytes, n) ||
            (chunked && !SendText(client, "\r\n")))
            return false;
        offset += n;
        if (response.trickleDelayMs != 0)
            Sleep(response.trickleDelayMs);
    }
    if (chunked && response.cut == BodyCut::None)
        return SendText(client, "0\r\n\r\n");
    return true;
}

// Waits for bytes or a close from the client, looking at m_stopping now
// and then: a client may keep an idle connection open for a minute.
bool HttpTestServer::WaitUntilReadable(Socket client) const
{
    while (!m_stopping) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        timeval pause{0, 50000};
        int ready = select(0, &readable, nullptr, nullptr, &pause);
        if (ready != 0)
            return ready > 0;
    }
    return false;
}

void HttpTestServer::WaitUntilStopped()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stopping.load(); });
}
