// SPDX-License-Identifier: MIT
#include "core/news/substringindex.h"

#include <gtest/gtest.h>
#include <random>

using namespace nuvio;

TEST(SubstringIndex, AgreesWithPlainSearch)
{
    std::mt19937 random(20261207);
    // Small alphabets make many near misses; a large one tests the common case.
    for (const int alphabet : {2, 4, 26, 200}) {
        for (const std::size_t size : {0u, 1u, 7u, 8u, 11u, 12u, 100u, 5000u}) {
            std::string page(size, 'a');
            for (auto& c : page)
                c = static_cast<char>('a' + random() % alphabet);
            const SubstringIndex index(page);
            for (int n = 0; n < 300; ++n) {
                std::string needle;
                const std::size_t length = random() % 40;
                if (size > 0 && random() % 2) {
                    // A piece of the page, sometimes with one byte changed.
                    const std::size_t at = random() % size;
                    needle = page.substr(at, length);
                    if (!needle.empty() && random() % 3 == 0)
                        needle[random() % needle.size()] ^= 1;
                } else {
                    needle.resize(length);
                    for (auto& c : needle)
                        c = static_cast<char>('a' + random() % alphabet);
                }
                const bool expected = !needle.empty() && page.find(needle) != std::string::npos;
                ASSERT_EQ(index.contains(needle), expected)
                    << "alphabet " << alphabet << " size " << size << " needle " << needle;
            }
        }
    }
}

TEST(SubstringIndex, EdgesOfThePage)
{
    const std::string page = "0123456789abcdefghijklmnopqrstuvwxyz";
    const SubstringIndex index(page);
    for (std::size_t at = 0; at < page.size(); ++at) {
        for (std::size_t length = 1; at + length <= page.size(); ++length)
            ASSERT_TRUE(index.contains(page.substr(at, length))) << at << " " << length;
    }
    EXPECT_FALSE(index.contains(page + "!"));
    EXPECT_FALSE(index.contains(""));
    EXPECT_FALSE(SubstringIndex("").contains("a"));
    EXPECT_TRUE(SubstringIndex(std::string("a\0b", 3)).contains(std::string("\0b", 2)));
}
