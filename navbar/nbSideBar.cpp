#include "navbar/nbSideBar.h"

#include "navbar/nbAccessible.h"
#include "navbar/nbInplaceEditor.h"
#include "platform/ui/Action.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/PopupMenu.h"

#include <QEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QToolTip>

using namespace platform;

TnbSideBar::TnbSideBar(QWidget *parent)
    : QWidget(parent), FHeaders(std::make_unique<TnbHeaders>(this)),
      FBackground(std::make_unique<TnbBackground>()), FSettings(std::make_unique<TnbBarSettings>()),
      FHeaderImages(std::make_unique<TnbHeaderImages>(this)), FBorder(std::make_unique<TnbBorder>()),
      FCloseButton(std::make_unique<TnbCloseButton>(this)),
      FInplaceEditor(std::make_unique<TnbInplaceEditor>(this))
{
    FChangeCallback = [this](Persistent *) { RefreshBar(); };
    FBackground->SetOnChangeParameter(FChangeCallback);
    FSettings->SetOnChangeParameter(FChangeCallback);
    FHeaderImages->SetOnChangeParameter(FChangeCallback);
    FBorder->SetOnChangeParameter(FChangeCallback);

    // The bar paints every pixel itself; nothing is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The bar takes the focus itself on a left press, and not while its caption
    // editor is open; a click does not hand it the focus on its own.
    setFocusPolicy(Qt::TabFocus);
    nbInstallAccessibility();
    // Hover tracking needs every move, pressed or not.
    setMouseTracking(true);
    resize(120, height());
    FInplaceEditor->EditBox()->OnContextPopup = [this](Persistent *, QPoint pos, bool &handled) {
        EditorContextPopup(pos, handled);
    };
    CreateWnd();
}

TnbSideBar::~TnbSideBar()
{
    FDestroying = true;
    // Components destroyed from here on (children of this widget included) must not
    // reach a bar that is half gone.
    for (const QPointer<QObject> &sender : std::as_const(FWatched))
        if (sender)
            QObject::disconnect(sender, nullptr, this, nullptr);
    DestroyWnd();
    platform::SetWidgetDragTarget(this, nullptr);
    FDragDropManager.reset();
    FActiveHeader = nullptr;
    FHotHeader = nullptr;
    FBodyHeader = nullptr;
    FHotButton = nullptr;
    FInplaceEditor->EditBox()->OnContextPopup = nullptr;
    FInplaceEditor.reset();
    FCloseButton.reset();
    FHeaders->Clear();
    FHeaders.reset();
    FBackground->SetOnChangeParameter(nullptr);
    FBackground.reset();
    FHeaderImages->SetOnChangeParameter(nullptr);
    FHeaderImages.reset();
    FBorder->SetOnChangeParameter(nullptr);
    FBorder.reset();
    FSettings->SetOnChangeParameter(nullptr);
    FSettings.reset();
}

template <typename T> void TnbSideBar::Set(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    RefreshBar();
}

// ---- Properties ----------------------------------------------------------------------

int TnbSideBar::ActiveIndex() const
{
    return FActiveHeader ? FHeaders->IndexOf(FActiveHeader) : -1;
}

void TnbSideBar::SetAlertColor(TColor value)
{
    Set(FAlertColor, value);
}

void TnbSideBar::SetAlertInterval(unsigned value)
{
    if (value == FAlertInterval)
        return;
    FAlertInterval = value;
    if (FAlertButton)
        StartTimer(tmAlert, FAlertInterval);
    RefreshBar();
}

void TnbSideBar::SetAutoButtonScrollDelay(unsigned value)
{
    Set(FAutoButtonScrollDelay, value);
}
void TnbSideBar::SetAutoScrollDelay(unsigned value)
{
    Set(FAutoScrollDelay, value);
}
void TnbSideBar::SetAutoChangeDelay(unsigned value)
{
    Set(FAutoChangeDelay, value);
}
void TnbSideBar::SetBevelInner(BevelCut value)
{
    Set(FBevelInner, value);
}
void TnbSideBar::SetBevelOuter(BevelCut value)
{
    Set(FBevelOuter, value);
}

void TnbSideBar::SetBevelWidth(int value)
{
    Set(FBevelWidth, std::max(1, value));
}

void TnbSideBar::SetBorderStyle(platform::BorderStyle value)
{
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    RecreateWnd();
}

void TnbSideBar::SetBorderWidth(int value)
{
    if (value == FBorderWidth)
        return;
    FBorderWidth = value;
    RecreateWnd();
}

void TnbSideBar::SetCommonStyle(bool value)
{
    Set(FCommonStyle, value);
}
void TnbSideBar::SetDropMarkColor(TColor value)
{
    Set(FDropMarkColor, value);
}

