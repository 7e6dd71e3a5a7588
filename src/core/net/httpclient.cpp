// SPDX-License-Identifier: MIT
#include "core/net/httpclient.h"

#include "core/net/contentdecoder.h"
#include "core/net/proxyroute.h"
#include "core/net/transferwindow.h"
#include "core/platform/asciitext.h"
#include "core/platform/codepage.h"
#include "core/platform/cp1252.h"
#include "core/platform/programvalues.h"

#include <QString>
#include <QUrl>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace nuvio {

namespace {

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string statusLine(long status)
{
    const char* reason = "";
    switch (status / 100) {
    case 1:
        reason = "Informational";
        break;
    case 3:
        reason = status == 304 ? "Not Modified" : "Redirect";
        break;
    case 4:
        reason = status == 404   ? "Not Found"
                 : status == 403 ? "Forbidden"
                 : status == 407 ? "Proxy Authentication Required"
                 : status == 429 ? "Too Many Requests"
                                 : "Client Error";
        break;
    case 5:
        reason = status == 503 ? "Service Unavailable" : "Server Error";
        break;
    }
    return "HTTP/1.1 " + std::to_string(status) + " " + reason;
}

HttpFailure failureOf(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_CONNECT:
        return HttpFailure::NoConnection;
    case CURLE_COULDNT_RESOLVE_HOST:
        return HttpFailure::NameNotFound;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return HttpFailure::Certificate;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
        return HttpFailure::SecureConnection;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpFailure::NoAnswer;
    case CURLE_FILESIZE_EXCEEDED:
        return HttpFailure::TooLarge;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return HttpFailure::Broken;
    case CURLE_ABORTED_BY_CALLBACK:
        return HttpFailure::Cancelled;
    default:
        return HttpFailure::BadAnswer;
    }
}

} // namespace

// Cookies live in a share handle used by every transfer; the share handle needs locks
// because transfers of different batches may run at the same time.
struct HttpClient::Shared
{
    CURLSH* share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    std::mutex batchesMutex;
    std::vector<std::weak_ptr<Batch::State>> batches;
    bool closed = false; // under batchesMutex

    Shared()
    {
        initialiseCurlOnce();
        share = curl_share_init();
        curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &Shared::lock);
        curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &Shared::unlock);
        curl_share_setopt(share, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    ~Shared() { curl_share_cleanup(share); }

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self)
    {
        static_cast<Shared*>(self)->locks[static_cast<std::size_t>(data)].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self)
    {
        static_cast<Shared*>(self)->locks[static_cast<std::size_t>(data)].unlock();
    }
};

struct HttpClient::Batch::State
{
    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::optional<HttpResult>> results;
    std::atomic<bool> cancelled{false};
    CURLM* multi = nullptr; // under mutex, while the worker waits in it

    // Body bytes arrived and not yet taken, and the room rule's two exceptions.
    std::atomic<std::size_t> held{0};
    std::atomic<std::size_t> peakHeld{0};
    std::size_t maxHeld = 0;
    std::vector<bool> taken;                  // under mutex
    std::atomic<std::size_t> firstUntaken{0}; // the lowest index not taken yet
    std::atomic<std::size_t> waitingFor{SIZE_MAX};
    std::atomic<bool> roomChanged{false};

    // Room for `more` bytes of transfer `index`. The one taken next always has room, and so
    // has any up to the one waited for: a transfer that has no connection yet (six a host)
    // must not wait behind ones that hold theirs while they wait for room. Taken in order,
    // as the refresh takes them, that is the next one alone.
    bool mayHold(std::size_t index, std::size_t more) const
    {
        const std::size_t waiting = waitingFor.load();
        return held.load() + more <= maxHeld || index == firstUntaken.load() ||
               (waiting != SIZE_MAX && index <= waiting);
    }
    void addHeld(std::size_t bytes)
    {
        const std::size_t now = held.fetch_add(bytes) + bytes;
        std::size_t peak = peakHeld.load();
        while (now > peak && !peakHeld.compare_exchange_weak(peak, now)) {
        }
    }
    // Called with mutex held.
    void wake()
    {
        roomChanged = true;
        if (multi)
            curl_multi_wakeup(multi);
    }

    // Sets the flag and wakes the worker from its wait, so that it sees it at once.
    void cancel()
    {
        cancelled = true;
        std::lock_guard lock(mutex);
        if (multi)
            curl_multi_wakeup(multi);
    }
};

