// SPDX-License-Identifier: MIT
#include "core/news/feedcache.h"
#include "core/platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace nuvio;

namespace {
QString uniqueName(const char* tag)
{
    return QStringLiteral("nuvio-test-%1-%2").arg(QString::fromLatin1(tag)).arg(::getpid());
}

// The lock a listening copy keeps beside its socket, removed after the copies are gone.
struct LockFileRemoved
{
    QString name;
    ~LockFileRemoved() { QFile::remove(QDir::temp().filePath(name + QStringLiteral(".lock"))); }
};
} // namespace

TEST(SingleInstance, NameDependsOnClassAndTitle)
{
    const auto a = SingleInstance::serverName("TForm1", "nuvio v.1.00");
    EXPECT_EQ(a, SingleInstance::serverName("TForm1", "nuvio v.1.00"));
    EXPECT_NE(a, SingleInstance::serverName("TForm1", "nuvio v.2.00"))
        << "another version is another program";
    EXPECT_NE(a, SingleInstance::serverName("TForm2", "nuvio v.1.00"));
}

// Copies started with different spellings of one display find each other; copies on
// different displays do not.
TEST(SingleInstance, OneCopyPerDisplayWhateverItsSpelling)
{
    const QByteArray oldDisplay = qgetenv("DISPLAY"), oldWayland = qgetenv("WAYLAND_DISPLAY"),
                     oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const auto restore = [](const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    qunsetenv("WAYLAND_DISPLAY");
    const std::vector<std::vector<const char*>> displays = {
        {":51", ":51.0", "unix:51", "unix:51.1", "localhost:51", ":051", "/tmp/.X11-unix/X51"},
        {":5", ":5.0"},
        {"remote.example:51", "REMOTE.example:51.0"},
        {"other.example:51"},
        {"garbage"},
    };
    std::vector<QString> names;
    for (const auto& spellings : displays) {
        std::set<QString> same;
        for (const char* display : spellings) {
            qputenv("DISPLAY", display);
            same.insert(SingleInstance::serverName("TForm1", "nuvio v.1.00"));
        }
        EXPECT_EQ(same.size(), 1u) << spellings.front();
        names.push_back(*same.begin());
    }
    EXPECT_EQ(std::set<QString>(names.begin(), names.end()).size(), names.size())
        << "another display is another copy";

    qunsetenv("DISPLAY");
    const QString runtime =
        QDir::tempPath() + QStringLiteral("/nuvio-test-runtime-") + QString::number(::getpid());
    ASSERT_TRUE(QDir().mkpath(runtime));
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    const QString byName = SingleInstance::serverName("TForm1", "nuvio v.1.00");
    qputenv("WAYLAND_DISPLAY", QFile::encodeName(runtime + QStringLiteral("/wayland-0")));
    EXPECT_EQ(SingleInstance::serverName("TForm1", "nuvio v.1.00"), byName);
    qputenv("WAYLAND_DISPLAY", "wayland-1");
    EXPECT_NE(SingleInstance::serverName("TForm1", "nuvio v.1.00"), byName);
    QDir(runtime).removeRecursively();
    restore("DISPLAY", oldDisplay);
    restore("WAYLAND_DISPLAY", oldWayland);
    restore("XDG_RUNTIME_DIR", oldRuntime);
}

TEST(SingleInstance, SecondCopyFindsTheFirstAndAsksItForward)
{
    const QString name = uniqueName("pair");
    const LockFileRemoved lock{name};
    SingleInstance first(name);
    SingleInstance early(name);
    ASSERT_FALSE(first.findRunningCopy(200));
    // Started at the same moment: both looked before either listened. The later one must
    // not take the name from the first, or the next copy would find only one of them.
    ASSERT_FALSE(early.findRunningCopy(200));
    ASSERT_TRUE(first.listen());
    EXPECT_FALSE(early.listen()) << "the name is the first copy's";
    QSignalSpy forward(&first, &SingleInstance::comeForwardRequested);

    SingleInstance second(name);
    ASSERT_TRUE(second.findRunningCopy(2000));
    EXPECT_EQ(forward.count(), 0) << "nothing is asked before the message is closed";
    second.askRunningCopyToComeForward();
    EXPECT_TRUE(forward.wait(3000));
}

TEST(SingleInstance, SocketLeftByADeadCopyDoesNotStopTheNext)
{
    const QString name = uniqueName("stale");
    const LockFileRemoved lock{name};
    const QByteArray path = QDir::temp().filePath(name).toLocal8Bit();
    // A bound socket whose owner is gone: the file stays, nobody answers.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.constData());
    ::unlink(path.constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_EQ(::access(path.constData(), F_OK), 0);

    SingleInstance next(name);
    EXPECT_FALSE(next.findRunningCopy(500));
    EXPECT_TRUE(next.listen());
    SingleInstance later(name);
    EXPECT_TRUE(later.findRunningCopy(2000));
}

TEST(SingleInstance, SocketLivesWhereOnlyThisUserCanReachIt)
{
    const QString base = QDir::temp().filePath(uniqueName("folders"));
    QDir().mkpath(base + "/home");
    QDir().mkpath(base + "/runtime");
    QDir().mkpath(base + "/shared");
    ::chmod((base + "/runtime").toLocal8Bit().constData(), 0700);
    ::chmod((base + "/shared").toLocal8Bit().constData(), 01777);
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qunsetenv("XDG_CACHE_HOME");
    qputenv("HOME", (base + "/home").toLocal8Bit());
    const QString cache = base + "/home/.cache/nuvio";
    const auto reset = [&] {
        QDir(base + "/home/.cache").removeRecursively();
        QFile::remove(base + "/home/.cache");
    };
    struct Case
    {
        const char* what;
        QString runtime;
        std::function<void()> before; // what was in the cache folder before
        QString folder;               // empty: no private folder, no name
    };
    const Case cases[] = {
        {"the session's runtime folder", base + "/runtime", reset, base + "/runtime"},
        {"a runtime folder others may write", base + "/shared", reset, cache},
        {"no runtime folder", QString(), reset, cache},
        {"the feed cache came first", QString(),
         [&] {
             reset();
             FeedCache(FeedCache::defaultFolder()).store("http://a/", {"x", true, "\"1\"", "", {}});
         },
         cache},
        {"an older version made it 0755", QString(),
         [&] {
             reset();
             QDir().mkpath(cache + "/feeds");
             ::chmod(cache.toLocal8Bit().constData(), 0755);
         },
         cache},
        {"a link where the folder should be", QString(),
         [&] {
             reset();
             QDir().mkpath(base + "/home/.cache");
             QFile::link(base + "/runtime", cache);
         },
         QString()},
        {"no cache folder can be made", QString(),
         [&] {
             reset();
             QFile file(base + "/home/.cache");
             file.open(QIODevice::WriteOnly);
         },
         QString()},
    };
    for (const auto& c : cases) {
        if (c.runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", c.runtime.toLocal8Bit());
        c.before();
        const QString name = SingleInstance::serverName("TForm1", "nuvio v.1.00");
        if (c.folder.isEmpty()) {
            EXPECT_TRUE(name.isEmpty()) << c.what << ": " << name.toStdString();
            continue;
        }
        EXPECT_EQ(QFileInfo(name).path(), c.folder) << c.what;
        struct stat st
        {
        };
        ASSERT_EQ(::lstat(c.folder.toLocal8Bit().constData(), &st), 0) << c.what;
        EXPECT_TRUE(S_ISDIR(st.st_mode)) << c.what;
        EXPECT_EQ(st.st_mode & 0077, 0u) << c.what;
        SingleInstance first(name);
        EXPECT_TRUE(first.listen()) << c.what;
        SingleInstance second(name);
        EXPECT_TRUE(second.findRunningCopy(2000)) << c.what << ": the second copy is turned away";
    }
    // One copy from the desktop session, one from a terminal outside it (no runtime folder,
    // so it listens in the cache folder and finds nobody there): either way round, the
    // later one is turned away.
    for (const bool desktopFirst : {true, false}) {
        reset();
        const auto session = [&](bool desktop) {
            if (desktop)
                qputenv("XDG_RUNTIME_DIR", (base + "/runtime").toLocal8Bit());
            else
                qunsetenv("XDG_RUNTIME_DIR");
            return SingleInstance::serverName("TForm1", "nuvio v.1.00");
        };
        SingleInstance first(session(desktopFirst));
        ASSERT_TRUE(first.listen()) << desktopFirst;
        SingleInstance later(session(!desktopFirst));
        EXPECT_FALSE(later.findRunningCopy(200)) << desktopFirst;
        EXPECT_FALSE(later.listen()) << desktopFirst;
        EXPECT_TRUE(later.heldByAnotherCopy()) << desktopFirst;
    }
    reset();
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("HOME", oldHome);
    if (!oldCache.isEmpty())
        qputenv("XDG_CACHE_HOME", oldCache);
    QDir(base).removeRecursively();
}

TEST(SingleInstance, AnotherUsersListenerIsNotBelieved)
{
    if (::getuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        GTEST_SKIP() << "needs root and setpriv to act as another user";
    const QString folder = QDir::temp().filePath(uniqueName("other"));
    QDir().mkpath(folder);
    ::chmod(folder.toLocal8Bit().constData(), 0777);
    const QString path = folder + QStringLiteral("/nuvio-socket");
    QProcess other;
    other.start(
        QStringLiteral("setpriv"),
        {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
         QStringLiteral("--clear-groups"), QStringLiteral("/usr/bin/python3"), QStringLiteral("-c"),
         QStringLiteral("import socket,sys,time\n"
                        "s=socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(4)\n"
                        "print('ready', flush=True); time.sleep(20)"),
         path});
    ASSERT_TRUE(other.waitForReadyRead(10000)) << other.readAllStandardError().toStdString();
    SingleInstance mine(path);
    EXPECT_FALSE(mine.findRunningCopy(1000)) << "a listener of another user is not our copy";
    other.kill();
    other.waitForFinished(3000);
    QDir(folder).removeRecursively();
}
