// SPDX-License-Identifier: MIT
#include "core/platform/plainpath.h"

#include <QFile>

namespace nuvio {

QUrl urlFromPlainPath(const std::string& path)
{
    const auto question = path.find('?');
    const std::string file = path.substr(0, question);
    QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(file)));
    if (question != std::string::npos)
        url.setQuery(QFile::decodeName(QByteArray::fromStdString(path.substr(question + 1))),
                     QUrl::TolerantMode);
    return url;
}

QUrl urlFromText(const std::string& url)
{
    return QUrl(QFile::decodeName(QByteArray::fromStdString(url)), QUrl::TolerantMode);
}

} // namespace nuvio