namespace {

// Body bytes in pages of their own, given back to the system the moment the block goes.
// From the heap they would not be: after a large body the allocator takes blocks of this
// size from its arenas, and what a refresh freed there stays part of the process.
class BodyBlock
{
public:
    explicit BodyBlock(std::size_t capacity)
        : m_data(static_cast<char*>(::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))),
          m_capacity(capacity)
    {
        if (m_data == MAP_FAILED)
            throw std::bad_alloc();
    }
    BodyBlock(BodyBlock&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0))
    {}
    BodyBlock& operator=(BodyBlock&&) = delete;
    BodyBlock(const BodyBlock&) = delete;
    BodyBlock& operator=(const BodyBlock&) = delete;
    ~BodyBlock()
    {
        if (m_data)
            ::munmap(m_data, m_capacity);
    }

    std::size_t append(const char* data, std::size_t bytes)
    {
        const std::size_t take = std::min(bytes, m_capacity - m_size);
        std::memcpy(m_data + m_size, data, take);
        m_size += take;
        return take;
    }
    bool full() const { return m_size == m_capacity; }
    std::string_view bytes() const { return {m_data, m_size}; }

private:
    char* m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity;
};

struct Transfer
{
    CURL* easy = nullptr;
    std::size_t index = 0;
    // The body in blocks (see writeBody): growing one string would, while it is copied
    // into a larger one, hold the body twice.
    std::vector<BodyBlock> blocks;
    std::size_t bodySize = 0;
    std::size_t maxBody = 0;
    bool tooLarge = false;
    bool outOfMemory = false;
    bool paused = false;       // waiting for room in the batch's memory
    bool headersEnded = false; // the blank line after the last header block arrived
    bool undecoded = false;    // asked again without decoding (see namesUnknownCoding)
    bool bodyStarted = false;
    bool codingRefused = false; // see offeredCoding
    // The body's coding, inflated here rather than by libcurl, which takes a stream cut
    // before its end for a whole one; what the last read inflated to, kept while paused.
    std::unique_ptr<ContentDecoder> decoder;
    std::string inflated;
    bool inflatedReady = false;
    bool codingBroken = false;
    std::string etag, lastModified, retryAfter, contentCoding;
    std::string cacheControl, expires, date;
    // The redirects followed so far: while each was permanent, where they led.
    std::string requested, movedTo;
    long lastStatus = 0;
    bool permanentSoFar = true;
    std::string answeredBy; // the host that sent the latest status line, if any did
    std::string proxy;      // the route taken: empty for direct
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    HttpClient::Batch::State* state = nullptr;
};

// Where the transfer is now: a redirect followed changes it.
std::string effectiveUrl(CURL* easy)
{
    char* url = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
    return url ? url : "";
}

// Whether libcurl decodes the answer as we offered: one layer of gzip or deflate, or none.
// libcurl would also decode a coding we did not offer, or a stack of them; their bytes
// multiply without bound, and a transfer paused for room keeps all that one read decodes.
bool offeredCoding(std::string_view codings)
{
    int layers = 0;
    for (std::size_t at = 0; at <= codings.size();) {
        const std::size_t comma = std::min(codings.find(',', at), codings.size());
        const std::string_view name = trimBlanks(codings.substr(at, comma - at));
        at = comma + 1;
        if (name.empty() || equalsIgnoringAsciiCase(name, "identity") ||
            equalsIgnoringAsciiCase(name, "none"))
            continue;
        if (!equalsIgnoringAsciiCase(name, "gzip") && !equalsIgnoringAsciiCase(name, "x-gzip") &&
            !equalsIgnoringAsciiCase(name, "deflate"))
            return false;
        ++layers;
    }
    return layers <= 1;
}

