#include "upgrade/suSelfUpdater.h"

#include "platform/db/CipherSettings.h"
#include "platform/os/ExecutablePath.h"
#include "platform/os/PrivateFiles.h"
#include "upgrade/helper/suVersion.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdaterNotices.h"
#include "upgrade/suSelfUpdaterWindows.h"

#include <QDate>
#include <QIODevice>

#include <cstdio>

TsuSelfUpdater::TsuSelfUpdater(QObject *parent)
    : TsuCustomHTTP(parent), m_versionDate(QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy"))),
      m_executablePath(platform::executablePath()), m_connectionTest(&IsOnline),
      m_windows(std::make_unique<TsuSelfUpdaterWindows>()), m_upgradeKeys(suProgramUpgradeTrust().Keys),
      m_acceptUnsigned(suProgramUpgradeTrust().AcceptUnsigned),
      m_databasePassPhrase(platform::db::kDirectoryPassPhrase)
{
    SetHideDestinationFile(true);
    // A server that stops sending does not hold the upgrade for ever.
    Timeouts().ConnectTimeout = kIdleTimeoutMs;
    Timeouts().ReceiveTimeout = kIdleTimeoutMs;
    OnResponseHeaders = [this](QObject *, const QString &, const QString &, const QString &, const QString &,
                               const QString &, qint64 fileSize, TDateTime, TDateTime lastModified, TDateTime,
                               bool &canContinue) { responseHeaders(fileSize, lastModified, canContinue); };
    OnTransferProgress = [this](QObject *, const QString &, qint64 fileSize, qint64 bytesRead,
                                unsigned elapsed, int timeLeft, quint8 percents, float rate, QIODevice *) {
        transferProgress(fileSize, bytesRead, elapsed, timeLeft, percents, rate);
    };
    OnTransferDone = [this](QObject *, const QString &, qint64, QIODevice *stream) { transferDone(stream); };
    OnTransferFailed = [this](QObject *) { transferFailed(); };
    OnTransferCancelled = [this](QObject *) { transferCancelled(); };
    OnTransferIncomplete = [this](QObject *, const QString &, qint64, qint64, QIODevice *) {
        transferIncomplete();
    };
    OnServerUnreachable = [this](QObject *) { serverUnreachable(); };
    OnHTTPStatusError = [this](QObject *, int statusCode, QIODevice *) { statusError(statusCode); };
    OnPasswordRequired = [this](QObject *, const QString &realm, bool &tryAgain) {
        passwordRequired(realm, tryAgain);
    };

    connect(&m_timer, &QTimer::timeout, this, &TsuSelfUpdater::autoCheckTimer);

    // The helper of the last upgrade has done its work by now.
    platform::removePrivateFolders(GetTempFolder(), HelperFolderPrefix());
}

TsuSelfUpdater::~TsuSelfUpdater()
{
    SetAutoCheck(false);
    stopDeltaBuild();
}

void TsuSelfUpdater::SetRestartParams(const QString &value)
{
    m_restartParams = value.isEmpty() ? QStringLiteral(" ") : value;
}

void TsuSelfUpdater::SetUpgradeWindows(std::unique_ptr<TsuUpgradeWindows> windows)
{
    if (windows)
        m_windows = std::move(windows);
}

void TsuSelfUpdater::Loaded(const QStringList &arguments)
{
    if (OnAfterRestart && arguments.size() > 1 && arguments.at(1) == m_restartParams)
        OnAfterRestart(this);
}

void TsuSelfUpdater::setInfoFileMode(bool on)
{
    m_infoFileMode = on;
    if (on)
        resetTransferOptions();
    // The information file is always fetched fresh, and never read whole
    // into memory past its bound.
    SetUseCache(!on);
    SetMaxBytes(on ? kInfoFileLimit : 0);
}

QString TsuSelfUpdater::SignatureURL() const
{
    const qsizetype scheme = m_infoFileURL.indexOf(QStringLiteral("://"));
    qsizetype cut = m_infoFileURL.size();
    for (const QChar mark : {u'?', u'#'}) {
        const qsizetype at = m_infoFileURL.indexOf(mark, scheme < 0 ? 0 : scheme + 3);
        if (at >= 0)
            cut = std::min(cut, at);
    }
    return m_infoFileURL.left(cut) + QStringLiteral(".sig") + m_infoFileURL.mid(cut);
}

QString TsuSelfUpdater::ProgramFolder() const
{
    return m_executablePath.left(m_executablePath.lastIndexOf(u'/') + 1);
}

void TsuSelfUpdater::CheckUpdate()
{
    m_aborted = false;
    m_autoStarted = false;
    if (IsBusy())
        return;
    if (!UpgradeEnabled()) {
        m_windows->ShowError(suUpdaterNotice(TsuUpdaterNotice::UpgradeDisabled));
        return;
    }
    setInfoFileMode(true);
    m_signatureMode = false;
    if (m_upgradeKeys.isEmpty())
        std::fputs("Velmora: this build has no upgrade key; the upgrade information is not verified.\n",
                   stderr);
    SetURL(m_infoFileURL);
    SetDestinationFile({});
    StartTransfer();
}

void TsuSelfUpdater::CancelTransfer()
{
    AbortTransfer();
    m_windows->CloseWindows();
}

void TsuSelfUpdater::AbortUpgrade()
{
    m_aborted = true;
    stopDeltaBuild();
    CancelTransfer();
    if (OnAborted)
        OnAborted(this);
}

// Automatic check.

void TsuSelfUpdater::SetAutoCheck(bool value)
{
    if (value == m_autoCheck)
        return;
    m_autoCheck = value;
    armTimer();
}

void TsuSelfUpdater::SetAutoCheckInterval(int ms)
{
    m_autoCheckInterval = std::max(ms, 1);
    if (m_timer.isActive())
        armTimer();
}

void TsuSelfUpdater::armTimer()
{
    m_timer.stop();
    if (m_autoCheck && !m_autoCheckBusy)
        m_timer.start(m_autoCheckInterval);
}

void TsuSelfUpdater::autoCheckTimer()
{
    // Offline, the timer simply fires again later.
    if (!m_autoCheck || !UpgradeEnabled() || !m_connectionTest || !m_connectionTest())
        return;
    m_autoCheckBusy = true;
    armTimer();
    CheckUpdate();
    m_autoStarted = true;
}

// Outcomes of a transfer, of the information file or of a listed file.

void TsuSelfUpdater::transferDone(QIODevice *stream)
{
    if (m_infoFileMode) {
        const QByteArray bytes = stream ? stream->readAll() : QByteArray();
        if (m_signatureMode)
            signatureArrived(bytes);
        else
            infoFileArrived(bytes);
        return;
    }
    fileDone(stream);
}

void TsuSelfUpdater::transferIncomplete()
{
    if (!m_infoFileMode && m_route != Route::Full) {
        deltaFailed();
        return;
    }
    if (OnConnLost)
        OnConnLost(this);
    if (shows(mConnLost))
        m_windows->ShowError(suMessage(30));
    CancelTransfer();
}

void TsuSelfUpdater::serverUnreachable()
{
    if (!m_infoFileMode && m_route != Route::Full) {
        deltaFailed();
        return;
    }
    // The server took the request and then went silent: the connection is
    // as good as lost.
    if (Stalled()) {
        transferIncomplete();
        return;
    }
    const QString host = HostOfURL(URL());
    if (OnHostUnreachable)
        OnHostUnreachable(this, URL(), host);
    if (m_autoStarted) {
        // Try again later, without bothering the user.
        m_autoCheckBusy = false;
        armTimer();
    } else if (shows(mHostUnreachable)) {
        m_windows->ShowError(suFormatMessage(suMessage(26), {QStringLiteral("'http://") + host + u'\''}));
    }
    CancelTransfer();
}

void TsuSelfUpdater::statusError(int statusCode)
{
    if (!m_infoFileMode && m_route != Route::Full) {
        deltaFailed();
        return;
    }
    // Over plain http no password is asked for or sent (see TsuCustomHTTP).
    if (statusCode == 401 && !URL().startsWith(QStringLiteral("https://"), Qt::CaseInsensitive)) {
        m_signatureMode = false;
        m_infoBytes.clear();
        stopWithNotice(TsuUpdaterNotice::CredentialsRefused);
        return;
    }
    if (!m_infoFileMode) {
        lostFile(statusCode);
        return;
    }
    if (m_signatureMode) {
        // The information file came, its signature did not.
        m_signatureMode = false;
        m_infoBytes.clear();
        stopWithNotice(suUpdaterNotice(TsuUpdaterNotice::SignatureMissing));
        return;
    }
    if (OnNoInfoFile)
        OnNoInfoFile(this);
    if (shows(mNoInfoFile))
        m_windows->ShowError(suMessage(25));
}

void TsuSelfUpdater::passwordRequired(const QString &realm, bool &tryAgain)
{
    if (OnPasswordRequest)
        OnPasswordRequest(this, realm, tryAgain);
    if (tryAgain || !shows(mPasswordRequest))
        return;
    QString user = HTTPUsername();
    QString password;
    tryAgain = m_windows->AskPassword(FileNameOfURL(URL()), user, password);
    if (!tryAgain) {
        AbortUpgrade();
        return;
    }
    SetHTTPUsername(user);
    SetHTTPPassword(password);
}

void TsuSelfUpdater::evaluateInfoFile(const QString &text)
{
    m_downloadList.clear();
    m_signedFiles.clear();
    for (const TsuInfoFileEntry &entry : suInfoFiles(text)) {
        m_downloadList << entry.URL;
        m_signedFiles.insert(entry.URL, entry);
    }

    const QString version = suInfoValue(text, QStringLiteral("version"));
    m_releaseVersion = suParseVersion(version) ? version.trimmed() : QString();
    bool newer = false;
    if (m_versionControl == byNumber) {
        const std::optional<int> order = CompareVersions(version, m_versionNumber);
        if (!order) {
            stopWithNotice(TsuUpdaterNotice::VersionUnreadable, version);
            return;
        }
        newer = *order > 0;
    } else {
        newer = ParseInfoDate(m_versionDate) < ParseInfoDate(suInfoValue(text, QStringLiteral("date")));
    }
    if (!newer || m_downloadList.isEmpty()) {
        if (OnNoUpdateAvailable)
            OnNoUpdateAvailable(this);
        if (!m_autoStarted && shows(mNoUpdateAvailable))
            m_windows->ShowError(suMessage(24));
        return;
    }

    bool canUpgrade = true;
    const QString message = suInfoMessage(text);
    m_upgradeMethod = suInfoMethod(text);
    if (OnBeginUpgrade)
        OnBeginUpgrade(this, message, m_upgradeMethod, m_downloadList, canUpgrade);
    if (!canUpgrade || (shows(mAskUpgrade) && !m_windows->AskUpgrade(message))) {
        if (OnLaterUpgrade)
            OnLaterUpgrade(this);
        return;
    }
    if (m_upgradeMethod == umRedirectToURL) {
        if (!m_downloadList.isEmpty())
            OpenURL(m_downloadList.first(), true);
        return;
    }
    DownloadNextFile(true);
}
