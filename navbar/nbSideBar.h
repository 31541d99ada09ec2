#pragma once

#include "navbar/nbDragDrop.h"
#include "navbar/nbHeaders.h"

#include <QBasicTimer>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

class QIODevice;
class TnbInplaceEditor;
namespace platform {
class FormOwner;
namespace stream {
struct FormComponent;
}
} // namespace platform

// The navigation side bar: a vertical stack of headers, each a caption strip that opens
// onto a body of command buttons. The bar draws itself. Every change of the model ends in
// RefreshBar, one invalidation of the whole control; the next paint lays out afresh.
class TnbSideBar : public QWidget, public platform::Persistent
{
    Q_OBJECT
public:
    // Values the stored form leaves out where they differ from the initial ones.
    static constexpr platform::BevelCut StoredBevelOuter = platform::bvRaised;
    static constexpr platform::BorderStyle StoredBorderStyle = platform::bsSingle;

    // The window timers of the bar.
    enum Timer { tmClose = 1, tmViewScroll = 2, tmAutoChange = 3, tmButtonScroll = 4, tmAlert = 5 };
    // The four scroll arrows and their states.
    enum ScrollArrow { saViewUp, saViewDown, saButtonUp, saButtonDown };
    enum ArrowState { asIdle = 0, asPressed = 1, asHot = 2, asDisabled = 3 };

    explicit TnbSideBar(QWidget *parent = nullptr);
    ~TnbSideBar() override;

    const char *ClassName() const override { return "TnbSideBar"; }

