// su_gallery folder [language...]: writes the upgrade windows' pictures
// (natural size and four times enlarged) to the folder, then shows each
// window in each language given by number (1 English ... 22 Simplified
// Chinese ... 25 Icelandic; default 22) and captures the whole screen for
// each: the wizard downloading, its final page, the question window, the
// password window and the error boxes of the updater's notices. Run it
// on a real display (for example under Xvfb).

#include "platform/ui/FontSubstitution.h"
#include "resources/UpgradePictures.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdaterMessages.h"
#include "upgrade/suSelfUpdaterNotices.h"
#include "upgrade/suSelfUpdaterPassword.h"
#include "upgrade/suSelfUpdaterUpgradeMsg.h"
#include "upgrade/suSelfUpdaterWindows.h"
#include "upgrade/suSelfUpdaterWizard.h"
#include "upgrade/suWindowSetup.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

void savePictures(const QDir &folder)
{
    const std::pair<resources::UpgradePicture, const char *> pictures[] = {
        {resources::UpgradePicture::Wizard, "wizard"},
        {resources::UpgradePicture::Question, "question"},
        {resources::UpgradePicture::Key, "key"}};
    for (const auto &[which, name] : pictures) {
        const QImage image = resources::upgradePicture(which);
        image.save(folder.filePath(QStringLiteral("picture-%1.png").arg(QLatin1String(name))));
        image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .save(folder.filePath(QStringLiteral("picture-%1-x4.png").arg(QLatin1String(name))));
    }
}

// Lets the window be drawn, then captures the screen.
void capture(QWidget *window, const QDir &folder, const QString &name)
{
    su::centreOnScreen(window);
    window->show();
    // Time for the display server to map and draw the window.
    QEventLoop loop;
    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
    QApplication::primaryScreen()->grabWindow(0).save(folder.filePath(name + QStringLiteral(".png")));
    std::printf("%s\n", qPrintable(folder.filePath(name + QStringLiteral(".png"))));
}

// Shows an error box the way the updater does, captures it and closes it.
void captureErrorBox(const QString &text, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    QTimer::singleShot(400, [path] {
        QApplication::primaryScreen()->grabWindow(0).save(path);
        std::printf("%s\n", qPrintable(path));
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    TsuSelfUpdaterWindows().ShowError(text);
}

void captureLanguage(int language, const QDir &folder)
{
    suSetLanguage(TsuSelfUpdaterLanguage(language));
    const QString prefix = QStringLiteral("lang%1-").arg(language, 2, 10, QLatin1Char('0'));

    auto *wizard = new TsuSelfUpdaterWizardForm;
    wizard->FormOpen({});
    capture(wizard, folder, prefix + QStringLiteral("wizard-preparing"));
    wizard->ShowFile(QStringLiteral("http://update.example.com/velmora/dorvak.dat"), 2, 3);
    wizard->ShowFileSize(5321.4);
    wizard->ShowProgress(42, 47, 118.6, 3725);
    capture(wizard, folder, prefix + QStringLiteral("wizard-downloading"));
    wizard->ShowFinalPage();
    capture(wizard, folder, prefix + QStringLiteral("wizard-final"));
    wizard->CloseWithoutAsking();

    auto *question = new TsuSelfUpdaterUpgradeMessageForm;
    question->FormOpen(QStringLiteral("2.0: 新增手机号段与地区查询。"));
    capture(question, folder, prefix + QStringLiteral("question"));
    question->reject();

    auto *password = new TsuSelfUpdaterPasswordForm;
    password->FormOpen(QStringLiteral("dorvak.dat"), QStringLiteral("zhang"));
    capture(password, folder, prefix + QStringLiteral("password"));
    password->reject();
    QApplication::processEvents();

    const QString file = QStringLiteral("dorvak.dat.uTMP");
    captureErrorBox(suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::TempFileFailed), {file}), folder,
                    prefix + QStringLiteral("notice-write"));
    captureErrorBox(suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::ChecksumMismatch), {file}), folder,
                    prefix + QStringLiteral("notice-checksum"));
    captureErrorBox(suUpdaterNotice(TsuUpdaterNotice::HelperFailed), folder,
                    prefix + QStringLiteral("notice-helper"));
    captureErrorBox(suUpdaterNotice(TsuUpdaterNotice::SignatureMissing), folder,
                    prefix + QStringLiteral("notice-unsigned"));
    captureErrorBox(suUpdaterNotice(TsuUpdaterNotice::SignatureInvalid), folder,
                    prefix + QStringLiteral("notice-bad-signature"));
    captureErrorBox(
        suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::InfoExpired), {QStringLiteral("2026-11-30")}),
        folder, prefix + QStringLiteral("notice-expired"));
    captureErrorBox(suUpdaterNotice(TsuUpdaterNotice::ExpiryMissing), folder,
                    prefix + QStringLiteral("notice-no-expiry"));
    captureErrorBox(
        suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::ChecksumMissing), {QStringLiteral("Dorvak.exe")}),
        folder, prefix + QStringLiteral("notice-no-checksum"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    platform::installFontSubstitutions();
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: su_gallery folder [language...]\n");
        return 2;
    }
    QDir folder(args.first());
    folder.mkpath(QStringLiteral("."));
    savePictures(folder);
    QList<int> languages;
    for (const QString &arg : args.mid(1))
        languages << arg.toInt();
    if (languages.isEmpty())
        languages << wlChineseSimplified;
    for (int language : languages)
        captureLanguage(language, folder);
    return 0;
}
