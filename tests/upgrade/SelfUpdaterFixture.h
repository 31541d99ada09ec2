#pragma once

// A self-updater beside a program in a temporary folder, checking a local
// vendor server, with windows that record what they would show.

#include "upgrade/helper/suUpgradeFolder.h"
#include "upgrade/suSelfUpdater.h"

#include "LocalHttpServer.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTest>

namespace {

// Stands in for the upgrade windows: records what would be shown and
// answers as told.
struct RecordingWindows : TsuUpgradeWindows
{
    QStringList *log;
    bool lostAnswer = false, upgradeAnswer = true, passwordAnswer = true;
    QString typedUser = QStringLiteral("reader"), typedPassword = QStringLiteral("secret");

    explicit RecordingWindows(QStringList *l) : log(l) {}
    void ShowError(const QString &text) override { *log << QStringLiteral("box:") + text; }
    bool AskLostFile(const QString &text, const QString &caption) override
    {
        *log << QStringLiteral("lost box:") + caption + u'|' + text;
        return lostAnswer;
    }
    bool AskUpgrade(const QString &message) override
    {
        *log << QStringLiteral("question:") + message;
        return upgradeAnswer;
    }
    bool AskPassword(const QString &fileName, QString &user, QString &password) override
    {
        *log << QStringLiteral("password:") + fileName + u'|' + user;
        user = typedUser;
        password = typedPassword;
        return passwordAnswer;
    }
    void OpenWizard(const TsuSelfUpdaterWizard &, std::function<void()>) override {}
    bool WizardOpen() const override { return false; }
    void WizardShowFile(const QString &, int, int) override {}
    void WizardShowFileSize(double) override {}
    void WizardShowResume(double kilobytes) override
    {
        *log << QStringLiteral("resume:%1").arg(qint64(kilobytes * 1024));
    }
    void WizardShowProgress(int, int, double, int) override {}
    void WizardFinish() override {}
    void CloseWindows() override { *log << QStringLiteral("windows closed"); }
};

// A missing file reads as a text no file of the tests holds.
QByteArray readFile(const QString &path)
{
    return testfiles::readFileOrMissing(path);
}

using testfiles::sha256;
using testfiles::writeFile;

class SuSelfUpdater : public ::testing::Test
{
protected:
    SuSelfUpdater() : savedTmp(qgetenv("TMPDIR"))
    {
        suSetLanguage(wlEnglish);
        // The helper goes into a private folder of this temporary folder.
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
        program = dir.file(QStringLiteral("Dorvak"));
        updater = std::make_unique<TsuSelfUpdater>();
        // Unsigned information files, as a build configured to accept them
        // takes them; the signed ones have tests of their own.
        updater->SetUpgradeKeys({});
        updater->SetAcceptUnsigned(true);
        updater->Proxy().AccessType = atDirect;
        updater->SetExecutablePath(program);
        updater->SetVersionControl(byNumber);
        updater->SetVersionNumber(QStringLiteral("1"));
        server.bind();
        updater->SetInfoFileURL(server.url(QStringLiteral("/download/dorvak.inf")));
        auto recording = std::make_unique<RecordingWindows>(&log);
        windows = recording.get();
        updater->SetUpgradeWindows(std::move(recording));
        record();
        server.server.Get("/download/dorvak.inf", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(info.toStdString(), "text/plain");
        });
    }
    ~SuSelfUpdater() override
    {
        updater.reset();
        if (savedTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", savedTmp);
    }

    void record()
    {
        TsuSelfUpdater &u = *updater;
        const auto note = [this](const QString &event) { return [this, event](QObject *) { log << event; }; };
        u.OnNoUpdateAvailable = note(QStringLiteral("no update"));
        u.OnNoInfoFile = note(QStringLiteral("no info file"));
        u.OnLaterUpgrade = note(QStringLiteral("later"));
        u.OnAborted = note(QStringLiteral("aborted"));
        u.OnConnLost = note(QStringLiteral("connection lost"));
        u.OnEndUpgrade = note(QStringLiteral("end"));
        u.OnDoOwnCloseAppMethod = note(QStringLiteral("close"));
        u.OnBeginUpgrade = [this](QObject *, const QString &message, TsuUpgradeMethod method,
                                  QStringList &files, bool &) {
            log << QStringLiteral("begin:%1:%2:%3").arg(message).arg(int(method)).arg(files.size());
        };
        u.OnFileStart = [this](QObject *, const QString &url, qint64 size, TDateTime, bool &) {
            log << QStringLiteral("start:%1:%2").arg(FileNameOfURL(url)).arg(size);
        };
        u.OnFileDone = [this](QObject *, const QString &name) { log << QStringLiteral("done:") + name; };
        u.OnProgress = [this](QObject *, const QString &, qint64, qint64, int, int, quint8, quint8 total,
                              float) { lastTotal = total; };
        u.OnHostUnreachable = [this](QObject *, const QString &url, const QString &host) {
            log << QStringLiteral("unreachable:") + url + u'|' + host;
        };
        u.OnLostFile = [this](QObject *, const QString &url, int code, bool &) {
            log << QStringLiteral("lost:%1:%2").arg(FileNameOfURL(url)).arg(code);
        };
    }

    // Serves a file of the release and lists it in the information file.
    void serve(const QString &name, const QByteArray &body)
    {
        server.server.Get(("/download/" + name).toStdString(),
                          [body](const httplib::Request &, httplib::Response &res) {
                              res.set_content(body.toStdString(), "application/octet-stream");
                              res.set_header("Last-Modified", "Sun, 06 Nov 1994 08:49:36 GMT");
                          });
    }
    QString url(const QString &name) const { return server.url(QStringLiteral("/download/") + name); }

    // Runs a check until the event arrives.
    bool checkUntil(const QString &event)
    {
        if (!server.server.is_running())
            server.start();
        updater->CheckUpdate();
        return QTest::qWaitFor([&] { return log.contains(event) && !updater->IsBusy(); }, 15000);
    }
    // Downloads lying beside the program, where none may ever be.
    QStringList temporaryFiles() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("*.uTMP")}, QDir::Files | QDir::Hidden);
    }
    // What the program folder's private download folder holds.
    QStringList downloads() const
    {
        return QDir(suDownloadFolder(dir.path()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // Waits until the helper has moved the downloads in and its swap stands.
    bool installed() const
    {
        return QTest::qWaitFor(
            [&] {
                return downloads().isEmpty() && !QFileInfo::exists(suSwapJournal(dir.path()).journalFile);
            },
            15000);
    }
    QString downloadOf(const QByteArray &bytes) const { return suDownloadPath(dir.path(), sha256(bytes)); }
    // The files of the program folder with their contents, the upgrade
    // folder left out.
    QMap<QString, QByteArray> programFolder() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            files.insert(name, readFile(dir.file(name)));
        return files;
    }

    QByteArray savedTmp;
    TempDir dir, tmp;
    QString program;
    HttpServer server;
    QString info;
    QStringList log;
    int lastTotal = -1;
    RecordingWindows *windows = nullptr;
    std::unique_ptr<TsuSelfUpdater> updater;
};

} // namespace
