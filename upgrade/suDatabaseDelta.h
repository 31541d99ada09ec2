#pragma once

#include "platform/crypto/DatabasePageCipher.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

// A database delta: what a client holding the previous release's database
// needs to make the new one, page by page, without the engine.
//
// The release tool lays each new database out on the previous release's
// pages (tools/release/ReleaseRebase.h): rows that did not change stay on
// the same pages, so those pages stay the same bytes. A delta then holds,
// for each page that changed, its new content compressed against the
// previous content of one to four pages of the old file (the same page, and
// those the rows of a split page came from) together with the page's
// reserve as the engine wrote it (IV and authentication code), so that the
// client encrypts the page to exactly the engine's bytes. Beside that it
// holds the SHA-256 of every page of the new file: each page the client
// makes is checked against it, and a page that does not match (one the user
// changed in the old file, say) is named, to be fetched from the full file
// with a range request.
//
// File layout, integers little-endian:
//   "VDBDELTA", u32 format (1), u32 page size, u32 reserve size,
//   u32 key-derivation rounds, u64 size of the file it was made from,
//   u64 size of the new file, 16 bytes of salt (both files'),
//   u64 number of records;
//   the SHA-256 of each page of the new file, 32 bytes each, in order;
//   the records in rising page order: u64 page (0-based), u8 number of
//   prefix pages, u64 each, the reserve, u32 frame size, the frame.

struct TsuDeltaHeader
{
    platform::crypto::DatabasePageLayout Layout;
    qint64 BaseSize = 0;
    qint64 NewSize = 0;
    QByteArray Salt;
    qint64 RecordCount = 0;

    qint64 pageCount() const { return NewSize / Layout.pageSize; }
    qint64 basePageCount() const { return BaseSize / Layout.pageSize; }
};

// Pages of the new file, first and count.
struct TsuPageRun
{
    qint64 First = 0;
    qint64 Count = 0;
    bool operator==(const TsuPageRun &) const = default;
};

// What building from a delta came to.
struct TsuDeltaBuild
{
    enum Outcome {
        Built,         // every page matches its hash
        PagesMissing,  // the pages of Missing did not come out right
        NotApplicable, // the installed file is not one this delta applies to
        WriteFailed,   // the new file could not be written
        Cancelled,
    };
    Outcome Result = NotApplicable;
    QList<TsuPageRun> Missing;
    // Of the file as written, in lower-case hexadecimal, when Built.
    QByteArray Sha256;
};

// How big the delta of one release is beside its full file.
struct TsuDeltaStatistics
{
    qint64 Pages = 0;        // of the new file
    qint64 ChangedPages = 0; // records
    qint64 DeltaBytes = 0;
};

// An opened, checked delta file.
class TsuDatabaseDelta
{
public:
    // Reads the header, the page hashes and where each record lies, and
    // checks that the file holds exactly what its header says (sizes,
    // bounds, records in order). False, with a reason in English, when not.
    bool open(const QString &path, QString *reason = nullptr);

    const TsuDeltaHeader &header() const { return m_header; }
    // The SHA-256 of page index of the new file.
    QByteArray pageHash(qint64 index) const;

    // Builds the new database at outPath (created afresh, mode 0600) from
    // the installed one at basePath: pages without a record are copied
    // from the same place of the installed file, the others decrypted from
    // it, patched and encrypted again. The file is hashed whole as it is
    // written; when that is fileSha256 (the full file's signed SHA-256, in
    // hexadecimal) it is Built, the release byte for byte. Otherwise every
    // page is read back and checked against its own hash (signed with the
    // delta), and those that do not match are Missing. (The helper checks
    // the file whole once more before it installs it, as it checks every
    // file.)
    // NotApplicable when the installed file is missing or not of the
    // release's lineage (another salt), or when more pages failed than
    // maxMissingPages. progress(done, total bytes) is called after each
    // batch of pages; returning false cancels.
    TsuDeltaBuild build(const QString &basePath, const QByteArray &passPhrase, const QString &outPath,
                        qint64 maxMissingPages,
                        const std::function<bool(qint64 done, qint64 total)> &progress = {},
                        const QByteArray &fileSha256 = {}) const;

    // Puts pages fetched from the full file (bytes: whole pages from
    // firstPage on) into the new file, each checked against its hash first.
    // False, writing nothing, when one does not match or bytes is not whole
    // pages of the file.
    bool writePages(const QString &outPath, qint64 firstPage, const QByteArray &bytes) const;

private:
    // Reads the built file back and names the pages that are not the
    // release's; false when there are more than maxMissingPages.
    bool findMissingPages(const QString &path, qint64 maxMissingPages, TsuDeltaBuild &result) const;

    struct Record
    {
        qint64 Page = 0;
        qint64 Offset = 0; // of its prefix count in the file
    };

    QString m_path;
    TsuDeltaHeader m_header;
    QByteArray m_pageHashes;
    std::vector<Record> m_records;
};

// The page layout of an encrypted database file: the page size (of 65536,
// 4096 and 1024) with which its first page authenticates. False when none
// does (another pass phrase, or not such a file).
bool suDatabaseLayout(const QString &path, const QByteArray &passPhrase,
                      platform::crypto::DatabasePageLayout *layout);

// Writes the delta that turns base into target, two files of one lineage
// (the target laid out on the base's pages by the release tool), to out.
// Empty on success, the reason in English otherwise.
QString suWriteDatabaseDelta(const QString &basePath, const QString &targetPath, const QByteArray &passPhrase,
                             const QString &outPath, TsuDeltaStatistics *statistics = nullptr);
