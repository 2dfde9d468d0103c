#pragma once

#include "kit/Navigation.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class Form;
class Platform;

// Owns the program's windows: creates each on demand from its factory,
// keeps at most one of each, and knows the order they go in at the end.
class Windows : public QObject, public Navigation
{
    Q_OBJECT
public:
    using Factory = std::function<Form *()>;

    explicit Windows(Platform &platform);
    ~Windows() override;

    void setFactory(WindowId id, Factory factory);
    // The window now loaded, or null.
    Form *get(WindowId id) const;

    Form *load(WindowId id) override;
    Form *show(WindowId id) override;
    void showModal(WindowId id) override;
    bool isVisible(WindowId id) override;
    bool isLoaded(WindowId id) const override;
    bool unload(WindowId id) override;
    void quit() override;

    // Unloads every window, Main first: its unload stops the timers that
    // would load windows again and takes the tray icon away.
    void unloadAll();
    // The session ends: every window lets go of every close, then quit().
    void endSession();
    // The session is being saved: each window saves what it still holds.
    void commitData();
    // The run is ending: no window is made any more.
    bool ending() const { return m_ending; }

signals:
    void unloaded(WindowId id);

private:
    Platform &m_platform;
    std::map<WindowId, Factory> m_factories;
    std::map<WindowId, QPointer<Form>> m_forms;
    bool m_ending = false;
};
