#pragma once

#include "platform/ui/Persistent.h"

#include <QObject>
#include <QString>
#include <vector>

namespace platform {

class Action;

// Connects one client (a button, a menu item) to an action. While a property of the
// client still equals the action's (it is "linked"), a change of the action's property
// is passed on to the client through the matching setter below, which a client-specific
// link overrides.
class ActionLink
{
public:
    ActionLink() = default;
    ActionLink(const ActionLink &) = delete;
    ActionLink &operator=(const ActionLink &) = delete;
    virtual ~ActionLink();

    // The action, or null when none is set or the action went away.
    Action *GetAction() const { return m_action; }
    void SetAction(Action *action);

    // Runs the action on behalf of `component`; false when there is no action or it has
    // no handler.
    bool Execute(Persistent *component = nullptr);

    virtual bool IsCaptionLinked() const { return m_action != nullptr; }
    virtual bool IsEnabledLinked() const { return m_action != nullptr; }
    virtual bool IsHelpContextLinked() const { return m_action != nullptr; }
    virtual bool IsHintLinked() const { return m_action != nullptr; }
    virtual bool IsImageIndexLinked() const { return m_action != nullptr; }
    virtual bool IsVisibleLinked() const { return m_action != nullptr; }
    virtual bool IsOnExecuteLinked() const { return m_action != nullptr; }

    // Called by the action before it takes a new value.
    virtual void SetCaption(const QString &) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHelpContext(int) {}
    virtual void SetHint(const QString &) {}
    virtual void SetImageIndex(int) {}
    virtual void SetVisible(bool) {}
    virtual void SetOnExecute(const NotifyEvent &) {}

private:
    friend class Action;
    Action *m_action = nullptr;
};

// A command shared by several controls: caption, enabled state, help context, hint,
// image index, visibility and the handler that runs it. Controls reference an action
// through an ActionLink.
class Action : public QObject, public Persistent
{
    Q_OBJECT
public:
    explicit Action(QObject *parent = nullptr);
    ~Action() override;

    const char *ClassName() const override { return "TAction"; }

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &value);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    int HelpContext() const { return m_helpContext; }
    void SetHelpContext(int value);
    QString Hint() const { return m_hint; }
    void SetHint(const QString &value);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    const NotifyEvent &OnExecute() const { return m_onExecute; }
    void SetOnExecute(const NotifyEvent &value);

    // The control that runs the action at the moment (null outside Execute).
    Persistent *ActionComponent() const { return m_actionComponent; }

    // Calls OnExecute with the action as sender; false when it is unassigned.
    bool Execute();

private:
    friend class ActionLink;
    template <typename F> void ForEachLink(F f);

    QString m_caption;
    bool m_enabled = true;
    int m_helpContext = 0;
    QString m_hint;
    int m_imageIndex = -1;
    bool m_visible = true;
    NotifyEvent m_onExecute;
    Persistent *m_actionComponent = nullptr;
    std::vector<ActionLink *> m_links;
};

} // namespace platform