    // ---- Published properties ----
    TnbHeader *ActiveHeader() const { return FActiveHeader; }
    // The header switch: asks OnCanChange, refuses a disabled header (unless
    // boChangeToDisabled), fires OnChange before the switch shows, slides the bodies in the
    // outlook-like layout or toggles the header open in the explorer layout, fires the
    // header's own OnChange and makes `value` active. An invisible header is ignored.
    void SetActiveHeader(TnbHeader *value);
    // Index of the active header, -1 for none.
    int ActiveIndex() const;
    TColor AlertColor() const { return FAlertColor; }
    void SetAlertColor(TColor value);
    // Milliseconds per alert flash phase; a change restarts a running alert.
    unsigned AlertInterval() const { return FAlertInterval; }
    void SetAlertInterval(unsigned value);
    unsigned AutoButtonScrollDelay() const { return FAutoButtonScrollDelay; }
    void SetAutoButtonScrollDelay(unsigned value);
    unsigned AutoScrollDelay() const { return FAutoScrollDelay; }
    void SetAutoScrollDelay(unsigned value);
    unsigned AutoChangeDelay() const { return FAutoChangeDelay; }
    void SetAutoChangeDelay(unsigned value);
    TnbBackground *Background() const { return FBackground.get(); }
    void SetBackground(const TnbBackground &value) { FBackground->Assign(value); }
    platform::BevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(platform::BevelCut value);
    platform::BevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(platform::BevelCut value);
    int BevelWidth() const { return FBevelWidth; }
    // Values below 1 become 1.
    void SetBevelWidth(int value);
    TnbBorder *Border() const { return FBorder.get(); }
    void SetBorder(const TnbBorder &value) { FBorder->Assign(value); }
    platform::BorderStyle BorderStyle() const { return FBorderStyle; }
    // Recreates the window.
    void SetBorderStyle(platform::BorderStyle value);
    int BorderWidth() const { return FBorderWidth; }
    // Recreates the window.
    void SetBorderWidth(int value);
    bool CommonStyle() const { return FCommonStyle; }
    void SetCommonStyle(bool value);
    TnbCloseButton *CloseButton() const { return FCloseButton.get(); }
    void SetCloseButton(const TnbCloseButton &value) { FCloseButton->Assign(value); }
    TColor DropMarkColor() const { return FDropMarkColor; }
    void SetDropMarkColor(TColor value);
    bool EachHeaderSelection() const { return FEachHeaderSelection; }
    // Clears the selection of every header.
    void SetEachHeaderSelection(bool value);
    TnbExplorerMethod ExplorerMethod() const { return FExplorerMethod; }
    // Scrolls every header's buttons back to the top and, when headers exist and the bar
    // is not loading, activates the first header.
    void SetExplorerMethod(TnbExplorerMethod value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    TnbHeaders *Headers() const { return FHeaders.get(); }
    void SetHeaders(const TnbHeaders &value) { FHeaders->Assign(value); }
    TnbHeaderImages *HeaderImages() const { return FHeaderImages.get(); }
    void SetHeaderImages(const TnbHeaderImages &value) { FHeaderImages->Assign(value); }
    std::uint8_t HeaderScrollAcceleration() const { return FHeaderScrollAcceleration; }
    // 0 is stored as 1.
    void SetHeaderScrollAcceleration(std::uint8_t value);
    std::uint16_t ScrollChange() const { return FScrollChange; }
    void SetScrollChange(std::uint16_t value);
    TnbHeaderScrollType HeaderScrollType() const { return FHeaderScrollType; }
    // Only affects the next header switch; no repaint.
    void SetHeaderScrollType(TnbHeaderScrollType value) { FHeaderScrollType = value; }
    std::uint8_t HeaderScrollValue() const { return FHeaderScrollValue; }
    // 0 is stored as 1.
    void SetHeaderScrollValue(std::uint8_t value);
    // The last style preset applied (psOfficeXP on a new bar, where none was applied).
    TnbPreSet PreSet() const { return FPreSet; }
    std::uint16_t ScrollBoxSize() const { return FScrollBoxSize; }
    void SetScrollBoxSize(std::uint16_t value);
    TnbBarSettings *Settings() const { return FSettings.get(); }
    void SetSettings(const TnbBarSettings &value) { FSettings->Assign(value); }
    TnbScrollView ScrollView() const { return FScrollView; }
    void SetScrollView(TnbScrollView value);
    TnbBarOptions Options() const { return FOptions; }
    // Registers or revokes the drop target when boAcceptOLEDrop/boInternalDrop change.
    void SetOptions(TnbBarOptions value);
    // "2.13"; read-only.
    QString Version() const;
    void SetVersion(const QString &) {}
    TnbViewStyle ViewStyle() const { return FViewStyle; }
    // Asks OnChangeViewStyle; if allowed, scrolls the view to the top and recreates the
    // window.
    void SetViewStyle(TnbViewStyle value);

    // Control properties the bar handles itself.
    platform::Align Align() const { return FAlign; }
    void SetAlign(platform::Align value) { FAlign = value; }
    TColor Color() const { return FColor; }
    // Recreates the window.
    void SetColor(TColor value);
    platform::PopupMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(platform::PopupMenu *value);

    // ---- Events ----
    TnbEventHeaderChange OnChange;
    TnbEventCanChangeHeader OnCanChange;
    TnbEventChangeViewStyle OnChangeViewStyle;
    TnbEventAfterChangeStyle OnAfterChangeStyle;
    TnbEventDrawHeaderButtons OnDrawHeaderButtons;
    TnbEventDrawHeaderButtons OnAfterDrawHeaderButtons;
    TnbEventDrawButton OnDrawCloseButton;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TContextPopupEvent OnContextPopup;
    TContextPopupEvent OnEditorContextPopup;
    // These live in the close strip and its private header.
    const TnbEventDrawHeader &OnDrawCloseHeader() const;
    void SetOnDrawCloseHeader(const TnbEventDrawHeader &value);
    const TnbEventDrawHeader &OnAfterDrawCloseHeader() const;
    void SetOnAfterDrawCloseHeader(const TnbEventDrawHeader &value);
    const TNotifyEvent &OnClose() const;
    void SetOnClose(const TNotifyEvent &value);

    // ---- Headers ----
    int HeaderCount() const { return FHeaders->Count(); }
    // The header at `index`, none outside the range.
    TnbHeader *Header(int index) const { return FHeaders->Items(index); }
    TnbHeader *AddHeader() { return FHeaders->Add(); }
    int VisibleHeaderCount() const;
    // Index of the first visible header after `index`, or -1.
    int NextVisibleHeader(int index) const;
    void DeleteHeader(TnbHeader *header) { FHeaders->Delete(header); }
    void DeleteHeader(int index) { FHeaders->Delete(index); }
    // Deletes every header, last first, inside one update.
    void DeleteAllHeaders() { FHeaders->Clear(); }

    // ---- Updates ----
    // Locks painting until the matching EndUpdate, which repaints once.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    // True while an update is pending (painting does nothing then).
    bool ChangePending() const { return FChangePending; }
    // Invalidates the whole control once, except while loading or being destroyed.
    void RefreshBar();

    // ---- Alert ----
    TnbButton *AlertButton() const { return FAlertButton; }
    // Ends the alert of the previous button; starts flashing `value` (none stops).
    void SetAlertButton(TnbButton *value);

    // ---- Explorer-bar view scrolling ----
    int ScrollOffset() const { return FScrollOffset; }
    void ScrollViewUp();
    void ScrollViewDown();

    // ---- Loading from a stored form ----
    // Marks the bar as loading: no repaints until Loaded.
    void Loading();
    bool IsLoading() const { return FLoading; }
    // The stored ActiveIndex read with the form; applied by Loaded.
    void ReadActiveIndex(int value) { FStoredActiveIndex = value; }
    // Ends loading: the header at the stored ActiveIndex becomes active directly.
    virtual void Loaded();

    // ---- Stored form and style presets (nbSideBarStream.cpp, nbPresets.cpp) ----
    // The name the bar's saved record carries.
    static constexpr const char *SaveDataName = "NBCOMPONENTSAVEDATA";
    // The form that owns the bar; loading finds stored references (image lists, menus,
    // actions) among its components and binds stored events to its methods, by name.
    const platform::FormOwner *OwnerForm() const { return FOwnerForm; }
    void SetOwnerForm(const platform::FormOwner *value) { FOwnerForm = value; }
    // Writes the whole bar (headers, buttons, settings) as one component named
    // SaveDataName. Raises platform::stream::StreamError when the device fails.
    virtual void SaveToStream(QIODevice &stream);
    // Replaces the bar's stored properties, headers and buttons by those of a stream
    // that SaveToStream (or a form) wrote, inside one update. A property with a stored
    // default that the stream leaves out takes that default; the header at the stored
    // ActiveIndex becomes active without a switch; the bar keeps its own name. A stream
    // that is damaged or not a bar's, or that holds anything the bar refuses (an unknown
    // property, a value of the wrong kind or out of range, a name given twice), raises
    // platform::stream::StreamError and leaves the bar exactly as it was.
    virtual void LoadFromStream(QIODevice &stream);
    // Creates or replaces the file (only once it is completely written); a file that
    // cannot be created raises platform::stream::FileError.
    virtual void SaveToFile(const QString &fileName);
    // A file that cannot be opened raises platform::stream::FileError and changes nothing.
    virtual void LoadFromFile(const QString &fileName);
    // Applies a style preset, also the current one: many properties through their
    // setters inside one update, then OnAfterChangeStyle; one repaint.
    void SetPreSet(TnbPreSet value);

    // ---- The keyboard (nbSideBarKeyboard.cpp) ----
    // The item the keyboard is on: a header's caption (KeyButton none) or one
    // of its buttons. Tab brings the focus to the bar; the arrow keys walk
    // the visible headers and the buttons the bar shows, Enter or Space
    // presses the item. Its focus rectangle shows while the keyboard moved
    // the focus.
    TnbHeader *KeyHeader() const;
    TnbButton *KeyButton() const;
    void SetKeyItem(TnbHeader *header, TnbButton *button);
    // The items the arrow keys walk, in order: each visible header, followed
    // by its visible buttons while its body shows.
    QList<QPair<TnbHeader *, TnbButton *>> KeyItems() const;
    // Presses a button as a click with the mouse does: its check state
    // steps, it becomes its header's selected button, its OnClick runs.
    void PressButton(TnbButton *button);
    // The button pressed last while its header is the active one, whatever
    // its header's selection allows (a screen reader hears it as the selected
    // tab, as it chose what shows beside the bar); none after a header switch.
    TnbButton *PressedButton() const;

    // A dialog character (accelerator): activates the header whose caption has it, or
    // steps and clicks the active header's button whose caption has it. False when no
    // caption has it or the settings turn KeySupport off.
    bool DialogChar(QChar ch);

    // ---- Layout and painting ----
    // Weight of the alert colour blended over a flashing caption or button.
    static constexpr int AlertWeight = 50;
    // Height of the view-scroll arrows of the explorer layout.
    static constexpr int ViewArrowHeight = 14;
    // The explorer layout: vsExplorerBar with emCloseUp, where every header opens and
    // closes its own body; every other combination is laid out like vsOutlook.
    bool ExplorerLayout() const { return FViewStyle == vsExplorerBar && FExplorerMethod == emCloseUp; }
    // Runs the whole paint sequence into a new image of the control's size; a null image
    // while an update is pending or a paint is running.
    QImage PaintImage();
    // The client area inside the bevels, the close strip and the margins, as last painted.
    platform::Rect ContentRect() const { return FContentRect; }
    // A scroll arrow as last painted: its rectangle and state (ArrowState).
    platform::Rect ArrowRect(ScrollArrow arrow) const { return FArrows[std::size_t(arrow)].Rect; }
    int ArrowStateOf(ScrollArrow arrow) const { return FArrows[std::size_t(arrow)].State; }
    // In the explorer layout: more lies below the client area (the view-scroll down arrow
    // is offered).
    bool MoreBelow() const { return FMoreBelow; }
    // Draws the mark of a drop position (1 before, 2 after, 3 after the last button) in
    // the rectangle L, T, R, B; only while a drag over a button is accepted.
    virtual void DrawDropMark(platform::Canvas &canvas, int L, int T, int R, int B, int position);
    // Called by a header after its buttons: draws the drop mark of a drag over it.
    void DrawHeaderDropMark(platform::Canvas &canvas, TnbHeader *header, const platform::Rect &body);

    // Watches `component` (an image list, menu or action the bar references) so that
    // every reference to it is cleared when it is destroyed.
    void FreeNotification(QObject *component);

    // ---- Cursor, caption editor, dragging buttons ----
    platform::Cursor Cursor() const { return FCursor; }
    // Shown over the bar, except over a button that has a cursor of its own.
    void SetCursor(platform::Cursor value);
    TnbInplaceEditor *InplaceEditor() const { return FInplaceEditor.get(); }
    // Copies the settings of another editor.
    void SetInplaceEditor(const TnbInplaceEditor &value);
    // Asked when the left button goes down on a button: may it be dragged?
    TnbEventDragAllowed OnDragAllowed;
    TnbEventDragEnter OnDragEnter;
    TnbEventDragOver OnDragOver;
    TnbEventDragDrop OnDragDrop;
    // The drag-and-drop manager, made with the window.
    TnbDragDropManager *DragDropManager() const { return FDragDropManager.get(); }
    // The button being dragged out of this bar, or none.
    TnbButton *DragSourceButton() const { return FDragSourceButton; }
    // A press armed a drag that starts once the mouse moves far enough.
    bool DragPending() const { return FDragPending; }

protected:
    // Clears every reference to `component`, which is going away.
    virtual void Notification(QObject *component);

    virtual void DoChange(int oldIndex, int newIndex);
    virtual void DoCanChange(TnbHeader *newHeader, bool &canChange);
    virtual void DoChangeViewStyle(TnbViewStyle oldStyle, TnbViewStyle newStyle, bool &canChange);
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose();
    virtual void DoDrawHeaderButtons(platform::Canvas &canvas, const platform::Rect &rect, int activeIndex);
    virtual void DoAfterDrawHeaderButtons(platform::Canvas &canvas, const platform::Rect &rect,
                                          int activeIndex);
    virtual void DoDrawCloseButton(platform::Canvas &canvas, const platform::Rect &rect, int state);

    // The paint sequence onto the off-screen image.
    virtual void Paint(platform::Canvas &canvas);
    // The client rectangle less the bevels.
    platform::Rect AdjustClientRect() const;
    void PaintHeaders(platform::Canvas &canvas, const platform::Rect &r, int separator);
    void DrawCloseStrip(platform::Canvas &canvas);
    // Places the button-scroll arrows of the active header (outlook-like layout).
    void LayoutButtonArrows();
    void DrawScrollArrows(platform::Canvas &canvas);
    void DrawArrow(platform::Canvas &canvas, ScrollArrow arrow, bool up, bool flat);
    void DrawAlertHighlight(platform::Canvas &canvas);
    void DrawBevels(platform::Canvas &canvas, platform::Rect r);
    void PaintParentBackground(platform::Canvas &canvas);

    // The window's life: creating registers the drop target; destroying revokes it and
    // ends an alert.
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void RecreateWnd();

    void StartTimer(int id, unsigned interval);
    void KillTimer(int id);
    // A window timer fired.
    virtual void TimerFired(int id);

    // Runs the header-switch animation towards `target` (outlook-like layout).
    void AnimateSwitch(TnbHeader *target);
    // Shows one frame of the animation; the bar paints itself at once.
    virtual void AnimationFrame();
    // Hover states back to normal (mouse enter and leave).
    void ResetHover();
    // The hover handling of a mouse move at `p`.
    void MouseMoveAt(QPoint p);
    // MouseMoveAt unless the caption editor is open or a mouse move is being handled.
    void TrackHover(QPoint p);
    void InvalidateRect(const platform::Rect &r);
    // The check state a click gives the button.
    static platform::CheckBoxState NextClickState(const TnbButton *button);
    // True while the caption editor is open (input then leaves the bar alone).
    bool CaptionEditing() const;

    // ---- Dragging buttons (nbSideBarDrag.cpp) ----
    // A left press at `p`: asks OnDragAllowed about the button there and arms a drag of
    // it unless Shift or Ctrl is held.
    void PrepareButtonDrag(QPoint p, Qt::KeyboardModifiers modifiers);
    // Sets the threshold and the pending flag unless a drag is pending or running.
    void ArmButtonDrag();
    // Runs the drag loop for the hot button; a move effect deletes it afterwards. False
    // when there was no button to drag.
    bool StartButtonDrag();
    virtual void DoDragAllowed(TnbButton *button, bool &allowed);
    // A drag of data enters the bar (from `sourceBar`, a bar of this process, or none).
    virtual platform::HResult OleDragEnter(platform::DataObject *data, TnbSideBar *sourceBar,
                                           std::uint32_t keyState, std::uint32_t &effect, QPoint screenPos);
    virtual platform::HResult OleDragOver(QObject *source, std::uint32_t keyState, std::uint32_t &effect,
                                          QPoint screenPos, platform::DragState state);
    virtual platform::HResult OleDrop(platform::DataObject *data, std::uint32_t keyState,
                                      std::uint32_t &effect, QPoint screenPos);
    virtual void OleDragLeave();
    // The effect of a drop from `source` with the given keys among the `allowed` ones.
    virtual std::uint32_t GetDropEffect(QObject *source, platform::ShiftState shift, std::uint32_t allowed,
                                        QPoint pt);
    // Repaints the button with the area its drop mark covers.
    virtual void InvalidateButtonRect(TnbButton *button);
    // The record of the dragged button in the Resource data.
    virtual void WriteButtonRecord(TnbRecordStream &stream);
    // Presses the scroll arrow under a drag and scrolls on with a timer.
    virtual void CheckDragScroll(QPoint pt);
    // The button a drop at `pt` goes to, and where (1 before it, 2 after it, 3 after the
    // last button); none when no button takes it.
    TnbButton *HitDropButton(QPoint pt, int &position) const;
    // The visible header whose caption or body holds `pt`.
    TnbHeader *HitHeader(QPoint pt) const;
    // The bar of this process that `data` is dragged from, or none.
    TnbSideBar *FindSourceBar(platform::DataObject *data) const;
    // Moves or copies the dragged button of this bar to the drop place; false when the
    // drop is not one of this bar's own buttons.
    bool InternalDrop(platform::DataObject *data, TnbButton *target, int position, std::uint32_t &effect);
    // Another widget's drag over the bar and its drop; the answer is the effect.
    std::uint32_t WidgetDragOver(QObject *source, std::uint32_t keyState, QPoint screenPos,
                                 platform::DragState state);
    std::uint32_t WidgetDragDrop(QObject *source, std::uint32_t keyState, QPoint screenPos);
    // Moves the keyboard's item (Up, Down, Left, Right) or presses it
    // (Return, Enter, Space); false for another key.
    bool KeyboardNavigation(QKeyEvent *event);
    // The keyboard item's focus rectangle, while the keyboard moved the focus.
    void DrawKeyFocus(platform::Canvas &canvas);

    // Lets go of scroll arrows a drag held down.
    void ReleaseDragScroll();
    // Lets the owner judge a drag at `pt` (OnDragOver), starting from `accept`; a drag
    // it refuses gets no effect.
    void AskDragOver(QObject *source, platform::ShiftState shift, platform::DragState state, QPoint pt,
                     std::uint32_t &effect, bool accept);
    // A drag left the bar or dropped on it: no drop mark, no header waiting to open,
    // no scrolling.
    void EndDropTarget();
    // The caption editor's box asks for its menu at `pos` (box coordinates).
    void EditorContextPopup(QPoint pos, bool &handled);

    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

public:
    void setVisible(bool visible) override;

protected:
    // ---- Runtime state, used by layout, input and drag and drop ----
    struct ArrowInfo
    {
        platform::Rect Rect;
        int State = asIdle;
    };
    std::array<ArrowInfo, 4> FArrows;
    int FScrollOffset = 0;
    TnbHeader *FHotHeader = nullptr;
    TnbHeader *FBodyHeader = nullptr;
    TnbButton *FHotButton = nullptr;
    bool FInMouseMove = false;
    int FAnimationTarget = -1;
    bool FAnimating = false;
    bool FPainting = false;
    bool FAlertPaused = false;
    bool FDragPending = false;
    bool FDragging = false;
    QPoint FDragStart;
    int FDragThreshold = 5;
    TnbButton *FDropTargetButton = nullptr;
    TnbHeader *FDropTargetHeader = nullptr;
    // Drop position on the target button, the accept flag and the drop mode of a drag.
    int FDropPosition = 0;
    bool FDropAccept = false;
    int FDropMode = 0;
    platform::Rect FContentRect;
    // The bevel-adjusted area below the close strip, where the view-scroll arrows sit.
    platform::Rect FViewArrowArea;
    bool FMoreBelow = false;

private:
    // Resets and reads the stored properties of a bar record, between Loading and Loaded;
    // raises platform::stream::StreamError for anything refused, part-way through.
    void ApplyStoredProperties(const platform::stream::FormComponent &root);

    friend class TnbHeader;
    friend class TnbHeaders;
    friend class TnbButton;
    friend class TnbButtons;
    friend class TnbDragDropManager;

    const TNotifyEvent &ChangeCallback() const { return FChangeCallback; }
    void ComponentDestroyed(QObject *component);
    // A header or button is about to be destroyed: drop every reference to it.
    void ForgetHeader(TnbHeader *header);
    void ForgetButton(TnbButton *button);
    void RegisterDropTarget();
    void RevokeDropTarget();
    template <typename T> void Set(T &field, const T &value);

    static constexpr std::uint16_t InternalVersion = 0x020D;

    std::unique_ptr<TnbHeaders> FHeaders;
    std::unique_ptr<TnbBackground> FBackground;
    std::unique_ptr<TnbBarSettings> FSettings;
    std::unique_ptr<TnbHeaderImages> FHeaderImages;
    std::unique_ptr<TnbBorder> FBorder;
    std::unique_ptr<TnbCloseButton> FCloseButton;
    TNotifyEvent FChangeCallback;

    TnbHeader *FActiveHeader = nullptr;
    TColor FAlertColor = platform::clRed;
    unsigned FAlertInterval = 500;
    unsigned FAutoButtonScrollDelay = 600;
    unsigned FAutoScrollDelay = 500;
    unsigned FAutoChangeDelay = 100;
    platform::BevelCut FBevelInner = platform::bvNone;
    platform::BevelCut FBevelOuter = platform::bvLowered;
    int FBevelWidth = 1;
    platform::BorderStyle FBorderStyle = platform::bsNone;
    int FBorderWidth = 0;
    bool FCommonStyle = true;
    TColor FDropMarkColor = platform::clBlack;
    bool FEachHeaderSelection = false;
    TnbExplorerMethod FExplorerMethod = emCloseUp;
    bool FFlat = true;
    std::uint8_t FHeaderScrollAcceleration = 5;
    std::uint16_t FScrollChange = 50;
    TnbHeaderScrollType FHeaderScrollType = stAccelerated;
    std::uint8_t FHeaderScrollValue = 20;
    TnbPreSet FPreSet = psOfficeXP;
    std::uint16_t FScrollBoxSize = 15;
    TnbScrollView FScrollView = ssNormal;
    TnbBarOptions FOptions{boAcceptOLEDrop,     boAutoScroll,  boAutoChangeHeader,
                           boFocusOnMouseEnter, boHeaderFrame, boInternalDrop};
    TnbViewStyle FViewStyle = vsOutlook;
    platform::Align FAlign = platform::alLeft;
    TColor FColor = platform::clBtnFace;
    platform::PopupMenu *FPopupMenu = nullptr;

    int FUpdateCount = 0;
    bool FChangePending = false;
    bool FLoading = false;
    bool FLoaded = false;
    bool FDestroying = false;
    int FStoredActiveIndex = -1;
    TnbButton *FAlertButton = nullptr;
    const platform::FormOwner *FOwnerForm = nullptr;
    std::array<QBasicTimer, 6> FTimers;
    QList<QPointer<QObject>> FWatched;

    // Cursor, caption editor and dragging.
    platform::Cursor FCursor = platform::crDefault;
    std::unique_ptr<TnbInplaceEditor> FInplaceEditor;
    std::shared_ptr<TnbDragDropManager> FDragDropManager;
    TnbButton *FDragSourceButton = nullptr;
    // The drop target of another widget's drag, kept for its drop.
    TnbButton *FWidgetDragTarget = nullptr;

    // The keyboard's item by indexes (button -1: the header's caption).
    int FKeyHeader = 0;
    int FKeyButton = -1;
    int FPressedHeader = -1;
    int FPressedButton = -1;
};
