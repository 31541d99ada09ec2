// Starts the real program beside a demo database under a virtual X server
// and checks what a user sees.

#include "EndToEndFixture.h"
#include "platform/db/CipherSettings.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using DorvakEndToEndTest = EndToEndFixture;

// Share of pixel rows in the area that hold a pixel darker than the grey.
double rowShareDarkerThan(const QImage &image, const QRect &area, int grey)
{
    int rows = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < grey) {
                ++rows;
                break;
            }
        }
    }
    return double(rows) / area.height();
}

// Rows that hold dark (text) pixels.
double textRowShare(const QImage &image, const QRect &area)
{
    return rowShareDarkerThan(image, area, 110);
}

// Rows that hold anything but a light ground: thin grey strokes of small
// digits count here as well.
double inkRowShare(const QImage &image, const QRect &area)
{
    return rowShareDarkerThan(image, area, 200);
}

// Share of white pixels in the area.
double whiteShare(const QImage &image, const QRect &area)
{
    int white = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            white += image.pixel(x, y) == qRgb(255, 255, 255);
    return double(white) / (area.width() * area.height());
}

} // namespace

TEST_F(DorvakEndToEndTest, ShowsTheCompanyListAndRefusesASecondCopy)
{
    const QString program = install(QStringLiteral("app"));
    auto first = start(program);
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), first->processId());
    ASSERT_FALSE(main.id.isEmpty()) << "no main window";
    EXPECT_EQ(main.geometry.size(), QSize(800, 600));

    // The bar's "Velmora" shows the list: the grid (right of the tree) is filled with rows of text.
    const QRect grid(360, 130, 420, 430);
    clickAt(main, QPoint(68, 150));
    QImage shot;
    const bool painted = QTest::qWaitFor(
        [&] {
            shot = capture(main);
            return !shot.isNull() && textRowShare(shot, grid) > 0.4 && whiteShare(shot, grid) > 0.5;
        },
        10000);
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(painted);
    EXPECT_GT(textRowShare(shot, grid), 0.4);
    EXPECT_GT(whiteShare(shot, grid), 0.5) << "the grid's white ground";

    // A second copy shows its notice and ends; the first keeps running.
    auto second = start(program);
    const WindowInfo notice = waitForWindow(QStringLiteral("^提示$"), second->processId());
    ASSERT_FALSE(notice.id.isEmpty()) << "no notice from the second copy";
    EXPECT_LT(notice.geometry.width(), 800);
    EXPECT_TRUE(windows(QStringLiteral("^Velmora$"), second->processId()).isEmpty());
    pressReturnIn(notice);
    ASSERT_TRUE(second->waitForFinished(15000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_FALSE(windows(QStringLiteral("^Velmora$"), first->processId()).isEmpty());

    first->terminate();
    first->waitForFinished(10000);
}

TEST_F(DorvakEndToEndTest, DatabaseWithAnotherPasswordIsRefusedWithoutAMainWindow)
{
    const QString program = install(QStringLiteral("bad"), QStringLiteral("not the password"));
    auto process = start(program);
    const WindowInfo box = waitForWindow(QStringLiteral("^Velmora$"), process->processId());
    ASSERT_FALSE(box.id.isEmpty()) << "no message";
    EXPECT_LT(box.geometry.width(), 800) << "the message box, not the main window";
    EXPECT_LT(box.geometry.height(), 300);
    pressReturnIn(box);
    ASSERT_TRUE(process->waitForFinished(15000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0);
}

namespace {

// True when the area holds at least `count` pixels of the colour.
bool hasColour(const QImage &image, const QRect &area, const QColor &colour, int count = 20)
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour && ++found >= count)
                return true;
    return false;
}

} // namespace

