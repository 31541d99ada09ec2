#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary folder for one test; removed with the object.
class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    // Absolute path of a file name inside the folder.
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
