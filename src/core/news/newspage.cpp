// SPDX-License-Identifier: MIT
#include "core/news/newspage.h"

#include "core/news/inerttext.h"
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"

#include <cerrno>

namespace nuvio {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kSpacer = "<img src=\"blank.gif\" width=\"5\" height=\"5\"><br>";

std::string line(std::string_view text)
{
    std::string out(text);
    out += kCrLf;
    return out;
}

// A title is written twice, so one huge title made a page of hundreds of megabytes.
constexpr std::size_t kLongestTitle = 1000;
// The longest character reference a cut could split ("&#1114111;").
constexpr std::size_t kLongestReference = 10;

std::string_view shortTitle(std::string_view title)
{
    if (title.size() <= kLongestTitle)
        return title;
    title = title.substr(0, kLongestTitle);
    const std::size_t amp = title.rfind('&');
    if (amp != std::string_view::npos && amp >= kLongestTitle - kLongestReference &&
        title.find(';', amp) == std::string_view::npos)
        title = title.substr(0, amp);
    return title;
}

} // namespace

std::string previousPageText(const std::string& path)
{
    if (!fileExists(path))
        return {};
    return joinLinesCrLf(splitLines(readFileBytes(path)));
}

NewsPageWriter::NewsPageWriter(std::string path, std::string previousPage)
    : m_path(std::move(path)), m_previous(std::move(previousPage))
{}

NewsPageWriter::~NewsPageWriter()
{
    abandon();
}

std::string NewsPageWriter::headerText()
{
    return line("<html>") + line("<head>") +
           line("<link rel=\"stylesheet\" href=\"default.css\" type=\"text/css\"/>") +
           line("</head>") +
           line("<body style=\"margin: 0px; padding: 0px; overflow-x: hidden\" "
                "ONCONTEXTMENU=\"return false\"><nobr>") +
           line(kSpacer);
}

std::string NewsPageWriter::headingText(std::string_view channelLink, std::string_view channelTitle)
{
    const std::string link = pageLink(channelLink);
    const std::string title = escapeForPage(channelTitle);
    std::string heading =
        "<a href=\"" + link +
        "\" style=\"background-image: url('stripes_gray.gif'); text-decoration: none; "
        "color:#000000; width:100%\" Title=\"" +
        title +
        "\"><font size=+1><img src=\"blank.gif\" width=\"10\" height=\"10\" hspace=\"2\" "
        "border=\"0\"><b>" +
        title + "</b></font></a><br>";
    return line(kSpacer) + line(heading) + line(kSpacer);
}

std::string NewsPageWriter::itemText(std::string_view link, std::string_view title, bool isNew)
{
    const std::string safeTitle = escapeForPage(title);
    return line("<div class=\"feed-line\"><a href=\"" + std::string(link) +
                "\" class=\"feed-line\" Title=\"" + safeTitle + "\"><img src=\"" +
                (isNew ? "feed-line-new" : "feed-line") +
                ".gif\" align=\"absmiddle\" width=\"10\" height=\"10\" hspace=\"2\" border=\"0\">" +
                safeTitle + "</a></div>");
}

std::string NewsPageWriter::footerText()
{
    return line(kSpacer) + line(kSpacer) + line("</nobr></body>") + line("</html>");
}

namespace {

// The page's failures keep the wording of the text-file errors.
template <typename Step> void pageStep(Step step)
{
    try {
        step();
    } catch (const FileWriteError& error) {
        throw NewsPageWriteError(errors::fromErrno(error.errorNumber()).what());
    }
}

} // namespace

void NewsPageWriter::beginPage()
{
    abandon();
    m_newNews = false;
    pageStep([&] { m_file = std::make_unique<AtomicFileWriter>(m_path); });
    write(headerText());
}

void NewsPageWriter::feedHeading(std::string_view channelLink, std::string_view channelTitle)
{
    write(headingText(channelLink, shortTitle(channelTitle)));
}

void NewsPageWriter::item(std::string_view link, std::string_view title)
{
    title = shortTitle(title);
    // The rule compares the link exactly as the page will hold it; an item without one is
    // known again by its title, else it would be new, and alert, at every refresh.
    const std::string written = pageLink(link);
    const bool isNew = written.empty() ? !m_previous.contains("class=\"feed-line\" Title=\"" +
                                                              escapeForPage(title) + "\"><img")
                                       : !m_previous.contains(written);
    write(itemText(written, title, isNew));
    if (isNew)
        m_newNews = true;
}

void NewsPageWriter::endPage()
{
    write(footerText());
    const auto file = std::move(m_file);
    pageStep([&] { file->commit(); });
}

void NewsPageWriter::abandon()
{
    m_file.reset();
}

void NewsPageWriter::write(std::string_view text)
{
    if (!m_file)
        throw NewsPageWriteError(errors::ioError(103).what()); // the page is not open
    pageStep([&] { m_file->write(text); });
}

} // namespace nuvio
