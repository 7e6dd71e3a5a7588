// SPDX-License-Identifier: MIT
#include "gui/shell/alertsound.h"

#include "core/platform/errors.h"
#include "core/platform/wavefile.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

namespace nuvio {

AlertSound::AlertSound(QObject* parent) : QObject(parent), m_effect(new QSoundEffect(this)) {}

AlertSound::~AlertSound()
{
    // Destroying a sound effect makes Qt's sample cache wait for its loading thread, and
    // that thread can run for good: with a file that never finishes loading, or when a
    // sound is asked for just as the one before it has loaded (the cache's thread then
    // stops with the new load half done, and its count never drops back). The program's
    // exit, and any closing window, would hang. The effect is stopped and left for the
    // process's end instead; the program makes one.
    m_effect->stop();
    m_effect->disconnect();
    m_effect->setParent(nullptr);
}

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
