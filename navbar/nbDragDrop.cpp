#include "navbar/nbDragDrop.h"

#include "navbar/nbSideBar.h"

#include <QCoreApplication>
#include <QHash>
#include <QtEndian>
#include <cstring>

using namespace platform;

ClipFormat CF_NBREFERENCE()
{
    static const ClipFormat format = RegisterClipboardFormat(QStringLiteral("nbSideBar Reference"));
    return format;
}

ClipFormat CF_NBRESOURCE()
{
    static const ClipFormat format = RegisterClipboardFormat(QStringLiteral("nbSideBar Resource"));
    return format;
}

FormatEtc NbFormatEtc(ClipFormat format)
{
    FormatEtc request;
    request.cfFormat = format;
    request.ptd = nullptr;
    request.dwAspect = DVASPECT_CONTENT;
    request.lindex = -1;
    request.tymed = TYMED_HGLOBAL;
    return request;
}

namespace {

QHash<std::uint32_t, TnbDragDropManager *> &LiveManagers()
{
    static QHash<std::uint32_t, TnbDragDropManager *> managers;
    return managers;
}

void AppendInt32(QByteArray &data, std::int32_t value)
{
    const std::int32_t le = qToLittleEndian(value);
    data.append(reinterpret_cast<const char *>(&le), sizeof le);
}

} // namespace

// ---- TnbRecordStream -----------------------------------------------------------------

int TnbRecordStream::BeginRecord(std::uint32_t kind)
{
    const int start = int(FData.size());
    AppendInt32(FData, std::int32_t(kind));
    AppendInt32(FData, 0);
    return start;
}

void TnbRecordStream::EndRecord(int start)
{
    const std::int32_t length = qToLittleEndian(std::int32_t(FData.size() - start - 8));
    std::memcpy(FData.data() + start + 4, &length, sizeof length);
}

void TnbRecordStream::WriteInt32(std::int32_t value)
{
    AppendInt32(FData, value);
}

// ---- TnbDragDropManager --------------------------------------------------------------

TnbDragDropManager::TnbDragDropManager(TnbSideBar *sideBar) : FSideBar(sideBar)
{
    static std::uint32_t lastId = 0;
    FId = ++lastId;
    LiveManagers().insert(FId, this);
    FFormats.Clear();
    FFormats.Add(NbFormatEtc(CF_NBREFERENCE()));
    FFormats.Add(NbFormatEtc(CF_NBRESOURCE()));
}

TnbDragDropManager::~TnbDragDropManager()
{
    LiveManagers().remove(FId);
}

TnbDragDropManager *TnbDragDropManager::FromId(std::uint32_t id)
{
    return LiveManagers().value(id, nullptr);
}

// ---- Drop target ---------------------------------------------------------------------

HResult TnbDragDropManager::DragEnter(DataObject *data, std::uint32_t keyState, QPoint screenPos,
                                      std::uint32_t &effect)
{
    FSourceBar = FSideBar->FindSourceBar(data);
    // Buttons of a bar of this program need boInternalDrop, anything else boAcceptOLEDrop.
    const TnbBarOption needed = FSourceBar ? boInternalDrop : boAcceptOLEDrop;
    if (!FSideBar->Options().Contains(needed)) {
        FSourceBar = nullptr;
        return E_ABORT;
    }
    return FSideBar->OleDragEnter(data, FSourceBar, keyState, effect, screenPos);
}

HResult TnbDragDropManager::DragOver(std::uint32_t keyState, QPoint screenPos, std::uint32_t &effect)
{
    return FSideBar->OleDragOver(FSourceBar, keyState, effect, screenPos, dsDragMove);
}

HResult TnbDragDropManager::DragLeave()
{
    FSideBar->OleDragLeave();
    FSourceBar = nullptr;
    FSideBar->RefreshBar();
    return S_OK;
}

HResult TnbDragDropManager::Drop(DataObject *data, std::uint32_t keyState, QPoint screenPos,
                                 std::uint32_t &effect)
{
    const HResult result = FSideBar->OleDrop(data, keyState, effect, screenPos);
    FSourceBar = nullptr;
    return result;
}

