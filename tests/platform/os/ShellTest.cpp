#include "platform/os/Shell.h"

#include "support/FileBytes.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include <optional>

// The desktop's opener, standing in: it records what it was asked to open
// and fails, as xdg-open does where no browser is set up, for addresses
// holding "nobrowser".
TEST(ShellOpenReporting, TellsWhetherTheDesktopsOpenerOpenedTheTarget)
{
    TempDir bin;
    const QString record = bin.file(QStringLiteral("opened.txt"));
    const QString opener = bin.file(QStringLiteral("xdg-open"));
    testfiles::writeFile(
        opener, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1'\n"
                               "case \"$1\" in *nobrowser*) echo \"xdg-open: no method available\" >&2; "
                               "exit 3;; esac\n")
                    .arg(record)
                    .toUtf8());
    QFile(opener).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const ScopedEnv path("PATH", (bin.path() + QLatin1Char(':') + qEnvironmentVariable("PATH")).toUtf8());

    const auto open = [](const QString &target) {
        std::optional<bool> opened;
        platform::shellOpenReporting(target, [&opened](bool result) { opened = result; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return opened.has_value(); }, 10000)) << target.toStdString();
        return opened.value_or(true);
    };
    EXPECT_TRUE(open(QStringLiteral("http://www.kestrune.example/a.asp")));
    EXPECT_FALSE(open(QStringLiteral("http://nobrowser.example/")));
    EXPECT_FALSE(open(QStringLiteral("mailto:nobrowser@kestrune.example")));
    EXPECT_EQ(testfiles::readFile(record),
              QByteArray("http://www.kestrune.example/a.asp\nhttp://nobrowser.example/\n"
                         "mailto:nobrowser@kestrune.example\n"));
}
