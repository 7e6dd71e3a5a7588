// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace nuvio {

// Which transfers of a batch libcurl is given, and when. libcurl gives a host's free
// connections to waiting transfers in no fixed order, and a transfer paused for memory
// keeps its connection: handed everything at once, later transfers can hold every
// connection while the one the page needs next never gets one. So transfers are handed
// over in the batch's order, no more of a host at once than it has connections for, and
// no more in all than the connection limit: every transfer handed over can run, the one
// needed next among them.
class TransferWindow
{
public:
    // `urls` in the batch's order; `perHost` connections a host, `total` in all.
    TransferWindow(const std::vector<std::string>& urls, std::size_t perHost, std::size_t total);

    // The transfers to hand over now, in order.
    std::vector<std::size_t> admit();
    void finished(std::size_t index);
    // Taken back before it finished: handed over again in its turn.
    void requeue(std::size_t index);
    bool running(std::size_t index) const { return m_started.at(index) && !m_finished[index]; }
    // The transfer's host answered over HTTP/2: its transfers share connections, as many
    // as the protocol's usual stream limit on one of them.
    void multiplexed(std::size_t index);
    // `host` took a connection and never answered, or gave none in time: its transfers not
    // handed over yet would each wait as long for nothing, so they are given up (finished
    // without starting) and returned in order. Those running go on.
    std::vector<std::size_t> giveUp(const std::string& host);

    static constexpr std::size_t kStreamsPerConnection = 100;

    // Scheme, host and port: what libcurl keeps connections by.
    static std::string hostOf(const std::string& url);

private:
    struct Host
    {
        std::size_t running = 0;
        bool multiplexed = false;
    };
    std::size_t connections(const Host& host) const;

    std::vector<std::string> m_hosts; // each transfer's scheme, host and port
    std::vector<bool> m_started;
    std::vector<bool> m_finished;
    std::map<std::string, Host> m_byHost;
    std::size_t m_perHost;
    std::size_t m_total;
    std::size_t m_connections = 0; // needed by the running transfers
    std::size_t m_firstNotStarted = 0;
};

} // namespace nuvio
