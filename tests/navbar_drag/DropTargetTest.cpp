#include "DragFixture.h"

#include <QDrag>
#include <QMimeData>
#include <QtEndian>

using namespace platform;

namespace {

QByteArray Words(std::initializer_list<std::int32_t> words)
{
    QByteArray data;
    for (std::int32_t w : words) {
        const std::int32_t le = qToLittleEndian(w);
        data.append(reinterpret_cast<const char *>(&le), 4);
    }
    return data;
}

struct DropLog
{
    int count = 0;
    QObject *source = nullptr;
    DataObject *data = nullptr;
    std::vector<ClipFormat> formats;
    std::uint32_t effect = 0;
    int mode = -1;

    TnbEventDragDrop Handler()
    {
        return [this](Persistent *, QObject *s, DataObject *d, const std::vector<ClipFormat> &f, ShiftState,
                      QPoint, std::uint32_t &e, int m) {
            ++count;
            source = s;
            data = d;
            formats = f;
            effect = e;
            mode = m;
        };
    }
};

} // namespace

// Data from another program arrives without a source; these events stand for it.
TEST_F(BarDrag, DataFromAnotherProgramOnlyReachesOnDragDropEvenWithAForgedReference)
{
    QMimeData mime;
    // A reference that names this process and this bar is still not this bar's data.
    mime.setData(QStringLiteral("nbSideBar Reference"),
                 Words({8, std::int32_t(QCoreApplication::applicationPid()),
                        std::int32_t(bar.DragDropManager()->Id())}));
    mime.setData(QStringLiteral("nbSideBar Resource"), Words({24, 1, 16, 2, 8, 0, 0}));
    mime.setData(QStringLiteral("text/plain"), "A0");
    const QPoint p = LowerPart(A->Button(1)->ButtonRect);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    const auto dropOnce = [&] {
        QDragEnterEvent enter(p, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&bar, &enter);
        QDragMoveEvent move(p, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&bar, &move);
        QDropEvent drop(QPointF(p), actions, &mime, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&bar, &drop);
        return std::make_pair(move.isAccepted(), drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction);
    };

    // No handler: the drop fails and the other program keeps its data.
    auto [accepted, action] = dropOnce();
    EXPECT_TRUE(accepted) << "offered as a copy while it hovers";
    EXPECT_EQ(action, Qt::IgnoreAction);
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3");

    DropLog log;
    bar.OnDragDrop = log.Handler();
    std::tie(accepted, action) = dropOnce();
    EXPECT_EQ(action, Qt::CopyAction);
    ASSERT_EQ(log.count, 1);
    EXPECT_EQ(log.source, nullptr);
    EXPECT_NE(log.data, nullptr);
    EXPECT_EQ(log.formats.size(), 3u);
    EXPECT_EQ(log.effect, DROPEFFECT_COPY);
    EXPECT_EQ(log.mode, 1);
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3") << "never moved or copied into the bar";

    // Without boAcceptOLEDrop such data is refused at once.
    int enters = 0;
    bar.OnDragEnter = [&](Persistent *, DataObject *, QObject *, ShiftState, DragState, QPoint, int,
                          std::uint32_t &, bool &) { ++enters; };
    bar.SetOptions(bar.Options() - TnbBarOptions{boAcceptOLEDrop});
    QDragEnterEvent enter(p, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(enters, 0);
}

TEST_F(BarDrag, WithoutInternalDropTheBarsOwnButtonsAreRefused)
{
    int enters = 0;
    bar.OnDragEnter = [&](Persistent *, DataObject *, QObject *, ShiftState, DragState, QPoint, int,
                          std::uint32_t &, bool &) { ++enters; };
    bar.SetOptions(bar.Options() - TnbBarOptions{boInternalDrop});
    ASSERT_TRUE(DragButton(A->Button(0), [&] {
        MoveTo(LowerPart(A->Button(2)->ButtonRect));
        Release(LowerPart(A->Button(2)->ButtonRect));
    }));
    EXPECT_EQ(enters, 0);
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3");
}

TEST_F(BarDrag, AnotherWidgetsDragReachesOnDragDropWithItsSource)
{
    QWidget other;
    std::vector<QObject *> overSources;
    bar.OnDragOver = [&](Persistent *, QObject *source, ShiftState, DragState, QPoint, int, std::uint32_t &,
                         bool &) { overSources.push_back(source); };
    const QPoint target = Centre(A->Button(2)->ButtonRect);
    const auto dragFromOther = [&] {
        QTest::mousePress(&other, Qt::LeftButton);
        auto *drag = new QDrag(&other);
        auto *mime = new QMimeData;
        mime->setText(QStringLiteral("hello"));
        drag->setMimeData(mime);
        QTimer::singleShot(0, &bar, [&] {
            MoveTo(target);
            Release(target);
        });
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction);
        // The loop hands the release on afterwards; it must not end the next drag.
        QCoreApplication::processEvents();
        return action;
    };

    EXPECT_EQ(dragFromOther(), Qt::IgnoreAction) << "nobody took the data";

    DropLog log;
    bar.OnDragDrop = log.Handler();
    EXPECT_EQ(dragFromOther(), Qt::CopyAction);
    ASSERT_EQ(log.count, 1);
    EXPECT_EQ(log.source, &other);
    EXPECT_EQ(log.data, nullptr);
    EXPECT_TRUE(log.formats.empty());
    EXPECT_EQ(log.effect, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(log.mode, 1);
    ASSERT_FALSE(overSources.empty());
    EXPECT_EQ(overSources.back(), &other);
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3");
}
