// The download half of the self-updater: the listed files one after
// another into the program folder's private download folder, then the
// replacement helper with the list of exactly what to install.
#include "upgrade/suSelfUpdater.h"

#include "platform/crypto/Sha256.h"
#include "platform/os/FreshFile.h"
#include "platform/os/PrivateFiles.h"
#include "platform/os/Processes.h"
#include "upgrade/helper/suUpgradeFolder.h"
#include "upgrade/suMessageFormat.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cmath>

namespace {

// Whether the file can be created, told before its download starts; no
// empty file stays behind.
bool canCreate(const QString &path)
{
    std::unique_ptr<QFile> file = platform::createFreshFile(path);
    if (!file)
        return false;
    file->close();
    return QFile::remove(path);
}

// The SHA-256 of a file in lower-case hexadecimal; empty when it cannot be read.
QString sha256Of(const QString &path)
{
    return platform::crypto::sha256OfFile(path);
}

bool endsWithExe(const QString &name)
{
    return name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive);
}

} // namespace

void TsuSelfUpdater::DownloadNextFile(bool start)
{
    if (start) {
        setInfoFileMode(false);
        m_currentIndex = 0;
        if (!resolveRelease())
            return;
        if (m_wizard.Enabled())
            m_windows->OpenWizard(m_wizard, [this] { AbortUpgrade(); });
    } else {
        ++m_currentIndex;
    }
    if (m_currentIndex < m_release.size())
        startFile();
    else
        finish();
}

// Turns the list (as OnBeginUpgrade left it) into the files of the release:
// what each is called in the program folder, what vouches for it, which one
// is the program. Stops with a notice when the list cannot be installed as
// it stands; prepares the download folder otherwise.
bool TsuSelfUpdater::resolveRelease()
{
    m_release.clear();
    const QString programName = QFileInfo(m_executablePath).fileName();
    QSet<QString> names;
    for (const QString &url : std::as_const(m_downloadList)) {
        ReleaseFile file;
        file.URL = url;
        file.Name = FileNameOfURL(url);
        const TsuInfoFileEntry listed = m_signedFiles.value(url);
        file.SHA256 = listed.SHA256.toLower();
        file.Size = listed.Size;
        file.Deltas = listed.Deltas;
        if (signedRelease()) {
            // Added to the signed list by a handler: nothing vouches for it.
            if (!suIsSha256(file.SHA256)) {
                stopWithNotice(TsuUpdaterNotice::ChecksumMissing, file.Name);
                return false;
            }
            if (file.Size < 0) {
                stopWithNotice(TsuUpdaterNotice::SizeMissing, file.Name);
                return false;
            }
        } else if (!file.SHA256.isEmpty() && !suIsSha256(file.SHA256)) {
            stopWithNotice(TsuUpdaterNotice::ChecksumMismatch, file.Name);
            return false;
        }
        if (!suIsInstallableName(file.Name) || names.contains(file.Name)) {
            stopWithNotice(TsuUpdaterNotice::BadFileList, file.Name);
            return false;
        }
        names.insert(file.Name);
        m_release << file;
    }

    // The new program is named here, not guessed by the helper: the file
    // named after the program, else the first "*.exe", which then takes the
    // program's name (or, for an external setup, is the setup).
    qsizetype program = -1;
    for (qsizetype i = 0; i < m_release.size() && program < 0; ++i) {
        if (m_release.at(i).Name == programName)
            program = i;
    }
    for (qsizetype i = 0; i < m_release.size() && program < 0; ++i) {
        if (endsWithExe(m_release.at(i).Name))
            program = i;
    }
    if (program >= 0) {
        ReleaseFile &file = m_release[program];
        if (m_upgradeMethod == umUseExternalSetup) {
            file.Role = TsuInstallRole::Setup;
        } else {
            file.Role = TsuInstallRole::Program;
            file.Name = programName;
        }
    }

    // Whatever an earlier upgrade left in the download folder is not part of
    // this one (a later resumption keeps the parts of the same files).
    QStringList keep;
    for (const ReleaseFile &file : std::as_const(m_release)) {
        if (!file.SHA256.isEmpty())
            keep << file.SHA256 << file.SHA256 + QStringLiteral(".part")
                 << file.SHA256 + QStringLiteral(".validator");
    }
    if (!suPrepareDownloadFolder(ProgramFolder(), keep)) {
        stopWithNotice(TsuUpdaterNotice::TempFileFailed, kUpgradeFolderName);
        return false;
    }
    return true;
}

