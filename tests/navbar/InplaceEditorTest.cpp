#include "BarFixture.h"

#include "navbar/nbInplaceEditor.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLineEdit>

using namespace platform;

// A bar beside a line edit in an active window, with one header of two buttons.
class CaptionEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QHBoxLayout(&window);
        bar = new TnbSideBar;
        bar->setFixedWidth(120);
        other = new QLineEdit;
        layout->addWidget(bar);
        layout->addWidget(other);
        window.resize(300, 300);
        header = bar->AddHeader();
        header->SetCaption(QStringLiteral("Old"));
        for (int i = 0; i < 2; ++i) {
            TnbButton *b = header->AddButton();
            b->SetCaption(QStringLiteral("Button %1").arg(i));
            b->OnClick = [this](Persistent *) { ++clicks; };
        }
        bar->SetActiveHeader(header);
        editor = bar->InplaceEditor();
        editor->OnChange = changes.Handler();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        bar->PaintImage();
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editor->EditBox(), Qt::Key(key), modifiers);
    }

    QWidget window;
    TnbSideBar *bar = nullptr;
    QLineEdit *other = nullptr;
    TnbHeader *header = nullptr;
    TnbInplaceEditor *editor = nullptr;
    NotifyCounter changes;
    int clicks = 0;
};

TEST_F(CaptionEditor, EnterCommitsEscapeCancelsAndCtrlEnterGoesOnEditing)
{
    editor->EndEdit(false);
    EXPECT_EQ(changes.count, 0) << "nothing is open";

    editor->BeginEdit(header);
    ASSERT_TRUE(editor->Editing());
    EXPECT_TRUE(editor->HeaderEdit());
    EXPECT_EQ(editor->EditBox()->Text(), QStringLiteral("Old"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor->EditBox()->hasFocus(); }));
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(editor->Editing());
    editor->EditBox()->SetText(QStringLiteral("New"));
    Key(Qt::Key_Return);
    EXPECT_FALSE(editor->Editing());
    EXPECT_EQ(header->Caption(), QStringLiteral("New"));
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(changes.lastSender, editor);
    EXPECT_FALSE(editor->EditBox()->isVisible());
    EXPECT_EQ(editor->EditBox()->y(), -1000);
    EXPECT_EQ(editor->EditItem(), nullptr);

    TnbButton *button = header->Button(0);
    editor->BeginEdit(button);
    EXPECT_FALSE(editor->HeaderEdit());
    editor->EditBox()->SetText(QStringLiteral("Changed"));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(editor->Editing());
    EXPECT_EQ(button->Caption(), QStringLiteral("Button 0"));
    EXPECT_EQ(changes.count, 1);

    editor->BeginEdit(button);
    editor->EditBox()->SetText(QString());
    Key(Qt::Key_Enter);
    EXPECT_EQ(button->Caption(), QString()) << "an empty text is a caption too";
    EXPECT_EQ(changes.count, 2);
}

TEST_F(CaptionEditor, LeavingTheBoxCommits)
{
    editor->BeginEdit(header->Button(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->EditBox()->hasFocus(); }));
    editor->EditBox()->SetText(QStringLiteral("Left behind"));
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(editor->Editing());
    EXPECT_EQ(header->Button(1)->Caption(), QStringLiteral("Left behind"));
    EXPECT_EQ(changes.count, 1);
}

TEST_F(CaptionEditor, TheBarLeavesPressesAndTheFocusAloneWhileEditing)
{
    editor->BeginEdit(header);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->EditBox()->hasFocus(); }));
    const QPoint on = Centre(header->Button(0)->ButtonRect);
    QTest::mouseMove(bar, on);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_NE(header->Button(0)->ItemState(), bstDown);
    EXPECT_FALSE(bar->DragPending());
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(editor->Editing()) << "the box kept the focus";

    editor->EndEdit(true);
    EXPECT_TRUE(bar->hasFocus()) << "the keyboard goes back to the bar";
    QTest::mouseMove(bar, on + QPoint(1, 0));
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, on);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CaptionEditor, TheBoxMenuReachesTheBarInBarCoordinates)
{
    editor->BeginEdit(header);
    Persistent *sender = nullptr;
    QPoint at;
    bar->OnEditorContextPopup = [&](Persistent *s, QPoint pos, bool &handled) {
        EXPECT_FALSE(handled);
        sender = s;
        at = pos;
        handled = true;
    };
    TnbInplaceEdit *box = editor->EditBox();
    // A right click lands in the text area, inside the frame.
    QWidget *area = box->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 4), area->mapToGlobal(QPoint(3, 4)));
    QCoreApplication::sendEvent(area, &event);
    EXPECT_EQ(sender, editor);
    EXPECT_EQ(at, box->pos() + area->pos() + QPoint(3, 4));
    EXPECT_TRUE(event.isAccepted());
}

