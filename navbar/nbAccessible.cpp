#include "navbar/nbAccessible.h"

#include "navbar/nbButtons.h"
#include "navbar/nbHeaders.h"
#include "navbar/nbSideBar.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

using platform::Rect;

// The visible headers of a bar, and the visible buttons of a header, in order.
QList<TnbHeader *> visibleHeaders(const TnbSideBar *bar)
{
    QList<TnbHeader *> list;
    for (int i = 0; i < bar->HeaderCount(); ++i)
        if (bar->Header(i)->Visible())
            list << bar->Header(i);
    return list;
}

QList<TnbButton *> visibleButtons(const TnbHeader *header)
{
    QList<TnbButton *> list;
    for (int i = 0; i < header->ButtonCount(); ++i)
        if (header->Button(i)->Visible())
            list << header->Button(i);
    return list;
}

QRect onScreen(const TnbSideBar *bar, const Rect &r)
{
    if (r.IsEmpty())
        return {};
    return QRect(bar->mapToGlobal(QPoint(r.Left, r.Top)), QSize(r.Width(), r.Height()));
}

class SideBarAccessible;

// A header or one of its buttons, known by its indexes in the bar; it is
// no longer valid once the bar or the item is gone.
class ItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    ItemAccessible(TnbSideBar *bar, int header, int button) : m_bar(bar), m_header(header), m_button(button)
    {
    }

    TnbHeader *header() const { return m_bar ? m_bar->Header(m_header) : nullptr; }
    TnbButton *button() const
    {
        TnbHeader *h = header();
        return h && m_button >= 0 ? h->Button(m_button) : nullptr;
    }
    bool isButton() const { return m_button >= 0; }

    bool isValid() const override { return isButton() ? button() != nullptr : header() != nullptr; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }

    QAccessibleInterface *parent() const override;
    int childCount() const override
    {
        return isButton() || !header() ? 0 : int(visibleButtons(header()).size());
    }
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface *c = child(i);
            if (c && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (isButton()) {
            const TnbButton *b = button();
            if (t == QAccessible::Name)
                return b->Caption().isEmpty() ? b->Hint() : b->Caption();
            if (t == QAccessible::Description && !b->Caption().isEmpty())
                return b->Hint();
            return {};
        }
        return t == QAccessible::Name ? header()->Caption() : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        if (isButton())
            return onScreen(m_bar, button()->ButtonRect);
        // The caption strip and, while it shows, the body with the buttons.
        QRect r = onScreen(m_bar, header()->CaptionRect);
        if (m_bar->ActiveHeader() == header() || header()->Opened())
            r = r.united(onScreen(m_bar, header()->BodyRect()));
        return r;
    }

    QAccessible::Role role() const override
    {
        return isButton() ? QAccessible::PageTab : QAccessible::PageTabList;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        const bool keyItem = m_bar->KeyHeader() == header() && m_bar->KeyButton() == button();
        s.focused = keyItem && m_bar->hasFocus();
        if (isButton()) {
            s.selected = header()->SelectedIndex() == m_button || m_bar->PressedButton() == button();
            s.disabled = !button()->Enabled();
            s.offscreen = rect().isEmpty() || m_bar->ActiveHeader() != header();
        } else {
            s.selected = m_bar->ActiveHeader() == header();
            s.disabled = !header()->Enabled();
            s.expandable = true;
            s.expanded = s.selected || header()->Opened();
            s.collapsed = !s.expanded;
        }
        s.invisible = !m_bar->isVisible();
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name != pressAction() || !isValid() || !m_bar->isEnabled())
            return;
        m_bar->SetKeyItem(header(), button());
        if (isButton())
            m_bar->PressButton(button());
        else
            m_bar->SetActiveHeader(header());
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<TnbSideBar> m_bar;
    int m_header;
    int m_button;
};

// The bar: a pane of page tab lists.
class SideBarAccessible : public QAccessibleWidget
{
public:
    explicit SideBarAccessible(TnbSideBar *bar) : QAccessibleWidget(bar, QAccessible::Pane) {}
    ~SideBarAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_items))
            QAccessible::deleteAccessibleInterface(id);
    }

    TnbSideBar *bar() const { return static_cast<TnbSideBar *>(object()); }

    // The one interface of a header (button -1) or a button, kept as long as the bar's.
    ItemAccessible *item(int header, int button) const
    {
        const auto key = qMakePair(header, button);
        if (const auto found = m_items.constFind(key); found != m_items.cend())
            return static_cast<ItemAccessible *>(QAccessible::accessibleInterface(*found));
        auto *iface = new ItemAccessible(bar(), header, button);
        m_items.insert(key, QAccessible::registerAccessibleInterface(iface));
        return iface;
    }
    ItemAccessible *item(const TnbHeader *header, const TnbButton *button) const
    {
        if (!header)
            return nullptr;
        return item(header->HeaderIndex(), button ? button->ButtonIndex() : -1);
    }

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = QStringLiteral("导航栏");
        return s;
    }
    int childCount() const override { return int(visibleHeaders(bar()).size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<TnbHeader *> headers = visibleHeaders(bar());
        return index >= 0 && index < headers.size() ? item(headers[index], nullptr) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *it = dynamic_cast<const ItemAccessible *>(child);
        if (!it || it->isButton())
            return -1;
        return int(visibleHeaders(bar()).indexOf(it->header()));
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface *c = child(i); c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        if (!bar()->hasFocus())
            return nullptr;
        return item(bar()->KeyHeader(), bar()->KeyButton());
    }

private:
    mutable QHash<QPair<int, int>, QAccessible::Id> m_items;
};

QAccessibleInterface *ItemAccessible::parent() const
{
    if (!m_bar)
        return nullptr;
    auto *barIface = static_cast<SideBarAccessible *>(QAccessible::queryAccessibleInterface(m_bar));
    if (isButton())
        return barIface->item(m_header, -1);
    return barIface;
}

QAccessibleInterface *ItemAccessible::child(int index) const
{
    if (isButton() || !header())
        return nullptr;
    const QList<TnbButton *> buttons = visibleButtons(header());
    if (index < 0 || index >= buttons.size())
        return nullptr;
    auto *barIface = static_cast<SideBarAccessible *>(QAccessible::queryAccessibleInterface(m_bar));
    return barIface->item(header(), buttons[index]);
}

int ItemAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *it = dynamic_cast<const ItemAccessible *>(child);
    if (!it || !it->isButton() || it->header() != header())
        return -1;
    return int(visibleButtons(header()).indexOf(it->button()));
}

QAccessibleInterface *sideBarFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TnbSideBar") && object && object->isWidgetType())
        return new SideBarAccessible(static_cast<TnbSideBar *>(object));
    return nullptr;
}

} // namespace

void nbInstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(sideBarFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void nbNotifyAccessible(TnbSideBar *bar, TnbHeader *header, TnbButton *button, QAccessible::Event event)
{
    if (!bar || !header)
        return;
    auto *barIface = static_cast<SideBarAccessible *>(QAccessible::queryAccessibleInterface(bar));
    ItemAccessible *iface = barIface ? barIface->item(header, button) : nullptr;
    if (!iface)
        return;
    if (event == QAccessible::Selection) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent stateChange(iface, changed);
        QAccessible::updateAccessibility(&stateChange);
    }
    QAccessibleEvent e(iface, event);
    QAccessible::updateAccessibility(&e);
}
