// The real program natively on Wayland: under sway's headless backend,
// driven through a virtual pointer and read through sway's window tree and
// grim's screenshots.

#include "WaylandSession.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class WaylandEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok()) << "sway did not come up:\n" << session.log().toStdString();
        const QString folder = session.file(QStringLiteral("app"));
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(DORVAK_PATH), folder + QStringLiteral("/Dorvak")));
        ASSERT_TRUE(QFile::copy(QFileInfo(QStringLiteral(VENDOR_DORVAK_PATH)).absolutePath() +
                                    QStringLiteral("/softup.dll"),
                                folder + QStringLiteral("/softup.dll")));
        ASSERT_EQ(QProcess::execute(QStringLiteral(MAKE_DEMO_DB_PATH),
                                    {QStringLiteral("--out"), folder + QStringLiteral("/dorvak.dat"),
                                     QStringLiteral("--companies"), QStringLiteral("300")}),
                  0);
        session.hand(session.home());
        program = folder + QStringLiteral("/Dorvak");
    }
    void TearDown() override
    {
        for (auto &p : copies) {
            p->terminate();
            if (!p->waitForFinished(10000))
                p->kill();
        }
    }

    // Starts a copy of the program on the Wayland display; what it says goes to `log`.
    QProcess *startCopy(const QString &log)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = session.baseEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardOutputFile(session.file(log));
        session.startAsUser(*process, program, {});
        EXPECT_TRUE(process->waitForStarted());
        copies.push_back(std::move(process));
        return copies.back().get();
    }
    QString said(const QString &log) const
    {
        QFile f(session.file(log));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    // A click as a user makes it: the pointer comes, presses and lets go.
    void click(const QPoint &at)
    {
        ASSERT_TRUE(session.pointerAt(at));
        QTest::qWait(100);
        ASSERT_TRUE(session.pointer(QStringLiteral("press")));
        ASSERT_TRUE(session.pointer(QStringLiteral("release")));
    }

    // Drags a window by a title strip from `grip` by `by`, the way a hand
    // does it: past the drag distance first, where the compositor takes the
    // move, then on by `by`. Returns where the window stood once the
    // compositor had the move (the window then follows the pointer by the
    // distance dragged from there: a compositor's move request carries no
    // start point), or a null point when it never took it.
    QPoint dragStrip(const QString &title, qint64 pid, const QPoint &grip, const QPoint &by)
    {
        const QPoint start = session.waitForWindow(title, pid).rect.topLeft();
        session.pointerAt(grip);
        QTest::qWait(100);
        session.pointer(QStringLiteral("press"));
        QTest::qWait(100);
        session.pointer(QStringLiteral("move 12 0"));
        // The compositor has the move once a step of the pointer moves the window.
        QPoint taken;
        (void)QTest::qWaitFor(
            [&] {
                for (const char *step : {"move 1 0", "move -1 0"}) {
                    session.pointer(QLatin1String(step));
                    QTest::qWait(20);
                    const QPoint now = session.waitForWindow(title, pid).rect.topLeft();
                    if (now != start) {
                        taken = now;
                        return true;
                    }
                }
                return false;
            },
            10000);
        // Back to where the window was caught, then the drag proper.
        const QPoint caught = session.waitForWindow(title, pid).rect.topLeft();
        session.pointer(QStringLiteral("move %1 %2").arg(by.x()).arg(by.y()));
        QTest::qWait(100);
        session.pointer(QStringLiteral("release"));
        return taken.isNull() ? QPoint() : caught;
    }

    WaylandSession session;
    QString program;
    std::vector<std::unique_ptr<QProcess>> copies;
};

// The bar buttons and toolbar buttons of the main window, from its top-left corner.
const QPoint kBrowseButton(68, 150);
const QPoint kQuickSearchButton(363, 105);
const QPoint kCompoundQueryButton(218, 106);
// The field chooser over the condition grid's first row, from the dialog's top-left corner.
const QRect kFieldChooser(20, 71, 111, 17);