// The program as a user first meets it: the splash, then the borderless main
// window whose bar switches the panels; a link starts the desktop's opener,
// the title strip drags the window and "×" ends the program with the typed
// profile saved.
TEST_F(DorvakEndToEndTest, SplashThenMainWindowWhoseBarSwitchesThePanels)
{
    const QString program = install(QStringLiteral("app"));
    // The desktop's opener, standing in: it records what it was asked to open.
    const QString bin = home.file(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString record = home.file(QStringLiteral("opened.txt"));
    QFile opener(bin + QStringLiteral("/xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1'\n").arg(record).toUtf8());
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("VELMORA_VENDOR_URL"), QStringLiteral("http://127.0.0.1:9/e2e"));
    for (const char *name : {"BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"})
        env.insert(QLatin1String(name), QString());
    auto process = start(program, env);
    const qint64 pid = process->processId();

    // The splash comes first, alone, and closes by itself.
    // The splash shows for two seconds only: xdotool watches for it itself, which a busy machine cannot
    // outrun.
    QProcess watch;
    QProcessEnvironment watchEnv = QProcessEnvironment::systemEnvironment();
    watchEnv.insert(QStringLiteral("DISPLAY"), display.name());
    watch.setProcessEnvironment(watchEnv);
    watch.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                 QStringLiteral("^Kestrune-->Velmora$")});
    ASSERT_TRUE(watch.waitForFinished(30000)) << "no splash";
    const QString splashId =
        QString::fromLatin1(watch.readAllStandardOutput()).trimmed().section(QLatin1Char('\n'), 0, 0);
    ASSERT_FALSE(splashId.isEmpty()) << "no splash";
    const bool mainShown = !windows(QStringLiteral("^Velmora$"), pid).isEmpty();
    const QList<WindowInfo> splashes = windows(QStringLiteral("^Kestrune-->Velmora$"), pid);
    // Seen after the main window was looked for, the splash was there while it was missing.
    EXPECT_FALSE(mainShown && !splashes.isEmpty()) << "the main window waits for the splash";
    if (!splashes.isEmpty()) {
        EXPECT_EQ(splashes.first().geometry.size(), QSize(492, 334));
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return windows(QStringLiteral("^Kestrune-->Velmora$"), pid).isEmpty(); }, 10000));

    WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    ASSERT_FALSE(main.id.isEmpty()) << "no main window";
    EXPECT_EQ(main.geometry.size(), QSize(800, 600));
    // Borderless: the window asks for no decorations.
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-display"), display.name(), QStringLiteral("-id"),
                                          main.id, QStringLiteral("_MOTIF_WM_HINTS")});
    xprop.waitForFinished(10000);
    EXPECT_TRUE(QString::fromLatin1(xprop.readAllStandardOutput()).contains(QStringLiteral("0x2, 0x1, 0x0")));

    // The about page beside the bar: its blue heading and the bar's "Kestrune" header.
    const QRect content(128, 93, 661, 489);
    const QRect heading(140, 100, 260, 26);
    const QColor blue(0, 102, 255);
    QImage shot;
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasColour(shot = capture(main), heading, blue); }, 10000));
    EXPECT_GT(textRowShare(shot, QRect(20, 97, 96, 18)), 0.3) << "the bar's header caption";

    // Clicks at a point and waits until the content area shows something else.
    auto clickAndWait = [&](const QPoint &at) {
        const QImage before = capture(main).copy(content);
        clickAt(main, at);
        QImage after;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (after = capture(main).copy(content)) != before; }, 5000))
            << "nothing changed after a click at " << at.x() << "," << at.y();
        return after;
    };

    // Each bar button shows its panel.
    QImage panels[7];
    for (int i = 0; i < 7; ++i)
        panels[i] = clickAndWait(QPoint(68, 150 + 62 * i));
    EXPECT_GT(textRowShare(panels[0], QRect(240, 240, 420, 230)), 0.4) << "the company list";
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(hasColour(panels[i], heading.translated(-content.topLeft()), blue)) << "heading of " << i;
    }
    // The area lookup, open last, lists the whole table; a search for 0571 lists its one hit.
    const QPoint area = content.topLeft();
    const QRect firstRow(area + QPoint(24, 108), QSize(500, 14));
    const QRect laterRows(area + QPoint(24, 150), QSize(500, 300));
    EXPECT_GT(textRowShare(capture(main), laterRows), 0.4);
    clickAt(main, area + QPoint(356 + 90, 52 + 12)); // "搜索内容"
    xdotool({QStringLiteral("type"), QStringLiteral("0571")});
    clickAt(main, area + QPoint(548 + 36, 50 + 14)); // "查找"
    EXPECT_TRUE(QTest::qWaitFor([&] { return textRowShare(capture(main), laterRows) == 0; }, 5000));
    EXPECT_GT(inkRowShare(capture(main), firstRow), 0.9) << "the hit, highlighted as the current row";

    // The mobile lookup of a real number fills the four results.
    clickAndWait(QPoint(68, 150 + 62 * 5));
    const QRect results[] = {{area + QPoint(62, 158), QSize(250, 20)},
                             {area + QPoint(342, 158), QSize(250, 20)},
                             {area + QPoint(62, 216), QSize(250, 20)},
                             {area + QPoint(342, 216), QSize(250, 20)}};
    for (const QRect &r : results)
        EXPECT_EQ(inkRowShare(capture(main), r), 0) << "empty before the lookup";
    clickAt(main, area + QPoint(110 + 100, 62 + 13)); // "手机号码"
    xdotool({QStringLiteral("type"), QStringLiteral("13800138000")});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return inkRowShare(capture(main), results[3]) > 0.3; }, 5000));
    for (const QRect &r : results)
        EXPECT_GT(inkRowShare(capture(main), r), 0.3) << r.x() << "," << r.y();

    // The header brings the about page back.
    clickAt(main, QPoint(68, 104));
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasColour(capture(main), heading, blue); }, 5000));
    EXPECT_TRUE(hasColour(capture(main), QRect(140, 480, 300, 30), QColor(Qt::red))) << "the slogan";

    // A link starts the desktop's opener with its page on the configured vendor site.
    clickAndWait(QPoint(68, 274));                       // "诚招代理"
    clickAt(main, QPoint(128 + 440 + 30, 93 + 290 + 7)); // "在线代理信息查看"
    QString openedText;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QFile f(record);
            return f.open(QIODevice::ReadOnly) && !(openedText = QString::fromUtf8(f.readAll())).isEmpty();
        },
        10000));
    EXPECT_EQ(openedText.trimmed(), QStringLiteral("http://127.0.0.1:9/e2e/aboutme/jmms.asp"));

    // The title strip drags the window with the right button, without a window manager.
    const QPoint grip = main.geometry.topLeft() + QPoint(300, 10);
    xdotool({QStringLiteral("mousemove"), QString::number(grip.x()), QString::number(grip.y())});
    xdotool({QStringLiteral("mousedown"), QStringLiteral("3")});
    xdotool({QStringLiteral("mousemove"), QString::number(grip.x() + 40), QString::number(grip.y() + 30)});
    xdotool({QStringLiteral("mousemove"), QString::number(grip.x() + 60), QString::number(grip.y() + 45)});
    xdotool({QStringLiteral("mouseup"), QStringLiteral("3")});
    const QPoint moved = main.geometry.topLeft() + QPoint(60, 45);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return waitForWindow(QStringLiteral("^Velmora$"), pid).geometry.topLeft() == moved; }, 5000));
    main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    // Released: the window no longer follows the mouse.
    xdotool({QStringLiteral("mousemove"), QString::number(grip.x() + 160), QString::number(grip.y() + 100)});
    QTest::qWait(300);
    EXPECT_EQ(waitForWindow(QStringLiteral("^Velmora$"), pid).geometry.topLeft(), moved);

    // Text typed into the profile is saved when "×" ends the program.
    clickAndWait(QPoint(68, 150));   // "Velmora": the company list
    clickAndWait(QPoint(167, 105));  // the detail strip
    clickAt(main, QPoint(450, 285)); // into the profile
    // The keys reach the program before the click on "×" that follows them.
    xdotool({QStringLiteral("type"), QStringLiteral("e2e")});
    clickAt(main, QPoint(788, 10)); // "×"
    ASSERT_TRUE(process->waitForFinished(15000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0);
    EXPECT_EQ(testdb::scalar(home.file(QStringLiteral("app/dorvak.dat")), testdb::kPassword,
                             platform::db::kBuilderPageSize,
                             QStringLiteral("select count(*) from Dorvak where cCorpMemo like '%e2e%'")),
              QStringLiteral("1"));
}

