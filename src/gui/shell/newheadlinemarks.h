// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWebEnginePage;

namespace nuvio {

// The news page marks a new headline with a star image alone, which a screen reader cannot
// tell: the view gives that image `text` as its alternative text, in the page shown now
// and in every page it loads, without a byte of the page file changing.
void markNewHeadlinesForReaders(QWebEnginePage* page, const QString& text);

} // namespace nuvio
