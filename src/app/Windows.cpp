#include "Windows.h"

#include "platform/Form.h"
#include "platform/Platform.h"

#include <QEventLoop>

Windows::Windows(DataFolder &data, Platform &platform, Values &values)
    : m_data(data)
    , m_platform(platform)
    , m_values(values)
{
}

Windows::~Windows()
{
    for (auto &entry : m_forms)
        delete entry.second.data();
}

void Windows::setFactory(Id id, Factory factory)
{
    m_factories[id] = std::move(factory);
}

bool Windows::hasFactory(Id id) const
{
    return m_factories.count(id) != 0;
}

Form *Windows::get(Id id) const
{
    const auto it = m_forms.find(id);
    return it == m_forms.end() ? nullptr : it->second.data();
}

bool Windows::isLoaded(Id id) const
{
    return get(id) != nullptr;
}

Form *Windows::load(Id id)
{
    if (Form *existing = get(id))
        return existing;
    const auto factory = m_factories.find(id);
    if (factory == m_factories.end())
        return nullptr;

    Form *form = factory->second(*this);
    m_forms[id] = form;
    // A window counts as unloaded the moment its close goes through, even
    // though Qt deletes it only later.
    connect(form, &Form::unloaded, this, [this, id, form] {
        const auto it = m_forms.find(id);
        if (it != m_forms.end() && it->second == form)
            m_forms.erase(it);
        emit unloaded(id);
    });
    form->formLoad();
    emit loaded(id);
    return get(id);
}

Form *Windows::show(Id id)
{
    Form *form = load(id);
    if (form)
        form->formShow();
    return form;
}

void Windows::showModal(Id id)
{
    Form *form = load(id);
    if (!form)
        return;
    QEventLoop loop;
    QPointer<Form> guard(form);
    connect(form, &Form::unloaded, &loop, &QEventLoop::quit);
    form->setWindowModality(Qt::ApplicationModal);
    form->formShow();
    if (guard && isLoaded(id))
        loop.exec(QEventLoop::DialogExec);
}

bool Windows::isVisible(Id id)
{
    Form *form = load(id);
    return form && form->formVisible();
}

bool Windows::unload(Id id)
{
    Form *form = get(id);
    return !form || form->unloadForm();
}

void Windows::quitAll()
{
    // Main goes first: its unload stops the timers that would load windows
    // again and takes the tray icon away.
    for (const Id id : {Id::Main, Id::AOpen, Id::OpenTimer, Id::Timermemo, Id::Timermemo1, Id::Timermemo2,
                        Id::Timermemo3, Id::Mainmove, Id::Option1}) {
        if (isLoaded(id))
            unload(id);
    }
    if (m_platform.trayPresent())
        m_platform.trayDelete();
    m_platform.quitProgram();
}

void Windows::endSession()
{
    Form::setSessionEnding(true);
    quitAll();
}

void Windows::commitData()
{
    for (auto &entry : m_forms) {
        if (entry.second)
            entry.second->commitData();
    }
}
