// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio {

// Hands a URL to the system's default handler (the user's browser or player). The result
// is not examined: a URL the system cannot open is lost silently.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual void open(const std::string& url) = 0;
};

class DesktopUrlOpener final : public UrlOpener
{
public:
    void open(const std::string& url) override;
};

} // namespace nuvio
