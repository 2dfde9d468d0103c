#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class DataFolder;
class Values;
class Form;
class Platform;

// Owns the program's windows and gives each the three meanings it has:
// load (create hidden and run its load handler once), show (load first if
// needed), and unload (the program closes it). Each window exists at most once.
class Windows : public QObject
{
    Q_OBJECT
public:
    enum class Id { Main, AOpen, OpenTimer, Timermemo, Timermemo1, Timermemo2, Timermemo3, Mainmove, Option1 };
    using Factory = std::function<Form *(Windows &)>;

    Windows(DataFolder &data, Platform &platform, Values &values);
    ~Windows() override;

    void setFactory(Id id, Factory factory);
    bool hasFactory(Id id) const;

    Form *load(Id id);
    Form *show(Id id);
    // Shows the window modal and returns once it is unloaded.
    void showModal(Id id);
    // Asking whether a window is visible loads it first.
    bool isVisible(Id id);
    bool isLoaded(Id id) const;
    Form *get(Id id) const;
    bool unload(Id id);

    // Unloads every window in the program's quit order and ends the run.
    void quitAll();
    // The session ends: every window lets go of every close, then quitAll().
    void endSession();
    // The session is being saved: each window saves what it still holds.
    void commitData();

    DataFolder &data() { return m_data; }
    Platform &platform() { return m_platform; }
    Values &values() { return m_values; }

signals:
    void loaded(Windows::Id id);
    void unloaded(Windows::Id id);

private:
    DataFolder &m_data;
    Platform &m_platform;
    Values &m_values;
    std::map<Id, Factory> m_factories;
    std::map<Id, QPointer<Form>> m_forms;
};
