#pragma once

#include "upgrade/helper/suInstallList.h"
#include "upgrade/suDatabaseDelta.h"
#include "upgrade/suHTTP.h"
#include "upgrade/suSelfUpdaterInfo.h"
#include "upgrade/suSelfUpdaterNotices.h"
#include "upgrade/suUpgradeTrust.h"
#include "upgrade/suUpgradeWindows.h"

#include <QCoreApplication>
#include <QHash>
#include <QTimer>

#include <atomic>
#include <memory>

class QThread;

// Which files of a release are downloaded (the executable always is).
enum TsuMiscFilesUpgradeBehavior { mfuAlwaysDownload, mfuOnlyIfSizeDifferent };

// The built-in messages and dialogs; ShowMessages holds one bit per value.
enum TsuSelfUpdaterShowMessage {
    mAskUpgrade,
    mConnLost,
    mHostUnreachable,
    mLostFile,
    mNoInfoFile,
    mNoUpdateAvailable,
    mPasswordRequest
};
using TsuSelfUpdaterShowMessages = quint8;
constexpr TsuSelfUpdaterShowMessages suShow(TsuSelfUpdaterShowMessage message)
{
    return static_cast<TsuSelfUpdaterShowMessages>(1u << message);
}
// All seven.
constexpr TsuSelfUpdaterShowMessages suShowAll = 0x7F;

// The design-time description of the information file; the check itself
// reads the file from the server.
struct TsuSelfUpdaterInfo
{
    QStringList Files;
    TsuUpgradeMethod UpgradeMethod = umSelfUpgrade;
    QString UpgradeMsg;
};

// The self-upgrade component. CheckUpdate fetches the information file from
// InfoFileURL (and its signature) and compares its version (or date) with
// the program's own; when it is newer and the user agrees, every listed file
// is downloaded into the program folder's private download folder (see
// upgrade/helper/suUpgradeFolder.h), checked against its signed size and
// SHA-256, the replacement helper is written into a private folder of the
// temporary folder with the list of exactly those files beside it and
// started, and the program closes; the helper installs the files all or
// nothing and starts the program again with RestartParams.
//
// With a signature a release is installed whole or not at all: a file that
// is missing, too large, cut short or altered stops the upgrade with its
// notice. Sizes are bounded before anything is believed: the information
// file by kInfoFileLimit, its signature by its 64 bytes, each file by its
// signed size. A transfer that receives nothing for kIdleTimeoutMs ends as a
// lost connection.
//
// Everything the user sees goes through UpgradeWindows(). Every outcome is
// reported through the events; nothing is raised to the caller.
class TsuSelfUpdater : public TsuCustomHTTP
{
    Q_OBJECT

public:
    explicit TsuSelfUpdater(QObject *parent = nullptr);
    ~TsuSelfUpdater() override;

    // Starts a check in the background; does nothing more while a transfer
    // is running.
    void CheckUpdate();
    // Gives up the upgrade: the transfer stops, the question window and
    // the wizard close, OnAborted follows.
    void AbortUpgrade();
    // Stops the transfer and closes the question window and the wizard.
    void CancelTransfer();
    // Starts the download of the list (start: from the first file, opening
    // the wizard) or of the next file; past the last one, finishes the
    // upgrade.
    void DownloadNextFile(bool start);

