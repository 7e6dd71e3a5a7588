// SPDX-License-Identifier: MIT
#include "core/news/feedlists.h"

#include "core/platform/asciitext.h"
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "core/platform/fieldsplit.h"
#include "core/platform/textfile.h"

#include <cerrno>
#include <unistd.h>

namespace nuvio {

std::vector<std::string> commaFields(std::string_view line)
{
    return splitFields(line, ',');
}

std::string CommaField(std::string_view line, int n)
{
    const auto fields = commaFields(line);
    if (n < 0 || static_cast<std::size_t>(n) >= fields.size())
        throw errors::listIndexOutOfBounds(n);
    return fields[static_cast<std::size_t>(n)];
}

std::string trimControls(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool isHeadingLine(std::string_view line)
{
    return line.find("<<<") != std::string_view::npos;
}

std::string catalogDisplayText(std::string_view line)
{
    return isHeadingLine(line) ? trimControls(line) : trimControls(CommaField(line, 0));
}

std::string ResolveFeedUrl(const std::string& chosen, const std::vector<std::string>& catalog)
{
    if (startsWithIgnoringAsciiCase(chosen, "http://") ||
        startsWithIgnoringAsciiCase(chosen, "https://"))
        return chosen;
    std::string url;
    for (const auto& line : catalog) {
        if (CommaField(line, 0) == chosen)
            url = CommaField(line, 1);
    }
    return url;
}

std::vector<std::string> readListForRefresh(const std::string& path)
{
    auto lines = splitLines(readFileBytes(path));
    for (auto& line : lines) {
        if (line.size() > kRefreshLineLimit)
            line.resize(kRefreshLineLimit);
    }
    return lines;
}

std::vector<std::string> readCatalogDisplayTexts(const std::string& path)
{
    std::vector<std::string> texts;
    for (const auto& line : splitLines(readFileBytes(path)))
        texts.push_back(catalogDisplayText(line));
    return texts;
}

std::vector<std::string> readSelectedFeeds(const std::string& path)
{
    return splitLines(readFileBytes(path));
}

void writeSelectedFeeds(const std::string& path, const std::vector<std::string>& feeds)
{
    if (feeds.empty()) {
        // A protected file is not the user's to lose, emptied or not.
        if (isWriteProtected(path))
            throw errors::fileAccessDenied();
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            throw errors::fromErrno(errno);
        return;
    }
    try {
        writeFileAtomically(path, joinLinesCrLf(feeds));
    } catch (const FileWriteError& error) {
        throw errors::fromErrno(error.errorNumber());
    }
}

} // namespace nuvio
