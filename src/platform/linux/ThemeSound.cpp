#include "ThemeSound.h"

#include "XSettings.h"

#include "store/Texts.h"

#include <QGuiApplication>
#include <QLibrary>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

// libcanberra's C interface (libcanberra.so.0), declared here rather than
// taken from its header: nothing links against the library.
struct ca_proplist;

namespace {

using Finished = void (*)(ca_context *, uint32_t id, int error, void *sound);
constexpr int kSuccess = 0;
// Far beyond any theme's event sound; only a server that stopped answering
// leaves a sound unfinished this long.
constexpr int kLongestSoundMs = 10000;

struct Canberra {
    int (*create)(ca_context **);
    int (*destroy)(ca_context *);
    int (*setDriver)(ca_context *, const char *);
    int (*open)(ca_context *);
    int (*playFull)(ca_context *, uint32_t, ca_proplist *, Finished, void *);
    int (*propsCreate)(ca_proplist **);
    int (*propsDestroy)(ca_proplist *);
    int (*propsSet)(ca_proplist *, const char *, const char *);
    const char *(*strerror)(int);
};

// Loaded on the first call and kept: its sound threads may outlive a context.
const Result<const Canberra *> &canberra()
{
    static const Result<const Canberra *> loaded = []() -> Result<const Canberra *> {
        static QLibrary library(QStringLiteral("canberra"), 0);
        if (!library.load())
            return {nullptr, library.errorString()};
        static Canberra c;
        QString missing;
        const auto resolve = [&missing](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            if (!function && missing.isEmpty())
                missing = QStringLiteral("libcanberra.so.0 has no %1").arg(QLatin1String(name));
        };
        resolve(c.create, "ca_context_create");
        resolve(c.destroy, "ca_context_destroy");
        resolve(c.setDriver, "ca_context_set_driver");
        resolve(c.open, "ca_context_open");
        resolve(c.playFull, "ca_context_play_full");
        resolve(c.propsCreate, "ca_proplist_create");
        resolve(c.propsDestroy, "ca_proplist_destroy");
        resolve(c.propsSet, "ca_proplist_sets");
        resolve(c.strerror, "ca_strerror");
        return {missing.isEmpty() ? &c : nullptr, missing};
    }();
    return loaded;
}

QString reason(const Canberra *ca, const char *what, int error)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(ca->strerror(error)));
}

} // namespace

void ThemeSound::onFinished(ca_context *, uint32_t id, int error, void *sound)
{
    // This may come after the time limit gave the sound up; end(), run on
    // the program's thread, then finds its id gone.
    auto *self = static_cast<ThemeSound *>(sound);
    QMetaObject::invokeMethod(self, [self, id, error] { self->end(id, error); }, Qt::QueuedConnection);
}

ThemeSound::ThemeSound(QObject *parent)
    : QObject(parent)
{
}

ThemeSound::~ThemeSound()
{
    // A sound playing means the library is there.
    for (const auto &[id, context] : m_playing)
        canberra().value->destroy(context);
}

Result<> ThemeSound::play(const QString &eventId, const QString &theme)
{
    const Result<const Canberra *> &library = canberra();
    if (!library.ok())
        return {QStringLiteral("cannot load libcanberra: ") + library.error};
    const Canberra *ca = library.value;

    // A context per sound: one kept would hold on to a server that may have
    // gone away since.
    ca_context *raw = nullptr;
    if (const int error = ca->create(&raw))
        return {reason(ca, "ca_context_create", error)};
    std::unique_ptr<ca_context, int (*)(ca_context *)> context(raw, ca->destroy);
    // The sound server or nothing: without libcanberra-pulse, libcanberra
    // falls back to its ALSA output, which was heard to play the first few
    // milliseconds of a sound and report it played.
    if (const int error = ca->setDriver(context.get(), "pulse"))
        return {reason(ca, "no PulseAudio driver for libcanberra", error)};
    if (const int error = ca->open(context.get()))
        return {reason(ca, "no sound server", error)};

    ca_proplist *rawProps = nullptr;
    if (const int error = ca->propsCreate(&rawProps))
        return {reason(ca, "ca_proplist_create", error)};
    const std::unique_ptr<ca_proplist, int (*)(ca_proplist *)> props(rawProps, ca->propsDestroy);
    ca->propsSet(props.get(), "event.id", eventId.toUtf8().constData());
    ca->propsSet(props.get(), "event.description", Texts::bellDescription().toUtf8().constData());
    ca->propsSet(props.get(), "application.name", "ポトラ");
    ca->propsSet(props.get(), "application.id", "potora");
    if (!theme.isEmpty())
        ca->propsSet(props.get(), "canberra.xdg-theme.name", theme.toUtf8().constData());

    const quint32 id = ++m_lastId;
    if (const int error = ca->playFull(context.get(), id, props.get(), onFinished, this))
        return {reason(ca, qPrintable(QStringLiteral("sound \"%1\"").arg(eventId)), error)};
    m_playing[id] = context.release();
    QTimer::singleShot(kLongestSoundMs, this, [this, id] {
        if (m_playing.count(id))
            end(id, kTimedOut);
    });
    return {};
}

void ThemeSound::end(quint32 id, int error)
{
    const auto playing = m_playing.find(id);
    if (playing == m_playing.end())
        return; // given up on already
    ca_context *context = playing->second;
    m_playing.erase(playing);
    const Canberra *ca = canberra().value;
    Result<> played;
    if (error == kTimedOut)
        played.error = QStringLiteral("the sound did not end within %1 s; cut off").arg(kLongestSoundMs / 1000);
    else if (error != kSuccess)
        played.error = reason(ca, "playing failed", error);
    // Also stops a sound still playing; its callback then finds no id.
    ca->destroy(context);
    emit finished(played);
}

QString ThemeSound::desktopTheme()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return QString();
    const auto atom = [connection](const char *name) {
        const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    // The settings manager of screen 0, the one screen of today's displays.
    const xcb_atom_t selection = atom("_XSETTINGS_S0"), settings = atom("_XSETTINGS_SETTINGS");
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr), &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE || settings == XCB_ATOM_NONE)
        return QString();
    // The manager may go away meanwhile: the error is taken here, not left
    // for Qt to report.
    xcb_generic_error_t *error = nullptr;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, owner->owner, settings, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
                               &error),
        &std::free);
    std::free(error);
    if (!property)
        return QString();
    const QByteArray bytes(static_cast<const char *>(xcb_get_property_value(property.get())),
                           xcb_get_property_value_length(property.get()));
    return XSettings::string(bytes, "Net/SoundThemeName");
}
