// SPDX-License-Identifier: MIT
// An OPML file from anywhere: it is read or refused with a message, never more, and the
// feeds read from it, written back out, read back as the same feeds.
#include "core/news/opml.h"

#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// What a written feed list keeps of a text: no control characters but tabs, and no
// blanks at either end (the reader trims).
QString kept(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
            out += c;
    }
    return out.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<nuvio::OpmlFeed> feeds;
    try {
        feeds = nuvio::readOpml(std::string(reinterpret_cast<const char*>(data), size), "f");
    } catch (const nuvio::OpmlError&) {
        return 0;
    }
    std::vector<nuvio::OpmlFeed> expected;
    for (const auto& feed : feeds) {
        if (!kept(feed.xmlUrl).isEmpty())
            expected.push_back({kept(feed.title), kept(feed.xmlUrl)});
    }
    const std::string written = nuvio::writeOpml(feeds);
    std::vector<nuvio::OpmlFeed> again;
    try {
        again = nuvio::readOpml(written, "f");
    } catch (const nuvio::OpmlError& error) {
        if (!expected.empty()) {
            std::fprintf(stderr, "the written file was refused: %s\n%s\n", error.what(),
                         written.c_str());
            std::abort();
        }
        return 0;
    }
    if (again != expected) {
        std::fprintf(stderr, "the written file reads back differently:\n%s\n", written.c_str());
        std::abort();
    }
    return 0;
}
