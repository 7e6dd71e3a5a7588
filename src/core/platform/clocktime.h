// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <chrono>

namespace nuvio {

// A count of seconds since 1970 as a point of the system clock. The clock counts in
// nanoseconds and spans only about 292 years either side of 1970, so a time from a file,
// a server or a clock set wrong (a Retry-After in the year 9999) is clamped first: it
// cannot overflow the conversion.
inline std::chrono::system_clock::time_point systemTimeFromSeconds(long long count)
{
    using namespace std::chrono;
    constexpr long long kLimit = duration_cast<seconds>(system_clock::duration::max()).count() - 1;
    return system_clock::time_point(
        duration_cast<system_clock::duration>(seconds(std::clamp(count, -kLimit, kLimit))));
}

} // namespace nuvio
