#pragma once

// Data transfer in the manner of the system's data objects: registered clipboard formats,
// format descriptors, a growable list of them with an enumerator, storage media and the
// data-object interface, all answering with the system's result codes. A clipboard format
// travels between programs as a MIME type that carries the format's registered name.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace platform {

// ---- Result codes ----
using HResult = std::int32_t;

inline constexpr HResult S_OK = 0;
inline constexpr HResult S_FALSE = 1;
inline constexpr HResult E_NOTIMPL = HResult(0x80004001u);
inline constexpr HResult E_ABORT = HResult(0x80004004u);
inline constexpr HResult E_FAIL = HResult(0x80004005u);
inline constexpr HResult E_UNEXPECTED = HResult(0x8000FFFFu);
inline constexpr HResult OLE_S_USEREG = 0x00040000;
inline constexpr HResult OLE_E_ADVISENOTSUPPORTED = HResult(0x80040003u);
inline constexpr HResult DV_E_FORMATETC = HResult(0x80040064u);
inline constexpr HResult DV_E_LINDEX = HResult(0x80040068u);
inline constexpr HResult DV_E_TYMED = HResult(0x80040069u);
inline constexpr HResult DV_E_DVASPECT = HResult(0x8004006Bu);
inline constexpr HResult DATA_S_SAMEFORMATETC = 0x00040130;
inline constexpr HResult DRAGDROP_S_DROP = 0x00040100;
inline constexpr HResult DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HResult DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;

constexpr bool Succeeded(HResult hr)
{
    return hr >= 0;
}

// ---- Clipboard formats ----
using ClipFormat = std::uint16_t;

// The identifier of the format registered under `name` (names compare without case);
// the same name always gives the same identifier within the process. An empty name
// gives 0, which names no format.
ClipFormat RegisterClipboardFormat(const QString &name);
// The registered name of a format, which is also its MIME type; empty when unknown.
QString ClipboardFormatName(ClipFormat format);

// ---- Format descriptors and media ----
inline constexpr std::uint32_t DVASPECT_CONTENT = 1;
inline constexpr std::uint32_t TYMED_NULL = 0;
inline constexpr std::uint32_t TYMED_HGLOBAL = 1;
// EnumFormatEtc directions.
inline constexpr std::uint32_t DATADIR_GET = 1;
inline constexpr std::uint32_t DATADIR_SET = 2;

// Describes one rendering of data: its clipboard format, the target device (unused
// here), the aspect, the page index (-1 for all) and the media it can travel on (a mask).
struct FormatEtc
{
    ClipFormat cfFormat = 0;
    const void *ptd = nullptr;
    std::uint32_t dwAspect = DVASPECT_CONTENT;
    std::int32_t lindex = -1;
    std::uint32_t tymed = TYMED_HGLOBAL;

    friend bool operator==(const FormatEtc &, const FormatEtc &) = default;
};

// A storage medium. A global memory block is a byte array; a medium that carries no
// data has the type TYMED_NULL and an empty block.
struct Medium
{
    std::uint32_t tymed = TYMED_NULL;
    QByteArray hGlobal;
    // The medium is released by its receiver (no release object is ever handed over).
    bool hasReleaseObject = false;

    void Clear()
    {
        tymed = TYMED_NULL;
        hGlobal.clear();
        hasReleaseObject = false;
    }
};

// Raised for an index outside a format list.
class FormatEtcListError : public std::out_of_range
{
public:
    FormatEtcListError();
};

// A growable list of format descriptors.
class FormatEtcList
{
public:
    int Count() const { return int(m_items.size()); }
    // Entry `index`; an index outside 0 .. Count()-1 raises FormatEtcListError.
    const FormatEtc &Item(int index) const;
    void SetItem(int index, const FormatEtc &value);
    // Appends an entry and returns its index.
    int Add(const FormatEtc &value);
    void Clear() { m_items.clear(); }
    // A new list holding the same entries.
    std::unique_ptr<FormatEtcList> Copy() const { return std::make_unique<FormatEtcList>(*this); }

    // The answer of a data object's QueryGetData over this list: the first entry that
    // matches in format, medium, aspect and index gives S_OK; otherwise the deepest
    // partial match, compared in that order, decides (nothing matched: DV_E_FORMATETC,
    // only the format: DV_E_TYMED, format and medium: DV_E_DVASPECT, all but the index:
    // DV_E_LINDEX). An empty list gives DV_E_FORMATETC.
    HResult Query(const FormatEtc &request) const;
    // The index of the entry a request is served from (same format, aspect and index,
    // a medium in common), or -1.
    int Find(const FormatEtc &request) const;

private:
    std::vector<FormatEtc> m_items;
};

// Walks a format list it owns.
class FormatEtcEnumerator
{
public:
    explicit FormatEtcEnumerator(std::unique_ptr<FormatEtcList> list, int position = 0);

    // Copies up to `count` entries from the position into `out` and moves past them;
    // S_OK when at least one was copied, else S_FALSE. `fetched` receives the number
    // copied when given.
    HResult Next(std::uint32_t count, std::vector<FormatEtc> &out, std::uint32_t *fetched = nullptr);
    // Moves `count` entries on when that many remain (S_OK); otherwise stays (S_FALSE).
    HResult Skip(std::uint32_t count);
    HResult Reset();
    // A new enumerator over a copy of the list, at the same position.
    HResult Clone(std::unique_ptr<FormatEtcEnumerator> &out) const;

    int Position() const { return m_position; }

private:
    std::unique_ptr<FormatEtcList> m_list;
    int m_position = 0;
};

// The data-object interface: data offered in one or more formats.
class DataObject
{
public:
    virtual ~DataObject() = default;

    virtual HResult GetData(const FormatEtc &request, Medium &medium) = 0;
    virtual HResult GetDataHere(const FormatEtc &request, Medium &medium) = 0;
    virtual HResult QueryGetData(const FormatEtc &request) = 0;
    virtual HResult GetCanonicalFormatEtc(const FormatEtc &in, FormatEtc &out) = 0;
    // `release`: the data object takes over the medium.
    virtual HResult SetData(const FormatEtc &format, Medium &medium, bool release) = 0;
    // An enumerator of the formats offered for `direction` (DATADIR_GET), or none.
    virtual HResult EnumFormatEtc(std::uint32_t direction, std::unique_ptr<FormatEtcEnumerator> &out) = 0;
    // Change notifications, which no data object here supports.
    virtual HResult DAdvise(const FormatEtc &format, std::uint32_t flags, void *sink,
                            std::uint32_t &connection) = 0;
    virtual HResult DUnadvise(std::uint32_t connection) = 0;
    virtual HResult EnumDAdvise(void *&enumerator) = 0;
};

// The clipboard formats a data object offers for reading, in its order; empty when it
// offers no enumerator.
std::vector<ClipFormat> OfferedFormats(DataObject &data);

} // namespace platform
