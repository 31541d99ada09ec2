// The real program on a desktop: under a window manager (openbox) on a
// virtual X server, read through the window properties a desktop reads.

#include "EndToEndFixture.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class DesktopEndToEndTest : public EndToEndFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(EndToEndFixture::SetUp());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display.name());
        manager.setProcessEnvironment(env);
        manager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        ASSERT_TRUE(manager.waitForStarted()) << "openbox is missing";
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return property(QStringLiteral("-root"), "_NET_SUPPORTING_WM_CHECK").contains("window id");
            },
            30000))
            << "the window manager did not come up";
    }
    void TearDown() override
    {
        manager.terminate();
        manager.waitForFinished(5000);
    }

    QString property(const QString &window, const char *name) { return windowProperty(window, name); }
    // The window ids a property names ("WM_TRANSIENT_FOR(WINDOW): window id # 0x400006").
    QList<qulonglong> windowIds(const QString &window, const char *name)
    {
        QList<qulonglong> ids;
        const QString text = property(window, name);
        for (const auto &m : QRegularExpression(QStringLiteral("0x[0-9a-f]+")).globalMatch(text))
            ids << m.captured(0).toULongLong(nullptr, 16);
        return ids;
    }
    // The sizes of the icons in the window's _NET_WM_ICON (xprop prints
    // "Icon (16 x 16):" for each).
    QStringList iconSizes(const QString &window)
    {
        QStringList sizes;
        const QString text = property(window, "_NET_WM_ICON");
        for (const auto &m : QRegularExpression(QStringLiteral("Icon \\((\\d+) x \\d+\\)")).globalMatch(text))
            sizes << m.captured(1);
        return sizes;
    }
    bool hidden(const QString &window)
    {
        return property(window, "_NET_WM_STATE").contains(QStringLiteral("_NET_WM_STATE_HIDDEN"));
    }
    bool viewable(const QString &window)
    {
        QProcess info;
        info.start(QStringLiteral("xwininfo"),
                   {QStringLiteral("-display"), display.name(), QStringLiteral("-id"), window});
        info.waitForFinished(10000);
        return info.readAllStandardOutput().contains("IsViewable");
    }

    QProcess manager;
};

const QStringList kIconSizes = {QStringLiteral("16"), QStringLiteral("32"),  QStringLiteral("48"),
                                QStringLiteral("64"), QStringLiteral("128"), QStringLiteral("256")};

} // namespace

// The quick search and the detail card are transient for the main window and
// never above every program; minimising the main window takes them along.
// Every window carries the program's icon at each size it has.
TEST_F(DesktopEndToEndTest, ToolWindowsBelongToTheMainWindowAndEveryWindowHasTheIcon)
{
    const QString program = install(QStringLiteral("app"));
    auto process = start(program);
    const qint64 pid = process->processId();
    ASSERT_TRUE(waitForMainWindowAfterSplash(pid));
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    EXPECT_EQ(iconSizes(main.id), kIconSizes);

    clickAt(main, QPoint(68, 150)); // "Velmora": the company list
    QTest::qWait(300);
    clickAt(main, QPoint(363, 105)); // "查找"
    const WindowInfo search = waitForWindow(QStringLiteral("^快速检索$"), pid);
    ASSERT_FALSE(search.id.isEmpty()) << "no quick search";
    const QPoint row = main.geometry.topLeft() + QPoint(488, 178);
    xdotool({QStringLiteral("mousemove"), QString::number(row.x()), QString::number(row.y()),
             QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
             QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    const WindowInfo card = waitForWindow(QStringLiteral("^企业信息$"), pid);
    ASSERT_FALSE(card.id.isEmpty()) << "no detail card";

    for (const WindowInfo &tool : {search, card}) {
        EXPECT_EQ(windowIds(tool.id, "WM_TRANSIENT_FOR"), QList<qulonglong>{main.id.toULongLong()});
        EXPECT_FALSE(property(tool.id, "_NET_WM_STATE").contains(QStringLiteral("_NET_WM_STATE_ABOVE")))
            << property(tool.id, "_NET_WM_STATE").toStdString();
        EXPECT_EQ(iconSizes(tool.id), kIconSizes);
    }

    xdotool({QStringLiteral("windowminimize"), main.id});
    EXPECT_TRUE(QTest::qWaitFor([&] { return hidden(main.id); }, 10000))
        << "the main window was not minimised";
    for (const WindowInfo &tool : {search, card})
        EXPECT_TRUE(QTest::qWaitFor([&] { return !viewable(tool.id); }, 10000)) << "a tool window stayed";

    process->terminate();
    process->waitForFinished(10000);
}

// A second start brings the running copy's window back and activates it,
// and the second copy still says why it ends.
TEST_F(DesktopEndToEndTest, ASecondStartBringsTheRunningCopyForward)
{
    const QString program = install(QStringLiteral("app"));
    auto first = start(program);
    ASSERT_TRUE(waitForMainWindowAfterSplash(first->processId()));
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), first->processId());
    xdotool({QStringLiteral("windowminimize"), main.id});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hidden(main.id); }, 10000));

    // The second copy says why it ends; once that is read, the running
    // copy comes back.
    auto second = start(program);
    const WindowInfo notice = waitForWindow(QStringLiteral("^提示$"), second->processId());
    ASSERT_FALSE(notice.id.isEmpty()) << "no notice from the second copy";
    EXPECT_TRUE(hidden(main.id)) << "raised while the notice shows, the running copy may cover it";
    pressReturnIn(notice);
    ASSERT_TRUE(second->waitForFinished(15000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hidden(main.id) && viewable(main.id); }, 15000))
        << "the running copy did not come back";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return windowIds(QStringLiteral("-root"), "_NET_ACTIVE_WINDOW").value(0) == main.id.toULongLong();
        },
        10000))
        << "active: " << property(QStringLiteral("-root"), "_NET_ACTIVE_WINDOW").toStdString();

    first->terminate();
    first->waitForFinished(10000);
}
