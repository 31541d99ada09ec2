#include "UpgradeWindowsFixture.h"

#include "resources/UpgradePictures.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class SelfUpdaterWizardTest : public UpgradeWindowsFixture
{
protected:
    TsuSelfUpdaterWizardForm *open(TsuSelfUpdaterLanguage language = wlEnglish)
    {
        suSetLanguage(language);
        suSelfUpdaterWizardForm = new TsuSelfUpdaterWizardForm;
        suSelfUpdaterWizardForm->OnAbort = [this] { ++aborts; };
        suSelfUpdaterWizardForm->FormOpen({});
        suSelfUpdaterWizardForm->show();
        return suSelfUpdaterWizardForm;
    }

    int aborts = 0;
};

} // namespace

TEST_F(SelfUpdaterWizardTest, LayoutAtNinetySixDotsPerInch)
{
    TsuSelfUpdaterWizardForm *w = open();
    EXPECT_EQ(w->size(), QSize(463, 281));
    const std::pair<QWidget *, QRect> places[] = {
        {w->PicturePanel, {10, 10, 120, 220}},      {w->Image1, {1, 1, 118, 218}},
        {w->CurrentFileGroup, {136, 34, 319, 125}}, {w->URLEdit, {10, 28, 301, 13}},
        {w->ProgressCurrentFile, {6, 96, 307, 22}}, {w->AllFilesGroup, {136, 162, 319, 67}},
        {w->ProgressAllFiles, {6, 38, 307, 22}},    {w->Bevel1, {10, 238, 447, 2}},
        {w->FinishBtn, {296, 248, 75, 25}},         {w->CancelBtn, {380, 248, 75, 25}}};
    for (const auto &[widget, rect] : places)
        EXPECT_EQ(widget->geometry(), rect) << widget->objectName().toStdString();
    const std::pair<QWidget *, QPoint> labels[] = {
        {w->WizardTitle, {136, 10}},   {w->LDownloadingFileFrom, {6, 14}}, {w->FileSizeLab, {6, 44}},
        {w->TransferRateLab, {6, 60}}, {w->EstimatedTimeLeftLab, {6, 76}}, {w->AllDownloading, {6, 16}}};
    for (const auto &[label, place] : labels)
        EXPECT_EQ(label->pos(), place) << label->objectName().toStdString();
    EXPECT_EQ(w->WizardTitle->font().pixelSize(), 19);
    EXPECT_TRUE(w->WizardTitle->font().bold() && w->WizardTitle->font().italic());
    EXPECT_FALSE(w->FinishBtn->isEnabled());
    EXPECT_TRUE(w->CancelBtn->isDefault());
    EXPECT_FALSE(w->URLEdit->isVisible());
    EXPECT_FALSE(w->Label1->isVisible() || w->Label2->isVisible());
}

TEST_F(SelfUpdaterWizardTest, TextsOfTheChosenLanguage)
{
    TsuSelfUpdaterWizardForm *w = open(wlChineseSimplified);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("软件升级精灵"));
    EXPECT_EQ(w->WizardTitle->text(), QStringLiteral("文档下载中"));
    EXPECT_EQ(w->CurrentFileGroup->title(), QStringLiteral(" 当前的文档 "));
    EXPECT_EQ(w->AllFilesGroup->title(), QStringLiteral(" 全部的文档 "));
    EXPECT_EQ(w->LDownloadingFileFrom->text(), QStringLiteral("文档下载源"));
    EXPECT_EQ(w->EstimatedTimeLeftLab->text(), QStringLiteral("准备中"));
    EXPECT_EQ(w->FinishBtn->text(), QStringLiteral("[&N]下一个>"));
    EXPECT_EQ(w->CancelBtn->text(), QStringLiteral("[&C]取消"));
    w->CloseWithoutAsking();

    w = open(wlGerman);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Upgrade Anwendungsassistent"));
    EXPECT_EQ(w->CancelBtn->text(), QStringLiteral("&Abbrechen"));
}

TEST_F(SelfUpdaterWizardTest, ProgressLines)
{
    TsuSelfUpdaterWizardForm *w = open();
    w->ShowFile(QStringLiteral("http://host/velmora/dorvak.dat"), 2, 3);
    w->ShowFileSize(5321.44);
    w->ShowProgress(42, 47, 118.64, 3725);
    EXPECT_TRUE(w->URLEdit->isVisible());
    EXPECT_EQ(w->URLEdit->text(), QStringLiteral("http://host/velmora/dorvak.dat"));
    EXPECT_EQ(w->AllDownloading->text(), QStringLiteral("Downloading 2 of 3"));
    EXPECT_EQ(w->FileSizeLab->text(), QStringLiteral("File size: 5321.4 Kb"));
    EXPECT_EQ(w->TransferRateLab->text(), QStringLiteral("Transfer rate: 118.6 Kb/s"));
    EXPECT_EQ(w->EstimatedTimeLeftLab->text(), QStringLiteral("Estimated time left: 1:02:05"));
    EXPECT_EQ(w->ProgressCurrentFile->value(), 42);
    EXPECT_EQ(w->ProgressAllFiles->value(), 47);

    w->ShowProgress(130, -5, 0.0, 59);
    EXPECT_EQ(w->ProgressCurrentFile->value(), 100);
    EXPECT_EQ(w->ProgressAllFiles->value(), 0);
    EXPECT_EQ(w->EstimatedTimeLeftLab->text(), QStringLiteral("Estimated time left: 0:00:59"));

    // The URL field is there to be read and copied, never typed into.
    QTest::keyClicks(w->URLEdit, QStringLiteral("xyz"));
    QTest::keyClick(w->URLEdit, Qt::Key_Backspace);
    EXPECT_EQ(w->URLEdit->text(), QStringLiteral("http://host/velmora/dorvak.dat"));
}

