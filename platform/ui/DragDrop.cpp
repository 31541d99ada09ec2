#include "platform/ui/DragDrop.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace platform {

// ---- Key states, shift states and effects --------------------------------------------

std::uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    std::uint32_t state = 0;
    if (buttons & Qt::LeftButton)
        state |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        state |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        state |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        state |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        state |= MK_CONTROL;
    if (modifiers & Qt::AltModifier)
        state |= MK_ALT;
    return state;
}

ShiftState KeysToShiftState(std::uint32_t keyState)
{
    ShiftState shift = 0;
    if (keyState & MK_SHIFT)
        shift |= ssShift;
    if (keyState & MK_CONTROL)
        shift |= ssCtrl;
    if (keyState & MK_ALT)
        shift |= ssAlt;
    if (keyState & MK_LBUTTON)
        shift |= ssLeft;
    if (keyState & MK_RBUTTON)
        shift |= ssRight;
    if (keyState & MK_MBUTTON)
        shift |= ssMiddle;
    return shift;
}

Qt::DropAction DropActionOf(std::uint32_t effect)
{
    // Copy first: of the effects a set allows, it is the one that loses nothing.
    if (effect & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (effect & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (effect & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

Qt::DropActions DropActionsOf(std::uint32_t effects)
{
    Qt::DropActions actions;
    if (effects & DROPEFFECT_COPY)
        actions |= Qt::CopyAction;
    if (effects & DROPEFFECT_MOVE)
        actions |= Qt::MoveAction;
    if (effects & DROPEFFECT_LINK)
        actions |= Qt::LinkAction;
    return actions;
}

std::uint32_t EffectsOf(Qt::DropActions actions)
{
    std::uint32_t effects = DROPEFFECT_NONE;
    if (actions & Qt::CopyAction)
        effects |= DROPEFFECT_COPY;
    if (actions & Qt::MoveAction)
        effects |= DROPEFFECT_MOVE;
    if (actions & Qt::LinkAction)
        effects |= DROPEFFECT_LINK;
    return effects;
}

namespace {

// ---- A data object offered as MIME data ----------------------------------------------

class DataObjectMimeData : public QMimeData
{
public:
    explicit DataObjectMimeData(const std::shared_ptr<DataObject> &data) : m_data(data) {}

    std::shared_ptr<DataObject> Data() const { return m_data.lock(); }

    QStringList formats() const override
    {
        QStringList names;
        if (const std::shared_ptr<DataObject> data = Data())
            for (ClipFormat format : OfferedFormats(*data))
                if (const QString name = ClipboardFormatName(format); !name.isEmpty())
                    names.append(name);
        return names;
    }

    bool hasFormat(const QString &mimeType) const override { return formats().contains(mimeType); }

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType) const override
    {
        const std::shared_ptr<DataObject> data = Data();
        if (!data)
            return {};
        FormatEtc request;
        request.cfFormat = RegisterClipboardFormat(mimeType);
        Medium medium;
        if (request.cfFormat == 0 || data->GetData(request, medium) != S_OK)
            return {};
        return medium.hGlobal;
    }

private:
    std::weak_ptr<DataObject> m_data;
};

// ---- MIME data from elsewhere as a data object ----------------------------------------

class MimeDataObject : public DataObject
{
public:
    explicit MimeDataObject(const QMimeData *mime) : m_mime(mime)
    {
        if (!mime)
            return;
        for (const QString &type : mime->formats()) {
            FormatEtc entry;
            entry.cfFormat = RegisterClipboardFormat(type);
            if (entry.cfFormat != 0)
                m_formats.Add(entry);
        }
    }

    HResult GetData(const FormatEtc &request, Medium &medium) override
    {
        const int index = m_formats.Find(request);
        if (index < 0)
            return DV_E_FORMATETC;
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = m_mime->data(ClipboardFormatName(request.cfFormat));
        medium.hasReleaseObject = false;
        return S_OK;
    }
    HResult GetDataHere(const FormatEtc &, Medium &) override { return E_NOTIMPL; }
    HResult QueryGetData(const FormatEtc &request) override { return m_formats.Query(request); }
    HResult GetCanonicalFormatEtc(const FormatEtc &in, FormatEtc &out) override
    {
        out = in;
        out.ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HResult SetData(const FormatEtc &, Medium &, bool) override { return E_NOTIMPL; }
    HResult EnumFormatEtc(std::uint32_t direction, std::unique_ptr<FormatEtcEnumerator> &out) override
    {
        if (direction != DATADIR_GET) {
            out.reset();
            return OLE_S_USEREG;
        }
        out = std::make_unique<FormatEtcEnumerator>(m_formats.Copy());
        return S_OK;
    }
    HResult DAdvise(const FormatEtc &, std::uint32_t, void *, std::uint32_t &) override { return E_NOTIMPL; }
    HResult DUnadvise(std::uint32_t) override { return E_NOTIMPL; }
    HResult EnumDAdvise(void *&enumerator) override
    {
        enumerator = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    const QMimeData *m_mime;
    FormatEtcList m_formats;
};

// ---- The drop side of a registered window ---------------------------------------------

// Turns Qt's drag events for one window into the calls of its drop target (drags of
// data objects) or of its widget-drag target (the program's own widget drags).
class DropSite : public QObject
{
public:
    explicit DropSite(QWidget *window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
        Sites().push_back(this);
    }
    ~DropSite() override { std::erase(Sites(), this); }

    static std::vector<DropSite *> &Sites()
    {
        static std::vector<DropSite *> sites;
        return sites;
    }
    static DropSite *Of(QWidget *window, bool create)
    {
        for (DropSite *site : Sites())
            if (site->m_window == window)
                return site;
        return create ? new DropSite(window) : nullptr;
    }

    DropTarget *dataTarget = nullptr;
    WidgetDragTarget *widgetTarget = nullptr;

    void UpdateAcceptDrops() { m_window->setAcceptDrops(dataTarget || widgetTarget); }

    // A drag that ended without telling this window (a cancelled loop sends no leave)
    // still leaves it.
    void EndOpenDrag()
    {
        if (m_kind == Kind::Data || m_kind == Kind::Widget)
            Leave();
        Reset();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        switch (event->type()) {
        case QEvent::DragEnter:
            Enter(static_cast<QDragEnterEvent *>(event));
            return true;
        case QEvent::DragMove:
            Move(static_cast<QDragMoveEvent *>(event));
            return true;
        case QEvent::DragLeave:
            Leave();
            Reset();
            return true;
        case QEvent::Drop:
            Drop(static_cast<QDropEvent *>(event));
            return true;
        default:
            return false;
        }
    }

private:
    enum class Kind { None, Refused, Data, Widget };

    QPoint ScreenPos(const QDropEvent *event) const
    {
        return m_window->mapToGlobal(event->position().toPoint());
    }

    void Reset()
    {
        m_kind = Kind::None;
        m_data = nullptr;
        m_foreign.reset();
        m_source = nullptr;
    }

    // Qt stops sending a drag to a window that ignores its enter, so an enter that is
    // not refused is always accepted; the effect of every move decides.
    static void Answer(QDropEvent *event, std::uint32_t effect)
    {
        if (effect == DROPEFFECT_NONE) {
            event->setDropAction(Qt::IgnoreAction);
            event->ignore();
        } else {
            event->setDropAction(DropActionOf(effect));
            event->accept();
        }
    }

    void Enter(QDragEnterEvent *event)
    {
        if (m_kind != Kind::None)
            EndOpenDrag();
        const std::uint32_t keyState = KeyStateOf(event->buttons(), event->modifiers());
        std::uint32_t effect = EffectsOf(event->possibleActions());
        m_source = event->source();
        if (DataObject *local = LocalDataObject(event->mimeData())) {
            m_kind = Kind::Data;
            m_data = local;
        } else if (!event->source()) {
            m_kind = Kind::Data;
            m_foreign = DataObjectFor(event->mimeData());
            m_data = m_foreign.get();
        } else {
            m_kind = Kind::Widget;
        }

        bool refused = false;
        if (m_kind == Kind::Data) {
            HResult hr = E_FAIL;
            if (dataTarget) {
                try {
                    hr = dataTarget->DragEnter(m_data, keyState, ScreenPos(event), effect);
                } catch (...) {
                    hr = E_UNEXPECTED;
                }
            }
            refused = hr != S_OK;
        } else if (widgetTarget) {
            effect = widgetTarget->WidgetDragOver(m_source, keyState, ScreenPos(event), dsDragEnter);
        } else {
            refused = true;
        }
        if (refused) {
            Reset();
            m_kind = Kind::Refused;
            event->ignore();
            return;
        }
        // Qt follows an enter at once with a move to the same point, which the target
        // answers as well: only its answer to the move decides whether a drop is taken.
        event->setDropAction(DropActionOf(effect));
        event->accept();
    }

    void Move(QDragMoveEvent *event)
    {
        if (m_kind != Kind::Data && m_kind != Kind::Widget) {
            event->ignore();
            return;
        }
        const std::uint32_t keyState = KeyStateOf(event->buttons(), event->modifiers());
        std::uint32_t effect = EffectsOf(event->possibleActions());
        if (m_kind == Kind::Data) {
            HResult hr = E_FAIL;
            if (dataTarget) {
                try {
                    hr = dataTarget->DragOver(keyState, ScreenPos(event), effect);
                } catch (...) {
                    hr = E_UNEXPECTED;
                }
            }
            if (hr != S_OK)
                effect = DROPEFFECT_NONE;
        } else {
            effect = widgetTarget
                         ? widgetTarget->WidgetDragOver(m_source, keyState, ScreenPos(event), dsDragMove)
                         : DROPEFFECT_NONE;
        }
        Answer(event, effect);
    }

    void Leave()
    {
        if (m_kind == Kind::Data && dataTarget) {
            try {
                dataTarget->DragLeave();
            } catch (...) {
            }
        } else if (m_kind == Kind::Widget && widgetTarget) {
            widgetTarget->WidgetDragOver(m_source, 0, QPoint(), dsDragLeave);
        }
    }

    void Drop(QDropEvent *event)
    {
        const std::uint32_t keyState = KeyStateOf(event->buttons(), event->modifiers());
        std::uint32_t effect = EffectsOf(event->possibleActions());
        if (m_kind == Kind::Data && dataTarget) {
            try {
                // A failed drop still hands its effect to the source: a target that
                // moved data itself reports failure and the move effect together.
                dataTarget->Drop(m_data, keyState, ScreenPos(event), effect);
            } catch (...) {
                effect = DROPEFFECT_NONE;
            }
        } else if (m_kind == Kind::Widget && widgetTarget) {
            effect = widgetTarget->WidgetDragDrop(m_source, keyState, ScreenPos(event));
        } else {
            effect = DROPEFFECT_NONE;
        }
        Reset();
        Answer(event, effect);
    }

    QWidget *m_window;
    Kind m_kind = Kind::None;
    DataObject *m_data = nullptr;
    std::unique_ptr<DataObject> m_foreign;
    QPointer<QObject> m_source;
};

// ---- The source side while a drag runs --------------------------------------------------

// Asks the drop source whether the drag goes on at every key and button change that
// reaches the program; Qt's loop drops on release and cancels on Escape by itself.
class DragWatcher : public QObject
{
public:
    explicit DragWatcher(DropSource *source) : m_source(source)
    {
        if (m_source)
            qApp->installEventFilter(this);
    }
    ~DragWatcher() override
    {
        if (m_source)
            qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        bool escape = false;
        std::uint32_t keyState = 0;
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            escape = event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape;
            keyState = KeyStateOf(QGuiApplication::mouseButtons(), key->modifiers());
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            keyState = KeyStateOf(mouse->buttons(), mouse->modifiers());
            break;
        }
        default:
            return false;
        }
        if (m_source->QueryContinueDrag(escape, keyState) == DRAGDROP_S_CANCEL)
            QDrag::cancel();
        return false;
    }

private:
    DropSource *m_source;
};

} // namespace

// ---- Registration ------------------------------------------------------------------------

HResult RegisterDragDrop(QWidget *window, DropTarget *target)
{
    if (!window || !target)
        return E_FAIL;
    DropSite *site = DropSite::Of(window, true);
    site->dataTarget = target;
    site->UpdateAcceptDrops();
    return S_OK;
}

HResult RevokeDragDrop(QWidget *window)
{
    DropSite *site = window ? DropSite::Of(window, false) : nullptr;
    if (!site)
        return E_FAIL;
    site->EndOpenDrag();
    site->dataTarget = nullptr;
    site->UpdateAcceptDrops();
    return S_OK;
}

DropTarget *RegisteredDropTarget(QWidget *window)
{
    DropSite *site = window ? DropSite::Of(window, false) : nullptr;
    return site ? site->dataTarget : nullptr;
}

void SetWidgetDragTarget(QWidget *window, WidgetDragTarget *target)
{
    if (!window)
        return;
    DropSite *site = DropSite::Of(window, target != nullptr);
    if (!site)
        return;
    site->widgetTarget = target;
    site->UpdateAcceptDrops();
}

// ---- The drag loop -------------------------------------------------------------------------

HResult DoDragDrop(QWidget *source, std::shared_ptr<DataObject> data, DropSource *dropSource,
                   std::uint32_t okEffects, std::uint32_t &effect)
{
    effect = DROPEFFECT_NONE;
    if (!source || !data)
        return E_FAIL;
    // Qt frees the drag (and the MIME data with it) when the loop is over.
    auto *drag = new QDrag(source);
    drag->setMimeData(MimeDataFor(data).release());
    const Qt::DropActions allowed = DropActionsOf(okEffects);
    Qt::DropAction action;
    {
        DragWatcher watcher(dropSource);
        if (dropSource)
            QObject::connect(drag, &QDrag::actionChanged, &watcher,
                             [dropSource](Qt::DropAction a) { dropSource->GiveFeedback(EffectsOf(a)); });
        action = drag->exec(allowed, DropActionOf(okEffects));
    }
    // A target's leave handler may take other windows (and their sites) with it.
    std::vector<QPointer<DropSite>> sites(DropSite::Sites().begin(), DropSite::Sites().end());
    for (const QPointer<DropSite> &site : sites)
        if (site)
            site->EndOpenDrag();
    effect = EffectsOf(action) & okEffects;
    return action == Qt::IgnoreAction ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}

// ---- MIME bridges ------------------------------------------------------------------------

std::unique_ptr<QMimeData> MimeDataFor(const std::shared_ptr<DataObject> &data)
{
    return std::make_unique<DataObjectMimeData>(data);
}

DataObject *LocalDataObject(const QMimeData *mime)
{
    const auto *local = dynamic_cast<const DataObjectMimeData *>(mime);
    return local ? local->Data().get() : nullptr;
}

std::unique_ptr<DataObject> DataObjectFor(const QMimeData *mime)
{
    return std::make_unique<MimeDataObject>(mime);
}

} // namespace platform
