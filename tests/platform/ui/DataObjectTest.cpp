#include "platform/ui/DataObject.h"
#include "platform/ui/DragDrop.h"

#include <QMimeData>
#include <gtest/gtest.h>

using namespace platform;

namespace {

FormatEtc Entry(ClipFormat format, std::uint32_t tymed = TYMED_HGLOBAL,
                std::uint32_t aspect = DVASPECT_CONTENT, std::int32_t lindex = -1)
{
    FormatEtc f;
    f.cfFormat = format;
    f.tymed = tymed;
    f.dwAspect = aspect;
    f.lindex = lindex;
    return f;
}

// Offers two formats and renders each as its own name.
class NamingDataObject : public DataObject
{
public:
    NamingDataObject()
    {
        list.Add(Entry(RegisterClipboardFormat(QStringLiteral("test/first"))));
        list.Add(Entry(RegisterClipboardFormat(QStringLiteral("test/second"))));
    }
    HResult GetData(const FormatEtc &request, Medium &medium) override
    {
        if (list.Find(request) < 0)
            return DV_E_FORMATETC;
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = ClipboardFormatName(request.cfFormat).toUtf8();
        return S_OK;
    }
    HResult GetDataHere(const FormatEtc &, Medium &) override { return E_NOTIMPL; }
    HResult QueryGetData(const FormatEtc &request) override { return list.Query(request); }
    HResult GetCanonicalFormatEtc(const FormatEtc &, FormatEtc &) override { return E_NOTIMPL; }
    HResult SetData(const FormatEtc &, Medium &, bool) override { return E_NOTIMPL; }
    HResult EnumFormatEtc(std::uint32_t, std::unique_ptr<FormatEtcEnumerator> &out) override
    {
        out = std::make_unique<FormatEtcEnumerator>(list.Copy());
        return S_OK;
    }
    HResult DAdvise(const FormatEtc &, std::uint32_t, void *, std::uint32_t &) override { return E_NOTIMPL; }
    HResult DUnadvise(std::uint32_t) override { return E_NOTIMPL; }
    HResult EnumDAdvise(void *&) override { return E_NOTIMPL; }

    FormatEtcList list;
};

} // namespace

TEST(ClipboardFormats, OneIdentifierPerNameWhateverItsCase)
{
    const ClipFormat a = RegisterClipboardFormat(QStringLiteral("nbSideBar Resource"));
    EXPECT_GE(a, 0xC000);
    EXPECT_EQ(RegisterClipboardFormat(QStringLiteral("NBSIDEBAR resource")), a);
    const ClipFormat b = RegisterClipboardFormat(QStringLiteral("nbSideBar Reference"));
    EXPECT_NE(a, b);
    EXPECT_EQ(ClipboardFormatName(a), QStringLiteral("nbSideBar Resource"));
    EXPECT_EQ(RegisterClipboardFormat(QString()), 0);
    EXPECT_TRUE(ClipboardFormatName(1).isEmpty());
}

TEST(FormatEtcList, IndexesOutsideTheListRaiseTheListError)
{
    FormatEtcList list;
    EXPECT_EQ(list.Add(Entry(7)), 0);
    EXPECT_EQ(list.Add(Entry(8)), 1);
    list.SetItem(1, Entry(9));
    EXPECT_EQ(list.Item(1).cfFormat, 9);
    try {
        list.Item(2);
        FAIL() << "no error";
    } catch (const FormatEtcListError &e) {
        EXPECT_STREQ(e.what(), "FormatEtcList:   无效的项目索引(Invalid item index).");
    }
    EXPECT_THROW(list.SetItem(-1, Entry(1)), FormatEtcListError);
    const std::unique_ptr<FormatEtcList> copy = list.Copy();
    list.Clear();
    EXPECT_EQ(copy->Count(), 2) << "a copy keeps its entries";
    EXPECT_EQ(list.Count(), 0);
}

TEST(FormatEtcList, QueryAnswersWithTheDeepestPartialMatch)
{
    FormatEtcList list;
    EXPECT_EQ(list.Query(Entry(5)), DV_E_FORMATETC) << "empty list";
    list.Add(Entry(5, TYMED_HGLOBAL, DVASPECT_CONTENT, -1));
    EXPECT_EQ(list.Query(Entry(5)), S_OK);
    EXPECT_EQ(list.Query(Entry(6)), DV_E_FORMATETC);
    EXPECT_EQ(list.Query(Entry(5, 4)), DV_E_TYMED);
    EXPECT_EQ(list.Query(Entry(5, TYMED_HGLOBAL | 4)), S_OK) << "one medium in common is enough";
    EXPECT_EQ(list.Query(Entry(5, TYMED_HGLOBAL, 4)), DV_E_DVASPECT);
    EXPECT_EQ(list.Query(Entry(5, TYMED_HGLOBAL, DVASPECT_CONTENT, 0)), DV_E_LINDEX);

    // The deepest match over all entries decides, not the first one.
    FormatEtcList two;
    two.Add(Entry(5, 4));
    two.Add(Entry(5, TYMED_HGLOBAL, DVASPECT_CONTENT, 3));
    EXPECT_EQ(two.Query(Entry(5)), DV_E_LINDEX);
    EXPECT_EQ(two.Find(Entry(5)), -1);
    EXPECT_EQ(two.Find(Entry(5, TYMED_HGLOBAL, DVASPECT_CONTENT, 3)), 1);
}

