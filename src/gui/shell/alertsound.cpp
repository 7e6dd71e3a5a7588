// SPDX-License-Identifier: MIT
#include "gui/shell/alertsound.h"

#include "core/platform/errors.h"
#include "core/platform/wavefile.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

namespace nuvio {

AlertSound::AlertSound(QObject* parent) : QObject(parent), m_effect(new QSoundEffect(this)) {}

AlertSound::~AlertSound() = default;

void AlertSound::open(const std::string& fileName)
{
    m_open = false;
    checkWaveFile(fileName);
    m_effect->setSource(
        QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(fileName))));
    m_open = true;
}

void AlertSound::play()
{
    if (!m_open)
        throw NuvioError("No MCI device open");
    if (!m_effect->isPlaying())
        m_effect->play();
}

} // namespace nuvio
