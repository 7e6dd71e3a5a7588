// SPDX-License-Identifier: MIT
#include "core/news/feedtext.h"

#include "core/news/feedencoding.h"
#include "core/platform/asciitext.h"

#include <cstdint>
#include <cstring>

namespace nuvio {

namespace {

// "&#38;" (an ampersand written as a reference inside an escaped text) read as the ampersand
// it stands for; "#38;" anywhere else is text of its own ("bug #38; see notes").
void readAmpersandReferences(std::string& text)
{
    constexpr std::string_view reference = "&#38;";
    std::size_t hit = text.find(reference);
    if (hit == std::string::npos)
        return;
    std::size_t out = hit;
    std::size_t in = hit;
    while (hit != std::string::npos) {
        std::memmove(text.data() + out, text.data() + in, hit - in);
        out += hit - in;
        text[out++] = '&';
        in = hit + reference.size();
        hit = text.find(reference, in);
    }
    std::memmove(text.data() + out, text.data() + in, text.size() - in);
    out += text.size() - in;
    text.resize(out);
}

} // namespace

std::string utf8ToPageText(std::string_view utf8)
{
    return decodeFeedBytes("\xEF\xBB\xBF" + std::string(utf8), {});
}

std::string prepareFeedText(std::string body, std::string_view contentType)
{
    std::string text = decodeFeedBytes(std::move(body), contentType);
    readAmpersandReferences(text);
    return text;
}

std::string StripMarkup(std::string_view text)
{
    constexpr std::string_view open = "<![CDATA[";
    if (const auto at = text.find(open); at != std::string_view::npos)
        text.remove_prefix(at + open.size());
    if (const auto at = text.find("]]>"); at != std::string_view::npos && at > 0)
        text = text.substr(0, at);
    return withoutTags(text);
}

std::string withoutTags(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lt = text.find('<', i);
        if (lt == std::string_view::npos)
            break;
        const auto gt = text.find('>', lt);
        if (gt == std::string_view::npos)
            break;
        out.append(text.substr(i, lt - i));
        i = gt + 1;
    }
    out.append(text.substr(i));
    return out;
}

} // namespace nuvio
