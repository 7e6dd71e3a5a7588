// SPDX-License-Identifier: MIT
// A whole news refresh of 20 feeds from loopback servers that wait 200 ms before each
// answer: one at a time, all at once from one host, and all at once from 20 hosts
// (127.0.0.2 to 127.0.0.21), side by side, with the pages compared.
//
//   build/bench/refresh_bench
#include "core/net/httpclient.h"
#include "core/news/newsrefresh.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

using namespace nuvio;
using Clock = std::chrono::steady_clock;

namespace {

struct Server
{
    httplib::Server http;
    std::thread thread;
    int port = 0;
    explicit Server(const std::string& host)
    {
        http.Get(R"(/feed/(\d+))", [](const httplib::Request& request,
                                      httplib::Response& response) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const std::string n = request.matches[1];
            std::string feed =
                "<rss><channel><title>Feed " + n + "</title><link>http://feed" + n + ".dk/</link>";
            for (int i = 0; i < 20; ++i)
                feed += "<item><title>Nyhed " + std::to_string(i) + "</title><link>http://feed" +
                        n + ".dk/" + std::to_string(i) + "</link></item>";
            response.set_content(feed + "</channel></rss>", "application/rss+xml");
        });
        port = http.bind_to_any_port(host);
        thread = std::thread([this] { http.listen_after_bind(); });
        while (!http.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~Server()
    {
        http.stop();
        thread.join();
    }
};

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

double refresh(const std::string& dir, const std::vector<std::string>& urls,
               const HttpClient::Limits& limits)
{
    std::ofstream(dir + "/newsfeeds.txt", std::ios::trunc).flush();
    {
        std::ofstream selected(dir + "/newsselected.txt", std::ios::trunc);
        for (const auto& url : urls)
            selected << url << "\r\n";
    }
    std::filesystem::remove(dir + "/news.html");
    HttpClient http(limits);
    NewsRefreshContext context;
    context.installPath = dir;
    context.showStatus = [](const std::string&) {};
    context.http = &http;
    const auto start = Clock::now();
    refreshNewsPage(context);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main()
{
    const std::string dir =
        (std::filesystem::temp_directory_path() / "nuvio-refresh-bench").string();
    std::filesystem::create_directories(dir);

    std::vector<std::unique_ptr<Server>> servers;
    servers.push_back(std::make_unique<Server>("127.0.0.1"));
    for (int h = 2; h <= 21; ++h)
        servers.push_back(std::make_unique<Server>("127.0.0." + std::to_string(h)));

    std::vector<std::string> oneHost, manyHosts;
    for (int i = 0; i < 20; ++i) {
        oneHost.push_back("http://127.0.0.1:" + std::to_string(servers[0]->port) + "/feed/" +
                          std::to_string(i));
        manyHosts.push_back("http://127.0.0." + std::to_string(i + 2) + ":" +
                            std::to_string(servers[i + 1]->port) + "/feed/" + std::to_string(i));
    }
    HttpClient::Limits oneAtATime;
    oneAtATime.maxPerHost = 1;
    oneAtATime.maxTotal = 1;

    const double sequential = refresh(dir, oneHost, oneAtATime);
    const std::string sequentialPage = readAll(dir + "/news.html");
    const double concurrentOne = refresh(dir, oneHost, {});
    const std::string concurrentPage = readAll(dir + "/news.html");
    const double concurrentMany = refresh(dir, manyHosts, {});

    std::printf("20 feeds, 200 ms each\n");
    std::printf("one at a time             %6.2f s\n", sequential);
    std::printf("at once, one host         %6.2f s  (target < 1 s; 6 connections per host)\n",
                concurrentOne);
    std::printf("at once, 20 hosts         %6.2f s  (target < 0.4 s)\n", concurrentMany);
    std::printf("pages identical           %s\n", sequentialPage == concurrentPage ? "yes" : "NO");
    std::filesystem::remove_all(dir);
    return sequentialPage == concurrentPage ? 0 : 1;
}
