// The delta half of the self-updater: a database listed with a delta from
// the installed release is made from that delta in the private download
// folder instead of being downloaded whole. The delta is checked against
// its signed size and SHA-256 before it is read, every page it makes
// against the page hashes it carries, pages it cannot make (those the user
// changed) are fetched from the full file by range, and the result is
// checked whole against the full file's signed SHA-256 like any download.
// Whatever goes wrong on the way, the full file is downloaded instead.
#include "upgrade/suSelfUpdater.h"

#include "platform/crypto/Sha256.h"
#include "upgrade/helper/suUpgradeFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cmath>

namespace {

// The most pages fetched by range in one request (kept in memory until
// each is checked): 16 MB.
constexpr qint64 kMaxRunBytes = 16 * 1024 * 1024;

// Pages the delta could not make, beyond which the full file is cheaper to
// fetch than so many ranges: a twentieth of the file, and a few more for a
// small one.
qint64 maxMissingPages(qint64 pages)
{
    return pages / 20 + 16;
}

} // namespace

const TsuInfoDelta *TsuSelfUpdater::usableDelta(const ReleaseFile &file) const
{
    // Only what the full file's signed hash can vouch for in the end.
    if (!suIsSha256(file.SHA256) || file.Size <= 0 || m_databasePassPhrase.isEmpty())
        return nullptr;
    const QFileInfo installed(ProgramFolder() + file.Name);
    if (!installed.isFile() || installed.isSymLink())
        return nullptr;
    for (const TsuInfoDelta &delta : file.Deltas) {
        const std::optional<int> order = CompareVersions(delta.From, m_versionNumber);
        if (order && *order == 0 && suIsSha256(delta.SHA256.toLower()) && delta.Size > 0 &&
            delta.Size < file.Size)
            return &delta;
    }
    return nullptr;
}

QString TsuSelfUpdater::builtFilePath(const ReleaseFile &file) const
{
    return suPartialDownloadPath(ProgramFolder(), file.SHA256 + QStringLiteral(".built"));
}

bool TsuSelfUpdater::startDelta(const ReleaseFile &file)
{
    const TsuInfoDelta *delta = usableDelta(file);
    if (!delta)
        return false;
    m_route = Route::Delta;
    if (m_windows->WizardOpen())
        m_windows->WizardShowFile(delta->URL, m_currentIndex + 1, int(m_release.size()));
    SetURL(delta->URL);
    m_currentFile = suPartialDownloadPath(ProgramFolder(), delta->SHA256.toLower());
    SetDestinationFile(m_currentFile);
    SetMaxBytes(delta->Size);
    resetTransferOptions();
    m_currentFileTime = 0;
    m_sizeRefused = false;
    if (!StartTransfer())
        deltaFailed();
    return true;
}

void TsuSelfUpdater::deltaHeaders(qint64 fileSize, bool &canContinue)
{
    const ReleaseFile &file = m_release.at(m_currentIndex);
    if (m_route == Route::Delta) {
        if (const TsuInfoDelta *delta = usableDelta(file)) {
            if (m_windows->WizardOpen())
                m_windows->WizardShowFileSize(double(fileSize) / 1024.0);
            if (StatusCode() == 200 && Succeeded() && fileSize != delta->Size)
                canContinue = false;
        }
        return;
    }
    // Missing pages: exactly the part asked for, of a file of the signed
    // size; a server that ignores ranges would send the whole file into
    // memory instead.
    const TsuHTTPRange &range = Range();
    if (StatusCode() == 200 || (StatusCode() == 206 && (fileSize != range.EndRange - range.StartRange + 1 ||
                                                        !contentRangeIs(ContentRange(), range.StartRange,
                                                                        range.EndRange, file.Size))))
        canContinue = false;
}

void TsuSelfUpdater::deltaArrived(QIODevice *stream)
{
    const ReleaseFile &file = m_release.at(m_currentIndex);
    const TsuInfoDelta *delta = usableDelta(file);
    const QString path = m_currentFile;
    // Nothing of the delta is read before its signed hash vouches for it.
    if (stream || !delta || QFileInfo(path).size() != delta->Size ||
        platform::crypto::sha256OfFile(path) != delta->SHA256.toLower()) {
        deltaFailed();
        return;
    }
    auto opened = std::make_unique<TsuDatabaseDelta>();
    if (!opened->open(path) || opened->header().NewSize != file.Size) {
        deltaFailed();
        return;
    }
    m_delta = std::move(opened);
    if (m_windows->WizardOpen())
        m_windows->WizardShowProgress(0, int(std::lround(m_currentIndex * 100.0 / m_release.size())), 0, 0);

    // The pages are made on a thread of their own (a large directory takes
    // a few seconds); the wizard stays alive meanwhile.
    const TsuDatabaseDelta *made = m_delta.get();
    const QString base = ProgramFolder() + file.Name;
    const QString out = builtFilePath(file);
    const QByteArray passPhrase = m_databasePassPhrase;
    const QByteArray fileSha256 = file.SHA256.toLatin1();
    const qint64 maxMissing = maxMissingPages(m_delta->header().pageCount());
    const int index = m_currentIndex;
    const int count = int(m_release.size());
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_buildCancelled = cancelled;
    QPointer<TsuSelfUpdater> self(this);
    m_buildThread = QThread::create([=] {
        const auto progress = [=](qint64 done, qint64 total) {
            const int percent = int(done * 100 / std::max<qint64>(total, 1));
            QMetaObject::invokeMethod(
                self,
                [self, percent, index, count] {
                    if (self && self->m_windows->WizardOpen())
                        self->m_windows->WizardShowProgress(
                            percent, int(std::lround(index * 100.0 / count + percent / double(count))), 0, 0);
                },
                Qt::QueuedConnection);
            return !cancelled->load();
        };
        const TsuDeltaBuild build = made->build(base, passPhrase, out, maxMissing, progress, fileSha256);
        const QString hash = QString::fromLatin1(build.Sha256);
        QMetaObject::invokeMethod(
            self,
            [self, build, hash, cancelled] {
                if (self && !cancelled->load())
                    self->deltaBuilt(build, hash);
            },
            Qt::QueuedConnection);
    });
    m_buildThread->start();
}

