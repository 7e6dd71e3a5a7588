// SPDX-License-Identifier: MIT
// A news refresh of many large feeds from one loopback host, as a publisher with big
// archives serves them: chunked (no length known ahead), each with an ETag, so that the
// feed cache keeps them too. Reports the refresh's time, the peak resident memory (VmHWM)
// of the process that ran it, and whether every feed came out right.
//
//   build/bench/bigfeeds_bench                 150 x 2.6 MB, then 32 x 59 MB
//   build/bench/bigfeeds_bench COUNT MEGABYTES  one run of your own
//
// Each refresh runs in a fresh copy of this program, so that its peak is its own; the
// server runs in the first one.
#include "core/net/httpclient.h"
#include "core/news/feedcache.h"
#include "core/news/newsrefresh.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

using namespace nuvio;
using Clock = std::chrono::steady_clock;

namespace {

// One item of about 4 KB; a feed is its head and as many items as reach its size.
std::string item(int feed, int index)
{
    std::string text = "<item><title>Feed " + std::to_string(feed) + " nyhed " +
                       std::to_string(index) + "</title><link>http://feed" + std::to_string(feed) +
                       ".dk/" + std::to_string(index) + "</link><description>";
    while (text.size() < 4000)
        text += "Lange nyheder fylder godt i arkivet. ";
    return text + "</description></item>";
}

long long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atoll(line.c_str() + 6);
    }
    return -1;
}

// The child: one refresh of the feeds in DIR/newsselected.txt, with the cache in DIR/cache.
int refreshOnce(const std::string& dir, int count)
{
    HttpClient http;
    FeedCache cache(dir + "/cache");
    int failures = 0;
    NewsRefreshContext context;
    context.installPath = dir;
    context.showStatus = [&](const std::string& text) { failures += text.rfind("Fejl", 0) == 0; };
    context.http = &http;
    context.cache = &cache;
    const auto start = Clock::now();
    refreshNewsPage(context);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::ifstream in(dir + "/news.html", std::ios::binary);
    std::ostringstream page;
    page << in.rdbuf();
    int right = 0;
    for (int feed = 0; feed < count; ++feed) {
        // The first and the last of the headlines the page shows (25 a feed).
        right +=
            page.str().find(">Feed " + std::to_string(feed) + " nyhed 0<") != std::string::npos &&
            page.str().find(">Feed " + std::to_string(feed) + " nyhed 24<") != std::string::npos;
    }
    std::printf("%4d feeds  %6.1f s  VmHWM %5lld MB  feeds right %d of %d, Fejl %d\n", count,
                seconds, peakKilobytes() / 1024, right, count, failures);
    return right == count && failures == 0 ? 0 : 1;
}

int run(const char* self, int count, double megabytes)
{
    const std::size_t size = static_cast<std::size_t>(megabytes * 1024 * 1024);
    httplib::Server server;
    server.Get(R"(/feed/(\d+))", [size](const httplib::Request& request,
                                        httplib::Response& response) {
        const int feed = std::stoi(request.matches[1]);
        response.set_header("ETag", "\"" + std::to_string(feed) + "-1\"");
        response.set_chunked_content_provider(
            "application/rss+xml", [feed, size, sent = std::size_t{0},
                                    index = 0](std::size_t, httplib::DataSink& sink) mutable {
                std::string chunk;
                if (sent == 0)
                    chunk = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel><title>Feed " +
                            std::to_string(feed) + "</title><link>http://feed" +
                            std::to_string(feed) + ".dk/</link>";
                while (chunk.size() < (64 << 10) && sent + chunk.size() < size)
                    chunk += item(feed, index++);
                if (sent + chunk.size() >= size)
                    chunk += "</channel></rss>";
                sent += chunk.size();
                if (!sink.write(chunk.data(), chunk.size()))
                    return false;
                if (sent >= size)
                    sink.done();
                return true;
            });
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    // A folder of its own: another run (or anything that clears old nuvio folders from the
    // temporary folder) must not take its page half-way.
    std::string dir = (std::filesystem::temp_directory_path() / "bigfeeds-bench-XXXXXX").string();
    if (!::mkdtemp(dir.data()))
        return 1;
    std::ofstream(dir + "/newsfeeds.txt").flush();
    {
        std::ofstream selected(dir + "/newsselected.txt");
        for (int feed = 0; feed < count; ++feed)
            selected << "http://127.0.0.1:" << port << "/feed/" << feed << "\r\n";
    }
    std::printf("%d feeds of %.1f MB, chunked, with ETag, one host:\n", count, megabytes);
    std::fflush(stdout);
    std::string countText = std::to_string(count);
    std::string flag = "--refresh";
    std::vector<char*> argv = {const_cast<char*>(self), flag.data(), dir.data(), countText.data(),
                               nullptr};
    pid_t child = 0;
    int code = 1;
    if (::posix_spawn(&child, self, nullptr, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(child, &status, 0);
        code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    server.stop();
    thread.join();
    std::filesystem::remove_all(dir);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--refresh")
        return refreshOnce(argv[2], std::atoi(argv[3]));
    const char* self = "/proc/self/exe";
    if (argc == 3)
        return run(self, std::atoi(argv[1]), std::atof(argv[2]));
    int code = run(self, 150, 2.6);
    code |= run(self, 32, 59);
    return code;
}