void TnbSideBar::SetEachHeaderSelection(bool value)
{
    if (value == FEachHeaderSelection)
        return;
    FEachHeaderSelection = value;
    for (int i = 0; i < HeaderCount(); ++i)
        Header(i)->FSelectedIndex = -1;
    RefreshBar();
}

void TnbSideBar::SetExplorerMethod(TnbExplorerMethod value)
{
    if (value == FExplorerMethod)
        return;
    FExplorerMethod = value;
    for (int i = 0; i < HeaderCount(); ++i)
        Header(i)->SetTopIndex(0);
    if (!FLoading && HeaderCount() > 0)
        SetActiveHeader(Header(0));
    RefreshBar();
}

void TnbSideBar::SetFlat(bool value)
{
    Set(FFlat, value);
}

void TnbSideBar::SetHeaderScrollAcceleration(std::uint8_t value)
{
    Set(FHeaderScrollAcceleration, std::max<std::uint8_t>(1, value));
}

void TnbSideBar::SetScrollChange(std::uint16_t value)
{
    Set(FScrollChange, value);
}

void TnbSideBar::SetHeaderScrollValue(std::uint8_t value)
{
    Set(FHeaderScrollValue, std::max<std::uint8_t>(1, value));
}

void TnbSideBar::SetScrollBoxSize(std::uint16_t value)
{
    Set(FScrollBoxSize, value);
}
void TnbSideBar::SetScrollView(TnbScrollView value)
{
    Set(FScrollView, value);
}

void TnbSideBar::SetOptions(TnbBarOptions value)
{
    if (value == FOptions)
        return;
    const TnbBarOptions old = FOptions;
    FOptions = value;
    const auto switchedOn = [&](TnbBarOption o) { return !old.Contains(o) && value.Contains(o); };
    const auto switchedOff = [&](TnbBarOption o) { return old.Contains(o) && !value.Contains(o); };
    if (switchedOn(boAcceptOLEDrop) || switchedOn(boInternalDrop))
        RegisterDropTarget();
    else if ((switchedOff(boAcceptOLEDrop) && !value.Contains(boInternalDrop)) ||
             (switchedOff(boInternalDrop) && !value.Contains(boAcceptOLEDrop)))
        RevokeDropTarget();
    RefreshBar();
}

QString TnbSideBar::Version() const
{
    return QString::asprintf("%d.%d", InternalVersion >> 8, InternalVersion & 0xFF);
}

void TnbSideBar::SetViewStyle(TnbViewStyle value)
{
    if (value == FViewStyle)
        return;
    bool canChange = true;
    DoChangeViewStyle(FViewStyle, value, canChange);
    if (!canChange)
        return;
    FScrollOffset = 0;
    FViewStyle = value;
    RecreateWnd();
}

void TnbSideBar::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    RecreateWnd();
}

void TnbSideBar::SetCursor(platform::Cursor value)
{
    FCursor = value;
    platform::ShowCursor(this, value);
}

void TnbSideBar::SetInplaceEditor(const TnbInplaceEditor &value)
{
    FInplaceEditor->Assign(value);
}

void TnbSideBar::SetPopupMenu(platform::PopupMenu *value)
{
    if (value == FPopupMenu)
        return;
    FPopupMenu = value;
    if (value)
        FreeNotification(value);
}

// ---- Events kept elsewhere -----------------------------------------------------------

const TnbEventDrawHeader &TnbSideBar::OnDrawCloseHeader() const
{
    return FCloseButton->Header()->OnDrawHeaderButton;
}

void TnbSideBar::SetOnDrawCloseHeader(const TnbEventDrawHeader &value)
{
    FCloseButton->Header()->OnDrawHeaderButton = value;
}

const TnbEventDrawHeader &TnbSideBar::OnAfterDrawCloseHeader() const
{
    return FCloseButton->Header()->OnAfterDrawHeaderButton;
}

void TnbSideBar::SetOnAfterDrawCloseHeader(const TnbEventDrawHeader &value)
{
    FCloseButton->Header()->OnAfterDrawHeaderButton = value;
}

const TNotifyEvent &TnbSideBar::OnClose() const
{
    return FCloseButton->OnClose;
}

void TnbSideBar::SetOnClose(const TNotifyEvent &value)
{
    FCloseButton->OnClose = value;
}

// ---- Headers -------------------------------------------------------------------------

int TnbSideBar::VisibleHeaderCount() const
{
    int count = 0;
    for (int i = 0; i < HeaderCount(); ++i)
        if (Header(i)->Visible())
            ++count;
    return count;
}

int TnbSideBar::NextVisibleHeader(int index) const
{
    for (int i = std::max(0, index + 1); i < HeaderCount(); ++i)
        if (Header(i)->Visible())
            return i;
    return -1;
}