// ---- Drop source ---------------------------------------------------------------------

HResult TnbDragDropManager::QueryContinueDrag(bool escapePressed, std::uint32_t keyState)
{
    const bool left = keyState & MK_LBUTTON;
    const bool right = keyState & MK_RBUTTON;
    if (escapePressed || (left && right))
        return DRAGDROP_S_CANCEL;
    if (left || right)
        return S_OK;
    return DRAGDROP_S_DROP;
}

HResult TnbDragDropManager::GiveFeedback(std::uint32_t)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---- Data object ---------------------------------------------------------------------

HResult TnbDragDropManager::GetData(const FormatEtc &request, Medium &medium)
{
    try {
        if (FFormats.Find(request) < 0)
            return DV_E_FORMATETC;
        return Render(request.cfFormat, medium);
    } catch (...) {
        medium.Clear();
        return E_FAIL;
    }
}

HResult TnbDragDropManager::Render(ClipFormat format, Medium &medium)
{
    QByteArray data;
    if (format == CF_NBRESOURCE()) {
        if (!FSideBar->DragSourceButton())
            return E_FAIL;
        TnbRecordStream stream;
        const int outer = stream.BeginRecord(TnbRecordStream::ButtonsRecord);
        FSideBar->WriteButtonRecord(stream);
        stream.EndRecord(outer);
        data = stream.Data();
    } else if (format == CF_NBREFERENCE()) {
        AppendInt32(data, std::int32_t(QCoreApplication::applicationPid()));
        AppendInt32(data, std::int32_t(FId));
    } else {
        return E_FAIL;
    }
    QByteArray block;
    block.reserve(data.size() + 4);
    AppendInt32(block, std::int32_t(data.size()));
    block.append(data);
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    medium.hasReleaseObject = false;
    return S_OK;
}

HResult TnbDragDropManager::GetDataHere(const FormatEtc &, Medium &)
{
    return E_NOTIMPL;
}

HResult TnbDragDropManager::QueryGetData(const FormatEtc &request)
{
    return FFormats.Query(request);
}

HResult TnbDragDropManager::GetCanonicalFormatEtc(const FormatEtc &in, FormatEtc &out)
{
    out = in;
    out.ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HResult TnbDragDropManager::SetData(const FormatEtc &format, Medium &, bool release)
{
    if (!release) {
        bool replaced = false;
        for (int i = 0; i < FFormats.Count() && !replaced; ++i)
            if (FFormats.Item(i).cfFormat == format.cfFormat) {
                FFormats.SetItem(i, format);
                replaced = true;
            }
        if (!replaced)
            FFormats.Add(format);
    }
    return E_FAIL;
}

HResult TnbDragDropManager::EnumFormatEtc(std::uint32_t direction, std::unique_ptr<TnbEnumFormatEtc> &out)
{
    if (direction != DATADIR_GET) {
        out.reset();
        return OLE_S_USEREG;
    }
    out = std::make_unique<TnbEnumFormatEtc>(FFormats.Copy());
    return S_OK;
}

HResult TnbDragDropManager::DAdvise(const FormatEtc &, std::uint32_t, void *, std::uint32_t &)
{
    return E_NOTIMPL;
}

HResult TnbDragDropManager::DUnadvise(std::uint32_t)
{
    return E_NOTIMPL;
}

HResult TnbDragDropManager::EnumDAdvise(void *&enumerator)
{
    enumerator = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---- Other widgets' drags ------------------------------------------------------------

std::uint32_t TnbDragDropManager::WidgetDragOver(QObject *source, std::uint32_t keyState, QPoint screenPos,
                                                 DragState state)
{
    return FSideBar->WidgetDragOver(source, keyState, screenPos, state);
}

std::uint32_t TnbDragDropManager::WidgetDragDrop(QObject *source, std::uint32_t keyState, QPoint screenPos)
{
    return FSideBar->WidgetDragDrop(source, keyState, screenPos);
}