void TsuSelfUpdater::startFile()
{
    ReleaseFile &file = m_release[m_currentIndex];
    m_route = Route::Full;
    if (!file.DeltaTried) {
        file.DeltaTried = true;
        if (startDelta(file))
            return;
    }
    m_currentFile = file.URL;
    if (m_windows->WizardOpen())
        m_windows->WizardShowFile(file.URL, m_currentIndex + 1, int(m_release.size()));
    SetURL(file.URL);
    // Named by the hash it must have; in unsigned mode by its place.
    const QString key = file.SHA256.isEmpty() ? QStringLiteral("file%1").arg(m_currentIndex) : file.SHA256;
    m_currentFile = suPartialDownloadPath(ProgramFolder(), key);
    SetDestinationFile(m_currentFile);
    SetMaxBytes(file.Size >= 0 ? file.Size : 0);
    resetTransferOptions();
    m_currentFileTime = 0;
    m_sizeRefused = false;
    m_restartWhole = false;
    // Only a file whose signed hash names its part can be continued: the
    // hash checks the whole once it is complete.
    if (suIsSha256(file.SHA256) && file.Size > 0) {
        SetKeepPartialFile(true);
        if (startResumed(file))
            return;
    }
    if (!canCreate(m_currentFile)) {
        stopWithNotice(TsuUpdaterNotice::TempFileFailed, QFileInfo(m_currentFile).fileName());
        return;
    }
    StartTransfer();
}

namespace {

// What names a version of a file for If-Range, as it may be sent back: a
// strong ETag, else the Last-Modified date; printable ASCII of a sensible
// length. Empty when the answer gave neither.
QString validatorOf(const QString &etag, const QString &lastModified)
{
    const auto sendable = [](const QString &text) {
        if (text.isEmpty() || text.size() > 200)
            return false;
        for (const QChar c : text) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7e)
                return false;
        }
        return true;
    };
    // A weak ETag does not promise the same bytes, so a range may not be
    // continued on it.
    if (sendable(etag.trimmed()) && !etag.trimmed().startsWith(QStringLiteral("W/")))
        return etag.trimmed();
    return sendable(lastModified.trimmed()) ? lastModified.trimmed() : QString();
}

bool isIfRange(const QString &line)
{
    return line.startsWith(QStringLiteral("If-Range:"), Qt::CaseInsensitive);
}

} // namespace

bool TsuSelfUpdater::contentRangeIs(const QString &header, qint64 first, qint64 last, qint64 total)
{
    return header.trimmed() == QStringLiteral("bytes %1-%2/%3").arg(first).arg(last).arg(total);
}

void TsuSelfUpdater::resetTransferOptions()
{
    Range() = {};
    ExtraHeaders().removeIf(isIfRange);
    SetKeepPartialFile(false);
    m_resumeFrom = 0;
}

bool TsuSelfUpdater::startResumed(const ReleaseFile &file)
{
    const QString validatorPath = suResumeValidatorPath(ProgramFolder(), file.SHA256);
    const QFileInfo part(m_currentFile);
    QString validator;
    QFile record(validatorPath);
    if (record.size() <= 256 && record.open(QIODevice::ReadOnly))
        validator = validatorOf(QString::fromLatin1(record.readAll()), {});
    record.close();
    if (validator.isEmpty() || !part.isFile() || part.isSymLink() || part.size() <= 0 ||
        part.size() >= file.Size) {
        // Nothing that can be continued: the file starts from nothing.
        QFile::remove(validatorPath);
        return false;
    }
    m_resumeFrom = part.size();
    Range().StartRange = m_resumeFrom;
    ExtraHeaders() << QStringLiteral("If-Range: ") + validator;
    m_windows->WizardShowResume(double(file.Size - m_resumeFrom) / 1024.0);
    if (!StartTransfer()) {
        resetTransferOptions();
        return false;
    }
    return true;
}

void TsuSelfUpdater::recordValidator(const ReleaseFile &file)
{
    const QString path = suResumeValidatorPath(ProgramFolder(), file.SHA256);
    QFile::remove(path);
    // With a validator to name it by, what arrives can be continued later.
    const QString validator = validatorOf(ETag(), LastModifiedText());
    if (!validator.isEmpty())
        platform::writeNewFile(path, validator.toLatin1(), 0600);
}