void keepShot(const QImage &shot, const char *name)
{
    // A developer can look at what the test saw.
    if (const QString dir = qEnvironmentVariable("VELMORA_E2E_SHOTS"); !dir.isEmpty())
        shot.save(dir + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

// The main window shows at its designed size, a title-strip drag moves a
// tool window by the distance dragged, and nothing of Qt's Wayland plugin
// complains.
TEST_F(WaylandEndToEndTest, MainWindowAndAToolWindowThatMovesByItsTitleStrip)
{
    QProcess *copy = startCopy(QStringLiteral("first.log"));
    const WaylandWindow main = session.waitForWindow(QStringLiteral("Velmora"), copy->processId());
    ASSERT_FALSE(main.title.isEmpty()) << "no main window; the program said:\n"
                                       << said(QStringLiteral("first.log")).toStdString();
    EXPECT_EQ(main.rect.size(), QSize(800, 600));
    const QImage shot = session.screenshot();
    keepShot(shot, "wayland-main.png");
    ASSERT_FALSE(shot.isNull());
    // The drawn window, its title strip in the program's blue, where sway shows it.
    const QRgb strip = shot.pixel(main.rect.topLeft() + QPoint(400, 10));
    EXPECT_GT(qBlue(strip), qRed(strip) + 40) << "no title strip at the window's place";

    click(main.rect.topLeft() + kBrowseButton);
    click(main.rect.topLeft() + kQuickSearchButton);
    const WaylandWindow search = session.waitForWindow(QStringLiteral("快速检索"), copy->processId());
    ASSERT_FALSE(search.title.isEmpty()) << "no quick search";
    EXPECT_EQ(search.rect.size(), QSize(311, 131));
    EXPECT_TRUE(main.rect.intersects(search.rect)) << "the tool window shows over its owner";

    const QPoint caught = dragStrip(QStringLiteral("快速检索"), copy->processId(),
                                    search.rect.topLeft() + QPoint(120, 10), QPoint(-90, 60));
    ASSERT_FALSE(caught.isNull()) << "the compositor never took the move";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QPoint at =
                session.waitForWindow(QStringLiteral("快速检索"), copy->processId()).rect.topLeft();
            return (at - caught - QPoint(-90, 60)).manhattanLength() <= 2;
        },
        5000))
        << "caught at " << caught.x() << "," << caught.y();
    keepShot(session.screenshot(), "wayland-moved.png");

    // A press elsewhere afterwards does not take the window along.
    const QRect after = session.waitForWindow(QStringLiteral("快速检索"), copy->processId()).rect;
    session.pointerAt(main.rect.topLeft() + QPoint(400, 300));
    session.pointer(QStringLiteral("move 30 30"));
    QTest::qWait(200);
    EXPECT_EQ(session.waitForWindow(QStringLiteral("快速检索"), copy->processId()).rect, after)
        << "the window stuck to the pointer";

    EXPECT_FALSE(said(QStringLiteral("first.log")).contains(QStringLiteral("qt.qpa.wayland")))
        << said(QStringLiteral("first.log")).toStdString();
}

