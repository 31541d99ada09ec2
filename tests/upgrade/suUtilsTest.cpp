#include "upgrade/suUtils.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include "support/FileBytes.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTest>

#include <cstdlib>

namespace {

using testfiles::writeFileMakingFolders;

// A desktop whose default browser for text/html is the given Exec line.
struct FakeDesktop
{
    TempDir dir;
    ScopedEnv config{"XDG_CONFIG_HOME", dir.file("config").toUtf8()};
    ScopedEnv configDirs{"XDG_CONFIG_DIRS", dir.file("etc").toUtf8()};
    ScopedEnv data{"XDG_DATA_HOME", dir.file("data").toUtf8()};
    // The system folders stay behind the fake one: they hold the MIME database.
    ScopedEnv dataDirs{"XDG_DATA_DIRS", dir.file("usr").toUtf8() + ":/usr/local/share:/usr/share"};
    ScopedEnv desktop{"XDG_CURRENT_DESKTOP", ""};

    explicit FakeDesktop(const QByteArray &exec)
    {
        writeFileMakingFolders(dir.file("config/mimeapps.list"),
                               "[Default Applications]\ntext/html=missing.desktop;test-browser.desktop;\n");
        writeFileMakingFolders(dir.file("usr/applications/test/browser.desktop"),
                               "[Desktop Entry]\nName=Browser\nExec=" + exec + "\n");
    }
};

} // namespace

TEST(SuUtils, CrackURLSplitsAndChecksLimits)
{
    QString scheme, host, user, password, path, extra;
    int port = 0;
    ASSERT_TRUE(CrackURL(QStringLiteral("https://an%20na:ge:heim@example.com:8443/dir/file.dat?x=%26&y#top"),
                         scheme, host, port, user, password, path, extra));
    EXPECT_EQ(scheme, QStringLiteral("https"));
    EXPECT_EQ(host, QStringLiteral("example.com"));
    EXPECT_EQ(port, 8443);
    EXPECT_EQ(user, QStringLiteral("an na"));
    EXPECT_EQ(password, QStringLiteral("ge:heim"));
    EXPECT_EQ(path, QStringLiteral("/dir/file.dat"));
    EXPECT_EQ(extra, QStringLiteral("?x=%26&y#top")) << "escaped query text keeps its meaning";

    ASSERT_TRUE(CrackURL(QStringLiteral("example.com/x"), scheme, host, port, user, password, path, extra));
    EXPECT_EQ(scheme, QStringLiteral("http"));
    EXPECT_EQ(port, 80);
    EXPECT_EQ(path, QStringLiteral("/x"));
    ASSERT_TRUE(CrackURL(QStringLiteral("https://[::1]/"), scheme, host, port, user, password, path, extra));
    EXPECT_EQ(host, QStringLiteral("::1"));
    EXPECT_EQ(port, 443);
    ASSERT_TRUE(
        CrackURL(QStringLiteral("file:///tmp/a.txt"), scheme, host, port, user, password, path, extra));
    EXPECT_TRUE(host.isEmpty());
    EXPECT_EQ(path, QStringLiteral("/tmp/a.txt"));

    const auto cracks = [&](const QString &url) {
        return CrackURL(url, scheme, host, port, user, password, path, extra);
    };
    EXPECT_TRUE(cracks(QStringLiteral("http://") + QString(256, u'h') + QStringLiteral("/")));
    EXPECT_FALSE(cracks(QStringLiteral("http://") + QString(257, u'h') + QStringLiteral("/")));
    EXPECT_TRUE(cracks(QStringLiteral("http://h/") + QString(2047, u'p')));
    EXPECT_FALSE(cracks(QStringLiteral("http://h/") + QString(2048, u'p')));
    EXPECT_FALSE(cracks(QStringLiteral("http://h/?") + QString(2048, u'q')));
    EXPECT_FALSE(cracks(QString(33, u's') + QStringLiteral("://h/")));
    EXPECT_FALSE(cracks(QStringLiteral("http://") + QString(129, u'u') + QStringLiteral("@h/")));
    EXPECT_FALSE(cracks(QStringLiteral("http://h:99999/")));
    EXPECT_FALSE(cracks(QStringLiteral("http://h:port/")));
    EXPECT_FALSE(cracks(QStringLiteral("http:///nohost")));
    EXPECT_TRUE(scheme.isEmpty() && host.isEmpty()) << "a failed split leaves no parts behind";

    EXPECT_EQ(HostOfURL(QStringLiteral("http://user@files.example.org:81/a")),
              QStringLiteral("files.example.org"));
    EXPECT_EQ(HostOfURL(QStringLiteral("http://h:bad/")), QString());
}

