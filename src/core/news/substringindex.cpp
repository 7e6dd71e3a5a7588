// SPDX-License-Identifier: MIT
#include "core/news/substringindex.h"

#include <cstring>
#include <limits>

namespace nuvio {

namespace {

std::uint64_t mix(std::uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdull;
    x ^= x >> 33;
    return x;
}

std::uint64_t load64(const char* p)
{
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

} // namespace

SubstringIndex::SubstringIndex(std::string page) : m_page(std::move(page))
{
    if (m_page.size() < kWindow || m_page.size() > std::numeric_limits<std::uint32_t>::max())
        return;
    const std::size_t windows = (m_page.size() - kWindow) / kStride + 1;
    m_bucketBits = 10;
    while (m_bucketBits < 22 && (std::size_t{1} << m_bucketBits) < windows / 4)
        ++m_bucketBits;
    m_bucketStart.assign((std::size_t{1} << m_bucketBits) + 1, 0);
    // Counting sort of the sampled window starts by bucket.
    for (std::size_t i = 0; i < windows; ++i)
        ++m_bucketStart[bucketOf(windowAt(i * kStride)) + 1];
    for (std::size_t b = 1; b < m_bucketStart.size(); ++b)
        m_bucketStart[b] += m_bucketStart[b - 1];
    m_positions.resize(windows);
    std::vector<std::uint32_t> next(m_bucketStart.begin(), m_bucketStart.end() - 1);
    for (std::size_t i = 0; i < windows; ++i) {
        const auto position = static_cast<std::uint32_t>(i * kStride);
        m_positions[next[bucketOf(windowAt(position))]++] = position;
    }
}

std::uint64_t SubstringIndex::windowAt(std::size_t position) const
{
    return load64(m_page.data() + position);
}

std::size_t SubstringIndex::bucketOf(std::uint64_t window) const
{
    return static_cast<std::size_t>(mix(window) >> (64 - m_bucketBits));
}

bool SubstringIndex::occursAt(std::size_t position, std::string_view needle) const
{
    return position + needle.size() <= m_page.size() &&
           std::memcmp(m_page.data() + position, needle.data(), needle.size()) == 0;
}

bool SubstringIndex::contains(std::string_view needle) const
{
    if (needle.empty() || needle.size() > m_page.size())
        return false;
    if (needle.size() < kMinIndexedLength || m_positions.empty()) {
        const auto known = m_shortAnswers.find(std::string(needle));
        if (known != m_shortAnswers.end())
            return known->second;
        const bool found = std::string_view(m_page).find(needle) != std::string_view::npos;
        m_shortAnswers.emplace(std::string(needle), found);
        return found;
    }

    // Window j of the needle starts at needle offset j. An occurrence at page position p has
    // a sampled start among p + j for every run of kStride consecutive offsets j, so any
    // one run suffices: take the one whose buckets hold the fewest candidates.
    const std::size_t offsets = needle.size() - kWindow + 1;
    std::size_t bestRun = 0;
    std::size_t bestCount = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> sizes(offsets);
    for (std::size_t j = 0; j < offsets; ++j) {
        const std::size_t b = bucketOf(load64(needle.data() + j));
        sizes[j] = m_bucketStart[b + 1] - m_bucketStart[b];
    }
    std::size_t runCount = 0;
    for (std::size_t j = 0; j < offsets; ++j) {
        runCount += sizes[j];
        if (j >= kStride)
            runCount -= sizes[j - kStride];
        if (j + 1 >= kStride && runCount < bestCount) {
            bestCount = runCount;
            bestRun = j + 1 - kStride;
        }
    }
    if (bestCount == 0)
        return false;
    for (std::size_t j = bestRun; j < bestRun + kStride; ++j) {
        const std::uint64_t window = load64(needle.data() + j);
        const std::size_t b = bucketOf(window);
        for (std::uint32_t k = m_bucketStart[b]; k < m_bucketStart[b + 1]; ++k) {
            const std::size_t sampled = m_positions[k];
            if (sampled < j || windowAt(sampled) != window)
                continue;
            if (occursAt(sampled - j, needle))
                return true;
        }
    }
    return false;
}

std::size_t SubstringIndex::memoryUsed() const
{
    return m_positions.capacity() * sizeof(std::uint32_t) +
           m_bucketStart.capacity() * sizeof(std::uint32_t);
}

} // namespace nuvio
