#pragma once

// Drag and drop in the manner of the system's drag-and-drop service, carried by Qt's:
// a window registers a drop target; a drag runs a modal loop with a data object and a
// drop source; key states, effects and result codes keep the system's values.
//
// What reaches a registered window: drags that carry a data object (started by
// DoDragDrop anywhere in this process, or by another program) go to its DropTarget;
// drags that another widget of this process started with data of its own are the
// program's widget drags and go to its WidgetDragTarget. Data from another program
// is offered as a data object over its MIME types; a clipboard format is the MIME type
// that carries its registered name.

#include "platform/ui/DataObject.h"

#include <QPoint>
#include <Qt>
#include <memory>

class QMimeData;
class QObject;
class QWidget;

namespace platform {

// ---- Key states (mouse buttons and modifier keys during a drag) ----
inline constexpr std::uint32_t MK_LBUTTON = 0x01;
inline constexpr std::uint32_t MK_RBUTTON = 0x02;
inline constexpr std::uint32_t MK_SHIFT = 0x04;
inline constexpr std::uint32_t MK_CONTROL = 0x08;
inline constexpr std::uint32_t MK_MBUTTON = 0x10;
inline constexpr std::uint32_t MK_ALT = 0x20;

std::uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// ---- The framework's shift state: bit n is member n of (Shift, Alt, Ctrl, Left, Right,
// Middle, Double) ----
using ShiftState = std::uint32_t;
inline constexpr ShiftState ssShift = 0x01;
inline constexpr ShiftState ssAlt = 0x02;
inline constexpr ShiftState ssCtrl = 0x04;
inline constexpr ShiftState ssLeft = 0x08;
inline constexpr ShiftState ssRight = 0x10;
inline constexpr ShiftState ssMiddle = 0x20;
inline constexpr ShiftState ssDouble = 0x40;

ShiftState KeysToShiftState(std::uint32_t keyState);

// ---- Drop effects ----
inline constexpr std::uint32_t DROPEFFECT_NONE = 0;
inline constexpr std::uint32_t DROPEFFECT_COPY = 1;
inline constexpr std::uint32_t DROPEFFECT_MOVE = 2;
inline constexpr std::uint32_t DROPEFFECT_LINK = 4;

// The Qt action that carries an effect: copy where the effect allows it, else move,
// else link; none for DROPEFFECT_NONE.
Qt::DropAction DropActionOf(std::uint32_t effect);
Qt::DropActions DropActionsOf(std::uint32_t effects);
std::uint32_t EffectsOf(Qt::DropActions actions);

// The state of a drag over a target, as the framework's drag events pass it.
enum DragState { dsDragEnter = 0, dsDragLeave = 1, dsDragMove = 2 };

// ---- The three parties of a drag ----

// The side that started a drag. QueryContinueDrag answers DRAGDROP_S_CANCEL to end the
// drag without a drop; GiveFeedback answers DRAGDROP_S_USEDEFAULTCURSORS for the
// standard cursors.
class DropSource
{
public:
    virtual ~DropSource() = default;
    virtual HResult QueryContinueDrag(bool escapePressed, std::uint32_t keyState) = 0;
    virtual HResult GiveFeedback(std::uint32_t effect) = 0;
};

// A window that takes drops of data objects. `effect` comes in as the effects the source
// allows and goes out as the one the target would perform (DROPEFFECT_NONE refuses);
// points are in screen coordinates. A DragEnter that fails refuses the whole drag.
class DropTarget
{
public:
    virtual ~DropTarget() = default;
    virtual HResult DragEnter(DataObject *data, std::uint32_t keyState, QPoint screenPos,
                              std::uint32_t &effect) = 0;
    virtual HResult DragOver(std::uint32_t keyState, QPoint screenPos, std::uint32_t &effect) = 0;
    virtual HResult DragLeave() = 0;
    virtual HResult Drop(DataObject *data, std::uint32_t keyState, QPoint screenPos,
                         std::uint32_t &effect) = 0;
};

// A window that takes the program's widget drags (another widget of this process
// dragging data of its own). `source` is the object that started the drag. The answer
// is the effect the window would perform; DROPEFFECT_NONE refuses.
class WidgetDragTarget
{
public:
    virtual ~WidgetDragTarget() = default;
    virtual std::uint32_t WidgetDragOver(QObject *source, std::uint32_t keyState, QPoint screenPos,
                                         DragState state) = 0;
    virtual std::uint32_t WidgetDragDrop(QObject *source, std::uint32_t keyState, QPoint screenPos) = 0;
};

// Registers `window` as a drop target for data objects; S_OK, or E_FAIL without a window.
// Registering again replaces the target.
HResult RegisterDragDrop(QWidget *window, DropTarget *target);
// Ends the registration; drags of data objects are refused from then on.
HResult RevokeDragDrop(QWidget *window);
// The drop target registered for `window`, or null.
DropTarget *RegisteredDropTarget(QWidget *window);
// Lets `window` take the program's widget drags (none stops it).
void SetWidgetDragTarget(QWidget *window, WidgetDragTarget *target);

// Runs the modal drag loop: `data` is offered to every drop target, in this program or
// another, until the user drops or cancels. `effect` receives the effect the target
// performed (DROPEFFECT_NONE when cancelled or refused). DRAGDROP_S_DROP when a target
// took the drop, DRAGDROP_S_CANCEL otherwise; E_FAIL without a source widget or data.
HResult DoDragDrop(QWidget *source, std::shared_ptr<DataObject> data, DropSource *dropSource,
                   std::uint32_t okEffects, std::uint32_t &effect);

// ---- Data objects as MIME data and back ----

// MIME data that offers the formats of `data` under their registered names and renders
// them on request; it keeps only a weak reference, so data asked for after the object
// is gone is empty.
std::unique_ptr<QMimeData> MimeDataFor(const std::shared_ptr<DataObject> &data);
// The data object behind MIME data made by MimeDataFor in this process, or null.
DataObject *LocalDataObject(const QMimeData *mime);
// A read-only data object over MIME data from elsewhere: every MIME type is a format
// (global memory, content aspect, all pages). `mime` must outlive the object.
std::unique_ptr<DataObject> DataObjectFor(const QMimeData *mime);

} // namespace platform
