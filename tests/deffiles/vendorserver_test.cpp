// SPDX-License-Identifier: MIT
// The bundled vendor server against the real update: every file it lists arrives byte for
// byte as the default installation has it.
#include "core/deffiles/definitionupdate.h"
#include "core/net/httpclient.h"
#include "support/tempdir.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace nuvio;
namespace fs = std::filesystem;

namespace {

int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

} // namespace

TEST(VendorServer, ServesTheDefaultInstallation)
{
    const std::string root = NUVIO_SOURCE_DIR;
    const std::string port = std::to_string(freePort());
    const std::string script = root + "/scripts/serve-vendor";
    char* argv[] = {const_cast<char*>("python3"), const_cast<char*>(script.c_str()),
                    const_cast<char*>(port.c_str()), nullptr};
    ::setenv("NUVIO_SERVE_QUIET", "1", 1);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawnp(&pid, "python3", nullptr, nullptr, argv, environ), 0);

    test::TempDir dir;
    HttpClient http;
    DefinitionUpdateContext context;
    context.installPath = dir.path();
    context.serverBaseUrl = "http://127.0.0.1:" + port + "/";
    context.userLanguage = "Dansk";
    context.http = &http;
    std::string error = "server did not start";
    for (int attempt = 0; attempt < 100 && !error.empty(); ++attempt) {
        try {
            fetchDefinitionFiles(context);
            error.clear();
        } catch (const std::exception& e) {
            error = e.what();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    const HttpResult help = http.get(context.serverBaseUrl + "help/index.php?lang=dansk");
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    ASSERT_EQ(error, "");
    EXPECT_TRUE(help.ok) << help.error;
    EXPECT_NE(help.body.find("nuvio"), std::string::npos);

    const auto list = fileListLines(test::TempDir::readFile(dir.file("filelist.txt")));
    ASSERT_FALSE(list.empty());
    for (const auto& line : list) {
        const auto entry = readFileListEntry(line);
        std::string expected = test::TempDir::readFile(root + "/data/" + entry.remoteName);
        if (entry.localName == "newsfeeds.txt") {
            // The demo server's catalogue names its own sample feeds, at its own address.
            expected += "<<< Eksempler fra nuvio-serveren >>>\r\n\"nuvio Indland\"," +
                        context.serverBaseUrl + "feeds/indland.xml\r\n\"nuvio Udland\"," +
                        context.serverBaseUrl + "feeds/udland.xml\r\n\"nuvio Sport\"," +
                        context.serverBaseUrl + "feeds/sport.xml\r\n";
        }
        EXPECT_EQ(test::TempDir::readFile(dir.file(entry.localName)), expected) << entry.localName;
    }
    // Every page, style sheet, image, catalogue and language file of the installation is listed.
    for (const auto& file : fs::directory_iterator(root + "/data")) {
        const std::string name = file.path().filename().string();
        const std::string ext = file.path().extension().string();
        if (ext == ".html" || ext == ".css" || ext == ".gif" || ext == ".ini" ||
            name == "newsfeeds.txt") {
            EXPECT_TRUE(fs::exists(dir.file(name))) << name << " is not in the file list";
        }
    }
}