TEST(SuUtils, FileNameOfURL)
{
    EXPECT_EQ(FileNameOfURL(QStringLiteral("http://h/download/data.dat")), QStringLiteral("data.dat"));
    EXPECT_EQ(FileNameOfURL(QStringLiteral("http://h/download/")), QString());
    EXPECT_EQ(FileNameOfURL(QStringLiteral("http://h/get?f=a.exe")), QStringLiteral("get?f=a.exe"));
    EXPECT_EQ(FileNameOfURL(QStringLiteral("c:setup.exe")), QStringLiteral("setup.exe"));
    EXPECT_EQ(FileNameOfURL(QStringLiteral("dir\\x.dll")), QStringLiteral("x.dll"));
}

TEST(SuUtils, OnlineNeedsAnAddressOtherThanLoopback)
{
    EXPECT_FALSE(IsOnlineAddress(QStringLiteral("127.0.0.1")));
    EXPECT_FALSE(IsOnlineAddress(QString()));
    EXPECT_TRUE(IsOnlineAddress(QStringLiteral("192.168.1.7")));
    EXPECT_TRUE(IsOnlineAddress(QStringLiteral("127.0.1.1")));
}

TEST(SuUtils, ParseHTTPDateReadsTheThreeForms)
{
    const TDateTime expected =
        suFromQDateTime(QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC).toLocalTime());
    EXPECT_DOUBLE_EQ(ParseHTTPDate(QStringLiteral("Sun, 06 Nov 1994 08:49:37 GMT")), expected);
    EXPECT_DOUBLE_EQ(ParseHTTPDate(QStringLiteral("Sunday, 06-Nov-94 08:49:37 GMT")), expected);
    EXPECT_DOUBLE_EQ(ParseHTTPDate(QStringLiteral("Sun Nov  6 08:49:37 1994")), expected);
    EXPECT_DOUBLE_EQ(ParseHTTPDate(QStringLiteral("  sun, 06 nov 1994 08:49:37 gmt ")), expected);

    // An offset after the time is taken off before the local conversion.
    EXPECT_DOUBLE_EQ(ParseHTTPDate(QStringLiteral("Sun, 06 Nov 1994 16:49:37 +0800")), expected);

    const auto year = [](const QString &text) {
        return suToQDateTime(ParseHTTPDate(text)).toUTC().date().year();
    };
    EXPECT_EQ(year(QStringLiteral("Mon, 06-Nov-79 12:00:00 GMT")), 2079);
    EXPECT_EQ(year(QStringLiteral("Mon, 06-Nov-80 12:00:00 GMT")), 1980);

    // A date without a time is midnight.
    EXPECT_DOUBLE_EQ(ParseHTTPDate(QStringLiteral("06 Nov 1994")),
                     suFromQDateTime(QDateTime(QDate(1994, 11, 6), QTime(0, 0), Qt::UTC).toLocalTime()));

    EXPECT_EQ(ParseHTTPDate(QString()), 0);
    EXPECT_EQ(ParseHTTPDate(QStringLiteral("garbage")), 0);
    EXPECT_EQ(ParseHTTPDate(QStringLiteral("Sun, 06 Foo 1994 08:49:37 GMT")), 0) << "unknown month";
    EXPECT_EQ(ParseHTTPDate(QStringLiteral("Sun, 06 Nov 1994 25:00:00 GMT")), 0) << "bad time";
    EXPECT_EQ(ParseHTTPDate(QStringLiteral("Sun, 06 Nov 1994 08:xx:37 GMT")), 0);
}

