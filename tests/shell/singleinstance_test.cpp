#include "platform/singleinstance.h"

#include <QDir>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace nuvio;

namespace {
QString uniqueName(const char* tag)
{
    return QStringLiteral("nuvio-test-%1-%2").arg(QString::fromLatin1(tag)).arg(::getpid());
}
} // namespace

TEST(SingleInstance, NameDependsOnClassAndTitle)
{
    const auto a = SingleInstance::serverName("TForm1", "nuvio v.1.00");
    EXPECT_EQ(a, SingleInstance::serverName("TForm1", "nuvio v.1.00"));
    EXPECT_NE(a, SingleInstance::serverName("TForm1", "nuvio v.2.00"))
        << "another version is another program";
    EXPECT_NE(a, SingleInstance::serverName("TForm2", "nuvio v.1.00"));
}

TEST(SingleInstance, SecondCopyFindsTheFirstAndAsksItForward)
{
    const QString name = uniqueName("pair");
    SingleInstance first(name);
    ASSERT_FALSE(first.findRunningCopy(200));
    ASSERT_TRUE(first.listen());
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
