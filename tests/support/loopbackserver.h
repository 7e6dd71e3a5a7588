// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>
#include <httplib.h>
#include <string>
#include <thread>

namespace nuvio::test {

// An HTTP server on 127.0.0.1 with an ephemeral port, for the length of a test.
class LoopbackServer
{
public:
    explicit LoopbackServer(const std::string& host = "127.0.0.1");
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& server() { return m_server; }
    // Call after the handlers are set.
    void start();
    int port() const { return m_port; }
    std::string url(const std::string& path) const;

private:
    std::string m_host;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

// A bare TCP server on 127.0.0.1 that answers each connection with `respond`, for answers
// no HTTP server would give (a body cut short, a reset, a header line that never ends).
class RawServer
{
public:
    // `respond` gets the connected socket; the server closes it afterwards.
    explicit RawServer(std::function<void(int socket)> respond);
    ~RawServer();
    int port() const { return m_port; }
    std::string url(const std::string& path) const;

private:
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::function<void(int)> m_respond;
    std::thread m_thread;
};

// Reads a request's head from the socket (up to the blank line), so that the answer is
// not sent before the question.
std::string readRequestHead(int socket);
void sendAll(int socket, const std::string& bytes);

} // namespace nuvio::test
