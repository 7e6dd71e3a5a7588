// SPDX-License-Identifier: MIT
#include "core/platform/errors.h"
#include "core/platform/registryhive.h"
#include "support/tempdir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace nuvio;

namespace {
const char* kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio";
}

TEST(RegistryHive, ReadsEveryValueForm)
{
    const std::string text = "REGEDIT4\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\r\n"
                             "\"InstallPath\"=\"C:\\\\Program Files\\\\nuvio\"\r\n"
                             "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
                             "\"Count\"=dword:0000000f\r\n"
                             "\"Expand\"=hex(2):25,54,45,4d,50,25,00\r\n"
                             "\"Blob\"=hex:01,02,\\\r\n"
                             "  03\r\n"
                             "\"Odd\"=hex(b):00,00\r\n"
                             "\"Broken\"=nonsense\r\n"
                             "@=\"default\"\r\n";
    const auto hive = RegistryHive::parse(text);
    struct Case
    {
        const char* name;
        int type;
        std::string data;
    };
    const Case cases[] = {
        {"InstallPath", RegSz, "C:\\Program Files\\nuvio"},
        {"quote", RegSz, "say \"hi\""},
        {"Count", RegDword, std::string("\x0f\0\0\0", 4)},
        {"Expand", RegExpandSz, std::string("%TEMP%\0", 7)},
        {"Blob", RegBinary, "\x01\x02\x03"},
        {"Odd", 0xb, std::string("\0\0", 2)},
        {"Broken", RegUnparsable, "nonsense"},
        {"", RegSz, "default"},
    };
    for (const auto& c : cases) {
        const auto value = hive.value("hkey_local_machine\\software\\trelvander\\NUVIO", c.name);
        ASSERT_TRUE(value) << c.name;
        EXPECT_EQ(value->type, c.type) << c.name;
        EXPECT_EQ(value->data, c.data) << c.name;
    }
    EXPECT_FALSE(hive.value(kKey, "Missing"));
    EXPECT_EQ(hive.serialize(), text) << "an untouched hive is written back byte for byte";
}

TEST(RegistryHive, WritingKeepsEverythingElse)
{
    const std::string text = "REGEDIT4\n"
                             "\n"
                             "[HKEY_CURRENT_USER\\Other]\n"
                             "\"mleft\"=\"not ours\"\n"
                             "garbage line without sense\n"
                             "\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n"
                             "\"mleft\"=\"5\"\n"
                             "\"Extra\"=dword:00000001\n"
                             "\n"
                             "[-HKEY_LOCAL_MACHINE\\Gone]\n"
                             "\"x\"=\"y\"\n";
    auto hive = RegistryHive::parse(text);
    hive.setValue(kKey, "MLEFT", {RegSz, "7"});
    hive.setValue(kKey, "mtop", {RegSz, "a\\b\"c"});
    const std::string expected = "REGEDIT4\n"
                                 "\n"
                                 "[HKEY_CURRENT_USER\\Other]\n"
                                 "\"mleft\"=\"not ours\"\n"
                                 "garbage line without sense\n"
                                 "\n"
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n"
                                 "\"mleft\"=\"7\"\n"
                                 "\"Extra\"=dword:00000001\n"
                                 "\"mtop\"=\"a\\\\b\\\"c\"\n"
                                 "\n"
                                 "[-HKEY_LOCAL_MACHINE\\Gone]\n"
                                 "\"x\"=\"y\"\n";
    EXPECT_EQ(hive.serialize(), expected);
    const auto again = RegistryHive::parse(hive.serialize());
    EXPECT_EQ(again.value(kKey, "mtop")->data, "a\\b\"c");
    EXPECT_EQ(again.value("HKEY_CURRENT_USER\\Other", "mleft")->data, "not ours");
}

TEST(RegistryHive, NewKeyInAnEmptyOrGarbageFile)
{
    for (const std::string& text :
         {std::string(), std::string("\x01\x02 binary junk\n[unclosed\n", 22)}) {
        auto hive = RegistryHive::parse(text);
        hive.setValue(kKey, "UserLanguage", {RegSz, "Dansk"});
        const auto written = hive.serialize();
        EXPECT_EQ(written.rfind("REGEDIT4\n", 0), 0u);
        EXPECT_NE(
            written.find(
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"UserLanguage\"=\"Dansk\"\n"),
            std::string::npos);
        if (!text.empty()) {
            EXPECT_NE(written.find("binary junk"), std::string::npos)
                << "garbage is kept, not dropped";
        }
        EXPECT_EQ(RegistryHive::parse(written).value(kKey, "UserLanguage")->data, "Dansk");
    }
}

