#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace platform::db {

// What tells one database file from another without reading it: where it
// lies (device and inode: a file renamed into its place is another), its
// size and time of last change, and its first sixteen bytes, the random
// salt an encrypted database is given when it is created (a database
// written anew is another even where it is copied over the old file).
// The program's own edits change the size and the time, so the print is
// taken again after them.
struct DatabaseFingerprint
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1; // -1: no such file
    std::int64_t modifiedNs = 0;
    QByteArray head;

    static DatabaseFingerprint of(const QString &path);

    bool exists() const { return size >= 0; }
    // The same bytes, as far as the print tells, wherever the file lies.
    bool sameContent(const DatabaseFingerprint &other) const
    {
        return size == other.size && modifiedNs == other.modifiedNs && head == other.head;
    }
    // The same database written by the same hand: the same salt.
    bool sameOrigin(const DatabaseFingerprint &other) const
    {
        // A plain database begins with the same sixteen bytes as every other.
        return head.size() == 16 && head == other.head && !head.startsWith("SQLite format 3");
    }
    bool operator==(const DatabaseFingerprint &) const = default;

    // One line of text, and back; an unreadable text gives a print of no file.
    QString toText() const;
    static DatabaseFingerprint fromText(const QString &text);
};

} // namespace platform::db
