#pragma once

#include "news/substringindex.h"

#include <string>
#include <string_view>

namespace nuvio {

inline constexpr const char* kNewsPageFile = "news.html";

// The previous page as the new-item rule reads it: the file's lines joined by CR LF, or
// the empty text when there is no page.
std::string previousPageText(const std::string& path);

// Writes news.html piece by piece as the refresh goes, so that a browser opening it
// meanwhile sees what has been written so far. An item is new when its link, as written,
// does not occur anywhere in the previous page.
class NewsPageWriter
{
public:
    NewsPageWriter(std::string path, std::string previousPage);
    ~NewsPageWriter();
    NewsPageWriter(const NewsPageWriter&) = delete;
    NewsPageWriter& operator=(const NewsPageWriter&) = delete;

    // Creates or truncates the file and writes the header. Failures carry the text-file
    // messages ("File access denied", "Disk full", ...), as do all writes below.
    void beginPage();
    void feedHeading(std::string_view channelLink, std::string_view channelTitle);
    void item(std::string_view link, std::string_view title);
    // Writes the footer and closes the file.
    void endPage();
    // Closes the file without the footer, after a failure that ends the run.
    void abandon();

    bool newNews() const { return m_newNews; }
    bool isOpen() const { return m_fd >= 0; }

    // The texts of the page's pieces, for those who check the page.
    static std::string headerText();
    static std::string headingText(std::string_view channelLink, std::string_view channelTitle);
    static std::string itemText(std::string_view link, std::string_view title, bool isNew);
    static std::string footerText();

private:
    void write(std::string_view text);

    std::string m_path;
    SubstringIndex m_previous;
    int m_fd = -1;
    bool m_newNews = false;
};

} // namespace nuvio