TEST(RegistryHive, TextsThatNeedTheHexForm)
{
    for (const std::string& data : {std::string("two\r\nlines"), std::string("nul\0inside", 10),
                                    std::string("\xE6\xF8\xE5")}) {
        RegistryHive hive;
        hive.setValue(kKey, "v", {RegSz, data});
        const auto back = RegistryHive::parse(hive.serialize()).value(kKey, "v");
        ASSERT_TRUE(back);
        EXPECT_EQ(back->type, RegSz);
        EXPECT_EQ(back->data.substr(0, data.size()), data);
    }
}

TEST(RegistryKey, ReadsStringsAndRefusesOtherTypes)
{
    test::TempDir dir;
    dir.write("hive.reg",
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n"
              "\"s\"=\"text\"\n\"e\"=hex(2):61,62,00\n\"empty\"=\"\"\n\"emptybin\"=hex:\n"
              "\"d\"=dword:00000001\n\"b\"=hex:01\n\"junk\"=???\n\"nul\"=hex(1):61,00,62,00\n");
    RegistryKey key(dir.file("hive.reg"), kKey);
    ASSERT_TRUE(key.openOrCreate());
    EXPECT_EQ(key.readString("s"), "text");
    EXPECT_EQ(key.readString("E"), "ab");
    EXPECT_EQ(key.readString("empty"), "");
    EXPECT_EQ(key.readString("emptybin"), "") << "an empty value of any type reads as empty";
    EXPECT_EQ(key.readString("absent"), "");
    EXPECT_EQ(key.readString("nul"), "a") << "a string ends at its first NUL";
    for (const char* name : {"d", "b", "junk"}) {
        try {
            key.readString(name);
            FAIL() << name;
        } catch (const NuvioError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Invalid data type for '") + name + "'");
        }
    }
}

TEST(RegistryKey, WritesReplaceTheFileAndKeepOthers)
{
    test::TempDir dir;
    const std::string path = dir.file("sub/dir/hive.reg");
    RegistryKey key(path, kKey);
    ASSERT_TRUE(key.openOrCreate()) << "a missing hive and folder are created on demand";
    key.writeString("a", "1");
    key.writeString("b", "2");
    RegistryKey again(path, kKey);
    ASSERT_TRUE(again.openOrCreate());
    EXPECT_EQ(again.readString("a"), "1");
    EXPECT_EQ(again.readString("b"), "2");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("sub/dir")), {}), 1);
}

TEST(RegistryKey, UnusableHives)
{
    test::TempDir dir;
    // A folder where the hive should be cannot be read: opening fails, nothing is written.
    std::filesystem::create_directory(dir.file("hive.reg"));
    RegistryKey folder(dir.file("hive.reg"), kKey);
    EXPECT_FALSE(folder.openOrCreate());
    EXPECT_EQ(folder.readString("x"), "");
    try {
        folder.writeString("mleft", "1");
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'mleft'");
    }
    // A file where the hive's folder should be.
    dir.write("plain", "x");
    RegistryKey blocked(dir.file("plain/hive.reg"), kKey);
    EXPECT_FALSE(blocked.openOrCreate());
}

TEST(RegistryHivePath, EnvironmentDecides)
{
    const auto saved = [](const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    const auto registry = saved("NUVIO_REGISTRY");
    const auto xdg = saved("XDG_CONFIG_HOME");
    ::setenv("NUVIO_REGISTRY", "/tmp/x.reg", 1);
    EXPECT_EQ(registryHivePath(), "/tmp/x.reg");
    ::unsetenv("NUVIO_REGISTRY");
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(registryHivePath(), "/cfg/nuvio/HKEY_LOCAL_MACHINE.reg");
    registry ? (void)::setenv("NUVIO_REGISTRY", registry->c_str(), 1)
             : (void)::unsetenv("NUVIO_REGISTRY");
    xdg ? (void)::setenv("XDG_CONFIG_HOME", xdg->c_str(), 1) : (void)::unsetenv("XDG_CONFIG_HOME");
}

TEST(RegistryHive, NewValuesSurviveOddNeighbours)
{
    // Found by fuzzing: a lone "[" line inside the key, and a last line ending in "\".
    const std::string cases[] = {
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n[\n\"mleft\"=junk\n",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"a\"=text\\",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n\"b\"=hex:01,\\",
    };
    for (const auto& text : cases) {
        auto hive = RegistryHive::parse(text);
        hive.setValue(kKey, "mleft", {RegSz, "7"});
        const auto back = RegistryHive::parse(hive.serialize()).value(kKey, "mleft");
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(back->data, "7") << text;
        EXPECT_EQ(back->type, RegSz) << text;
    }
}