TEST(SuUtils, ParseGMTOffset)
{
    EXPECT_DOUBLE_EQ(ParseGMTOffset(QStringLiteral("+0800")), 8.0 / 24);
    EXPECT_DOUBLE_EQ(ParseGMTOffset(QStringLiteral(" -0130 trailing")), -1.5 / 24);
    EXPECT_EQ(ParseGMTOffset(QStringLiteral("GMT")), 0);
    EXPECT_EQ(ParseGMTOffset(QStringLiteral("+08")), 0);
    EXPECT_EQ(ParseGMTOffset(QStringLiteral("+2500")), 0);
}

TEST(SuUtils, SplitCommandLine)
{
    QString program, parameters;
    SplitCommandLine(QStringLiteral("\"/opt/My Browser/browser\" -new-window \"%1\""), program, parameters);
    EXPECT_EQ(program, QStringLiteral("/opt/My Browser/browser"));
    EXPECT_EQ(parameters, QStringLiteral("-new-window %1"));

    SplitCommandLine(QStringLiteral("/usr/bin/prog \"%1\""), program, parameters);
    EXPECT_EQ(program, QStringLiteral("/usr/bin/prog"));
    EXPECT_EQ(parameters, QStringLiteral("%1"));

    SplitCommandLine(QStringLiteral("firefox-esr %u"), program, parameters);
    EXPECT_EQ(program, QStringLiteral("firefox-esr"));
    EXPECT_EQ(parameters, QStringLiteral("%u"));

    SplitCommandLine(QStringLiteral("  browser -private %u "), program, parameters);
    EXPECT_EQ(program, QStringLiteral("browser"));
    EXPECT_EQ(parameters, QStringLiteral("-private %u"));

    SplitCommandLine(QStringLiteral("viewer,open"), program, parameters);
    EXPECT_EQ(program, QStringLiteral("viewer"));
    EXPECT_EQ(parameters, QStringLiteral("open"));

    // The command has an extension, the part before " -" has none: not a split there.
    SplitCommandLine(QStringLiteral("my tool -x/run.sh %u"), program, parameters);
    EXPECT_EQ(program, QStringLiteral("my tool -x/run.sh"));
    EXPECT_EQ(parameters, QStringLiteral("%u"));

    // A library run through rundll: the program is the runner beside it.
    SplitCommandLine(QStringLiteral("/usr/bin/rundll32.exe url.dll,FileProtocolHandler %l"), program,
                     parameters);
    EXPECT_EQ(program, QStringLiteral("/usr/bin/rundll32.exe"));
    EXPECT_EQ(parameters, QStringLiteral("url.dll,FileProtocolHandler %l"));

    SplitCommandLine(QStringLiteral("/usr/bin/lonely"), program, parameters);
    EXPECT_EQ(program, QStringLiteral("/usr/bin/lonely"));
    EXPECT_TRUE(parameters.isEmpty());

    SplitCommandLine(QStringLiteral("   "), program, parameters);
    EXPECT_TRUE(program.isEmpty() && parameters.isEmpty());
}

TEST(SuUtils, DefaultBrowserComesFromTheDesktopsHandler)
{
    FakeDesktop desktop("\"/opt/My Browser/browser\" --new %u");
    EXPECT_EQ(GetDefaultBrowser(QStringLiteral(".html")), QStringLiteral("/opt/My Browser/browser"));
    EXPECT_EQ(GetDefaultBrowser(QStringLiteral(".")), QString());
    EXPECT_EQ(GetDefaultBrowser(QString()), QString());
    EXPECT_EQ(GetDefaultBrowser(QStringLiteral(".nosuchextensionatall")), QString());
}