    // Properties.
    bool AutoCheck() const { return m_autoCheck; }
    // Switching it on checks for an update every AutoCheckInterval while
    // the machine is online, until one check has been made.
    void SetAutoCheck(bool value);
    TsuSelfUpdaterInfo &InfoFile() { return m_infoFile; }
    QString InfoFileURL() const { return m_infoFileURL; }
    void SetInfoFileURL(const QString &value) { m_infoFileURL = value; }
    TsuSelfUpdaterVersionControl VersionControl() const { return m_versionControl; }
    void SetVersionControl(TsuSelfUpdaterVersionControl value) { m_versionControl = value; }
    // Month/day/year with fixed slashes; today's date by default.
    QString VersionDate() const { return m_versionDate; }
    void SetVersionDate(const QString &value) { m_versionDate = value; }
    // Only has an effect while a form is designed; kept for the stored form.
    bool VersionDateAutoSet() const { return m_versionDateAutoSet; }
    void SetVersionDateAutoSet(bool value) { m_versionDateAutoSet = value; }
    QString VersionNumber() const { return m_versionNumber; }
    void SetVersionNumber(const QString &value) { m_versionNumber = value; }
    TsuMiscFilesUpgradeBehavior MiscFilesUpgrade() const { return m_miscFilesUpgrade; }
    void SetMiscFilesUpgrade(TsuMiscFilesUpgradeBehavior value) { m_miscFilesUpgrade = value; }
    QString RestartParams() const { return m_restartParams; }
    // An empty text is kept as a single space.
    void SetRestartParams(const QString &value);
    // Whether a stored form keeps RestartParams (it differs from the default).
    bool RestartParamsStored() const { return m_restartParams != DefaultRestartParams(); }
    static QString DefaultRestartParams() { return QStringLiteral("/afterupgrade"); }
    TsuSelfUpdaterShowMessages ShowMessages() const { return m_showMessages; }
    void SetShowMessages(TsuSelfUpdaterShowMessages value) { m_showMessages = value; }
    TsuSelfUpdaterWizard &Wizard() { return m_wizard; }

    // The program whose files are replaced; the running executable by default.
    QString ExecutablePath() const { return m_executablePath; }
    void SetExecutablePath(const QString &value) { m_executablePath = value; }
    // Milliseconds between automatic checks (10000).
    int AutoCheckInterval() const { return m_autoCheckInterval; }
    void SetAutoCheckInterval(int ms);
    // Whether the machine is online, asked before each automatic check
    // (IsOnline by default).
    void SetConnectionTest(std::function<bool()> test) { m_connectionTest = std::move(test); }

    // The Ed25519 public keys (32 raw bytes each) one of which must have
    // signed the information file; the executable's (suProgramUpgradeTrust)
    // by default. With a key, a file that is unsigned, wrongly signed,
    // expired or lists a file without its SHA-256 and size is refused with a
    // notice before anything is downloaded.
    const QList<QByteArray> &UpgradeKeys() const { return m_upgradeKeys; }
    void SetUpgradeKeys(const QList<QByteArray> &keys) { m_upgradeKeys = keys; }
    // Without a key: whether unsigned information files are accepted as they
    // come (only a build configured for it on purpose does).
    bool AcceptUnsigned() const { return m_acceptUnsigned; }
    void SetAcceptUnsigned(bool value) { m_acceptUnsigned = value; }
    // Whether online upgrade is on: a key is trusted, or unsigned files are
    // accepted. Off, CheckUpdate only says so (UpgradeDisabled).
    bool UpgradeEnabled() const { return !m_upgradeKeys.isEmpty() || m_acceptUnsigned; }
    // Where the signature of the information file is fetched: InfoFileURL
    // with ".sig" added to its path (before a query or fragment), through the
    // same client right after the file itself.
    QString SignatureURL() const;

    // The most bytes an information file may have.
    static constexpr qint64 kInfoFileLimit = 64 * 1024;
    // How long a transfer may receive nothing before it counts as lost (set
    // as the receive timeout; connecting has as long).
    static constexpr unsigned kIdleTimeoutMs = 30000;

    // The windows and boxes of the upgrade (TsuSelfUpdaterWindows unless
    // another set is given).
    TsuUpgradeWindows *UpgradeWindows() const { return m_windows.get(); }
    void SetUpgradeWindows(std::unique_ptr<TsuUpgradeWindows> windows);

    // Call once the owner has set the component up (the end of loading its
    // form): raises OnAfterRestart when the program's first argument is
    // RestartParams.
    void Loaded(const QStringList &arguments = QCoreApplication::arguments());