void TsuSelfUpdater::responseHeaders(qint64 fileSize, TDateTime lastModified, bool &canContinue)
{
    if (m_infoFileMode)
        return;
    if (m_route != Route::Full) {
        deltaHeaders(fileSize, canContinue);
        return;
    }
    const ReleaseFile &file = m_release.at(m_currentIndex);
    m_currentFileTime = lastModified;
    if (m_resumeFrom > 0 && StatusCode() == 206) {
        // Exactly the rest of this very file, or it starts again.
        if (fileSize != file.Size - m_resumeFrom ||
            !contentRangeIs(ContentRange(), m_resumeFrom, file.Size - 1, file.Size)) {
            m_restartWhole = true;
            canContinue = false;
            return;
        }
        if (OnFileStart)
            OnFileStart(this, URL(), file.Size, lastModified, canContinue);
        return;
    }
    // The server sends the whole file (anew, when the part's version is
    // gone): it is written from the start.
    m_resumeFrom = 0;
    if (KeepPartialFile() && StatusCode() == 200)
        recordValidator(file);
    if (m_windows->WizardOpen())
        m_windows->WizardShowFileSize(double(fileSize) / 1024.0);
    // A server announcing another length than the signed one is not
    // sending this release's file. (While the headers are handled,
    // Succeeded tells whether a length was announced at all.)
    if (file.Size >= 0 && StatusCode() == 200 && Succeeded() && fileSize != file.Size) {
        m_sizeRefused = true;
        canContinue = false;
        return;
    }
    if (m_miscFilesUpgrade == mfuOnlyIfSizeDifferent && fileSize != 0 && m_release.size() > 1 &&
        file.Role != TsuInstallRole::Program) {
        const QString target = ProgramFolder() + file.Name;
        if (QFile::exists(target)) {
            // With a signature only a file that is already exactly the
            // signed one is left out: the release stays whole.
            canContinue =
                GetFileSize64(target) != fileSize || (signedRelease() && sha256Of(target) != file.SHA256);
        }
    }
    if (OnFileStart)
        OnFileStart(this, URL(), fileSize, lastModified, canContinue);
}

void TsuSelfUpdater::transferProgress(qint64 fileSize, qint64 bytesRead, unsigned elapsed, int timeLeft,
                                      quint8 percents, float rate)
{
    if (m_infoFileMode)
        return;
    const int count = std::max<int>(int(m_release.size()), 1);
    if (m_resumeFrom > 0 && m_route == Route::Full) {
        // Of the whole file, the part kept before included.
        const qint64 size = m_release.at(m_currentIndex).Size;
        percents =
            quint8(std::clamp<qint64>((m_resumeFrom + bytesRead) * 100 / std::max<qint64>(size, 1), 0, 100));
    }
    // Rounded to nearest, ties to even.
    const auto total = static_cast<quint8>(std::nearbyint(m_currentIndex * 100.0 / count) + percents / count);
    if (OnProgress)
        OnProgress(this, URL(), fileSize, bytesRead, int(elapsed), timeLeft, percents, total, rate);
    if (m_windows->WizardOpen())
        m_windows->WizardShowProgress(percents, total, rate, timeLeft);
}

void TsuSelfUpdater::fileDone(QIODevice *stream)
{
    if (m_route == Route::Delta) {
        deltaArrived(stream);
        return;
    }
    if (m_route == Route::MissingPages) {
        missingPagesArrived(stream);
        return;
    }
    ReleaseFile &file = m_release[m_currentIndex];
    if (stream) {
        // A body without a length arrived in memory; it is written out here,
        // created afresh as a file with a length is, or the helper would
        // silently leave that file of the release out.
        const QByteArray body = stream->readAll();
        std::unique_ptr<QFile> out = platform::createFreshFile(m_currentFile);
        const bool written = out && out->write(body) == body.size() && out->flush();
        if (out)
            out->close();
        if (!written) {
            QFile::remove(m_currentFile);
            stopWithNotice(TsuUpdaterNotice::TempFileFailed, QFileInfo(m_currentFile).fileName());
            return;
        }
    }

    const qint64 size = QFileInfo(m_currentFile).size();
    const QString hash = sha256Of(m_currentFile);
    // A part that is whole is never continued again, whatever it holds.
    if (!file.SHA256.isEmpty())
        QFile::remove(suResumeValidatorPath(ProgramFolder(), file.SHA256));
    if (file.Size >= 0 && size != file.Size) {
        QFile::remove(m_currentFile);
        stopWithNotice(TsuUpdaterNotice::SizeMismatch, FileNameOfURL(file.URL));
        return;
    }
    if (hash.isEmpty() || (!file.SHA256.isEmpty() && hash != file.SHA256)) {
        // Nothing of this file may be installed, now or by a later upgrade.
        QFile::remove(m_currentFile);
        stopWithNotice(TsuUpdaterNotice::ChecksumMismatch, FileNameOfURL(file.URL));
        return;
    }
    keepVerified(file, m_currentFile, hash, size);
}

