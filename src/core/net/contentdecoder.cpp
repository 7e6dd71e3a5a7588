// SPDX-License-Identifier: MIT
#include "core/net/contentdecoder.h"

#include "core/platform/asciitext.h"

#include <zlib.h>

namespace nuvio {

struct ContentDecoder::Stream
{
    z_stream z{};
    bool open = false;
    ~Stream()
    {
        if (open)
            inflateEnd(&z);
    }
};

std::unique_ptr<ContentDecoder> ContentDecoder::forCoding(std::string_view codings)
{
    const std::string_view name = trimBlanks(codings);
    if (equalsIgnoringAsciiCase(name, "gzip") || equalsIgnoringAsciiCase(name, "x-gzip"))
        return std::unique_ptr<ContentDecoder>(new ContentDecoder(false));
    if (equalsIgnoringAsciiCase(name, "deflate"))
        return std::unique_ptr<ContentDecoder>(new ContentDecoder(true));
    return nullptr;
}

ContentDecoder::ContentDecoder(bool deflate)
    : m_stream(std::make_unique<Stream>()), m_deflate(deflate)
{
    // 32 + 15: a gzip or a zlib header, told apart by the first bytes; deflate is zlib.
    m_stream->open = inflateInit2(&m_stream->z, m_deflate ? 15 : 15 + 32) == Z_OK;
}

ContentDecoder::~ContentDecoder() = default;

bool ContentDecoder::restartAsRawDeflate()
{
    inflateEnd(&m_stream->z);
    m_stream->z = z_stream{};
    m_stream->open = inflateInit2(&m_stream->z, -15) == Z_OK;
    m_raw = true;
    return m_stream->open;
}

bool ContentDecoder::decode(std::string_view bytes, std::string& out)
{
    if (!m_stream->open)
        return false;
    if (m_ended)
        return true;
    const bool first = !m_started;
    m_started = m_started || !bytes.empty();
    z_stream& z = m_stream->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    char buffer[16384];
    while (z.avail_in > 0) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        const int status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
        if (status == Z_STREAM_END) {
            m_ended = true;
            return true;
        }
        if (status == Z_DATA_ERROR && first && m_deflate && !m_raw && z.total_out == 0) {
            // No zlib header: the raw deflate data some servers send under this name.
            if (!restartAsRawDeflate())
                return false;
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
            z.avail_in = static_cast<uInt>(bytes.size());
            continue;
        }
        if (status != Z_OK && !(status == Z_BUF_ERROR && z.avail_in == 0))
            return false;
    }
    // Output may still be waiting inside zlib for room, with all input taken.
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        const int status = inflate(&z, Z_NO_FLUSH);
        const std::size_t made = sizeof buffer - z.avail_out;
        out.append(buffer, made);
        if (status == Z_STREAM_END) {
            m_ended = true;
            return true;
        }
        if (status == Z_BUF_ERROR || made == 0)
            return true;
        if (status != Z_OK)
            return false;
    }
}

} // namespace nuvio
