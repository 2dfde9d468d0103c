#include "Windows.h"

#include "kit/Form.h"
#include "platform/Platform.h"

#include <QEventLoop>

namespace {

const WindowId kQuitOrder[] = {WindowId::Main,       WindowId::AOpen,      WindowId::OpenTimer,
                               WindowId::Timermemo,  WindowId::Timermemo1, WindowId::Timermemo2,
                               WindowId::Timermemo3, WindowId::Mainmove,   WindowId::Option1};

} // namespace

Windows::Windows(Platform &platform)
    : m_platform(platform)
{
}

Windows::~Windows()
{
    for (auto &entry : m_forms)
        delete entry.second.data();
}

void Windows::setFactory(WindowId id, Factory factory)
{
    m_factories[id] = std::move(factory);
}

Form *Windows::get(WindowId id) const
{
    const auto it = m_forms.find(id);
    return it == m_forms.end() ? nullptr : it->second.data();
}

bool Windows::isLoaded(WindowId id) const
{
    return get(id) != nullptr;
}

Form *Windows::load(WindowId id)
{
    if (Form *existing = get(id))
        return existing;
    if (m_ending)
        return nullptr;
    const auto factory = m_factories.find(id);
    if (factory == m_factories.end())
        return nullptr;

    Form *form = factory->second();
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
    return get(id);
}

Form *Windows::show(WindowId id)
{
    Form *form = load(id);
    if (form)
        form->formShow();
    return form;
}

void Windows::showModal(WindowId id)
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

bool Windows::isVisible(WindowId id)
{
    Form *form = load(id);
    return form && form->formVisible();
}

bool Windows::unload(WindowId id)
{
    Form *form = get(id);
    return !form || form->unloadForm();
}

void Windows::unloadAll()
{
    for (const WindowId id : kQuitOrder)
        unload(id);
}

void Windows::quit()
{
    // Once: a box that a quit closes can be followed by another quit.
    if (m_ending)
        return;
    m_ending = true;
    unloadAll();
    if (m_platform.trayPresent())
        m_platform.trayDelete();
    m_platform.quitProgram();
}

void Windows::endSession()
{
    for (auto &entry : m_forms) {
        if (entry.second)
            entry.second->markSessionEnding();
    }
    quit();
}

void Windows::commitData()
{
    for (auto &entry : m_forms) {
        if (entry.second)
            entry.second->commitData();
    }
}
