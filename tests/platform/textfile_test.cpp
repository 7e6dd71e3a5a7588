// SPDX-License-Identifier: MIT
#include "core/platform/errors.h"
#include "core/platform/textfile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace nuvio;

TEST(SplitLines, EveryLineEndAndNoEmptyLastLine)
{
    using Lines = std::vector<std::string>;
    struct Case
    {
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\n", {"a"}},
        {"a\r", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\r", {"a", ""}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
        {"\xE6\xF8\xE5\r\n", {"\xE6\xF8\xE5"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitLines(c.text), c.lines) << testing::PrintToString(c.text);
}

TEST(JoinLines, CrLfAfterEveryLine)
{
    EXPECT_EQ(joinLinesCrLf({}), "");
    EXPECT_EQ(joinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(ReadFile, FailuresCarryTheirTexts)
{
    test::TempDir dir;
    dir.write("x.txt", std::string("a\0b", 3));
    EXPECT_EQ(readFileBytes(dir.file("x.txt")), std::string("a\0b", 3));
    EXPECT_EQ(loadFileBytes(dir.file("x.txt")), std::string("a\0b", 3));

    try {
        readFileBytes(dir.file("missing.txt"));
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    try {
        readFileBytes(dir.path());
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    try {
        loadFileBytes(dir.file("missing.txt"));
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + dir.file("missing.txt") +
                                             "\". No such file or directory");
    }
    EXPECT_TRUE(fileExists(dir.file("x.txt")));
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.file("missing.txt")));
}
