// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>
#include <string>

namespace nuvio {

// Opens a file path the way a browser does when it is typed in: the part before the first
// "?" names the file and the rest is the query. Path bytes are decoded as the file system's.
QUrl urlFromPlainPath(const std::string& path);

// A URL formed by plain concatenation ("file://" + directory + ...), taken as a browser
// takes typed text: nothing in it is rewritten beyond what the URL needs to be valid.
QUrl urlFromText(const std::string& url);

} // namespace nuvio
