// SPDX-License-Identifier: MIT
#include "core/platform/wavefile.h"

#include "core/platform/errors.h"
#include "core/platform/textfile.h"

#include <cstdint>
#include <string_view>

namespace nuvio {

namespace {

const char* kNotFound =
    "Cannot find the specified file. Make sure the path and filename are correct";
const char* kNotPlayable =
    "The specified file cannot be played on the specified MCI device. The file may be "
    "corrupt, not in the correct format, or no file handler available for this format";

std::uint32_t le32(std::string_view s, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

std::uint16_t le16(std::string_view s, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      static_cast<unsigned char>(s[at + 1]) << 8);
}

} // namespace

void checkWaveFile(const std::string& path)
{
    std::string bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const NuvioError&) {
        throw NuvioError(kNotFound);
    }
    const std::string_view s(bytes);
    if (s.size() < 12 || s.substr(0, 4) != "RIFF" || s.substr(8, 4) != "WAVE")
        throw NuvioError(kNotPlayable);
    bool haveFormat = false;
    bool haveData = false;
    std::size_t at = 12;
    while (at + 8 <= s.size()) {
        const auto id = s.substr(at, 4);
        const std::uint64_t size = le32(s, at + 4);
        const std::size_t body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > s.size())
                throw NuvioError(kNotPlayable);
            const auto format = le16(s, body);
            const auto channels = le16(s, body + 2);
            const auto rate = le32(s, body + 4);
            const auto bits = le16(s, body + 14);
            // PCM, or the extensible header that wraps it.
            if ((format != 1 && format != 0xFFFE) || channels == 0 || rate == 0 ||
                (bits != 8 && bits != 16 && bits != 24 && bits != 32))
                throw NuvioError(kNotPlayable);
            haveFormat = true;
        } else if (id == "data") {
            haveData = size > 0 && body < s.size();
        }
        at = body + static_cast<std::size_t>(size + (size & 1));
        if (haveFormat && haveData)
            return;
    }
    throw NuvioError(kNotPlayable);
}

} // namespace nuvio
