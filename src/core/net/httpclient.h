// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace nuvio {

// The address as it goes on the wire: blanks, control bytes and bytes from 0x80 up are
// percent-encoded, as a browser does with what is typed, so that a file name or feed
// address holding them is fetched instead of refused. Everything else stays as written.
std::string requestUrl(std::string_view url);

// A web address from the feed lists (Windows-1252, as they hold it) as a browser asks for it:
// a host name with letters beyond ASCII as its punycode; blanks and control bytes
// percent-encoded, and each letter beyond ASCII as the percent-encoding of its UTF-8.
// Everything else stays as written.
std::string webAddressUri(std::string_view url);

// What went wrong with a GET, in the terms a user can act on.
enum class HttpFailure {
    None,
    NoConnection,     // refused, or no route to the host
    NameNotFound,     // the host name does not resolve
    Certificate,      // the server's certificate is not trusted
    SecureConnection, // the TLS handshake failed otherwise
    NoAnswer,         // timed out
    Status,           // an answer outside 2xx (the status says which)
    TooLarge,
    Broken,    // the connection ended before the answer was complete
    BadAnswer, // no HTTP, a redirect loop or to a scheme we do not fetch, a bad address
    Cancelled,
    Proxy, // the proxy refused, asked for a login, or could not be reached
};

// The outcome of one GET: the body as bytes, or a failure with a message a user can read.
struct HttpResult
{
    bool ok = false;
    long status = 0;
    std::string body;
    std::string error;
    HttpFailure failure = HttpFailure::None;
    // From the final answer's headers, for conditional requests and for servers that ask
    // to be left alone for a while.
    std::string etag;
    std::string lastModified;
    std::string retryAfter;
    std::string contentType; // its charset may name the body's encoding
    // How long the answer may be used again without asking (see freshUntil).
    std::string cacheControl;
    std::string expires;
    std::string date;
    // Where a chain of permanent redirects (301, 308) from the asked address led, when one
    // did: the address to ask from now on. Empty when the first answer was no such redirect.
    std::string movedTo;
    // Where the answer came from after redirects: what relative addresses in it mean.
    std::string url;
    bool notModified() const { return status == 304; }
};

// One GET: the address, headers sent after the fixed ones, and a login (Basic or Digest,
// whichever the server asks for) for the address's own host only: never for a host a
// redirect leads to.
struct HttpRequest
{
    std::string url;
    std::vector<std::string> headers;
    std::string user = {};
    std::string password = {};
    // Off for a feed: a publisher gets no cookie to tell one reader's requests by.
    bool withCookies = true;
};

// The program's one HTTP client: GET with fixed request headers (HTTP/1.1 for http, and
// HTTP/2 where an https server offers it, many requests sharing one connection), through
// the proxy the desktop names for each address (proxyroute.h), cookies kept in memory for the
// client's lifetime, bodies offered in gzip or deflate and handed on decoded (the size limit counts
// decoded bytes, so a small compressed answer cannot fill the memory; other codings fail), no
// character-set conversion, and every status outside 2xx a failure. Transfers run on a worker
// thread; the caller's thread only waits, handling its own events through a yield function.
class HttpClient
{
public:
    struct Limits
    {
        std::chrono::milliseconds connect{30000};
        std::chrono::milliseconds silence{
            60000}; // a transfer that receives nothing this long fails
        std::chrono::milliseconds total{300000};
        std::size_t maxBody = std::size_t{64} << 20;
        long maxRedirects = 5;
        long maxPerHost = 6;
        long maxTotal = 64;
        // Body bytes one batch holds at most, arrived and not yet taken, when results are
        // taken in order; transfers wait for room, except the one taken next, so every
        // batch completes (taken out of order, those before the one waited for go on too).
        std::size_t maxHeld = std::size_t{256} << 20;
        // Certificate authorities to trust instead of the system's: SSL_CERT_FILE's file.
        std::string caFile = caFileFromEnvironment();
        static std::string caFileFromEnvironment();
    };

    HttpClient();
    explicit HttpClient(Limits limits);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    const Limits& limits() const { return m_limits; }

    // One GET; waits for it, calling `yield` while it waits. Never throws.
    HttpResult get(const std::string& url, const std::function<void()>& yield = {});

    // Several GETs at once. Results are taken by index, in any order.
    class Batch
    {
    public:
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        // Waits for transfer `index`, calling `yield` while it waits.
        HttpResult take(std::size_t index, const std::function<void()>& yield = {});
        // The most body bytes the batch has held at once.
        std::size_t peakHeld() const;

        struct State; // what the batch's worker and its callbacks share

    private:
        friend class HttpClient;
        explicit Batch(std::shared_ptr<State> state);
        std::shared_ptr<State> m_state;
        std::thread m_worker;
    };

    std::unique_ptr<Batch> start(const std::vector<std::string>& urls);
    std::unique_ptr<Batch> start(const std::vector<HttpRequest>& requests);

    // Ends every transfer at once, the waiting ones too, and every later one before it
    // starts: each answers "The transfer was cancelled". For quitting.
    void cancelAll();

    // The request headers every GET sends, and the compressions offered besides them
    // (empty when this libcurl has no zlib).
    static const std::vector<std::string>& requestHeaders();
    static const std::string& acceptedEncodings();

private:
    struct Shared;
    Limits m_limits;
    std::unique_ptr<Shared> m_shared;
};

} // namespace nuvio
