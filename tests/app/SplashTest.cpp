#include "AppFixture.h"

#include "app/PictureBox.h"
#include "app/VendorLinks.h"
#include "app/uContentPanels.h"
#include "platform/os/Shell.h"
#include "support/FileBytes.h"
#include "upgrade/suSelfUpdater.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <tuple>

class SplashTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        writeDatabase({testdb::companyInsert(QStringLiteral("安徽机械厂"), QStringLiteral("安徽省"), 0)});
        createDataModule();
        ASSERT_FALSE(dm->FOpenFailed);
        platform::setShellOpenHandler([this](const QString &target) {
            opened << target;
            return true;
        });
    }
    void TearDown() override
    {
        platform::setShellOpenHandler({});
        AppFixture::TearDown();
    }

    // Runs the main window's creation; `whileShown` looks at the modal splash.
    std::unique_ptr<TFmMainForm> create(const std::function<void(TFmflash *)> &whileShown)
    {
        auto form = std::make_unique<TFmMainForm>();
        QTimer::singleShot(0, form.get(), [&] {
            auto *splash = qobject_cast<TFmflash *>(QApplication::activeModalWidget());
            splashSeen = splash != nullptr;
            if (splash)
                whileShown(splash);
        });
        form->FormCreate();
        return form;
    }

    bool splashSeen = false;
    QStringList opened;
};

TEST_F(SplashTest, ShowsModallyFirstAndClosesByItself)
{
    bool mainWindowShown = true;
    auto form = create([&](TFmflash *splash) {
        EXPECT_EQ(splash, Fmflash);
        EXPECT_EQ(splash->parentWidget(), FmMainForm);
        mainWindowShown = FmMainForm->isVisible();
        EXPECT_EQ(splash->size(), QSize(492, 334));
        EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(splash->windowTitle(), QStringLiteral("Kestrune-->Velmora"));
        EXPECT_EQ(splash->Image1->geometry(), QRect(0, 0, 492, 334));
        EXPECT_EQ(splash->SpdBtn_In->geometry(), QRect(352, 285, 97, 25));
        EXPECT_EQ(splash->SpdBtn_In->text(), QStringLiteral("进入Velmora"));
        EXPECT_EQ(splash->SpdBtn_Login->geometry(), QRect(152, 226, 169, 41));
        EXPECT_TRUE(splash->SpdBtn_Login->text().isEmpty());
        EXPECT_TRUE(splash->SpdBtn_Login->icon().isNull());
        EXPECT_EQ(splash->SpdBtn_Login->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(splash->Timer1->interval(), 2000);
        EXPECT_TRUE(splash->Timer1->isActive());
        const QRect screen = splash->screen()->availableGeometry();
        EXPECT_LE((splash->frameGeometry().center() - screen.center()).manhattanLength(), 2);
        // No click: the timer ends the modal loop.
    });
    ASSERT_TRUE(splashSeen);
    EXPECT_FALSE(mainWindowShown) << "the main window comes after the splash";
    ASSERT_NE(Fmflash, nullptr) << "kept with its owner";
    EXPECT_FALSE(Fmflash->isVisible());
    EXPECT_FALSE(Fmflash->Timer1->isActive());
    EXPECT_TRUE(form->Pal_2_0->isVisibleTo(form.get())) << "creation went on";
    EXPECT_EQ(form->PanelC->text(), QStringLiteral("| 总记录数：1 条"));

    form.reset();
    EXPECT_EQ(Fmflash, nullptr) << "the splash goes with the main window";
}

TEST_F(SplashTest, EnterClosesAtOnceAndTheHotAreaOpensTheHomePage)
{
    auto form = create([&](TFmflash *splash) {
        QTest::mouseClick(splash->SpdBtn_Login, Qt::LeftButton);
        EXPECT_EQ(opened, QStringList{links::VendorBaseAddress()});
        EXPECT_TRUE(splash->isVisible()) << "the hot area leaves the splash open";
        QTest::mouseClick(splash->SpdBtn_In, Qt::LeftButton);
    });
    ASSERT_TRUE(splashSeen);
    EXPECT_FALSE(Fmflash->isVisible());
    // The timer's later tick only switches it off.
    Fmflash->Timer1Timer();
    EXPECT_FALSE(Fmflash->isVisible());
    EXPECT_FALSE(Fmflash->Timer1->isActive());
}

// The splash and the about page show the installed version, read from the
// version file as the upgrade reads it; without a version the text says so
// in Chinese.
TEST_F(SplashTest, SplashAndAboutPageShowTheInstalledVersion)
{
    const auto shown = [this](const QByteArray &versionFile) {
        const QString path = dir.file(QStringLiteral("softup.dll"));
        QFile::remove(path);
        if (!versionFile.isNull())
            testfiles::writeFile(path, versionFile);
        auto form = std::make_unique<TFmMainForm>();
        form->VersionFile = path;
        QString splash;
        QTimer::singleShot(0, form.get(), [&] {
            if (auto *s = qobject_cast<TFmflash *>(QApplication::activeModalWidget())) {
                splash = s->LabelVersion->text();
                EXPECT_TRUE(s->LabelVersion->isVisible());
                EXPECT_GE(s->LabelVersion->width(), s->LabelVersion->sizeHint().width()) << "the text whole";
                s->SpdBtn_In->click();
            }
        });
        form->FormCreate();
        const QString facts = form->Pal_2_0->Facts->text();
        const QString upgrade = form->SoftUpdate->VersionNumber();
        form.reset();
        return std::tuple(splash, facts, upgrade);
    };

    const auto [splash, facts, upgrade] = shown("[SYS]\r\nUPDATESET=2.2\r\n");
    EXPECT_EQ(splash, QStringLiteral("版本 2.2"));
    EXPECT_TRUE(facts.contains(QStringLiteral("<td>软件版本：</td><td>2.2</td>"))) << facts.toStdString();
    EXPECT_EQ(upgrade, QStringLiteral("2.2")) << "what the upgrade compares with";

    const auto [noSplash, noFacts, noUpgrade] = shown(QByteArray());
    EXPECT_EQ(noSplash, QStringLiteral("版本 未知"));
    EXPECT_TRUE(noFacts.contains(QStringLiteral("<td>软件版本：</td><td>未知</td>")))
        << noFacts.toStdString();
    EXPECT_EQ(noUpgrade, QStringLiteral("Error"));
}
