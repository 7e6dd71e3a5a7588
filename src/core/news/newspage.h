// SPDX-License-Identifier: MIT
#pragma once

#include "core/news/substringindex.h"
#include "core/platform/errors.h"

#include <memory>
#include <string>
#include <string_view>

namespace nuvio {

inline constexpr const char* kNewsPageFile = "news.html";

// The previous page as the new-item rule reads it: the file's lines joined by CR LF, or
// the empty text when there is no page.
std::string previousPageText(const std::string& path);

class AtomicFileWriter;

// A failure to write the page itself, as opposed to a failure of one feed: it ends the run.
class NewsPageWriteError : public NuvioError
{
public:
    using NuvioError::NuvioError;
};

// Writes news.html piece by piece as the refresh goes, into a temporary file beside it
// that replaces the page only when the page is complete: a run that fails or is cancelled
// leaves the previous page whole, and with it the new-item rule. An item is new when its
// link, as written, does not occur anywhere in the previous page; one without a link when
// no line of the previous page has its title. Titles longer than 1,000 bytes are cut there
// (before a character reference the cut would split).
class NewsPageWriter
{
public:
    NewsPageWriter(std::string path, std::string previousPage);
    ~NewsPageWriter();
    NewsPageWriter(const NewsPageWriter&) = delete;
    NewsPageWriter& operator=(const NewsPageWriter&) = delete;

    // Starts the page and writes the header. Failures are NewsPageWriteError with the
    // text-file messages ("File access denied", "Disk full", ...), as are all writes below.
    void beginPage();
    void feedHeading(std::string_view channelLink, std::string_view channelTitle);
    void item(std::string_view link, std::string_view title);
    // Writes the footer and puts the page in place of the previous one.
    void endPage();
    // Drops what was written, after a failure that ends the run; the previous page stays.
    void abandon();

    bool newNews() const { return m_newNews; }
    bool isOpen() const { return m_file != nullptr; }

    // The texts of the page's pieces, for those who check the page.
    static std::string headerText();
    static std::string headingText(std::string_view channelLink, std::string_view channelTitle);
    static std::string itemText(std::string_view link, std::string_view title, bool isNew);
    static std::string footerText();

private:
    void write(std::string_view text);

    std::string m_path;
    SubstringIndex m_previous;
    std::unique_ptr<AtomicFileWriter> m_file;
    bool m_newNews = false;
};

} // namespace nuvio
