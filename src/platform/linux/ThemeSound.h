#pragma once

#include "store/Result.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <map>

struct ca_context;

// A sound of the user's desktop sound theme (freedesktop.org sound themes),
// played by the sound server (PulseAudio, or PipeWire's pulse server) at the
// volume the user gives event sounds. libcanberra does the theme lookup and
// the playing; it is loaded when the first sound plays, never at start-up,
// and the program runs on without it.
class ThemeSound : public QObject
{
    Q_OBJECT
public:
    explicit ThemeSound(QObject *parent = nullptr);
    ~ThemeSound() override;

    // Starts the theme's sound for the event ("bell") and returns at once;
    // fails where no sound could start (no libcanberra, no sound server, no
    // such sound).
    Result<> play(const QString &eventId, const QString &theme);

    // The sound theme the desktop announces (XSettings Net/SoundThemeName),
    // empty when none does; libcanberra then takes the freedesktop theme.
    static QString desktopTheme();

signals:
    // A sound that started is over, played to its end, or failed or cut
    // off.
    void finished(const Result<> &played);

private:
    // libcanberra's callback, on its own thread.
    static void onFinished(ca_context *, uint32_t id, int error, void *sound);
    // `error` is libcanberra's code, or kTimedOut.
    void end(quint32 id, int error);
    static constexpr int kTimedOut = 1; // none of libcanberra's codes, which are 0 or less

    std::map<quint32, ca_context *> m_playing;
    quint32 m_lastId = 0;
};
