#pragma once

#include <QString>
#include <QStringList>

// Writes small encrypted database files for tests, with the engine directly.
namespace testdb {

inline constexpr const char *kPassword = "zxc3k9p2lumentra@mwq";

// Creates `path` keyed with `key` (no key: a plain file), with the given
// cipher page size (0: the engine's default), and runs the statements.
void create(const QString &path, const QString &key, int pageSize, const QStringList &statements);

// Runs statements against an existing file.
void run(const QString &path, const QString &key, int pageSize, const QStringList &statements);

// Reads one text value: the first column of the first row of a query.
QString scalar(const QString &path, const QString &key, int pageSize, const QString &sql);

// Holds an exclusive lock on a database file while it exists, as another
// program writing to it would.
class ExclusiveLock
{
public:
    ExclusiveLock(const QString &path, const QString &key, int pageSize);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock &) = delete;
    ExclusiveLock &operator=(const ExclusiveLock &) = delete;

private:
    void *m_db;
};

// The company table with its nineteen columns.
QString companyTableSql();

// An INSERT of one company; the values are given for cCorpCName,
// cProvince, iFlag, cHttp and cCorpMemo, the rest are filled in.
QString companyInsert(const QString &name, const QString &province, int flag, const QString &http = {},
                      const QString &memo = {});

} // namespace testdb
