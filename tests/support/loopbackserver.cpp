// SPDX-License-Identifier: MIT
#include "support/loopbackserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace nuvio::test {

LoopbackServer::LoopbackServer(const std::string& host) : m_host(host) {}

LoopbackServer::~LoopbackServer()
{
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

void LoopbackServer::start()
{
    m_port = m_server.bind_to_any_port(m_host);
    if (m_port <= 0)
        throw std::runtime_error("cannot bind a loopback port on " + m_host);
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string LoopbackServer::url(const std::string& path) const
{
    return "http://" + m_host + ":" + std::to_string(m_port) + path;
}

RawServer::RawServer(std::function<void(int)> respond) : m_respond(std::move(respond))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0)
        throw std::runtime_error("cannot listen on loopback");
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] {
        while (!m_stop) {
            pollfd waiting{m_listener, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0)
                continue;
            const int socket = ::accept(m_listener, nullptr, nullptr);
            if (socket < 0)
                continue;
            m_respond(socket);
            ::close(socket);
        }
    });
}

RawServer::~RawServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

std::string RawServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::string readRequestHead(int socket)
{
    std::string head;
    char c;
    while (head.find("\r\n\r\n") == std::string::npos && ::recv(socket, &c, 1, 0) == 1)
        head += c;
    return head;
}

void sendAll(int socket, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace nuvio::test
