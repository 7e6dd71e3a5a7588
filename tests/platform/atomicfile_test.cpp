// SPDX-License-Identifier: MIT
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "support/tempdir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace nuvio;

namespace {

std::size_t filesIn(const std::string& dir)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

std::size_t writesAllowed = 0;
int failAfterAllowedWrites(std::size_t)
{
    if (writesAllowed == 0)
        return ENOSPC;
    --writesAllowed;
    return 0;
}

struct HookGuard
{
    ~HookGuard() { setWriteFaultHook(nullptr); }
};

} // namespace

TEST(AtomicFile, CreatesAndReplaces)
{
    test::TempDir dir;
    writeFileAtomically(dir.file("a.txt"), "first");
    EXPECT_EQ(dir.read("a.txt"), "first");
    ::chmod(dir.file("a.txt").c_str(), 0640);
    writeFileAtomically(dir.file("a.txt"), std::string("sec\0ond", 7));
    EXPECT_EQ(dir.read("a.txt"), std::string("sec\0ond", 7));
    struct stat st
    {
    };
    ASSERT_EQ(::stat(dir.file("a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the old file's permissions are kept";
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileWhole)
{
    HookGuard guard;
    test::TempDir dir;
    dir.write("a.txt", "old contents");
    for (std::size_t allowed : {0u, 1u}) {
        writesAllowed = allowed;
        setWriteFaultHook(failAfterAllowedWrites);
        try {
            writeFileAtomically(dir.file("a.txt"), std::string(1 << 20, 'x'));
            // One write may take all the bytes at once; then nothing failed.
            EXPECT_EQ(allowed, 1u);
            dir.write("a.txt", "old contents");
        } catch (const NuvioError& e) {
            EXPECT_STREQ(e.what(), "Stream write error");
        }
        setWriteFaultHook(nullptr);
        EXPECT_EQ(dir.read("a.txt"), "old contents");
        EXPECT_EQ(filesIn(dir.path()), 1u) << "the temporary file is removed";
    }
}

TEST(AtomicFile, MissingFolderIsCannotCreate)
{
    test::TempDir dir;
    const std::string path = dir.file("no/such/folder/a.txt");
    try {
        writeFileAtomically(path, "x");
        FAIL();
    } catch (const NuvioError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
}

TEST(AtomicFile, RenameOntoAFolderFailsAndLeavesIt)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("taken"));
    dir.write("taken/inside", "kept");
    EXPECT_THROW(writeFileAtomically(dir.file("taken"), "x"), NuvioError);
    EXPECT_EQ(dir.read("taken/inside"), "kept");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}