TEST(FormatEtcEnumerator, NextSkipResetAndClone)
{
    auto list = std::make_unique<FormatEtcList>();
    for (ClipFormat f : {1, 2, 3})
        list->Add(Entry(f));
    FormatEtcEnumerator e(std::move(list));
    std::vector<FormatEtc> out;
    std::uint32_t fetched = 99;
    EXPECT_EQ(e.Next(2, out, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(e.Skip(2), S_FALSE) << "only one entry is left";
    EXPECT_EQ(e.Position(), 2);
    std::unique_ptr<FormatEtcEnumerator> clone;
    ASSERT_EQ(e.Clone(clone), S_OK);
    EXPECT_EQ(e.Next(5, out, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(e.Next(1, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].cfFormat, 3);

    EXPECT_EQ(clone->Position(), 2) << "a clone starts where the original was";
    EXPECT_EQ(clone->Skip(1), S_OK);
    EXPECT_EQ(clone->Reset(), S_OK);
    out.clear();
    EXPECT_EQ(clone->Next(1, out), S_OK);
    EXPECT_EQ(out[0].cfFormat, 1);
}

TEST(MimeBridge, ADataObjectTravelsAsItsFormatNamesAndComesBackOnlyWhileAlive)
{
    auto data = std::make_shared<NamingDataObject>();
    std::unique_ptr<QMimeData> mime = MimeDataFor(data);
    EXPECT_EQ(mime->formats(), (QStringList{"test/first", "test/second"}));
    EXPECT_EQ(mime->data(QStringLiteral("test/second")), QByteArray("test/second"));
    EXPECT_TRUE(mime->data(QStringLiteral("test/other")).isEmpty());
    EXPECT_EQ(LocalDataObject(mime.get()), data.get());

    QMimeData foreign;
    foreign.setData(QStringLiteral("test/first"), "xyz");
    EXPECT_EQ(LocalDataObject(&foreign), nullptr);

    data.reset();
    EXPECT_EQ(LocalDataObject(mime.get()), nullptr);
    EXPECT_TRUE(mime->formats().isEmpty());
}

TEST(MimeBridge, MimeDataFromElsewhereIsAReadOnlyDataObject)
{
    QMimeData mime;
    mime.setData(QStringLiteral("text/plain"), "hello");
    mime.setData(QStringLiteral("nbSideBar Resource"), QByteArray("\x04\0\0\0abcd", 8));
    std::unique_ptr<DataObject> data = DataObjectFor(&mime);
    const std::vector<ClipFormat> formats = OfferedFormats(*data);
    ASSERT_EQ(formats.size(), 2u);
    const FormatEtc resource = Entry(RegisterClipboardFormat(QStringLiteral("nbSideBar Resource")));
    EXPECT_EQ(data->QueryGetData(resource), S_OK);
    Medium medium;
    ASSERT_EQ(data->GetData(resource, medium), S_OK);
    EXPECT_EQ(medium.hGlobal, QByteArray("\x04\0\0\0abcd", 8));
    EXPECT_EQ(data->GetData(Entry(RegisterClipboardFormat(QStringLiteral("image/png"))), medium),
              DV_E_FORMATETC);
    EXPECT_EQ(data->SetData(resource, medium, false), E_NOTIMPL);
    std::unique_ptr<FormatEtcEnumerator> none;
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, none), OLE_S_USEREG);
    EXPECT_EQ(none, nullptr);
}

TEST(DragKeys, KeyStatesShiftStatesAndEffects)
{
    const std::uint32_t keys =
        KeyStateOf(Qt::LeftButton | Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(keys, MK_LBUTTON | MK_RBUTTON | MK_CONTROL | MK_SHIFT);
    EXPECT_EQ(KeysToShiftState(keys), ssLeft | ssRight | ssCtrl | ssShift);
    EXPECT_EQ(KeysToShiftState(MK_ALT | MK_MBUTTON), ssAlt | ssMiddle);
    EXPECT_EQ(DropActionOf(DROPEFFECT_MOVE), Qt::MoveAction);
    EXPECT_EQ(DropActionOf(DROPEFFECT_COPY | DROPEFFECT_MOVE), Qt::CopyAction) << "copy loses nothing";
    EXPECT_EQ(DropActionOf(DROPEFFECT_NONE), Qt::IgnoreAction);
    EXPECT_EQ(EffectsOf(Qt::MoveAction | Qt::LinkAction), DROPEFFECT_MOVE | DROPEFFECT_LINK);
}
