#pragma once

// Dragging command buttons: the bar's data formats, the records of its drag data, the
// events of a drag over the bar and the manager that is the bar's drop target, drop
// source and data object.

#include "navbar/nbTypes.h"
#include "platform/ui/DragDrop.h"

#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <functional>
#include <vector>

// The format list and its enumerator of the bar's data object.
using TnbFormatEtcList = platform::FormatEtcList;
using TnbEnumFormatEtc = platform::FormatEtcEnumerator;

// The clipboard formats of a dragged button: where it comes from (process and bar) and
// what it is (its header and button index).
platform::ClipFormat CF_NBREFERENCE();
platform::ClipFormat CF_NBRESOURCE();
// A request for `format` on global memory, content aspect, all pages.
platform::FormatEtc NbFormatEtc(platform::ClipFormat format);

// Events of a drag over the bar. Source is the bar a drag of this process comes from,
// none for data from another program, or the object that started another widget's drag.
// State is platform::dsDragEnter, dsDragLeave or dsDragMove; Mode is 1 while the cursor
// is over a button, else 0. Effect and Accept (starting true) are read back.
using TnbEventDragAllowed =
    std::function<void(platform::Persistent *Sender, TnbButton *Button, bool &Allowed)>;
using TnbEventDragEnter =
    std::function<void(platform::Persistent *Sender, platform::DataObject *DataObject, QObject *Source,
                       platform::ShiftState Shift, platform::DragState State, QPoint Pt, int Mode,
                       std::uint32_t &Effect, bool &Accept)>;
using TnbEventDragOver =
    std::function<void(platform::Persistent *Sender, QObject *Source, platform::ShiftState Shift,
                       platform::DragState State, QPoint Pt, int Mode, std::uint32_t &Effect, bool &Accept)>;
// Formats lists the clipboard formats the data object offers (none for another widget's
// drag, which has no data object).
using TnbEventDragDrop =
    std::function<void(platform::Persistent *Sender, QObject *Source, platform::DataObject *DataObject,
                       const std::vector<platform::ClipFormat> &Formats, platform::ShiftState Shift,
                       QPoint Pt, std::uint32_t &Effect, int Mode)>;

// The records of the bar's drag data: each is a 32-bit kind and a 32-bit length, then
// the content; the length is filled in once the content is written. Values are
// little-endian.
class TnbRecordStream
{
public:
    // Record kinds of a dragged button.
    static constexpr std::uint32_t ButtonsRecord = 1;
    static constexpr std::uint32_t ButtonRecord = 2;

    // Starts a record; returns its start for EndRecord.
    int BeginRecord(std::uint32_t kind);
    void EndRecord(int start);
    void WriteInt32(std::int32_t value);
    const QByteArray &Data() const { return FData; }

private:
    QByteArray FData;
};

// The drag-and-drop manager of one bar: its drop target, the drop source and data object
// of the buttons dragged from it, and the target of other widgets' drags over it. It
// offers the Reference format first, then the Resource format.
class TnbDragDropManager : public platform::DropTarget,
                           public platform::DropSource,
                           public platform::DataObject,
                           public platform::WidgetDragTarget
{
public:
    explicit TnbDragDropManager(TnbSideBar *sideBar);
    ~TnbDragDropManager() override;
    TnbDragDropManager(const TnbDragDropManager &) = delete;
    TnbDragDropManager &operator=(const TnbDragDropManager &) = delete;

    TnbSideBar *SideBar() const { return FSideBar; }
    // The bar the drag now over this bar comes from (none for other data).
    TnbSideBar *SourceBar() const { return FSourceBar; }
    const TnbFormatEtcList &Formats() const { return FFormats; }
    // The number that names this manager's bar in the Reference data, and the manager
    // (of a live bar of this process) that a number names.
    std::uint32_t Id() const { return FId; }
    static TnbDragDropManager *FromId(std::uint32_t id);

    // Drop target.
    platform::HResult DragEnter(platform::DataObject *data, std::uint32_t keyState, QPoint screenPos,
                                std::uint32_t &effect) override;
    platform::HResult DragOver(std::uint32_t keyState, QPoint screenPos, std::uint32_t &effect) override;
    platform::HResult DragLeave() override;
    platform::HResult Drop(platform::DataObject *data, std::uint32_t keyState, QPoint screenPos,
                           std::uint32_t &effect) override;

    // Drop source.
    platform::HResult QueryContinueDrag(bool escapePressed, std::uint32_t keyState) override;
    platform::HResult GiveFeedback(std::uint32_t effect) override;

    // Data object.
    platform::HResult GetData(const platform::FormatEtc &request, platform::Medium &medium) override;
    platform::HResult GetDataHere(const platform::FormatEtc &request, platform::Medium &medium) override;
    platform::HResult QueryGetData(const platform::FormatEtc &request) override;
    platform::HResult GetCanonicalFormatEtc(const platform::FormatEtc &in, platform::FormatEtc &out) override;
    platform::HResult SetData(const platform::FormatEtc &format, platform::Medium &medium,
                              bool release) override;
    platform::HResult EnumFormatEtc(std::uint32_t direction, std::unique_ptr<TnbEnumFormatEtc> &out) override;
    platform::HResult DAdvise(const platform::FormatEtc &format, std::uint32_t flags, void *sink,
                              std::uint32_t &connection) override;
    platform::HResult DUnadvise(std::uint32_t connection) override;
    platform::HResult EnumDAdvise(void *&enumerator) override;

    // Other widgets' drags.
    std::uint32_t WidgetDragOver(QObject *source, std::uint32_t keyState, QPoint screenPos,
                                 platform::DragState state) override;
    std::uint32_t WidgetDragDrop(QObject *source, std::uint32_t keyState, QPoint screenPos) override;

private:
    // The global memory block of `format` for the button being dragged: its byte length,
    // then the data. E_FAIL for any other format or without a dragged button.
    platform::HResult Render(platform::ClipFormat format, platform::Medium &medium);

    TnbSideBar *FSideBar;
    TnbSideBar *FSourceBar = nullptr;
    TnbFormatEtcList FFormats;
    std::uint32_t FId;
};