bool namesUnknownCoding(std::string_view codings);

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t arrived = size * count;
    // Judged at the first bytes, when the headers that count are known; returning here
    // stops the transfer before anything is decoded.
    if (!transfer->bodyStarted) {
        transfer->bodyStarted = true;
        if (!transfer->undecoded && namesUnknownCoding(transfer->contentCoding)) {
            transfer->undecoded = true; // passed over, as browsers do
        } else if (!transfer->undecoded && !offeredCoding(transfer->contentCoding)) {
            transfer->codingRefused = true;
            return 0;
        } else if (!transfer->undecoded) {
            transfer->decoder = ContentDecoder::forCoding(transfer->contentCoding);
        }
    }
    // A read paused for room comes again: it was inflated the first time.
    if (transfer->decoder && !transfer->inflatedReady) {
        transfer->inflated.clear();
        if (!transfer->decoder->decode(std::string_view(data, arrived), transfer->inflated)) {
            transfer->codingBroken = true;
            return 0;
        }
        transfer->inflatedReady = true;
    }
    if (transfer->decoder)
        data = transfer->inflated.data();
    const std::size_t bytes = transfer->decoder ? transfer->inflated.size() : arrived;
    // Counted here: a size limit in the transfer options does not stop a chunked body, and
    // only here are the bytes counted after decoding (a compression bomb ends at the limit).
    if (transfer->bodySize + bytes > transfer->maxBody) {
        transfer->tooLarge = true;
        return 0;
    }
    if (!transfer->state->mayHold(transfer->index, bytes)) {
        transfer->paused = true;
        return CURL_WRITEFUNC_PAUSE; // delivered again once there is room
    }
    // Blocks grow with the body (each as large as all before it, from 16 KiB to 1 MiB),
    // so a small feed takes little memory and a large one is never copied whole.
    constexpr std::size_t smallest = std::size_t{16} << 10;
    constexpr std::size_t largest = std::size_t{1} << 20;
    std::size_t done = 0;
    try {
        while (done < bytes) {
            if (transfer->blocks.empty() || transfer->blocks.back().full())
                transfer->blocks.emplace_back(
                    std::clamp(transfer->bodySize + done, smallest, largest));
            done += transfer->blocks.back().append(data + done, bytes - done);
        }
    } catch (const std::bad_alloc&) {
        transfer->outOfMemory = true; // never thrown through libcurl
        transfer->bodySize += done;
        transfer->state->addHeld(done);
        return 0;
    }
    transfer->bodySize += bytes;
    transfer->state->addHeld(bytes);
    transfer->inflatedReady = false;
    return arrived;
}

// The value of a header line "Name: value" whose name is `name` (any letter case).
bool headerValue(std::string_view line, std::string_view name, std::string& value)
{
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        !startsWithIgnoringAsciiCase(line, name))
        return false;
    std::string_view rest = line.substr(name.size() + 1);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n'))
        rest.remove_suffix(1);
    value = std::string(trimBlanks(rest));
    return true;
}

// A status line starts an answer at `here`: where the redirects before it were all
// permanent, `here` is the feed's new address (a temporary one after them leaves it so). Asked
// again from the start (see namesUnknownCoding), the chain starts again.
void noteRedirect(Transfer& transfer, const std::string& here, std::string_view statusLine)
{
    if (transfer.lastStatus == 0 || here == transfer.requested) {
        transfer.movedTo.clear();
        transfer.permanentSoFar = true;
    } else if (transfer.permanentSoFar &&
               (transfer.lastStatus == 301 || transfer.lastStatus == 308)) {
        transfer.movedTo = here;
    } else {
        transfer.permanentSoFar = false;
    }
    const std::size_t space = statusLine.find(' ');
    transfer.lastStatus = space == std::string_view::npos
                              ? 0
                              : std::atol(std::string(statusLine.substr(space + 1, 3)).c_str());
}

size_t readHeader(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    const std::string_view line(data, bytes);
    // Each answer of a redirect chain ends its headers with a blank line; a new status
    // line starts the next answer, whose headers are the ones that count.
    if (line == "\r\n" || line == "\n") {
        transfer->headersEnded = true;
    } else if (line.substr(0, 5) == "HTTP/") {
        const std::string here = effectiveUrl(transfer->easy);
        noteRedirect(*transfer, here, line);
        transfer->answeredBy = TransferWindow::hostOf(here);
        transfer->headersEnded = false;
        transfer->etag.clear();
        transfer->lastModified.clear();
        transfer->retryAfter.clear();
        transfer->contentCoding.clear();
        transfer->cacheControl.clear();
        transfer->expires.clear();
        transfer->date.clear();
    } else if (std::string coding; headerValue(line, "content-encoding", coding)) {
        // Each line adds its codings to those before, as libcurl decodes them.
        transfer->contentCoding += (transfer->contentCoding.empty() ? "" : ", ") + coding;
    } else {
        std::string value;
        if (headerValue(line, "cache-control", value))
            transfer->cacheControl += (transfer->cacheControl.empty() ? "" : ", ") + value;
        else
            headerValue(line, "etag", transfer->etag) ||
                headerValue(line, "last-modified", transfer->lastModified) ||
                headerValue(line, "retry-after", transfer->retryAfter) ||
                headerValue(line, "expires", transfer->expires) ||
                headerValue(line, "date", transfer->date);
    }
    return bytes;
}

