// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nuvio {

// Answers "does this text occur in the page?" exactly as a plain substring search would,
// without reading the whole page per question. The page is indexed once: every 8-byte
// window that starts at a multiple of kStride, bucketed by its bytes. Any occurrence of a
// needle of at least kWindow + kStride - 1 bytes covers kStride consecutive window starts,
// one of which is sampled; the rarest such run of windows gives the candidates, and each
// candidate is confirmed by comparison. Shorter needles are searched directly and their
// answers remembered.
class SubstringIndex
{
public:
    static constexpr std::size_t kWindow = 8;
    static constexpr std::size_t kStride = 4;
    static constexpr std::size_t kMinIndexedLength = kWindow + kStride - 1;

    SubstringIndex() = default;
    explicit SubstringIndex(std::string page);

    // Whether `needle` occurs in the page; the empty needle never does.
    bool contains(std::string_view needle) const;

    const std::string& page() const { return m_page; }
    std::size_t memoryUsed() const;

private:
    std::uint64_t windowAt(std::size_t position) const;
    std::size_t bucketOf(std::uint64_t window) const;
    bool occursAt(std::size_t position, std::string_view needle) const;

    std::string m_page;
    std::vector<std::uint32_t> m_bucketStart; // bucket b holds m_positions[start[b], start[b+1])
    std::vector<std::uint32_t> m_positions;
    unsigned m_bucketBits = 0;
    mutable std::unordered_map<std::string, bool> m_shortAnswers;
};

} // namespace nuvio
