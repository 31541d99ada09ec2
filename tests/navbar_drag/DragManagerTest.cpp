#include "navbar/nbSideBar.h"
#include "platform/ui/Canvas.h"

#include <QCoreApplication>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// Opens the bar's drag answers and drop mark to direct calls.
class OpenBar : public TnbSideBar
{
public:
    using TnbSideBar::GetDropEffect;
    void ShowMarks()
    {
        FDropAccept = true;
        FDropMode = 1;
    }
};

std::int32_t Word(const QByteArray &block, int index)
{
    return qFromLittleEndian<std::int32_t>(block.constData() + index * 4);
}

} // namespace

TEST(DragDropManager, OffersReferenceThenResourceAndRendersTheReference)
{
    TnbSideBar bar;
    TnbDragDropManager *manager = bar.DragDropManager();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->Formats().Count(), 2);
    EXPECT_EQ(manager->Formats().Item(0), NbFormatEtc(CF_NBREFERENCE()));
    EXPECT_EQ(manager->Formats().Item(1), NbFormatEtc(CF_NBRESOURCE()));
    EXPECT_EQ(ClipboardFormatName(CF_NBREFERENCE()), QStringLiteral("nbSideBar Reference"));
    EXPECT_EQ(ClipboardFormatName(CF_NBRESOURCE()), QStringLiteral("nbSideBar Resource"));

    Medium medium;
    ASSERT_EQ(manager->GetData(NbFormatEtc(CF_NBREFERENCE()), medium), S_OK);
    EXPECT_EQ(medium.tymed, TYMED_HGLOBAL);
    EXPECT_FALSE(medium.hasReleaseObject);
    ASSERT_EQ(medium.hGlobal.size(), 12);
    EXPECT_EQ(Word(medium.hGlobal, 0), 8);
    EXPECT_EQ(Word(medium.hGlobal, 1), std::int32_t(QCoreApplication::applicationPid()));
    EXPECT_EQ(TnbDragDropManager::FromId(std::uint32_t(Word(medium.hGlobal, 2))), manager);

    EXPECT_EQ(manager->GetData(NbFormatEtc(CF_NBRESOURCE()), medium), E_FAIL) << "no button is being dragged";
    FormatEtc other = NbFormatEtc(RegisterClipboardFormat(QStringLiteral("text/plain")));
    EXPECT_EQ(manager->GetData(other, medium), DV_E_FORMATETC);
    FormatEtc wrongMedium = NbFormatEtc(CF_NBRESOURCE());
    wrongMedium.tymed = 4;
    EXPECT_EQ(manager->QueryGetData(wrongMedium), DV_E_TYMED);
    EXPECT_EQ(manager->QueryGetData(NbFormatEtc(CF_NBRESOURCE())), S_OK);
}

TEST(DragDropManager, SetDataAlwaysFailsButOverwritesOrAppendsUnlessReleased)
{
    TnbSideBar bar;
    TnbDragDropManager *manager = bar.DragDropManager();
    Medium medium;
    FormatEtc text = NbFormatEtc(RegisterClipboardFormat(QStringLiteral("text/plain")));
    EXPECT_EQ(manager->SetData(text, medium, true), E_FAIL);
    EXPECT_EQ(manager->Formats().Count(), 2) << "a released medium changes nothing";
    EXPECT_EQ(manager->SetData(text, medium, false), E_FAIL);
    ASSERT_EQ(manager->Formats().Count(), 3);
    FormatEtc resource = NbFormatEtc(CF_NBRESOURCE());
    resource.lindex = 0;
    EXPECT_EQ(manager->SetData(resource, medium, false), E_FAIL);
    EXPECT_EQ(manager->Formats().Count(), 3);
    EXPECT_EQ(manager->Formats().Item(1).lindex, 0);

    std::unique_ptr<TnbEnumFormatEtc> enumerator;
    EXPECT_EQ(manager->EnumFormatEtc(DATADIR_GET, enumerator), S_OK);
    std::vector<FormatEtc> all;
    EXPECT_EQ(enumerator->Next(10, all), S_OK);
    EXPECT_EQ(all.size(), 3u);
    EXPECT_EQ(manager->EnumFormatEtc(DATADIR_SET, enumerator), OLE_S_USEREG);
    EXPECT_EQ(enumerator, nullptr);

}

TEST(DragDropManager, TheDragGoesOnWhileOneButtonIsHeld)
{
    TnbSideBar bar;
    TnbDragDropManager *m = bar.DragDropManager();
    EXPECT_EQ(m->QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(m->QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(m->QueryContinueDrag(false, MK_LBUTTON | MK_CONTROL), S_OK);
    EXPECT_EQ(m->QueryContinueDrag(false, MK_RBUTTON), S_OK);
    EXPECT_EQ(m->QueryContinueDrag(false, MK_SHIFT), DRAGDROP_S_DROP);
    EXPECT_EQ(m->GiveFeedback(DROPEFFECT_MOVE), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST(DropEffect, TheBarsOwnButtonsMoveOthersCopyAndKeysChooseAmongTheAllowed)
{
    OpenBar bar;
    QObject stranger;
    const std::uint32_t all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const QPoint p;
    EXPECT_EQ(bar.GetDropEffect(&bar, 0, all, p), DROPEFFECT_MOVE);
    EXPECT_EQ(bar.GetDropEffect(&stranger, 0, all, p), DROPEFFECT_COPY);
    EXPECT_EQ(bar.GetDropEffect(nullptr, 0, DROPEFFECT_LINK, p), DROPEFFECT_LINK) << "else the allowed set";
    EXPECT_EQ(bar.GetDropEffect(&bar, ssCtrl, all, p), DROPEFFECT_COPY);
    EXPECT_EQ(bar.GetDropEffect(&stranger, ssShift, all, p), DROPEFFECT_MOVE);
    EXPECT_EQ(bar.GetDropEffect(&bar, ssCtrl | ssShift, all, p), DROPEFFECT_LINK);
    EXPECT_EQ(bar.GetDropEffect(&bar, ssCtrl | ssShift, DROPEFFECT_COPY | DROPEFFECT_MOVE, p),
              DROPEFFECT_MOVE)
        << "no link allowed: the default";
    EXPECT_EQ(bar.GetDropEffect(&bar, ssCtrl, DROPEFFECT_MOVE, p), DROPEFFECT_MOVE);
}

TEST(DropMark, BeforeTheFirstAndAfterTheLastButton)
{
    OpenBar bar;
    bar.SetDropMarkColor(clBlue);
    const QRgb blue = qRgb(0, 0, 255);
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    Canvas canvas(image);
    const TColor brush = canvas.brushColor();
    bar.DrawDropMark(canvas, 10, 40, 90, 60, 1);
    EXPECT_EQ(image.pixel(20, 40 - 2), qRgb(255, 255, 255)) << "nothing before the drag is accepted";
    bar.ShowMarks();
    bar.DrawDropMark(canvas, 10, 40, 90, 60, 1);
    // Along the top edge, its ends reaching down into the button.
    EXPECT_EQ(image.pixel(50, 40 - 2), blue);
    EXPECT_EQ(image.pixel(12, 43), blue);
    EXPECT_NE(image.pixel(50, 41), blue);
    bar.DrawDropMark(canvas, 10, 40, 90, 60, 3);
    // Along the bottom edge, its ends reaching up.
    EXPECT_EQ(image.pixel(50, 60 + 1), blue);
    EXPECT_EQ(image.pixel(87, 57), blue);
    EXPECT_NE(image.pixel(50, 58), blue);
    EXPECT_EQ(canvas.brushColor(), brush) << "the brush is restored";
}
