// SPDX-License-Identifier: MIT
#include "support/compression.h"

#include <stdexcept>
#include <zlib.h>

namespace nuvio::test {

std::string compressed(std::string_view data, Coding coding, std::size_t times)
{
    z_stream stream{};
    // 15 window bits give the zlib wrapper; 16 more give gzip's.
    const int windowBits = coding == Coding::Gzip ? 15 + 16 : 15;
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::string out;
    char buffer[1 << 16];
    for (std::size_t i = 0; i <= times; ++i) {
        const bool last = i == times;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(last ? "" : data.data()));
        stream.avail_in = last ? 0 : static_cast<uInt>(data.size());
        int result = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0 || (last && result != Z_STREAM_END));
    }
    deflateEnd(&stream);
    return out;
}

} // namespace nuvio::test
