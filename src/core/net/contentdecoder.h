// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace nuvio {

// Inflates an answer's body in the gzip or deflate content coding as it arrives, and
// knows whether the stream reached its end marker: a body cut short (a dropped connection
// where the server sent no length, a proxy that gave up) inflates to a good-looking start
// of a feed, and must not be taken for the whole of it.
class ContentDecoder
{
public:
    // The one coding of a Content-Encoding value that is decoded here: "gzip", "x-gzip" or
    // "deflate" (any letter case). Null for no coding, or for any other.
    static std::unique_ptr<ContentDecoder> forCoding(std::string_view codings);

    ~ContentDecoder();
    ContentDecoder(const ContentDecoder&) = delete;
    ContentDecoder& operator=(const ContentDecoder&) = delete;

    // Appends what `bytes` inflate to to `out`; false when the stream is damaged (a bad
    // header or check sum). Bytes after the end marker are passed over.
    bool decode(std::string_view bytes, std::string& out);
    // Whether the stream's end marker (and for gzip its check sums) has arrived.
    bool complete() const { return m_ended; }

private:
    struct Stream;
    explicit ContentDecoder(bool deflate);
    bool restartAsRawDeflate();

    std::unique_ptr<Stream> m_stream;
    bool m_deflate;
    bool m_started = false; // some input was taken
    bool m_raw = false;     // a "deflate" body without its zlib wrapper, as some servers send
    bool m_ended = false;
};

} // namespace nuvio
