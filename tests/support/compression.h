// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nuvio::test {

// A body as a server compresses it: `data` repeated `times` times, in the gzip or the
// deflate (zlib) content coding. Compressed as it streams, so that a body of hundreds of
// megabytes never stands in memory whole.
enum class Coding { Gzip, Deflate };
std::string compressed(std::string_view data, Coding coding, std::size_t times = 1);

} // namespace nuvio::test