// Servers that put a character set or "binary" where the content coding goes send the body
// as it is; browsers pass a coding they do not know over, and so, asking again without
// decoding, do we. A known coding that fails to decode stays a failure.
bool namesUnknownCoding(std::string_view codings)
{
    for (std::size_t at = 0; at <= codings.size();) {
        const std::size_t comma = std::min(codings.find(',', at), codings.size());
        const std::string_view name = trimBlanks(codings.substr(at, comma - at));
        at = comma + 1;
        if (name.empty())
            continue;
        bool known = false;
        for (const std::string_view each :
             {"identity", "none", "gzip", "x-gzip", "deflate", "br", "zstd"})
            known = known || equalsIgnoringAsciiCase(name, each);
        if (!known)
            return true;
    }
    return false;
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(user)->state->cancelled.load() ? 1 : 0;
}

HttpResult finishTransfer(Transfer& transfer, CURLcode code);

// Through a proxy, a connection that fails is the proxy's; a SOCKS proxy says when it is the
// server behind it that cannot be reached, which is then named as if asked directly.
HttpFailure proxyFailure(const Transfer& transfer, CURLcode code, HttpFailure otherwise)
{
    if (transfer.proxy.empty())
        return otherwise;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return HttpFailure::Proxy;
    case CURLE_PROXY: {
        long why = CURLPX_OK;
        curl_easy_getinfo(transfer.easy, CURLINFO_PROXY_ERROR, &why);
        switch (why) {
        case CURLPX_RESOLVE_HOST:
            return HttpFailure::NameNotFound;
        case CURLPX_REPLY_CONNECTION_REFUSED:
        case CURLPX_REPLY_HOST_UNREACHABLE:
        case CURLPX_REPLY_NETWORK_UNREACHABLE:
        case CURLPX_REPLY_TTL_EXPIRED:
            return HttpFailure::NoConnection;
        default:
            return HttpFailure::Proxy;
        }
    }
    default:
        break;
    }
    // An https address goes through an HTTP proxy by CONNECT, which the proxy may refuse.
    long connectStatus = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_HTTP_CONNECTCODE, &connectStatus);
    return connectStatus != 0 && (connectStatus < 200 || connectStatus > 299) ? HttpFailure::Proxy
                                                                              : otherwise;
}

// The result, with the bytes of a body that is thrown away given back to the batch.
HttpResult finish(Transfer& transfer, CURLcode code)
{
    const std::size_t arrived = transfer.bodySize;
    HttpResult result = finishTransfer(transfer, code);
    transfer.decoder.reset();
    std::string().swap(transfer.inflated);
    if (!result.ok)
        transfer.state->held -= arrived;
    return result;
}

HttpResult finishTransfer(Transfer& transfer, CURLcode code)
{
    HttpResult result;
    curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &result.status);
    result.etag = std::move(transfer.etag);
    result.lastModified = std::move(transfer.lastModified);
    result.retryAfter = std::move(transfer.retryAfter);
    result.cacheControl = std::move(transfer.cacheControl);
    result.expires = std::move(transfer.expires);
    result.date = std::move(transfer.date);
    result.movedTo = std::move(transfer.movedTo);
    if (const char* type = nullptr;
        curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        result.contentType = type;
    if (const char* url = nullptr;
        curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url)
        result.url = url;
    if (code != CURLE_OK) {
        result.failure = transfer.tooLarge ? HttpFailure::TooLarge
                                           : proxyFailure(transfer, code, failureOf(code));
        // A proxy that refused an https address's tunnel: its answer, so that a 407 is
        // known as the proxy asking for a login.
        if (result.failure == HttpFailure::Proxy && result.status == 0)
            curl_easy_getinfo(transfer.easy, CURLINFO_HTTP_CONNECTCODE, &result.status);
        if (transfer.codingRefused) {
            result.failure = HttpFailure::BadAnswer;
            result.error = "The answer's content coding (" + transfer.contentCoding +
                           ") is not one that was offered";
        } else if (transfer.codingBroken) {
            result.failure = HttpFailure::BadAnswer;
            result.error = "The answer's " + transfer.contentCoding + " data is damaged";
        } else if (transfer.outOfMemory)
            result.error = "Out of memory";
        else if (transfer.tooLarge)
            result.error =
                "The answer is larger than " + std::to_string(transfer.maxBody >> 20) + " MB";
        else if (code == CURLE_OPERATION_TIMEDOUT)
            result.error = "Read timed out";
        else
            result.error =
                transfer.errorBuffer[0] ? transfer.errorBuffer : curl_easy_strerror(code);
        return result;
    }
    if (!transfer.headersEnded) {
        result.failure = HttpFailure::Broken;
        result.error = "Connection closed gracefully before the answer was complete";
        return result;
    }
    if (result.status < 200 || result.status > 299) {
        result.failure = result.status == 407 && !transfer.proxy.empty() ? HttpFailure::Proxy
                                                                         : HttpFailure::Status;
        result.error = statusLine(result.status);
        return result;
    }
    if (transfer.decoder && !transfer.decoder->complete()) {
        result.failure = HttpFailure::BadAnswer;
        result.error = "The answer's " + transfer.contentCoding + " data ends before its end";
        return result;
    }
    result.ok = true;
    // Each block goes as soon as it is copied: the body is never held twice whole.
    result.body.reserve(transfer.bodySize);
    for (auto& block : transfer.blocks) {
        result.body += block.bytes();
        BodyBlock gone(std::move(block));
    }
    transfer.blocks.clear();
    return result;
}

} // namespace