// ---- Updates -------------------------------------------------------------------------

void TnbSideBar::BeginUpdate()
{
    ++FUpdateCount;
    FChangePending = true;
}

void TnbSideBar::EndUpdate()
{
    if (!FChangePending)
        return;
    if (--FUpdateCount <= 0) {
        FUpdateCount = 0;
        FChangePending = false;
        RefreshBar();
    }
}

void TnbSideBar::RefreshBar()
{
    if (FLoading || FDestroying)
        return;
    update(0, 0, width(), height());
}

// ---- Alert ---------------------------------------------------------------------------

void TnbSideBar::SetAlertButton(TnbButton *value)
{
    if (FAlertButton) {
        FAlertButton->FAlerting = false;
        FAlertButton->FAlertPhase = false;
    }
    FAlertButton = value;
    if (value) {
        value->FAlerting = true;
        value->FAlertPhase = false;
        StartTimer(tmAlert, FAlertInterval);
    } else {
        KillTimer(tmAlert);
    }
    RefreshBar();
}

// ---- View scrolling ------------------------------------------------------------------

void TnbSideBar::ScrollViewUp()
{
    FScrollOffset = std::max(0, FScrollOffset - int(FScrollChange));
    update();
}

void TnbSideBar::ScrollViewDown()
{
    // No upper bound here: the down arrow is only offered while more lies below.
    FScrollOffset += FScrollChange;
    update();
}

// ---- Loading -------------------------------------------------------------------------

void TnbSideBar::Loading()
{
    FLoading = true;
}

void TnbSideBar::Loaded()
{
    FLoading = false;
    FActiveHeader = Header(FStoredActiveIndex);
    FLoaded = true;
    RefreshBar();
}

// ---- Referenced components -----------------------------------------------------------

void TnbSideBar::FreeNotification(QObject *component)
{
    if (!component)
        return;
    connect(component, &QObject::destroyed, this, &TnbSideBar::ComponentDestroyed, Qt::UniqueConnection);
    if (!FWatched.contains(component))
        FWatched.append(component);
}

void TnbSideBar::ComponentDestroyed(QObject *component)
{
    FWatched.removeIf([](const QPointer<QObject> &p) { return p.isNull(); });
    Notification(component);
}

void TnbSideBar::Notification(QObject *component)
{
    const auto clearHeader = [component](TnbHeader *header) {
        TnbButtonImages *images = header->Images();
        for (int i = TnbButtonImages::Normal; i <= TnbButtonImages::DisabledSmall; ++i)
            if (images->List(i) && static_cast<QObject *>(images->List(i)) == component)
                images->SetList(i, nullptr);
        if (header->PopupMenu() && static_cast<QObject *>(header->PopupMenu()) == component)
            header->SetPopupMenu(nullptr);
        for (int b = 0; b < header->ButtonCount(); ++b) {
            TnbButton *button = header->Button(b);
            if (button->PopupMenu() && static_cast<QObject *>(button->PopupMenu()) == component)
                button->SetPopupMenu(nullptr);
            // A destroyed action has already let go of its link; free the link too.
            if (button->ActionLink() && !button->Action())
                button->SetAction(nullptr);
        }
    };
    for (int i = 0; i < HeaderCount(); ++i)
        clearHeader(Header(i));
    clearHeader(FCloseButton->Header());
    for (int i = TnbHeaderImages::Normal; i <= TnbHeaderImages::Hot; ++i)
        if (FHeaderImages->List(i) && static_cast<QObject *>(FHeaderImages->List(i)) == component)
            FHeaderImages->SetList(i, nullptr);
    if (FPopupMenu && static_cast<QObject *>(FPopupMenu) == component)
        SetPopupMenu(nullptr);
}

void TnbSideBar::ForgetHeader(TnbHeader *header)
{
    if (FInplaceEditor)
        FInplaceEditor->ForgetItem(header);
    if (FActiveHeader == header) {
        if (!FDestroying)
            SetActiveHeader(nullptr);
        FActiveHeader = nullptr;
    }
    if (FHotHeader == header)
        FHotHeader = nullptr;
    if (FBodyHeader == header)
        FBodyHeader = nullptr;
    if (FDropTargetHeader == header)
        FDropTargetHeader = nullptr;
    if (FAnimationTarget >= 0 && FAnimationTarget == FHeaders->IndexOf(header))
        FAnimationTarget = -1;
}

void TnbSideBar::ForgetButton(TnbButton *button)
{
    if (FAlertButton == button)
        SetAlertButton(nullptr);
    if (FHotButton == button)
        FHotButton = nullptr;
    if (FDropTargetButton == button)
        FDropTargetButton = nullptr;
    if (FWidgetDragTarget == button)
        FWidgetDragTarget = nullptr;
    if (FDragSourceButton == button)
        FDragSourceButton = nullptr;
    if (FInplaceEditor)
        FInplaceEditor->ForgetItem(button);
}

