#include "platform/stream/FormFile.h"
#include "platform/stream/StreamError.h"
#include "support/TempDir.h"

#include <QFile>
#include <QIODevice>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace platform::stream;

namespace {
QByteArray Contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}
} // namespace

TEST(FormFile, AFailedSaveKeepsTheOldFile)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("bar.frm"));
    SaveStreamFile(path, [](QIODevice &d) { d.write("first"); });
    EXPECT_EQ(Contents(path), "first");
    EXPECT_THROW(SaveStreamFile(path,
                                [](QIODevice &d) {
                                    d.write("half of the sec");
                                    throw StreamError(QStringLiteral("device failed"));
                                }),
                 StreamError);
    EXPECT_EQ(Contents(path), "first");
    EXPECT_THROW(SaveStreamFile(dir.file(QStringLiteral("missing/bar.frm")), [](QIODevice &) {}), FileError);

    QByteArray seen;
    LoadStreamFile(path, [&](QIODevice &d) { seen = d.readAll(); });
    EXPECT_EQ(seen, "first");
    bool called = false;
    EXPECT_THROW(LoadStreamFile(dir.file(QStringLiteral("none.frm")), [&](QIODevice &) { called = true; }),
                 FileError);
    EXPECT_FALSE(called);
}