// Under a window manager a left drag is handed to the manager once the
// pointer has gone the drag distance, and the window follows the pointer from
// there; the other buttons are followed by the program from the press. Either
// way the window stays put once the button is released.
TEST_F(DorvakEndToEndTest, TitleStripDragsWithAnyButtonUnderAWindowManager)
{
    QProcess manager;
    ASSERT_TRUE(startWindowManager(manager)) << "openbox is missing or did not come up";

    const QString program = install(QStringLiteral("app"));
    auto process = start(program);
    const qint64 pid = process->processId();
    ASSERT_TRUE(waitForMainWindowAfterSplash(pid));
    auto where = [&] { return waitForWindow(QStringLiteral("^Velmora$"), pid).geometry.topLeft(); };

    for (const int button : {1, 3, 2}) {
        const QPoint start = where();
        const QPoint grip = start + QPoint(300, 10);
        auto mouseTo = [&](const QPoint &p) {
            xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
            QTest::qWait(150);
        };
        mouseTo(grip);
        xdotool({QStringLiteral("mousedown"), QString::number(button)});
        QTest::qWait(150);
        mouseTo(grip + QPoint(20, 15));
        mouseTo(grip + QPoint(-40, 30));
        xdotool({QStringLiteral("mouseup"), QString::number(button)});
        // The manager takes a left drag at the first step, past the drag distance.
        const QPoint moved = QPoint(-40, 30) - (button == 1 ? QPoint(20, 15) : QPoint());
        EXPECT_TRUE(QTest::qWaitFor([&] { return where() == start + moved; }, 5000))
            << "button " << button << " at " << where().x() << "," << where().y();
        mouseTo(grip + QPoint(120, 200));
        const QPoint after = where();
        EXPECT_EQ(after, start + moved)
            << "button " << button << " still dragging: " << after.x() << "," << after.y();
    }

    process->terminate();
    process->waitForFinished(10000);
    manager.terminate();
    manager.waitForFinished(5000);
}