    // State of a running upgrade.
    const QStringList &DownloadList() const { return m_downloadList; }
    int CurrentIndex() const { return m_currentIndex; }
    QString CurrentFile() const { return m_currentFile; }
    TDateTime CurrentFileTime() const { return m_currentFileTime; }
    TsuUpgradeMethod UpgradeMethod() const { return m_upgradeMethod; }
    bool Aborted() const { return m_aborted; }
    // The pass phrase the database's pages are keyed with: a delta is
    // applied to the installed database page by page with it.
    QByteArray DatabasePassPhrase() const { return m_databasePassPhrase; }
    void SetDatabasePassPhrase(const QByteArray &value) { m_databasePassPhrase = value; }
    // The helper written by the last finished upgrade; empty before. The
    // list of what it installs lies beside it (kInstallListName).
    QString HelperPath() const { return m_helperPath; }
    // The folder of the program whose files are replaced, with its "/".
    QString ProgramFolder() const;
    // The prefix of the private folders the helper is written into.
    static QString HelperFolderPrefix() { return QStringLiteral("velmora-upgrade-"); }

    // Events.
    using TSUBeginUpgradeEvent =
        std::function<void(QObject *Sender, const QString &UpgradeMsg, TsuUpgradeMethod UpgradeMethod,
                           QStringList &Files, bool &CanUpgrade)>;
    using TSUProgressEvent = std::function<void(
        QObject *Sender, const QString &FileURL, qint64 FileSize, qint64 BytesRead, int ElapsedTime,
        int EstimatedTimeLeft, quint8 PercentsDone, quint8 TotalPercentsDone, float TransferRate)>;
    using TSUFileStartEvent = std::function<void(QObject *Sender, const QString &FileURL, qint64 FileSize,
                                                 TDateTime FileTime, bool &CanUpgrade)>;
    using TSUFileDoneEvent = std::function<void(QObject *Sender, const QString &FileName)>;
    using TSUHostUnreachableEvent =
        std::function<void(QObject *Sender, const QString &URL, const QString &Hostname)>;
    using TSULostFileEvent =
        std::function<void(QObject *Sender, const QString &FileURL, int ErrorCode, bool &ContinueUpgrade)>;

    TSUBeginUpgradeEvent OnBeginUpgrade;
    TsuNotifyEvent OnEndUpgrade;
    TsuNotifyEvent OnLaterUpgrade;
    TSUProgressEvent OnProgress;
    TSUFileStartEvent OnFileStart;
    TSUFileDoneEvent OnFileDone;
    // When set, the host program closes itself after the helper started.
    TsuNotifyEvent OnDoOwnCloseAppMethod;
    TsuNotifyEvent OnAfterRestart;
    TsuNotifyEvent OnAborted;
    TsuNotifyEvent OnConnLost;
    TSUHostUnreachableEvent OnHostUnreachable;
    TsuNotifyEvent OnNoUpdateAvailable;
    TsuNotifyEvent OnNoInfoFile;
    TSULostFileEvent OnLostFile;
    TsuHTTPPasswordRequestEvent OnPasswordRequest;

private:
    bool shows(TsuSelfUpdaterShowMessage message) const { return m_showMessages & suShow(message); }
    void setInfoFileMode(bool on);
    void armTimer();
    void autoCheckTimer();

    // The transfer's events.
    void responseHeaders(qint64 fileSize, TDateTime lastModified, bool &canContinue);
    void transferProgress(qint64 fileSize, qint64 bytesRead, unsigned elapsed, int timeLeft, quint8 percents,
                          float rate);
    void transferDone(QIODevice *stream);
    void transferFailed();
    void transferCancelled();
    void transferIncomplete();
    void serverUnreachable();
    void statusError(int statusCode);
    void passwordRequired(const QString &realm, bool &tryAgain);

    // The check (information file) and the downloads.
    void infoFileArrived(const QByteArray &bytes);
    void signatureArrived(const QByteArray &signature);
    void evaluateInfoFile(const QString &text);
    bool resolveRelease();
    void startFile();
    void fileDone(QIODevice *stream);
    void lostFile(int statusCode);
    void finish();
    bool startHelper();
    void stopWithNotice(const QString &text);
    void stopWithNotice(TsuUpdaterNotice notice, const QString &argument = {});
    bool signedRelease() const { return !m_upgradeKeys.isEmpty(); }

    // One file of the release being downloaded.
    struct ReleaseFile
    {
        QString URL;
        QString Name;   // in the program folder
        QString SHA256; // signed; in unsigned mode known once it is downloaded
        qint64 Size = -1;
        TsuInstallRole Role = TsuInstallRole::File;
        bool Downloaded = false;
        QList<TsuInfoDelta> Deltas; // signed beside it
        bool DeltaTried = false;    // a delta was used or found unusable
    };