void TsuSelfUpdater::stopDeltaBuild()
{
    if (!m_buildThread)
        return;
    m_buildCancelled->store(true);
    m_buildThread->wait();
    delete m_buildThread;
    m_buildThread = nullptr;
    if (m_currentIndex < m_release.size())
        QFile::remove(builtFilePath(m_release.at(m_currentIndex)));
}

void TsuSelfUpdater::deltaBuilt(const TsuDeltaBuild &build, const QString &hash)
{
    if (m_buildThread) {
        m_buildThread->wait();
        delete m_buildThread;
        m_buildThread = nullptr;
    }
    if (m_aborted)
        return;
    // The delta itself has done its part.
    QFile::remove(m_currentFile);
    if (build.Result == TsuDeltaBuild::Built) {
        acceptBuiltFile(hash);
        return;
    }
    if (build.Result != TsuDeltaBuild::PagesMissing) {
        deltaFailed();
        return;
    }
    // The pages the user's own edits changed come from the full file.
    const qint64 pageSize = m_delta->header().Layout.pageSize;
    const qint64 runPages = std::max<qint64>(kMaxRunBytes / pageSize, 1);
    m_missingPages.clear();
    for (const TsuPageRun &run : build.Missing) {
        for (qint64 first = run.First; first < run.First + run.Count; first += runPages)
            m_missingPages.append({first, std::min(runPages, run.First + run.Count - first)});
    }
    fetchMissingPages();
}

void TsuSelfUpdater::fetchMissingPages()
{
    const ReleaseFile &file = m_release.at(m_currentIndex);
    if (m_missingPages.isEmpty()) {
        acceptBuiltFile(platform::crypto::sha256OfFile(builtFilePath(file)));
        return;
    }
    const TsuPageRun run = m_missingPages.first();
    const qint64 pageSize = m_delta->header().Layout.pageSize;
    m_route = Route::MissingPages;
    SetURL(file.URL);
    m_currentFile = builtFilePath(file);
    SetDestinationFile({});
    SetMaxBytes(run.Count * pageSize);
    resetTransferOptions();
    Range() = {run.First * pageSize, (run.First + run.Count) * pageSize - 1};
    if (!StartTransfer())
        deltaFailed();
}

void TsuSelfUpdater::missingPagesArrived(QIODevice *stream)
{
    const ReleaseFile &file = m_release.at(m_currentIndex);
    const TsuPageRun run = m_missingPages.first();
    // Each page is checked against its hash before it is written.
    if (!stream || !m_delta->writePages(builtFilePath(file), run.First, stream->readAll())) {
        deltaFailed();
        return;
    }
    m_missingPages.removeFirst();
    resetTransferOptions();
    fetchMissingPages();
}

void TsuSelfUpdater::acceptBuiltFile(const QString &hash)
{
    ReleaseFile &file = m_release[m_currentIndex];
    const QString path = builtFilePath(file);
    // As strictly as a download: the signed size and SHA-256 of the full file.
    if (QFileInfo(path).size() != file.Size || hash != file.SHA256) {
        deltaFailed();
        return;
    }
    m_route = Route::Full;
    m_delta.reset();
    keepVerified(file, path, hash, file.Size);
}

void TsuSelfUpdater::deltaFailed()
{
    if (m_fallbackQueued || m_aborted)
        return;
    m_fallbackQueued = true;
    if (m_currentIndex < m_release.size()) {
        const ReleaseFile &file = m_release.at(m_currentIndex);
        QFile::remove(builtFilePath(file));
        for (const TsuInfoDelta &delta : file.Deltas)
            QFile::remove(suPartialDownloadPath(ProgramFolder(), delta.SHA256.toLower()));
    }
    // After the failed transfer has raised all its events: the full file,
    // without a word to the user.
    QTimer::singleShot(0, this, [this] {
        m_fallbackQueued = false;
        m_delta.reset();
        m_missingPages.clear();
        resetTransferOptions();
        m_route = Route::Full;
        if (!m_aborted && m_currentIndex < m_release.size())
            startFile();
    });
}
