// SPDX-License-Identifier: MIT
#include "gui/platform/urlopener.h"

#include "core/platform/plainpath.h"

#include <QDesktopServices>

namespace nuvio {

void DesktopUrlOpener::open(const std::string& url)
{
    QDesktopServices::openUrl(urlFromText(url));
}

} // namespace nuvio
