// The download half of the self-updater: the listed files one after
// another, then the replacement helper.
#include "upgrade/suSelfUpdater.h"

#include "platform/os/FreshFile.h"
#include "platform/os/PrivateFiles.h"
#include "platform/os/Processes.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdaterNotices.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

const QString kTempSuffix = QStringLiteral(".uTMP");

// Whether the temporary file can be created, told before its download
// starts. Whatever had the name goes (a copy left by an abandoned upgrade
// is downloaded again anyway), and no empty file stays behind for the
// helper to install.
bool canCreate(const QString &path)
{
    std::unique_ptr<QFile> file = platform::createFreshFile(path);
    if (!file)
        return false;
    file->close();
    return QFile::remove(path);
}

bool matchesChecksum(const QString &path, const QString &expected)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return false;
    return QString::fromLatin1(hash.result().toHex()).compare(expected, Qt::CaseInsensitive) == 0;
}

} // namespace

QString TsuSelfUpdater::TemporaryFileName(const QString &url) const
{
    const QString folder = m_executablePath.left(m_executablePath.lastIndexOf(u'/') + 1);
    return folder + FileNameOfURL(url) + kTempSuffix;
}

void TsuSelfUpdater::DownloadNextFile(bool start)
{
    if (start) {
        setInfoFileMode(false);
        m_currentIndex = 0;
        m_downloaded.clear();
        if (m_wizard.Enabled())
            m_windows->OpenWizard(m_wizard, [this] { AbortUpgrade(); });
    } else {
        ++m_currentIndex;
    }
    if (m_currentIndex < m_downloadList.size())
        startFile();
    else
        finish();
}

void TsuSelfUpdater::startFile()
{
    const QString url = m_downloadList.at(m_currentIndex);
    m_currentFile = url;
    if (m_windows->WizardOpen())
        m_windows->WizardShowFile(url, m_currentIndex + 1, int(m_downloadList.size()));
    SetURL(url);
    m_currentFile = TemporaryFileName(url);
    SetDestinationFile(m_currentFile);
    m_currentFileTime = 0;
    if (!m_upgradeKeys.isEmpty() && !m_checksums.contains(url)) {
        // Added to the signed list by a handler: nothing vouches for it.
        removeDownloads();
        stopWithNotice(
            suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::ChecksumMissing), {FileNameOfURL(url)}));
        return;
    }
    if (!canCreate(m_currentFile)) {
        stopWithNotice(suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::TempFileFailed),
                                       {QFileInfo(m_currentFile).fileName()}));
        return;
    }
    StartTransfer();
}

void TsuSelfUpdater::responseHeaders(qint64 fileSize, TDateTime lastModified, bool &canContinue)
{
    if (m_infoFileMode)
        return;
    m_currentFileTime = lastModified;
    if (m_windows->WizardOpen())
        m_windows->WizardShowFileSize(double(fileSize) / 1024.0);
    if (m_miscFilesUpgrade == mfuOnlyIfSizeDifferent && fileSize != 0 && m_downloadList.size() > 1) {
        // The program itself is always downloaded.
        const QString target = m_currentFile.chopped(kTempSuffix.size());
        const QString programName = QFileInfo(m_executablePath).fileName();
        if (QFileInfo(target).fileName().compare(programName, Qt::CaseInsensitive) != 0 &&
            QFile::exists(target))
            canContinue = GetFileSize64(target) != fileSize;
    }
    if (OnFileStart)
        OnFileStart(this, URL(), fileSize, lastModified, canContinue);
}

void TsuSelfUpdater::transferProgress(qint64 fileSize, qint64 bytesRead, unsigned elapsed, int timeLeft,
                                      quint8 percents, float rate)
{
    if (m_infoFileMode)
        return;
    const int count = std::max<int>(int(m_downloadList.size()), 1);
    // Rounded to nearest, ties to even.
    const auto total = static_cast<quint8>(std::nearbyint(m_currentIndex * 100.0 / count) + percents / count);
    if (OnProgress)
        OnProgress(this, URL(), fileSize, bytesRead, int(elapsed), timeLeft, percents, total, rate);
    if (m_windows->WizardOpen())
        m_windows->WizardShowProgress(percents, total, rate, timeLeft);
}

