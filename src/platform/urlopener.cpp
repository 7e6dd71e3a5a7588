// SPDX-License-Identifier: MIT
#include "platform/urlopener.h"

#include "platform/plainpath.h"

#include <QDesktopServices>

namespace nuvio {

void DesktopUrlOpener::open(const std::string& url)
{
    QDesktopServices::openUrl(urlFromText(url));
}

} // namespace nuvio
