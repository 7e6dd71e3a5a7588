// SPDX-License-Identifier: MIT
#include "core/platform/errors.h"
#include "core/platform/wavefile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace nuvio;

namespace {

std::string le(std::uint32_t v, int bytes)
{
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string wave(std::uint16_t format, std::uint16_t bits, std::size_t samples)
{
    std::string fmt = le(format, 2) + le(1, 2) + le(8000, 4) + le(8000 * bits / 8, 4) +
                      le(bits / 8, 2) + le(bits, 2);
    std::string data(samples * bits / 8, '\x10');
    std::string body = "WAVE" + std::string("fmt ") + le(16, 4) + fmt + "data" +
                       le(static_cast<std::uint32_t>(data.size()), 4) + data;
    return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

} // namespace

TEST(WaveFile, PlayableOrAClearError)
{
    test::TempDir dir;
    struct Case
    {
        const char* name;
        std::string bytes;
        bool playable;
    };
    const Case cases[] = {
        {"good.wav", wave(1, 16, 100), true},
        {"eight.wav", wave(1, 8, 100), true},
        {"compressed.wav", wave(2, 16, 100), false},
        {"nodata.wav", wave(1, 16, 0), false},
        {"text.wav", "this is not a sound", false},
        {"empty.wav", "", false},
        {"truncated.wav", wave(1, 16, 100).substr(0, 30), false},
        {"huge-chunk.wav", "RIFF\xff\xff\xff\xffWAVEfmt \xff\xff\xff\xff", false},
    };
    for (const auto& c : cases) {
        dir.write(c.name, c.bytes);
        if (c.playable) {
            EXPECT_NO_THROW(checkWaveFile(dir.file(c.name))) << c.name;
        } else {
            EXPECT_THROW(checkWaveFile(dir.file(c.name)), NuvioError) << c.name;
        }
    }
    try {
        checkWaveFile(dir.file("missing.wav"));
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot find the specified file"), std::string::npos);
    }
}