void TsuSelfUpdater::keepVerified(ReleaseFile &file, const QString &path, const QString &hash, qint64 size)
{
    // Whole and checked: only now does it carry the name the helper takes.
    m_currentFile = path;
    file.SHA256 = hash;
    file.Size = size;
    const QString complete = suDownloadPath(ProgramFolder(), hash);
    QFile::remove(complete);
    if (!QFile::rename(m_currentFile, complete)) {
        QFile::remove(m_currentFile);
        stopWithNotice(TsuUpdaterNotice::TempFileFailed, QFileInfo(complete).fileName());
        return;
    }
    m_currentFile = complete;
    file.Downloaded = true;

    if (m_currentFileTime != 0)
        SetFileDates(m_currentFile, m_currentFileTime, -1, m_currentFileTime);
    if (OnFileDone)
        OnFileDone(this, m_currentFile);
    if (!m_aborted)
        DownloadNextFile(false);
}

void TsuSelfUpdater::transferFailed()
{
    if (!m_infoFileMode && m_route != Route::Full) {
        deltaFailed();
        return;
    }
    if (ExceededLimit()) {
        // Cut off before more was read than such a file may have.
        if (!m_infoFileMode) {
            stopWithNotice(TsuUpdaterNotice::SizeMismatch, FileNameOfURL(URL()));
        } else if (m_signatureMode) {
            m_signatureMode = false;
            m_infoBytes.clear();
            stopWithNotice(TsuUpdaterNotice::SignatureInvalid);
        } else {
            stopWithNotice(TsuUpdaterNotice::InfoTooLarge);
        }
        return;
    }
    if (RedirectRefused()) {
        m_signatureMode = false;
        m_infoBytes.clear();
        stopWithNotice(TsuUpdaterNotice::RedirectRefused);
        return;
    }
    // The temporary file could not be created or written; every other
    // failure has an outcome of its own after this one.
    if (m_infoFileMode || !OutputFailed() || DestinationFile().isEmpty())
        return;
    stopWithNotice(TsuUpdaterNotice::TempFileFailed, QFileInfo(DestinationFile()).fileName());
}

void TsuSelfUpdater::transferCancelled()
{
    if (m_infoFileMode)
        return;
    if (m_route != Route::Full) {
        deltaFailed();
        return;
    }
    QFile::remove(m_currentFile);
    if (m_restartWhole) {
        // The server did not send the rest of the part's version: the file
        // starts again from nothing.
        QFile::remove(suResumeValidatorPath(ProgramFolder(), m_release.at(m_currentIndex).SHA256));
        startFile();
        return;
    }
    if (m_sizeRefused) {
        stopWithNotice(TsuUpdaterNotice::SizeMismatch, FileNameOfURL(URL()));
        return;
    }
    // The file was declined (by OnFileStart, or as one already in place):
    // it is left out of the list.
    DownloadNextFile(false);
}

void TsuSelfUpdater::lostFile(int statusCode)
{
    if (m_route != Route::Full) {
        deltaFailed();
        return;
    }
    bool continueUpgrade = false;
    if (OnLostFile)
        OnLostFile(this, URL(), statusCode, continueUpgrade);
    if (signedRelease()) {
        // A signed release is installed whole or not at all: half of one
        // would defeat the version it was signed with.
        stopWithNotice(TsuUpdaterNotice::FileMissing, FileNameOfURL(URL()));
        return;
    }
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
        stopWithNotice(TsuUpdaterNotice::HelperFailed);
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
    // Exactly the files that arrived whole and matched, with what vouches
    // for each: the helper checks them once more and installs nothing else.
    TsuInstallList list;
    list.Version = m_releaseVersion;
    for (const ReleaseFile &file : std::as_const(m_release)) {
        if (file.Downloaded)
            list.Files << TsuInstallEntry{file.Name, file.Size, file.SHA256, file.Role};
    }
    // A folder of its own that no other user can enter or predict, so the
    // helper and its list cannot be swapped for others before it runs.
    const QString folder = platform::createPrivateFolder(GetTempFolder(), HelperFolderPrefix());
    if (folder.isEmpty())
        return false;
    m_helperPath = folder + QStringLiteral("Updater.exe");
    const QString listPath = folder + kInstallListName;
    const QStringList arguments = {m_executablePath,
                                   u'+' + m_restartParams + QString::number(int(m_upgradeMethod))};
    if (!platform::writeNewFile(listPath, suWriteInstallList(list), 0600) ||
        !platform::writeNewFile(m_helperPath, helper.data(), 0700) ||
        platform::spawnProcess(m_helperPath, arguments) <= 0) {
        QFile::remove(m_helperPath);
        QFile::remove(listPath);
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

void TsuSelfUpdater::stopWithNotice(TsuUpdaterNotice notice, const QString &argument)
{
    const QString text = suUpdaterNotice(notice);
    stopWithNotice(argument.isEmpty() ? text : suFormatMessage(text, {argument}));
}