std::string requestUrl(std::string_view url)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::string webAddressUri(std::string_view url)
{
    // The host: a name with letters beyond ASCII goes as its punycode, as a browser sends it.
    std::string uri;
    uri.reserve(url.size());
    std::size_t i = 0;
    if (const std::size_t scheme = url.find("://"); scheme != std::string_view::npos) {
        const std::size_t hostEnd = url.find_first_of("/?#", scheme + 3);
        const std::string_view authority = url.substr(0, hostEnd);
        const std::size_t at = authority.rfind('@');
        const std::size_t hostAt =
            at == std::string_view::npos || at < scheme + 3 ? scheme + 3 : at + 1;
        std::size_t portAt = authority.rfind(':');
        if (portAt == std::string_view::npos || portAt < hostAt ||
            authority.find(']', hostAt) != std::string_view::npos)
            portAt = authority.size();
        const std::string_view host = authority.substr(hostAt, portAt - hostAt);
        if (std::any_of(host.begin(), host.end(), [](char c) { return c & 0x80; })) {
            const QByteArray ace = QUrl::toAce(fromCp1252(host));
            if (!ace.isEmpty()) {
                uri.append(authority.substr(0, hostAt));
                uri.append(ace.constData(), static_cast<std::size_t>(ace.size()));
                i = portAt;
            }
        }
    }
    // The rest: a letter beyond ASCII as its UTF-8, which is what servers expect of an
    // address (the lists hold Windows-1252); the wire's escaping then does the rest.
    for (; i < url.size(); ++i) {
        const char32_t code = cp1252ToUnicode(static_cast<unsigned char>(url[i]));
        if (code < 0x80) {
            uri += url[i];
        } else if (code < 0x800) {
            uri += static_cast<char>(0xC0 | (code >> 6));
            uri += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            uri += static_cast<char>(0xE0 | (code >> 12));
            uri += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            uri += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return requestUrl(uri);
}

const std::vector<std::string>& HttpClient::requestHeaders()
{
    static const std::vector<std::string> headers = {
        "Accept: text/html, */*",
        "User-Agent: " + userAgent(),
        "Content-Type: text/html",
    };
    return headers;
}

const std::string& HttpClient::acceptedEncodings()
{
    // Asked of the library that runs, not the one built against. Only the codings whose
    // bytes grow at most about a thousandfold: with brotli or zstd a few bytes can decode
    // to the whole size limit, and libcurl holds what a paused transfer decoded.
    static const std::string codings = [] {
        initialiseCurlOnce();
        const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
        std::string list;
        const auto offer = [&](int feature, const char* names) {
            if (info->features & feature)
                list += (list.empty() ? "" : ", ") + std::string(names);
        };
        offer(CURL_VERSION_LIBZ, "gzip, deflate");
        return list;
    }();
    return codings;
}

HttpClient::HttpClient() : HttpClient(Limits{}) {}

std::string HttpClient::Limits::caFileFromEnvironment()
{
    const char* file = std::getenv("SSL_CERT_FILE");
    return file && *file ? file : std::string();
}

HttpClient::HttpClient(Limits limits)
    : m_limits(std::move(limits)), m_shared(std::make_unique<Shared>())
{}

HttpClient::~HttpClient() = default;

HttpClient::Batch::Batch(std::shared_ptr<State> state) : m_state(std::move(state)) {}

HttpClient::Batch::~Batch()
{
    m_state->cancel();
    if (m_worker.joinable())
        m_worker.join();
}

std::size_t HttpClient::Batch::peakHeld() const
{
    return m_state->peakHeld.load();
}

HttpResult HttpClient::Batch::take(std::size_t index, const std::function<void()>& yield)
{
    std::unique_lock lock(m_state->mutex);
    if (!m_state->results.at(index) && m_state->waitingFor.exchange(index) != index)
        m_state->wake(); // the transfer waited for may use memory beyond the bound
    while (!m_state->results.at(index)) {
        if (yield) {
            lock.unlock();
            yield();
            lock.lock();
            m_state->done.wait_for(lock, std::chrono::milliseconds(5),
                                   [&] { return m_state->results[index].has_value(); });
        } else {
            m_state->done.wait(lock, [&] { return m_state->results[index].has_value(); });
        }
    }
    HttpResult result = std::move(*m_state->results[index]);
    m_state->results[index].reset();
    m_state->held -= result.body.size();
    m_state->taken[index] = true;
    std::size_t first = m_state->firstUntaken;
    while (first < m_state->taken.size() && m_state->taken[first])
        ++first;
    m_state->firstUntaken = first;
    m_state->waitingFor = SIZE_MAX;
    m_state->wake();
    return result;
}

std::unique_ptr<HttpClient::Batch> HttpClient::start(const std::vector<std::string>& urls)
{
    std::vector<HttpRequest> requests;
    requests.reserve(urls.size());
    for (const auto& url : urls)
        requests.push_back({url, {}});
    return start(requests);
}

std::unique_ptr<HttpClient::Batch> HttpClient::start(const std::vector<HttpRequest>& requests)
{
    auto state = std::make_shared<Batch::State>();
    state->results.resize(requests.size());
    state->taken.resize(requests.size());
    state->maxHeld = m_limits.maxHeld;
    {
        std::lock_guard lock(m_shared->batchesMutex);
        std::erase_if(m_shared->batches, [](const auto& batch) { return batch.expired(); });
        m_shared->batches.push_back(state);
        if (m_shared->closed)
            state->cancelled = true;
    }
    std::unique_ptr<Batch> batch(new Batch(state));
    const Limits limits = m_limits;
    CURLSH* share = m_shared->share;

    batch->m_worker = std::thread([state, requests, limits, share] {
        CURLM* multi = curl_multi_init();
        // The window keeps to the connection limits; libcurl's limit a host stays too, or
        // an HTTP/2 host's transfers would open connections of their own instead of
        // waiting to share one.
        curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, limits.maxPerHost);
        curl_multi_setopt(multi, CURLMOPT_MAX_CONCURRENT_STREAMS,
                          static_cast<long>(TransferWindow::kStreamsPerConnection));
        {
            std::lock_guard lock(state->mutex);
            state->multi = multi;
        }
        std::vector<std::unique_ptr<Transfer>> transfers;
        for (std::size_t i = 0; i < requests.size(); ++i) {
            auto transfer = std::make_unique<Transfer>();
            transfer->index = i;
            transfer->maxBody = limits.maxBody;
            transfer->state = state.get();
            CURL* easy = curl_easy_init();
            transfer->easy = easy;
            for (const auto& header : requestHeaders())
                transfer->headers = curl_slist_append(transfer->headers, header.c_str());
            for (const auto& header : requests[i].headers)
                transfer->headers = curl_slist_append(transfer->headers, header.c_str());
            const std::string url = requestUrl(requests[i].url);
            transfer->requested = url;
            curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
            curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
            // HTTP/2 only where TLS negotiates it: many feeds of one publisher then share a
            // connection instead of queueing for six.
            curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_2TLS);
            // Waiting for a connection that may multiplex only pays where one can (https);
            // plain http would queue behind the first connection instead of opening six.
            if (startsWithIgnoringAsciiCase(url, "https:"))
                curl_easy_setopt(easy, CURLOPT_PIPEWAIT, 1L);
            curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
            curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
            curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
            curl_easy_setopt(easy, CURLOPT_MAXREDIRS, limits.maxRedirects);
            // The route is proxyFor's alone: "" keeps libcurl from reading the environment
            // on its own, with other rules.
            transfer->proxy = proxyFor(requests[i].url);
            curl_easy_setopt(easy, CURLOPT_PROXY, transfer->proxy.c_str());
            // A login given for the proxy goes to it only, and only once it asks (407).
            if (const auto login = proxyLogin(transfer->proxy);
                login && transfer->proxy.find('@') == std::string::npos) {
                curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, login->user.c_str());
                curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, login->password.c_str());
                curl_easy_setopt(easy, CURLOPT_PROXYAUTH,
                                 static_cast<unsigned long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
            }
            // A certificate bundle of the user's own (a company's authority, a test server's)
            // in the variable OpenSSL programs know; otherwise the system's.
            if (!limits.caFile.empty())
                curl_easy_setopt(easy, CURLOPT_CAINFO, limits.caFile.c_str());
            curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer->headers);
            // Sent once the server has asked (a first request goes without), and libcurl
            // keeps it from other hosts, ports and schemes a redirect leads to.
            if (!requests[i].user.empty() || !requests[i].password.empty()) {
                curl_easy_setopt(easy, CURLOPT_USERNAME, requests[i].user.c_str());
                curl_easy_setopt(easy, CURLOPT_PASSWORD, requests[i].password.c_str());
                curl_easy_setopt(easy, CURLOPT_HTTPAUTH,
                                 static_cast<unsigned long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
            }
            // Sends Accept-Encoding ahead of our own headers; writeBody decodes what comes
            // back (see Transfer::decoder).
            if (!acceptedEncodings().empty())
                curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, acceptedEncodings().c_str());
            curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
            if (requests[i].withCookies) {
                curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
                curl_easy_setopt(easy, CURLOPT_SHARE, share);
            }
            curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                             static_cast<long>(limits.connect.count()));
            curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.total.count()));
            curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
            curl_easy_setopt(
                easy, CURLOPT_LOW_SPEED_TIME,
                std::max(1L, static_cast<long>((limits.silence.count() + 999) / 1000)));
            curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                             static_cast<curl_off_t>(limits.maxBody));
            // What one read decodes to, and so what a transfer paused for room keeps inside
            // libcurl, is this many bytes inflated: about 2 MB at most for gzip.
            curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 2048L);
            curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
            curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
            curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, readHeader);
            curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
            curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, progress);
            curl_easy_setopt(easy, CURLOPT_XFERINFODATA, transfer.get());
            curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
            curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer->errorBuffer);
            curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer.get());
            transfers.push_back(std::move(transfer));
        }

        std::vector<std::string> urls;
        urls.reserve(requests.size());
        for (const auto& request : requests)
            urls.push_back(request.url);
        TransferWindow window(urls, static_cast<std::size_t>(std::max(1L, limits.maxPerHost)),
                              static_cast<std::size_t>(std::max(1L, limits.maxTotal)));
        std::size_t finished = 0;
        while (finished < requests.size() && !state->cancelled) {
            for (const std::size_t i : window.admit())
                curl_multi_add_handle(multi, transfers[i]->easy);
            int running = 0;
            curl_multi_perform(multi, &running);
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
                if (message->msg != CURLMSG_DONE)
                    continue;
                Transfer* transfer = nullptr;
                curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
                if (message->data.result == CURLE_BAD_CONTENT_ENCODING && !transfer->undecoded &&
                    namesUnknownCoding(transfer->contentCoding)) {
                    // Keeps its place in the window: the same transfer, once more.
                    curl_multi_remove_handle(multi, transfer->easy);
                    transfer->state->held -= transfer->bodySize;
                    std::vector<BodyBlock>().swap(transfer->blocks);
                    transfer->bodySize = 0;
                    transfer->paused = transfer->headersEnded = false;
                    transfer->undecoded = true;
                    transfer->bodyStarted = false;
                    curl_easy_setopt(transfer->easy, CURLOPT_ACCEPT_ENCODING, nullptr);
                    curl_easy_setopt(transfer->easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
                    curl_multi_add_handle(multi, transfer->easy);
                    continue;
                }
                if (long version = 0; curl_easy_getinfo(transfer->easy, CURLINFO_HTTP_VERSION,
                                                        &version) == CURLE_OK &&
                                      version >= CURL_HTTP_VERSION_2_0)
                    window.multiplexed(transfer->index);
                HttpResult result = finish(*transfer, message->data.result);
                std::vector<BodyBlock>().swap(transfer->blocks);
                // A host that took the connection and never answered, or never took it,
                // would keep each of its later transfers waiting as long again, six at a
                // time: they fail now with the same reason. Where the transfer was sent
                // on, the host it was sent to is the one that is silent.
                std::vector<std::size_t> givenUp;
                if (const std::string host = TransferWindow::hostOf(effectiveUrl(transfer->easy));
                    result.failure == HttpFailure::NoAnswer && transfer->answeredBy != host)
                    givenUp = window.giveUp(host);
                // Its connection goes to the next transfer of the window.
                curl_multi_remove_handle(multi, transfer->easy);
                window.finished(transfer->index);
                finished += 1 + givenUp.size();
                std::lock_guard lock(state->mutex);
                for (const std::size_t i : givenUp) {
                    HttpResult& same = state->results[i].emplace();
                    same.failure = result.failure;
                    same.error = result.error;
                    same.url = requests[i].url;
                }
                state->results[transfer->index] = std::move(result);
                state->done.notify_all();
            }
            // Transfers paused for room go on once results were taken or waited for;
            // those still without room pause again at their next bytes.
            if (state->roomChanged.exchange(false)) {
                for (auto& transfer : transfers) {
                    if (transfer->paused && state->mayHold(transfer->index, 0)) {
                        transfer->paused = false;
                        curl_easy_pause(transfer->easy, CURLPAUSE_CONT);
                    }
                }
            }
            // A feed sent on to another host (many sites' feeds served by one) waits there
            // for a connection the window did not count it for; where all that host's
            // connections are held by later transfers paused for room, none of which can
            // go on before it, the latest of them is asked again later, and its connection
            // goes to the one the page needs next.
            if (const std::size_t next = state->firstUntaken.load();
                next < transfers.size() && window.running(next) && !transfers[next]->paused &&
                std::any_of(transfers.begin(), transfers.end(),
                            [](const auto& transfer) { return transfer->paused; })) {
                const std::string host =
                    TransferWindow::hostOf(effectiveUrl(transfers[next]->easy));
                Transfer* latest = nullptr;
                long holding = 0;
                for (auto& transfer : transfers) {
                    // A paused HTTP/2 stream holds no connection: the others share it.
                    long version = 0;
                    curl_easy_getinfo(transfer->easy, CURLINFO_HTTP_VERSION, &version);
                    if (transfer->paused && version < CURL_HTTP_VERSION_2_0 &&
                        TransferWindow::hostOf(effectiveUrl(transfer->easy)) == host) {
                        ++holding;
                        latest = transfer.get();
                    }
                }
                if (latest && holding >= limits.maxPerHost) {
                    curl_multi_remove_handle(multi, latest->easy);
                    state->held -= latest->bodySize;
                    std::vector<BodyBlock>().swap(latest->blocks);
                    latest->bodySize = 0;
                    latest->paused = latest->headersEnded = latest->bodyStarted = false;
                    latest->tooLarge = latest->outOfMemory = latest->codingRefused = false;
                    window.requeue(latest->index);
                    state->roomChanged = true;
                    continue;
                }
            }
            if (finished < requests.size())
                curl_multi_poll(multi, nullptr, 0, 100, nullptr);
        }
        {
            std::lock_guard lock(state->mutex);
            state->multi = nullptr;
        }
        for (auto& transfer : transfers) {
            curl_multi_remove_handle(multi, transfer->easy);
            curl_easy_cleanup(transfer->easy);
            curl_slist_free_all(transfer->headers);
        }
        curl_multi_cleanup(multi);
        // Whatever did not finish (a cancelled batch) still gets an answer.
        std::lock_guard lock(state->mutex);
        for (auto& result : state->results) {
            if (!result) {
                result.emplace();
                result->failure = HttpFailure::Cancelled;
                result->error = "The transfer was cancelled";
            }
        }
        state->done.notify_all();
    });
    return batch;
}

void HttpClient::cancelAll()
{
    std::vector<std::shared_ptr<Batch::State>> running;
    {
        std::lock_guard lock(m_shared->batchesMutex);
        m_shared->closed = true;
        for (const auto& batch : m_shared->batches) {
            if (auto state = batch.lock())
                running.push_back(std::move(state));
        }
    }
    for (const auto& state : running)
        state->cancel();
}

HttpResult HttpClient::get(const std::string& url, const std::function<void()>& yield)
{
    auto batch = start({url});
    return batch->take(0, yield);
}

} // namespace nuvio
