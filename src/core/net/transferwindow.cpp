// SPDX-License-Identifier: MIT
#include "core/net/transferwindow.h"

#include "core/net/httpclient.h"

#include <algorithm>
#include <curl/curl.h>

namespace nuvio {

// An address libcurl cannot read fails at once and needs no connection; it counts as a
// host of its own.
std::string TransferWindow::hostOf(const std::string& url)
{
    std::string key = url;
    if (CURLU* parsed = curl_url()) {
        if (curl_url_set(parsed, CURLUPART_URL, requestUrl(url).c_str(), 0) == CURLUE_OK) {
            char* scheme = nullptr;
            char* host = nullptr;
            char* port = nullptr;
            if (curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
                curl_url_get(parsed, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK)
                key = std::string(scheme) + "://" + host + ":" + port;
            curl_free(scheme);
            curl_free(host);
            curl_free(port);
        }
        curl_url_cleanup(parsed);
    }
    return key;
}

TransferWindow::TransferWindow(const std::vector<std::string>& urls, std::size_t perHost,
                               std::size_t total)
    : m_started(urls.size()), m_finished(urls.size()), m_perHost(std::max<std::size_t>(perHost, 1)),
      m_total(std::max<std::size_t>(total, 1))
{
    m_hosts.reserve(urls.size());
    for (const auto& url : urls)
        m_hosts.push_back(hostOf(url));
}

std::size_t TransferWindow::connections(const Host& host) const
{
    if (!host.multiplexed)
        return host.running;
    return (host.running + kStreamsPerConnection - 1) / kStreamsPerConnection;
}

std::vector<std::size_t> TransferWindow::admit()
{
    std::vector<std::size_t> admitted;
    for (std::size_t i = m_firstNotStarted; i < m_hosts.size(); ++i) {
        if (m_started[i])
            continue;
        Host& host = m_byHost[m_hosts[i]];
        const std::size_t limit = host.multiplexed ? m_perHost * kStreamsPerConnection : m_perHost;
        // A later transfer of a full host waits for this one's turn; another host's may go.
        if (host.running >= limit)
            continue;
        const std::size_t before = connections(host);
        ++host.running;
        const std::size_t more = connections(host) - before;
        // Beyond the limit in all nothing later starts either: the page's order holds.
        if (m_connections + more > m_total) {
            --host.running;
            break;
        }
        m_connections += more;
        m_started[i] = true;
        admitted.push_back(i);
    }
    while (m_firstNotStarted < m_hosts.size() && m_started[m_firstNotStarted])
        ++m_firstNotStarted;
    return admitted;
}

void TransferWindow::finished(std::size_t index)
{
    if (!m_started.at(index) || m_finished[index])
        return;
    m_finished[index] = true;
    Host& host = m_byHost[m_hosts[index]];
    const std::size_t before = connections(host);
    --host.running;
    m_connections -= before - connections(host);
}

void TransferWindow::requeue(std::size_t index)
{
    if (!running(index))
        return;
    m_started[index] = false;
    Host& host = m_byHost[m_hosts[index]];
    const std::size_t before = connections(host);
    --host.running;
    m_connections -= before - connections(host);
    m_firstNotStarted = std::min(m_firstNotStarted, index);
}

void TransferWindow::multiplexed(std::size_t index)
{
    Host& host = m_byHost[m_hosts.at(index)];
    if (host.multiplexed)
        return;
    const std::size_t before = connections(host);
    host.multiplexed = true;
    m_connections -= before - connections(host);
}

std::vector<std::size_t> TransferWindow::giveUp(const std::string& host)
{
    std::vector<std::size_t> givenUp;
    for (std::size_t i = m_firstNotStarted; i < m_hosts.size(); ++i) {
        if (!m_started[i] && m_hosts[i] == host) {
            m_started[i] = m_finished[i] = true;
            givenUp.push_back(i);
        }
    }
    return givenUp;
}

} // namespace nuvio