void TsuSelfUpdater::fileDone(QIODevice *stream)
{
    if (stream) {
        // A body without a length arrived in memory; it is written out here,
        // created afresh as a file with a length is, or the helper would
        // silently leave that file of the release out.
        const QByteArray body = stream->readAll();
        std::unique_ptr<QFile> file = platform::createFreshFile(m_currentFile);
        const bool written = file && file->write(body) == body.size() && file->flush();
        if (file)
            file->close();
        if (!written) {
            QFile::remove(m_currentFile);
            stopWithNotice(suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::TempFileFailed),
                                           {QFileInfo(m_currentFile).fileName()}));
            return;
        }
    }
    m_downloaded << m_currentFile;

    const QString expected = m_checksums.value(m_downloadList.at(m_currentIndex));
    if (!expected.isEmpty() && !matchesChecksum(m_currentFile, expected)) {
        // Nothing of this release may be installed, now or by a later upgrade.
        const QString name = FileNameOfURL(m_downloadList.at(m_currentIndex));
        removeDownloads();
        stopWithNotice(suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::ChecksumMismatch), {name}));
        return;
    }

    if (m_currentFileTime != 0)
        SetFileDates(m_currentFile, m_currentFileTime, -1, m_currentFileTime);
    if (OnFileDone)
        OnFileDone(this, m_currentFile);
    if (!m_aborted)
        DownloadNextFile(false);
}

void TsuSelfUpdater::transferFailed()
{
    // The temporary file could not be created or written; every other
    // failure has an outcome of its own after this one.
    if (m_infoFileMode || !OutputFailed() || DestinationFile().isEmpty())
        return;
    stopWithNotice(suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::TempFileFailed),
                                   {QFileInfo(DestinationFile()).fileName()}));
}

void TsuSelfUpdater::transferCancelled()
{
    if (m_infoFileMode)
        return;
    // The file was declined: a copy left by an earlier, abandoned upgrade
    // must not be installed in its place.
    QFile::remove(m_currentFile);
    DownloadNextFile(false);
}

void TsuSelfUpdater::lostFile(int statusCode)
{
    bool continueUpgrade = false;
    if (OnLostFile)
        OnLostFile(this, URL(), statusCode, continueUpgrade);
    if (shows(mLostFile)) {
        continueUpgrade =
            m_windows->AskLostFile(suFormatMessage(suMessage(28), {FileNameOfURL(URL())}),
                                   suMessage(21) + QStringLiteral(" #") + QString::number(statusCode));
    }
    if (continueUpgrade)
        DownloadNextFile(false);
    else
        AbortUpgrade();
}

void TsuSelfUpdater::finish()
{
    if (m_windows->WizardOpen()) {
        m_windows->WizardFinish();
        if (m_aborted)
            return;
    }
    if (OnEndUpgrade)
        OnEndUpgrade(this);
    if (!startHelper()) {
        // Closing now would end the program with nothing installed.
        stopWithNotice(suUpdaterNotice(TsuUpdaterNotice::HelperFailed));
        return;
    }
    if (OnDoOwnCloseAppMethod)
        OnDoOwnCloseAppMethod(this);
    else
        CloseApplication();
}

bool TsuSelfUpdater::startHelper()
{
    QBuffer helper;
    helper.open(QIODevice::ReadWrite);
    if (!ExtractResourceToStream(QStringLiteral("SUUPG"), QStringLiteral("SUUPG"), &helper))
        return false;
    // A folder of its own that no other user can enter or predict, so the
    // helper cannot be swapped for another program before it runs.
    const QString folder = platform::createPrivateFolder(GetTempFolder(), HelperFolderPrefix());
    if (folder.isEmpty())
        return false;
    m_helperPath = folder + QStringLiteral("Updater.exe");
    const QStringList arguments = {m_executablePath,
                                   u'+' + m_restartParams + QString::number(int(m_upgradeMethod))};
    if (!platform::writeNewFile(m_helperPath, helper.data(), 0700) ||
        platform::spawnProcess(m_helperPath, arguments) <= 0) {
        QFile::remove(m_helperPath);
        QDir().rmdir(folder);
        return false;
    }
    return true;
}

void TsuSelfUpdater::stopWithNotice(const QString &text)
{
    m_windows->ShowError(text);
    AbortUpgrade();
}

void TsuSelfUpdater::removeDownloads()
{
    for (const QString &file : std::as_const(m_downloaded))
        QFile::remove(file);
    m_downloaded.clear();
}