TEST_F(SelfUpdaterWizardTest, FinalPage)
{
    TsuSelfUpdaterWizardForm *w = open();
    w->ShowFinalPage();
    EXPECT_EQ(w->WizardTitle->text(), QStringLiteral("Upgrade completed!"));
    EXPECT_EQ(w->AfterNote->text(),
              QStringLiteral("The update of Velmora has been successfully completed.\n\n"
                             "Press the OK button to restart program."));
    EXPECT_TRUE(w->AfterNote->isVisible());
    EXPECT_EQ(w->AfterNote->geometry().topLeft(), QPoint(136, 44));
    EXPECT_GE(w->AfterNote->height(), 3 * w->AfterNote->fontMetrics().lineSpacing());
    EXPECT_FALSE(w->CurrentFileGroup->isVisible());
    EXPECT_FALSE(w->AllFilesGroup->isVisible());
    EXPECT_FALSE(w->CancelBtn->isEnabled());
    EXPECT_TRUE(w->FinishBtn->isEnabled());
    EXPECT_EQ(w->FinishBtn->text(), QStringLiteral("&OK"));

    // The finish button closes without asking and without aborting.
    QPointer<TsuSelfUpdaterWizardForm> guard = w;
    QSignalSpy closed(w, &TsuSelfUpdaterWizardForm::closed);
    QTest::mouseClick(w->FinishBtn, Qt::LeftButton);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(aborts, 0);
    EXPECT_EQ(suSelfUpdaterWizardForm, nullptr);
    QTRY_VERIFY(guard.isNull());
}

// Cancel, Esc and the close box ask first; only Yes gives the upgrade up.
TEST_F(SelfUpdaterWizardTest, ConfirmationAbortsOnlyOnYes)
{
    QPointer<TsuSelfUpdaterWizardForm> w = open();
    answers << platform::mrNo << platform::mrNo << platform::mrYes;
    QTest::mouseClick(w->CancelBtn, Qt::LeftButton);
    QTRY_COMPARE(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("The update is not completed.\rWould you like to abort upgrading?"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Velmora"));
    EXPECT_EQ(boxes[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(boxes[0].icon, platform::MessageIcon::Question);
    QTest::keyClick(w, Qt::Key_Escape);
    QTRY_COMPARE(boxes.size(), 2);
    EXPECT_EQ(suSelfUpdaterWizardForm, w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(aborts, 0);

    // The close box asks on the final page too.
    w->ShowFinalPage();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(boxes.size(), 3);
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(suSelfUpdaterWizardForm, nullptr);
    QTRY_VERIFY(w.isNull());
}

TEST_F(SelfUpdaterWizardTest, PictureOfTheOptionsReplacesTheBuiltInOne)
{
    suSelfUpdaterWizardForm = new TsuSelfUpdaterWizardForm;
    const QImage builtIn = suSelfUpdaterWizardForm->Image1->pixmap().toImage();
    EXPECT_EQ(builtIn,
              resources::upgradePicture(resources::UpgradePicture::Wizard).convertToFormat(builtIn.format()));
    QImage red(118, 218, QImage::Format_RGB32);
    red.fill(Qt::red);
    suSelfUpdaterWizardForm->FormOpen(red);
    EXPECT_EQ(suSelfUpdaterWizardForm->Image1->pixmap().toImage().pixelColor(60, 100), QColor(Qt::red));
}

// Every language's texts fit the places the wizard has for them.
TEST_F(SelfUpdaterWizardTest, TextsFitInEveryLanguage)
{
    suSelfUpdaterWizardForm = new TsuSelfUpdaterWizardForm;
    TsuSelfUpdaterWizardForm *w = suSelfUpdaterWizardForm;
    const QFontMetrics title(w->WizardTitle->font());
    const QFontMetrics text(w->font());
    const int titleRoom = w->width() - w->WizardTitle->x() - 4;
    const int lineRoom = w->ProgressCurrentFile->width();
    for (int language = wlEnglish; language <= wlIcelandic; ++language) {
        suSetLanguage(TsuSelfUpdaterLanguage(language));
        w->FormOpen({});
        w->ShowFile(QStringLiteral("http://host/a.dat"), 10, 12);
        w->ShowFileSize(99999.9);
        w->ShowProgress(50, 50, 9999.9, 99 * 3600 + 59 * 60 + 59);
        SCOPED_TRACE("language " + std::to_string(language));
        for (int i : {1, 2})
            EXPECT_LE(title.horizontalAdvance(suMessage(i)), titleRoom) << suMessage(i).toStdString();
        for (QLabel *line : {w->LDownloadingFileFrom, w->FileSizeLab, w->TransferRateLab,
                             w->EstimatedTimeLeftLab, w->AllDownloading})
            EXPECT_LE(text.horizontalAdvance(line->text()), lineRoom) << line->text().toStdString();
        for (QGroupBox *group : {w->CurrentFileGroup, w->AllFilesGroup})
            EXPECT_LE(text.horizontalAdvance(group->title()), group->width() - 16)
                << group->title().toStdString();
        for (int i : {16, 17, 18}) {
            const QString caption = suMessage(i).remove(QLatin1Char('&'));
            EXPECT_LE(text.horizontalAdvance(caption), w->FinishBtn->width() - 8) << caption.toStdString();
        }
    }
}
