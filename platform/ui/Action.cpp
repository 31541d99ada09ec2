#include "platform/ui/Action.h"

#include <algorithm>

namespace platform {

ActionLink::~ActionLink()
{
    SetAction(nullptr);
}

void ActionLink::SetAction(Action *action)
{
    if (action == m_action)
        return;
    if (m_action) {
        auto &links = m_action->m_links;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    m_action = action;
    if (m_action)
        m_action->m_links.push_back(this);
}

bool ActionLink::Execute(Persistent *component)
{
    if (!m_action)
        return false;
    m_action->m_actionComponent = component;
    const bool done = m_action->Execute();
    // The handler may have destroyed the action.
    if (m_action)
        m_action->m_actionComponent = nullptr;
    return done;
}

Action::Action(QObject *parent) : QObject(parent) {}

Action::~Action()
{
    for (ActionLink *link : m_links)
        link->m_action = nullptr;
    m_links.clear();
}

template <typename F> void Action::ForEachLink(F f)
{
    const std::vector<ActionLink *> links = m_links;
    for (ActionLink *link : links)
        f(*link);
}

// The links compare their client with the old value, so they run before it is stored.
void Action::SetCaption(const QString &value)
{
    if (value == m_caption)
        return;
    ForEachLink([&](ActionLink &l) { l.SetCaption(value); });
    m_caption = value;
}

void Action::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    ForEachLink([&](ActionLink &l) { l.SetEnabled(value); });
    m_enabled = value;
}

void Action::SetHelpContext(int value)
{
    if (value == m_helpContext)
        return;
    ForEachLink([&](ActionLink &l) { l.SetHelpContext(value); });
    m_helpContext = value;
}

void Action::SetHint(const QString &value)
{
    if (value == m_hint)
        return;
    ForEachLink([&](ActionLink &l) { l.SetHint(value); });
    m_hint = value;
}

void Action::SetImageIndex(int value)
{
    if (value == m_imageIndex)
        return;
    ForEachLink([&](ActionLink &l) { l.SetImageIndex(value); });
    m_imageIndex = value;
}

void Action::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    ForEachLink([&](ActionLink &l) { l.SetVisible(value); });
    m_visible = value;
}

void Action::SetOnExecute(const NotifyEvent &value)
{
    if (value == m_onExecute)
        return;
    ForEachLink([&](ActionLink &l) { l.SetOnExecute(value); });
    m_onExecute = value;
}

bool Action::Execute()
{
    if (!m_onExecute)
        return false;
    // Keep the handler alive even if it replaces OnExecute while running.
    const NotifyEvent handler = m_onExecute;
    handler(this);
    return true;
}

} // namespace platform
