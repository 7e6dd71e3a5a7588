// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <memory>
#include <string>

class QSoundEffect;

namespace nuvio {

// The alert sound: a wave file opened once and played asynchronously.
class AlertSound : public QObject
{
    Q_OBJECT
public:
    explicit AlertSound(QObject* parent = nullptr);
    ~AlertSound() override;

    // Throws NuvioError when the file is missing or not a playable wave file; the sound
    // then stays closed.
    void open(const std::string& fileName);
    bool isOpen() const { return m_open; }

    // Starts the sound from its beginning unless it is still playing. "No MCI device open"
    // when opening failed.
    void play();

private:
    QSoundEffect* m_effect = nullptr;
    bool m_open = false;
};

} // namespace nuvio