// The compound query's field chooser opens its list under its cell, on the
// first dialog of a fresh start and on later ones, under a window manager
// that frames the dialog at the screen's corner before moving it.
TEST_F(DorvakEndToEndTest, ConditionGridListsOpenUnderTheirCellUnderAWindowManager)
{
    QProcess manager;
    ASSERT_TRUE(startWindowManager(manager)) << "openbox is missing or did not come up";
    const QString program = install(QStringLiteral("app"));
    auto process = start(program);
    const qint64 pid = process->processId();
    ASSERT_TRUE(waitForMainWindowAfterSplash(pid));
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    clickAt(main, QPoint(68, 150)); // the browsing panel
    const QPoint compoundQuery(218, 106);
    const QPoint fieldCell(75, 78);

    for (int round = 0; round < 4; ++round) {
        QTest::qWait(500);
        clickAt(main, compoundQuery);
        const WindowInfo dialog = waitForWindow(QStringLiteral("^查询条件设置$"), pid);
        ASSERT_FALSE(dialog.id.isEmpty()) << "round " << round << ": no dialog";
        // Under the cell, over the grid's empty rows, where the list opens; and
        // the same place taken from the screen's corner, where a misplaced list shows.
        const QRect underCell(dialog.geometry.topLeft() + QPoint(25, 95), QSize(80, 120));
        const QRect fromCorner(QPoint(25, 100), QSize(80, 120));
        const QImage before = captureComposedScreen();
        clickAt(dialog, fieldCell);
        QImage after;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return (after = captureComposedScreen()).copy(underCell) != before.copy(underCell); },
            5000))
            << "round " << round << ": no list under the cell";
        EXPECT_EQ(after.copy(fromCorner), before.copy(fromCorner))
            << "round " << round << ": a list at the corner";
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")}); // the list
        QTest::qWait(300);
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")}); // the dialog
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return windows(QStringLiteral("^查询条件设置$"), pid).isEmpty(); }, 5000))
            << "round " << round << ": the dialog stayed";
    }

    process->terminate();
    process->waitForFinished(10000);
    manager.terminate();
    manager.waitForFinished(5000);
}

namespace {

// The bar's buttons as the main window lays them out: centres 62 pixels apart.
QPoint barButton(int slot)
{
    return QPoint(68, 150 + 62 * slot);
}

// The picture of the button in a slot, without its caption (compared with the mouse away
// from the bar, where no button is drawn hot).
QImage slotPicture(const QImage &shot, int slot)
{
    return shot.copy(QRect(barButton(slot) + QPoint(-20, -19), QSize(40, 38)));
}

// The row of the bar that a drop mark crosses (nearly the whole body width in the
// mark's colour), or -1.
int dropMarkRow(const QImage &shot)
{
    for (int y = 100; y < 580 && y < shot.height(); ++y) {
        int dark = 0;
        for (int x = 8; x < 128; ++x)
            dark += shot.pixel(x, y) == qRgb(0, 0, 0);
        if (dark >= 90)
            return y;
    }
    return -1;
}

} // namespace

