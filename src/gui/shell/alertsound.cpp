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
    // A sound effect destroyed while its file still loads makes Qt's sample cache wait for
    // its loading thread, which may never end: the program's exit (and a closing window)
    // would hang for good. Such an effect is left for the process's end instead.
    if (m_effect->status() == QSoundEffect::Loading) {
        m_effect->setParent(nullptr);
        m_effect->disconnect();
    }
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
