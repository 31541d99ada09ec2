#include "navbar/nbInplaceEditor.h"

#include "navbar/nbSideBar.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/PopupMenu.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTextOption>

using namespace platform;

namespace {

// Where an edit box waits while no edit is open.
constexpr int ParkedTop = -1000;

ShiftState ModifierShift(Qt::KeyboardModifiers modifiers)
{
    return KeysToShiftState(KeyStateOf(Qt::NoButton, modifiers));
}

} // namespace

// ---- TnbInplaceEdit ------------------------------------------------------------------

TnbInplaceEdit::TnbInplaceEdit(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    // The box draws its own frame in the space of the system border.
    setFrameShape(QFrame::NoFrame);
    setViewportMargins(FrameWidth, FrameWidth, FrameWidth, FrameWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFillBackground(true);
    SetColor(FColor);
    setFont(FFont.toQFont());
    ApplyStyle();
}

unsigned TnbInplaceEdit::WindowStyle() const
{
    unsigned style = ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_MULTILINE;
    if (FWordWrap)
        style &= ~ES_AUTOHSCROLL;
    switch (FAlignment) {
    case taRightJustify:
        style |= ES_RIGHT;
        break;
    case taCenter:
        style |= ES_CENTER;
        break;
    default:
        style |= ES_LEFT;
        break;
    }
    return style;
}

void TnbInplaceEdit::ApplyStyle()
{
    const unsigned style = WindowStyle();
    setLineWrapMode(style & ES_AUTOHSCROLL ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment((style & ES_RIGHT)    ? Qt::AlignRight
                        : (style & ES_CENTER) ? Qt::AlignHCenter
                                              : Qt::AlignLeft);
    document()->setDefaultTextOption(option);
}

void TnbInplaceEdit::RecreateWnd()
{
    ApplyStyle();
    RedrawFrame();
}

void TnbInplaceEdit::RedrawFrame()
{
    update();
}

void TnbInplaceEdit::SetAlignment(platform::Alignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    RecreateWnd();
}

void TnbInplaceEdit::SetFlat(bool value)
{
    if (value == FFlat)
        return;
    FFlat = value;
    RedrawFrame();
}

void TnbInplaceEdit::SetShowBorder(bool value)
{
    if (value == FShowBorder)
        return;
    FShowBorder = value;
    RedrawFrame();
}

void TnbInplaceEdit::SetBorderColor(TColor value)
{
    if (value == FBorderColor)
        return;
    FBorderColor = value;
    if (FFlat)
        RedrawFrame();
}

void TnbInplaceEdit::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    RecreateWnd();
}

void TnbInplaceEdit::SetColor(TColor value)
{
    FColor = value;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, ToQColor(value));
    palette.setColor(QPalette::Window, ToQColor(value));
    setPalette(palette);
    RedrawFrame();
}

void TnbInplaceEdit::SetFont(const platform::Font &value)
{
    FFont = value;
    setFont(value.toQFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, ToQColor(value.color()));
    setPalette(palette);
}

void TnbInplaceEdit::PaintFrame(QImage &image) const
{
    Canvas canvas(image);
    const int w = image.width();
    const int h = image.height();
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);
    // Cover the system border with the box's colour first.
    canvas.setPen(Pen(FColor, 1));
    canvas.Rectangle({0, 0, w, h});
    canvas.Rectangle({1, 1, w - 1, h - 1});
    if (!FFlat) {
        Rect whole(0, 0, w, h);
        canvas.DrawEdge(whole, EDGE_SUNKEN, BF_RECT);
    } else {
        canvas.setPen(Pen(FShowBorder ? FBorderColor : FColor, 1));
        canvas.Rectangle({0, 0, w, h});
    }
}

bool TnbInplaceEdit::event(QEvent *event)
{
    const bool result = QTextEdit::event(event);
    // The box's own paint covers only the border round the text.
    if (event->type() == QEvent::Paint && width() > 0 && height() > 0) {
        QImage image(size(), QImage::Format_RGB32);
        image.fill(ToQColor(FColor));
        PaintFrame(image);
        QPainter painter(this);
        const QRegion border =
            QRegion(rect()) - QRegion(rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth));
        painter.setClipRegion(border);
        painter.drawImage(0, 0, image);
    }
    return result;
}

void TnbInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        key = VK_RETURN;
    else if (key == Qt::Key_Escape)
        key = VK_ESCAPE;
    if (OnKeyDown)
        OnKeyDown(this, key, ModifierShift(event->modifiers()));
    if (key == 0) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TnbInplaceEdit::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    RedrawFrame();
}

void TnbInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    RedrawFrame();
    // A menu that opens over the box or another program taking the screen does not
    // move the focus away from the box within its window.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (OnExit)
        OnExit(this);
}

void TnbInplaceEdit::contextMenuEvent(QContextMenuEvent *event)
{
    bool handled = false;
    // A mouse menu comes through the text area, a keyboard one to the box itself.
    const QPoint pos =
        event->reason() == QContextMenuEvent::Mouse ? viewport()->mapToParent(event->pos()) : event->pos();
    if (OnContextPopup)
        OnContextPopup(this, pos, handled);
    if (handled) {
        event->accept();
        return;
    }
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        FPopupMenu->Popup(event->globalPos());
        event->accept();
        return;
    }
    QTextEdit::contextMenuEvent(event);
}

void TnbInplaceEdit::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    RedrawFrame();
}

// ---- TnbInplaceEditor ----------------------------------------------------------------

TnbInplaceEditor::TnbInplaceEditor(TnbSideBar *sideBar)
    : FSideBar(sideBar), FEdit(new TnbInplaceEdit(sideBar))
{
    FEdit->hide();
    FEdit->move(0, ParkedTop);
    FEdit->OnKeyDown = [this](Persistent *, int &key, ShiftState shift) {
        if (shift & (ssShift | ssAlt | ssCtrl))
            return;
        if (key == TnbInplaceEdit::VK_RETURN) {
            EndEdit(false);
            key = 0;
        } else if (key == TnbInplaceEdit::VK_ESCAPE) {
            EndEdit(true);
            key = 0;
        }
    };
    FEdit->OnExit = [this](Persistent *) {
        if (FOpen)
            EndEdit(false);
    };
}

TnbInplaceEditor::~TnbInplaceEditor()
{
    FEdit->OnKeyDown = nullptr;
    FEdit->OnExit = nullptr;
    FEdit->OnContextPopup = nullptr;
    delete FEdit;
}

void TnbInplaceEditor::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbInplaceEditor *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    FEdit->SetFont(other->FEdit->Font());
    FEdit->SetFlat(other->FEdit->Flat());
    FEdit->SetBorderColor(other->FEdit->BorderColor());
    FEdit->SetShowBorder(other->FEdit->ShowBorder());
    if (OnChange)
        OnChange(this);
}

void TnbInplaceEditor::Open(Persistent *item, bool header, const QString &caption, const Rect &where)
{
    if (FOpen)
        EndEdit(false);
    FEditItem = item;
    FHeaderEdit = header;
    FEdit->SetText(caption);
    FEdit->setGeometry(where.ToQRect());
    FEdit->show();
    FEdit->raise();
    FOpen = true;
    FEdit->setFocus(Qt::OtherFocusReason);
}

void TnbInplaceEditor::BeginEdit(TnbHeader *header)
{
    if (header)
        Open(header, true, header->Caption(), header->CaptionRect);
}

void TnbInplaceEditor::BeginEdit(TnbButton *button)
{
    if (button)
        Open(button, false, button->Caption(), button->LabelRect);
}

void TnbInplaceEditor::EndEdit(bool cancel)
{
    if (!FOpen)
        return;
    FOpen = false;
    const bool hadFocus = FEdit->hasFocus();
    FEdit->move(FEdit->x(), ParkedTop);
    ApplyEdit(cancel);
    FEdit->hide();
    FEditItem = nullptr;
    // The box leaves; the keyboard stays with the bar rather than the next widget.
    if (hadFocus && FSideBar)
        FSideBar->setFocus(Qt::OtherFocusReason);
}

void TnbInplaceEditor::ApplyEdit(bool cancel)
{
    if (!FEditItem || cancel)
        return;
    const QString text = FEdit->Text();
    if (FHeaderEdit)
        static_cast<TnbHeader *>(FEditItem)->SetCaption(text);
    else
        static_cast<TnbButton *>(FEditItem)->SetCaption(text);
    if (OnChange)
        OnChange(this);
}

void TnbInplaceEditor::ForgetItem(Persistent *item)
{
    if (!FOpen || item != FEditItem)
        return;
    FEditItem = nullptr;
    EndEdit(true);
}