// In the main window the user reorders the bar's buttons by dragging them and copies one
// with Ctrl; the copy opens the same panel as the original.
TEST_F(DorvakEndToEndTest, BarButtonsMoveByDragAndACtrlCopyOpensItsPanel)
{
    const QString program = install(QStringLiteral("app"));
    auto process = start(program);
    const qint64 pid = process->processId();
    ASSERT_TRUE(waitForMainWindowAfterSplash(pid));
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    const QRect content(128, 93, 661, 489);
    const QPoint aside(400, 300); // over the content, away from the bar

    auto mouseTo = [&](const QPoint &at) {
        const QPoint p = main.geometry.topLeft() + at;
        xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
    };
    // The slots show these pictures (indexes into `pictures`), the mouse away from the bar.
    QImage pictures[7];
    auto slotsShow = [&](const QList<int> &order) {
        const QImage shot = capture(main);
        for (int slot = 0; slot < order.size(); ++slot)
            if (slotPicture(shot, slot) != pictures[order[slot]])
                return false;
        return true;
    };
    auto contentAfterClick = [&](int slot) {
        const QImage before = capture(main).copy(content);
        clickAt(main, barButton(slot));
        QImage after;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (after = capture(main).copy(content)) != before; }, 5000))
            << "slot " << slot << " opened nothing";
        return after;
    };
    // Presses on a slot, leaves it past the drag distance, holds `key` (if any) and moves
    // to `to`, where the drop mark must show in the rows `markRows`; then drops.
    auto drag = [&](int slot, const QPoint &to, const QString &key, const QPair<int, int> &markRows) {
        mouseTo(barButton(slot));
        xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        mouseTo(barButton(slot) + QPoint(0, to.y() < barButton(slot).y() ? -12 : 12));
        if (!key.isEmpty())
            xdotool({QStringLiteral("keydown"), key});
        mouseTo((barButton(slot) + to) / 2);
        mouseTo(to);
        int row = -1;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                row = dropMarkRow(capture(main));
                return row > markRows.first && row < markRows.second;
            },
            5000))
            << "dragging slot " << slot << ": no drop mark at the target (last seen at row " << row << ")";
        xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        if (!key.isEmpty())
            xdotool({QStringLiteral("keyup"), key});
        EXPECT_TRUE(QTest::qWaitFor([&] { return dropMarkRow(capture(main)) < 0; }, 5000))
            << "the drop mark stayed";
    };

    mouseTo(aside);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage shot = capture(main);
            return !shot.isNull() && !slotPicture(shot, 6).allGray();
        },
        10000));
    const QImage first = capture(main);
    for (int slot = 0; slot < 7; ++slot)
        pictures[slot] = slotPicture(first, slot);
    for (int a = 0; a < 7; ++a)
        for (int b = a + 1; b < 7; ++b)
            ASSERT_NE(pictures[a], pictures[b]) << "every button shows its own picture";
    ASSERT_EQ(dropMarkRow(first), -1);

    // "Velmora" dragged onto the lower half of "诚招代理" goes after it.
    drag(0, barButton(2) + QPoint(0, 15), {}, {barButton(2).y() + 20, barButton(3).y()});
    mouseTo(aside);
    EXPECT_TRUE(QTest::qWaitFor([&] { return slotsShow({1, 2, 0, 3, 4, 5, 6}); }, 5000)) << "not reordered";

    // The panel of "广告征订", now the fourth, to know it again.
    const QImage advertising = contentAfterClick(3);
    contentAfterClick(0);

    // With Ctrl, "广告征订" dragged onto the top of the first button is copied before it.
    drag(3, barButton(0) + QPoint(0, -15), QStringLiteral("ctrl"),
         {barButton(0).y() - 40, barButton(0).y() - 10});
    // The copy opens the advertising panel, clicked where the drop left the pointer: no
    // move comes before that press.
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return capture(main).copy(content) == advertising; }, 5000))
        << "the copy did not open the advertising panel";
    mouseTo(aside);
    EXPECT_TRUE(QTest::qWaitFor([&] { return slotsShow({3, 1, 2, 0, 3, 4, 5}); }, 5000)) << "not copied";

    process->terminate();
    process->waitForFinished(10000);
}