// The compound query's field chooser opens its list right under its cell.
TEST_F(WaylandEndToEndTest, CompoundQueryListOpensUnderItsCell)
{
    QProcess *copy = startCopy(QStringLiteral("first.log"));
    const WaylandWindow main = session.waitForWindow(QStringLiteral("Velmora"), copy->processId());
    ASSERT_FALSE(main.title.isEmpty());
    click(main.rect.topLeft() + kBrowseButton);
    click(main.rect.topLeft() + kCompoundQueryButton);
    WaylandWindow dialog = session.waitForWindow(QStringLiteral("查询条件设置"), copy->processId());
    ASSERT_FALSE(dialog.title.isEmpty()) << "no compound query";
    // The screen to compare with is taken once the dialog has come to rest:
    // it has the focus (an inactive window draws its grid in other colours)
    // and where it stands and what it shows are the same in two screenshots
    // (a window mapped a moment ago may not have drawn its grid yet).
    QImage before;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage first = session.screenshot();
            QTest::qWait(100);
            dialog = session.waitForWindow(QStringLiteral("查询条件设置"), copy->processId());
            before = session.screenshot();
            return dialog.focused && first.copy(dialog.rect) == before.copy(dialog.rect);
        },
        20000))
        << "the dialog did not come to rest";
    EXPECT_EQ(dialog.rect.size(), QSize(478, 276));
    EXPECT_TRUE(main.rect.contains(dialog.rect)) << "the dialog shows over its owner";

    // The chooser over the first row's field cell, in the dialog.
    const QRect cell(dialog.rect.topLeft() + kFieldChooser.topLeft(), kFieldChooser.size());
    click(cell.center());
    // The list's top: the first row from the chooser's bottom edge (which
    // keeps its colour) that changed across the chooser's width; its left:
    // the first column that changed a little below that. Waited for as a
    // whole: the chooser repaints itself before its list is drawn.
    QImage after;
    auto changedAcross = [&](int y) {
        int changed = 0;
        for (int x = cell.left() + 2; x <= cell.right() - 2; ++x)
            changed += after.pixel(x, y) != before.pixel(x, y);
        return changed * 5 >= (cell.width() - 4) * 4;
    };
    int top = -1;
    auto listTop = [&] {
        after = session.screenshot();
        top = -1;
        for (int y = cell.bottom(); y < cell.bottom() + 20 && top < 0; ++y)
            if (changedAcross(y))
                top = y;
        return top >= 0;
    };
    ASSERT_TRUE(QTest::qWaitFor(listTop, 20000)) << "no list under the cell";
    // A list may be placed again just after it shows: it is judged where it
    // stays, once two screenshots of its surroundings agree.
    const QRect around(cell.left() - 20, cell.top() - 20, cell.width() + 40, 220);
    QImage settled;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            settled = after;
            return listTop() && after.copy(around) == settled.copy(around);
        },
        20000))
        << "the list did not come to rest";
    keepShot(after, "wayland-list.png");
    int left = -1;
    for (int x = cell.left() - 10; x < cell.left() + 10 && left < 0 && top >= 0; ++x)
        if (after.pixel(x, top + 5) != before.pixel(x, top + 5))
            left = x;
    EXPECT_LE(std::abs(top - (cell.bottom() + 1)), 2) << "list at " << left << "," << top;
    EXPECT_LE(std::abs(left - cell.left()), 2) << "list at " << left << "," << top;
    // Nothing of it over the grid's titles above the cell.
    const QRect above(cell.left(), cell.top() - 14, cell.width(), 10);
    EXPECT_EQ(after.copy(above), before.copy(above)) << "the list covers the titles";
    EXPECT_FALSE(said(QStringLiteral("first.log")).contains(QStringLiteral("qt.qpa.wayland")))
        << said(QStringLiteral("first.log")).toStdString();
}

// A second start says why it ends, above the running copy, and then brings
// the running copy's main window forward.
TEST_F(WaylandEndToEndTest, ASecondCopyRaisesTheFirst)
{
    QProcess *first = startCopy(QStringLiteral("first.log"));
    const WaylandWindow main = session.waitForWindow(QStringLiteral("Velmora"), first->processId());
    ASSERT_FALSE(main.title.isEmpty());
    click(main.rect.topLeft() + kBrowseButton);
    click(main.rect.topLeft() + kQuickSearchButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return session.waitForWindow(QStringLiteral("快速检索"), first->processId()).focused; }, 10000))
        << "the quick search did not take the focus";

    QProcess *second = startCopy(QStringLiteral("second.log"));
    const WaylandWindow notice = session.waitForWindow(QStringLiteral("提示"), second->processId());
    ASSERT_FALSE(notice.title.isEmpty()) << "no notice from the second copy";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return session.waitForWindow(QStringLiteral("提示"), second->processId()).focused; }, 10000));
    keepShot(session.screenshot(), "wayland-second-copy.png");
    // "确定", at the notice's lower right; a notice that is mapped but not yet
    // taking input gets another click. Where the notice stands is asked
    // again each time: the compositor may still place or size it after it
    // first shows.
    for (int attempt = 0; attempt < 10 && second->state() != QProcess::NotRunning; ++attempt) {
        const QRect box = session.waitForWindow(QStringLiteral("提示"), second->processId()).rect;
        if (box.isEmpty())
            break; // gone between two looks
        click(box.topLeft() + QPoint(box.width() - 47, box.height() - 25));
        second->waitForFinished(3000);
    }
    if (second->state() != QProcess::NotRunning)
        keepShot(session.screenshot(), "wayland-notice-left-open.png");
    ASSERT_EQ(second->state(), QProcess::NotRunning) << "the notice did not close";
    EXPECT_EQ(second->exitCode(), 0);
    // The focus goes back to the running copy: its main window when the
    // compositor grants the activation it asks for, else the quick search
    // that had it last (sway refuses an activation whose input came before
    // the notice took the focus, depending on which of the two it hears
    // first).
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return session.waitForWindow(QStringLiteral("Velmora"), first->processId()).focused ||
                   session.waitForWindow(QStringLiteral("快速检索"), first->processId()).focused;
        },
        10000))
        << "the running copy did not get the focus back";
}
