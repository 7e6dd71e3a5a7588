// SPDX-License-Identifier: MIT
#include "core/platform/errors.h"

#include <gtest/gtest.h>

using namespace nuvio;

TEST(StrToInt, AcceptsWhatTheSettingsMayHold)
{
    struct Case
    {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {
        {"15", true, 15},
        {"-1", true, -1},
        {"+7", true, 7},
        {"  42", true, 42},
        {"0", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$FF", true, 255},
        {"0x10", true, 16},
        {"$FFFFFFFF", true, -1},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"42 ", false, 0},
        {"4 2", false, 0},
        {"abc", false, 0},
        {"1.5", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t value = 12345;
        EXPECT_EQ(tryStrToInt(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(StrToInt, NamesTheTextInItsError)
{
    try {
        strToInt("tyve");
        FAIL() << "no error";
    } catch (const NuvioError& error) {
        EXPECT_STREQ(error.what(), "'tyve' is not a valid integer value");
    }
}

TEST(StrToBool, TrueFalseAndNumbers)
{
    struct Case
    {
        const char* text;
        bool ok;
        bool value;
    };
    const Case cases[] = {
        {"-1", true, true},   {"1", true, true},     {"0", true, false},     {"True", true, true},
        {"TRUE", true, true}, {"tRuE", true, true},  {"False", true, false}, {"FALSE", true, false},
        {"2", true, true},    {"yes", false, false}, {"", false, false},     {"on", false, false},
    };
    for (const auto& c : cases) {
        bool value = !c.value;
        EXPECT_EQ(tryStrToBool(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(Errors, RunTimeTextsAreWordForWord)
{
    EXPECT_STREQ(errors::fileNotFound().what(), "File not found");
    EXPECT_STREQ(errors::fromErrno(EACCES).what(), "File access denied");
    EXPECT_STREQ(errors::fromErrno(ENOSPC).what(), "Disk full");
    EXPECT_STREQ(errors::fromErrno(EIO).what(), "I/O error 5");
    EXPECT_STREQ(errors::streamWriteError().what(), "Stream write error");
    EXPECT_STREQ(errors::listIndexOutOfBounds(1).what(), "List index out of bounds (1)");
    EXPECT_STREQ(errors::cannotOpenFile("/x/languages.ini", "No such file or directory").what(),
                 "Cannot open file \"/x/languages.ini\". No such file or directory");
    EXPECT_STREQ(errors::cannotCreateFile("/x/a.html", "Permission denied").what(),
                 "Cannot create file \"/x/a.html\". Permission denied");
    EXPECT_STREQ(errors::invalidDataType("mleft").what(), "Invalid data type for 'mleft'");
    EXPECT_STREQ(errors::failedToSetData("mtop").what(), "Failed to set data for 'mtop'");
}
