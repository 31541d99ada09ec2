#include "platform/os/DefaultBrowser.h"

#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using testfiles::writeFileMakingFolders;

class XdgEnvironment : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : kNames) {
            saved << qgetenv(name);
            had << qEnvironmentVariableIsSet(name);
        }
        qputenv("XDG_CONFIG_HOME", dir.file("home-config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir.file("etc-xdg").toUtf8());
        qputenv("XDG_DATA_HOME", dir.file("home-data").toUtf8());
        qputenv("XDG_DATA_DIRS", dir.file("usr-share").toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", "Test:Other");
    }
    void TearDown() override
    {
        for (int i = 0; i < 5; ++i) {
            if (had[i])
                qputenv(kNames[i], saved[i]);
            else
                qunsetenv(kNames[i]);
        }
    }

    static constexpr const char *kNames[5] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                              "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
    TempDir dir;
    QList<QByteArray> saved;
    QList<bool> had;
};

} // namespace

TEST_F(XdgEnvironment, SearchOrderPutsTheUserAndTheDesktopFirst)
{
    const QStringList files = platform::mimeAppsListFiles();
    ASSERT_GE(files.size(), 3);
    EXPECT_EQ(files.at(0), dir.file("home-config/test-mimeapps.list"));
    EXPECT_EQ(files.at(1), dir.file("home-config/other-mimeapps.list"));
    EXPECT_EQ(files.at(2), dir.file("home-config/mimeapps.list"));
    EXPECT_EQ(platform::applicationFolders().first(), dir.file("home-data/applications/"));
}

TEST_F(XdgEnvironment, FindsTheFirstInstalledDefaultHandler)
{
    // The system list names a browser; the user's list overrides it, and its
    // first entry is not installed.
    writeFileMakingFolders(dir.file("etc-xdg/mimeapps.list"),
                           "[Default Applications]\ntext/html=system.desktop\n");
    writeFileMakingFolders(
        dir.file("home-config/mimeapps.list"),
        "# comment\n[Added Associations]\ntext/html=added.desktop\n"
        "[Default Applications]\ntext/plain=editor.desktop\ntext/html=gone.desktop;org-web.desktop;\n");
    writeFileMakingFolders(dir.file("usr-share/applications/system.desktop"),
                           "[Desktop Entry]\nExec=system-browser %u\n");
    writeFileMakingFolders(dir.file("usr-share/applications/added.desktop"),
                           "[Desktop Entry]\nExec=added %u\n");
    writeFileMakingFolders(dir.file("home-data/applications/org/web.desktop"),
                           "[Desktop Entry]\nName=Web\n[Desktop Action new]\nExec=wrong\n");
    EXPECT_EQ(platform::defaultHandlerCommand(QStringLiteral("text/html")),
              QStringLiteral("system-browser %u"))
        << "an entry without an Exec line in its own group is skipped";

    writeFileMakingFolders(dir.file("home-data/applications/org/web.desktop"),
                           "[Desktop Entry]\nName=Web\nExec=\"/opt/web browser/web\" --new-window %U\n");
    EXPECT_EQ(platform::defaultHandlerCommand(QStringLiteral("text/html")),
              QStringLiteral("\"/opt/web browser/web\" --new-window %U"));
    EXPECT_TRUE(platform::defaultHandlerCommand(QStringLiteral("image/none")).isEmpty());
    EXPECT_TRUE(platform::defaultHandlerCommand(QString()).isEmpty());
}

TEST(DefaultBrowser, MimeTypeOfExtension)
{
    EXPECT_EQ(platform::mimeTypeOfExtension(QStringLiteral(".html")), QStringLiteral("text/html"));
    EXPECT_EQ(platform::mimeTypeOfExtension(QStringLiteral("HTM")), QStringLiteral("text/html"));
    EXPECT_TRUE(platform::mimeTypeOfExtension(QStringLiteral(".")).isEmpty());
}
