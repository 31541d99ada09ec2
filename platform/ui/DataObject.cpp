#include "platform/ui/DataObject.h"

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <algorithm>

namespace platform {

namespace {

// Registered formats take the identifiers from 0xC000 upwards, as on the system.
constexpr ClipFormat FirstRegisteredFormat = 0xC000;

QMutex registryLock;
QStringList &RegisteredNames()
{
    static QStringList names;
    return names;
}

} // namespace

ClipFormat RegisterClipboardFormat(const QString &name)
{
    if (name.isEmpty())
        return 0;
    QMutexLocker lock(&registryLock);
    QStringList &names = RegisteredNames();
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return ClipFormat(FirstRegisteredFormat + i);
    if (names.size() >= 0x10000 - FirstRegisteredFormat)
        return 0;
    names.append(name);
    return ClipFormat(FirstRegisteredFormat + names.size() - 1);
}

QString ClipboardFormatName(ClipFormat format)
{
    QMutexLocker lock(&registryLock);
    const QStringList &names = RegisteredNames();
    const int index = int(format) - FirstRegisteredFormat;
    return index >= 0 && index < names.size() ? names[index] : QString();
}

// ---- FormatEtcList -------------------------------------------------------------------

FormatEtcListError::FormatEtcListError()
    : std::out_of_range("FormatEtcList:   无效的项目索引(Invalid item index).")
{
}

const FormatEtc &FormatEtcList::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw FormatEtcListError();
    return m_items[std::size_t(index)];
}

void FormatEtcList::SetItem(int index, const FormatEtc &value)
{
    if (index < 0 || index >= Count())
        throw FormatEtcListError();
    m_items[std::size_t(index)] = value;
}

int FormatEtcList::Add(const FormatEtc &value)
{
    m_items.push_back(value);
    return Count() - 1;
}

HResult FormatEtcList::Query(const FormatEtc &request) const
{
    // Depth of the best partial match: 0 nothing, 1 format, 2 + medium, 3 + aspect.
    int deepest = 0;
    for (const FormatEtc &entry : m_items) {
        int depth = 0;
        if (entry.cfFormat == request.cfFormat) {
            depth = 1;
            if ((entry.tymed & request.tymed) != 0) {
                depth = 2;
                if (entry.dwAspect == request.dwAspect) {
                    depth = 3;
                    if (entry.lindex == request.lindex)
                        return S_OK;
                }
            }
        }
        deepest = std::max(deepest, depth);
    }
    switch (deepest) {
    case 1:
        return DV_E_TYMED;
    case 2:
        return DV_E_DVASPECT;
    case 3:
        return DV_E_LINDEX;
    default:
        return DV_E_FORMATETC;
    }
}

int FormatEtcList::Find(const FormatEtc &request) const
{
    for (int i = 0; i < Count(); ++i) {
        const FormatEtc &entry = m_items[std::size_t(i)];
        if ((entry.tymed & request.tymed) != 0 && entry.lindex == request.lindex &&
            entry.dwAspect == request.dwAspect && entry.cfFormat == request.cfFormat)
            return i;
    }
    return -1;
}

// ---- FormatEtcEnumerator -------------------------------------------------------------

FormatEtcEnumerator::FormatEtcEnumerator(std::unique_ptr<FormatEtcList> list, int position)
    : m_list(list ? std::move(list) : std::make_unique<FormatEtcList>()), m_position(position)
{
}

HResult FormatEtcEnumerator::Next(std::uint32_t count, std::vector<FormatEtc> &out, std::uint32_t *fetched)
{
    std::uint32_t copied = 0;
    while (copied < count && m_position < m_list->Count()) {
        out.push_back(m_list->Item(m_position++));
        ++copied;
    }
    if (fetched)
        *fetched = copied;
    return copied > 0 ? S_OK : S_FALSE;
}

HResult FormatEtcEnumerator::Skip(std::uint32_t count)
{
    if (std::uint64_t(m_position) + count > std::uint64_t(m_list->Count()))
        return S_FALSE;
    m_position += int(count);
    return S_OK;
}

HResult FormatEtcEnumerator::Reset()
{
    m_position = 0;
    return S_OK;
}

HResult FormatEtcEnumerator::Clone(std::unique_ptr<FormatEtcEnumerator> &out) const
{
    try {
        out = std::make_unique<FormatEtcEnumerator>(m_list->Copy(), m_position);
        return S_OK;
    } catch (...) {
        out.reset();
        return E_FAIL;
    }
}

std::vector<ClipFormat> OfferedFormats(DataObject &data)
{
    std::vector<ClipFormat> formats;
    std::unique_ptr<FormatEtcEnumerator> enumerator;
    if (data.EnumFormatEtc(DATADIR_GET, enumerator) != S_OK || !enumerator)
        return formats;
    enumerator->Reset();
    std::vector<FormatEtc> entry;
    while (enumerator->Next(1, entry) == S_OK) {
        formats.push_back(entry.back().cfFormat);
        entry.clear();
    }
    return formats;
}

} // namespace platform