// ---- Event dispatch ------------------------------------------------------------------

void TnbSideBar::DoChange(int oldIndex, int newIndex)
{
    if (!FDestroying && OnChange)
        OnChange(this, oldIndex, newIndex);
}

void TnbSideBar::DoCanChange(TnbHeader *newHeader, bool &canChange)
{
    if (OnCanChange)
        OnCanChange(this, newHeader, canChange);
}

void TnbSideBar::DoChangeViewStyle(TnbViewStyle oldStyle, TnbViewStyle newStyle, bool &canChange)
{
    if (OnChangeViewStyle)
        OnChangeViewStyle(this, oldStyle, newStyle, canChange);
}

void TnbSideBar::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TnbSideBar::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TnbSideBar::DoClose()
{
    if (FCloseButton->OnClose)
        FCloseButton->OnClose(this);
}

// ---- Window --------------------------------------------------------------------------

void TnbSideBar::CreateWnd()
{
    if (!FDragDropManager) {
        FDragDropManager = std::make_shared<TnbDragDropManager>(this);
        // Other widgets' drags reach the bar whatever its options say.
        platform::SetWidgetDragTarget(this, FDragDropManager.get());
    }
    if (FOptions.Contains(boAcceptOLEDrop) || FOptions.Contains(boInternalDrop))
        RegisterDropTarget();
}

void TnbSideBar::DestroyWnd()
{
    RevokeDropTarget();
    if (FAlertButton)
        SetAlertButton(nullptr);
}

void TnbSideBar::RecreateWnd()
{
    DestroyWnd();
    CreateWnd();
    RefreshBar();
}

void TnbSideBar::RegisterDropTarget()
{
    if (FDragDropManager)
        platform::RegisterDragDrop(this, FDragDropManager.get());
}

void TnbSideBar::RevokeDropTarget()
{
    platform::RevokeDragDrop(this);
}

void TnbSideBar::StartTimer(int id, unsigned interval)
{
    if (id > 0 && id < int(FTimers.size()))
        FTimers[std::size_t(id)].start(int(interval), this);
}

void TnbSideBar::KillTimer(int id)
{
    if (id > 0 && id < int(FTimers.size()))
        FTimers[std::size_t(id)].stop();
}

void TnbSideBar::timerEvent(QTimerEvent *event)
{
    for (std::size_t id = 1; id < FTimers.size(); ++id)
        if (FTimers[id].timerId() == event->timerId()) {
            TimerFired(int(id));
            return;
        }
    QWidget::timerEvent(event);
}

void TnbSideBar::TimerFired(int id)
{
    switch (id) {
    case tmClose:
        KillTimer(tmClose);
        DoClose();
        break;
    case tmViewScroll:
        QToolTip::hideText();
        if (FArrows[saViewDown].State == asPressed)
            ScrollViewDown();
        else if (FArrows[saViewUp].State == asPressed)
            ScrollViewUp();
        else
            KillTimer(tmViewScroll);
        break;
    case tmAutoChange:
        QToolTip::hideText();
        KillTimer(tmAutoChange);
        if (FDropTargetHeader) {
            if (!ExplorerLayout()) {
                if (FDropTargetHeader != FActiveHeader)
                    SetActiveHeader(FDropTargetHeader);
            } else if (!FDropTargetHeader->Opened()) {
                FDropTargetHeader->SetOpened(true);
            }
        }
        break;
    case tmButtonScroll:
        QToolTip::hideText();
        if (FDropTargetHeader && FArrows[saButtonDown].State == asPressed) {
            FDropTargetHeader->ScrollDown();
            RefreshBar();
        } else if (FDropTargetHeader && FArrows[saButtonUp].State == asPressed) {
            FDropTargetHeader->ScrollUp();
            RefreshBar();
        } else {
            KillTimer(tmButtonScroll);
        }
        break;
    case tmAlert:
        if (!FAlertButton) {
            KillTimer(tmAlert);
            break;
        }
        // Flashing holds still while a drag started from this bar runs.
        if (FAlertPaused)
            break;
        FAlertButton->FAlertPhase = !FAlertButton->FAlertPhase;
        if (!FDragPending && !FDragging)
            RefreshBar();
        break;
    default:
        break;
    }
}

void TnbSideBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    RefreshBar();
}

void TnbSideBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        RefreshBar();
        break;
    default:
        break;
    }
}

void TnbSideBar::setVisible(bool visible)
{
    const bool wasVisible = !isHidden();
    QWidget::setVisible(visible);
    if (visible == wasVisible)
        return;
    if (visible)
        DoShow();
    else
        DoHide();
    RefreshBar();
}