    // What the running transfer of a listed file fetches.
    enum class Route {
        Full,         // the file itself
        Delta,        // the delta from the installed database to it
        MissingPages, // pages of it the delta could not make, by range
    };

    // The delta route (suSelfUpdaterDelta.cpp). Any of its failures ends
    // in deltaFailed, which downloads the full file instead.
    const TsuInfoDelta *usableDelta(const ReleaseFile &file) const;
    bool startDelta(const ReleaseFile &file);
    void deltaHeaders(qint64 fileSize, bool &canContinue);
    void deltaArrived(QIODevice *stream);
    void deltaBuilt(const TsuDeltaBuild &build, const QString &hash);
    void fetchMissingPages();
    void missingPagesArrived(QIODevice *stream);
    void acceptBuiltFile(const QString &hash);
    void deltaFailed();
    void stopDeltaBuild();
    QString builtFilePath(const ReleaseFile &file) const;
    // "bytes first-last/total", as a 206 answer names its part.
    static bool contentRangeIs(const QString &header, qint64 first, qint64 last, qint64 total);
    // No range, no If-Range, no part kept: as every transfer but a
    // continued download starts.
    void resetTransferOptions();
    // The part of a file kept from a download that stopped: continued when
    // the validator of the answer it came from was recorded beside it.
    bool startResumed(const ReleaseFile &file);
    void recordValidator(const ReleaseFile &file);
    // Installs a downloaded or built file that matched what vouches for it,
    // then goes on with the next one.
    void keepVerified(ReleaseFile &file, const QString &path, const QString &hash, qint64 size);

    bool m_autoCheck = false;
    TsuSelfUpdaterInfo m_infoFile;
    QString m_infoFileURL = QStringLiteral("http://");
    TsuSelfUpdaterVersionControl m_versionControl = byDate;
    QString m_versionDate;
    bool m_versionDateAutoSet = true;
    QString m_versionNumber;
    TsuMiscFilesUpgradeBehavior m_miscFilesUpgrade = mfuAlwaysDownload;
    QString m_restartParams = DefaultRestartParams();
    TsuSelfUpdaterShowMessages m_showMessages =
        suShow(mAskUpgrade) | suShow(mConnLost) | suShow(mLostFile) | suShow(mPasswordRequest);
    TsuSelfUpdaterWizard m_wizard;
    QString m_executablePath;
    int m_autoCheckInterval = 10000;
    std::function<bool()> m_connectionTest;
    std::unique_ptr<TsuUpgradeWindows> m_windows;
    QList<QByteArray> m_upgradeKeys;
    bool m_acceptUnsigned = false;

    QTimer m_timer;
    bool m_infoFileMode = false;
    bool m_signatureMode = false; // the running transfer fetches the signature
    QByteArray m_infoBytes;       // the information file while its signature is fetched
    bool m_autoStarted = false;
    bool m_autoCheckBusy = false;
    bool m_aborted = false;
    TsuUpgradeMethod m_upgradeMethod = umSelfUpgrade;
    QStringList m_downloadList;
    QHash<QString, TsuInfoFileEntry> m_signedFiles; // URL -> its signed SHA-256 and size
    QString m_releaseVersion;                       // the information file's, when it reads
    QList<ReleaseFile> m_release;                   // the list as it is downloaded
    bool m_sizeRefused = false;  // the current file announced another size than its signed one
    qint64 m_resumeFrom = 0;     // where the running download continues its part
    bool m_restartWhole = false; // the continuation was refused: the file starts again
    int m_currentIndex = 0;
    QString m_currentFile;
    TDateTime m_currentFileTime = 0;
    QString m_helperPath;
    QByteArray m_databasePassPhrase;

    Route m_route = Route::Full;
    std::unique_ptr<TsuDatabaseDelta> m_delta;
    QList<TsuPageRun> m_missingPages;
    bool m_fallbackQueued = false;
    QThread *m_buildThread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_buildCancelled;
};