TEST(InplaceEditor, AssignCopiesTheLookButNotAlignmentOrWrapping)
{
    TnbSideBar from;
    TnbSideBar to;
    TnbInplaceEditor *source = from.InplaceEditor();
    source->SetFlat(false);
    source->SetShowBorder(false);
    source->SetBorderColor(clRed);
    source->SetFont(platform::Font(QStringLiteral("新宋体"), 12));
    source->SetAlignment(taCenter);
    source->SetWordWrap(false);
    NotifyCounter changes;
    to.InplaceEditor()->OnChange = changes.Handler();
    to.SetInplaceEditor(*source);
    TnbInplaceEditor *copy = to.InplaceEditor();
    EXPECT_FALSE(copy->Flat());
    EXPECT_FALSE(copy->ShowBorder());
    EXPECT_EQ(copy->BorderColor(), clRed);
    EXPECT_EQ(copy->Font(), source->Font());
    EXPECT_EQ(copy->Alignment(), taLeftJustify);
    EXPECT_TRUE(copy->WordWrap());
    EXPECT_EQ(changes.count, 1);
}

TEST(InplaceEdit, StylesFollowWrappingAndAlignment)
{
    TnbSideBar bar;
    TnbInplaceEdit *box = bar.InplaceEditor()->EditBox();
    EXPECT_EQ(box->WindowStyle(), TnbInplaceEdit::ES_MULTILINE | TnbInplaceEdit::ES_AUTOVSCROLL);
    EXPECT_EQ(box->lineWrapMode(), QTextEdit::WidgetWidth);
    box->SetWordWrap(false);
    box->SetAlignment(taRightJustify);
    EXPECT_EQ(box->WindowStyle(), TnbInplaceEdit::ES_MULTILINE | TnbInplaceEdit::ES_AUTOVSCROLL |
                                      TnbInplaceEdit::ES_AUTOHSCROLL | TnbInplaceEdit::ES_RIGHT);
    EXPECT_EQ(box->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(box->document()->defaultTextOption().alignment(), Qt::AlignRight);
    const unsigned style = box->WindowStyle();
    box->SetFlat(false);
    box->SetBorderColor(clRed);
    EXPECT_EQ(box->WindowStyle(), style) << "the frame is only repainted";
}

TEST(InplaceEdit, TheFrameIsFlatInTheBorderColourOrSunken)
{
    TnbSideBar bar;
    TnbInplaceEdit *box = bar.InplaceEditor()->EditBox();
    box->SetBorderColor(clRed);
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb window = qRgb(255, 255, 255);
    box->PaintFrame(image);
    EXPECT_EQ(image.pixel(0, 0), red);
    EXPECT_EQ(image.pixel(19, 9), red);
    EXPECT_EQ(image.pixel(1, 1), window) << "the system border is covered";
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 0)) << "the inside is not touched";

    box->SetShowBorder(false);
    box->PaintFrame(image);
    EXPECT_EQ(image.pixel(0, 0), window);

    box->SetFlat(false);
    box->PaintFrame(image);
    EXPECT_EQ(image.pixel(0, 0), qRgb(128, 128, 128)) << "sunken: shadow above";
    EXPECT_EQ(image.pixel(19, 9), window) << "and highlight below";

    // The shown box paints the same frame round its text.
    box->SetFlat(true);
    box->SetShowBorder(true);
    box->resize(60, 30);
    box->move(0, 0);
    bar.resize(120, 100);
    box->show();
    const QImage shown = box->grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), red);
    EXPECT_EQ(shown.pixel(59, 29), red);
    EXPECT_EQ(shown.pixel(1, 15), window);
}
