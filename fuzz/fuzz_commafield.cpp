// SPDX-License-Identifier: MIT
// Splitting list lines: no crash, and a field asked for either exists or is the
// documented error.
#include "core/news/feedlists.h"
#include "core/platform/errors.h"
#include "core/platform/fieldsplit.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    const auto fields = nuvio::commaFields(line);
    for (int n = 0; n < static_cast<int>(fields.size()) + 2; ++n) {
        try {
            if (nuvio::CommaField(line, n) != fields[static_cast<std::size_t>(n)])
                std::abort();
        } catch (const nuvio::NuvioError&) {
            if (n < static_cast<int>(fields.size()))
                std::abort();
        }
    }
    (void)nuvio::splitFields(line, '!');
    try {
        (void)nuvio::catalogDisplayText(line);
        (void)nuvio::ResolveFeedUrl(line, {line, "a,b"});
    } catch (const nuvio::NuvioError&) {
    }
    return 0;
}