TEST(SuUtils, OpenURLStartsTheDefaultBrowserWithTheUrlAlone)
{
    TempDir scratch;
    const QString log = scratch.file(QStringLiteral("opened.txt"));
    const QString script = scratch.file(QStringLiteral("browser.sh"));
    writeFileMakingFolders(script, "#!/bin/sh\nprintf '%s|' \"$@\" > '" + log.toUtf8() + ".part'\nmv '" +
                                       log.toUtf8() + ".part' '" + log.toUtf8() + "'\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    FakeDesktop desktop(script.toUtf8() + " --flag %u");

    OpenURL(QStringLiteral("example.invalid/page"), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(log); }, 10000));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "http://example.invalid/page|");
}

TEST(SuUtils, TempFolderFallsBackToTheExecutablesFolder)
{
    TempDir dir;
    {
        ScopedEnv tmp("TMPDIR", dir.path().toUtf8());
        EXPECT_EQ(GetTempFolder(), dir.path() + u'/');
    }
    ScopedEnv tmp("TMPDIR", dir.file(QStringLiteral("missing")).toUtf8());
    EXPECT_EQ(GetTempFolder(), QCoreApplication::applicationDirPath() + u'/');
}

TEST(SuUtils, FileDatesAndSizes)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("f.bin"));
    writeFileMakingFolders(path, QByteArray(1234, 'z'));
    EXPECT_EQ(GetFileSize64(path), 1234);
    EXPECT_EQ(GetFileSize64(dir.file(QStringLiteral("none"))), -1);
    EXPECT_EQ(GetFileSize64(dir.path()), -1);

    const QDateTime when(QDate(2004, 1, 8), QTime(10, 20, 31));
    const QDateTime access = QFileInfo(path).lastRead();
    ASSERT_TRUE(SetFileDates(path, suFromQDateTime(when), -1, suFromQDateTime(when)));
    QFileInfo info(path);
    EXPECT_EQ(info.lastModified(), QDateTime(QDate(2004, 1, 8), QTime(10, 20, 30)))
        << "DOS keeps even seconds";
    EXPECT_EQ(info.lastRead(), access) << "-1 leaves the time";

    // DOS date-times start in 1980: an earlier value leaves the time.
    ASSERT_TRUE(SetFileDates(path, -1, -1, suFromQDateTime(QDateTime(QDate(1975, 5, 5), QTime(1, 2, 3)))));
    EXPECT_EQ(QFileInfo(path).lastModified(), QDateTime(QDate(2004, 1, 8), QTime(10, 20, 30)));

    EXPECT_FALSE(SetFileDates(dir.file(QStringLiteral("none")), -1, -1, suFromQDateTime(when)));
}

TEST(SuUtils, ExtractResourceToStreamAppends)
{
    // Qt's widgets library carries this resource.
    const QString type = QStringLiteral("qt-project.org");
    const QString name = QStringLiteral("styles/commonstyle/images/standardbutton-ok-16.png");
    QFile original(QStringLiteral(":/") + type + u'/' + name);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    ASSERT_FALSE(bytes.isEmpty());

    QBuffer stream;
    ASSERT_TRUE(stream.open(QIODevice::ReadWrite));
    stream.write("head");
    stream.seek(0);
    ASSERT_TRUE(ExtractResourceToStream(name, type, &stream));
    EXPECT_EQ(stream.data(), "head" + bytes);

    EXPECT_FALSE(ExtractResourceToStream(name, type, nullptr));
    EXPECT_FALSE(ExtractResourceToStream(QStringLiteral("SUUPG-missing"), QStringLiteral("SUUPG"), &stream));
}

TEST(SuUtils, CloseApplicationClosesTheMainWindow)
{
    {
        QMainWindow main;
        main.show();
        ASSERT_TRUE(main.isVisible());
        CloseApplication();
        EXPECT_FALSE(main.isVisible());
    }

    // A main form that is a plain window is closed as well.
    QWidget form;
    form.show();
    CloseApplication();
    EXPECT_FALSE(form.isVisible());
}
