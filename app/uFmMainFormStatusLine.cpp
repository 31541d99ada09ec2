// The main window's status line: the caption at the left, and from the right
// edge inward the credit LabelB, the clock PanelB and the record count PanelC.

#include "app/uFmMainForm.h"

#include "app/LinkLabel.h"
#include "app/WindowLook.h"

#include <QFrame>
#include <QLabel>

#include <algorithm>

namespace {

// Widths of the layout table; a panel is wider only when its text needs it.
constexpr int kCreditWidth = 144;
constexpr int kClockWidth = 129;
constexpr int kCountWidth = 120;
constexpr int kCaptionLeft = 4;
constexpr int kCaptionWidth = 380;

} // namespace

void TFmMainForm::BuildStatusLine()
{
    PanelA = new QFrame(Panel2);
    PanelA->setObjectName(QStringLiteral("PanelA"));
    PanelA->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelA->setGeometry(0, Panel2->height() - 18, 800, 18);
    look::setBackground(PanelA, palette().color(QPalette::Button));

    PanelACaption = new QLabel(QStringLiteral("准备就绪... ..."), PanelA);
    PanelACaption->setObjectName(QStringLiteral("PanelACaption"));
    PanelACaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    LabelB = new LinkLabel(QStringLiteral("    Kestrune设计  "), PanelA);
    LabelB->setObjectName(QStringLiteral("LabelB"));
    LabelB->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelB->resize(kCreditWidth, 0);

    PanelB = new QLabel(QStringLiteral("| 现在时间："), PanelA);
    PanelB->setObjectName(QStringLiteral("PanelB"));
    PanelB->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PanelB->resize(kClockWidth, 0);

    PanelC = new QLabel(QStringLiteral("| 总记录数："), PanelA);
    PanelC->setObjectName(QStringLiteral("PanelC"));
    PanelC->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PanelC->resize(kCountWidth, 0);

    LayOutStatusLine();

    connect(LabelB, &LinkLabel::pressed, this, &TFmMainForm::LabelBMouseDown);
    connect(LabelB, &LinkLabel::mouseMoved, this, &TFmMainForm::LabelBMouseMove);
    connect(LabelB, &LinkLabel::mouseLeft, this, &TFmMainForm::LabelBMouseLeave);
}

void TFmMainForm::LayOutStatusLine()
{
    // Right-aligned panels stand inside the line's bevel, right to left, each
    // against the one before it; the caption keeps what they leave.
    const QRect inside = PanelA->contentsRect();
    int right = inside.right() + 1;
    for (QLabel *panel : {static_cast<QLabel *>(LabelB), PanelB, PanelC}) {
        panel->setGeometry(right - panel->width(), inside.top(), panel->width(), inside.height());
        right = panel->x();
    }
    PanelACaption->setGeometry(kCaptionLeft, inside.top(), std::min(kCaptionWidth, right - kCaptionLeft),
                               inside.height());
}

void TFmMainForm::ShowStatusText(QLabel *panel, const QString &text)
{
    panel->setText(text);
    // A panel grows to the left when its text needs more room than the
    // layout gives it (a longer time of some locales, a count of millions)
    // and never shrinks back, so the line does not jump every second.
    const int needed = panel->fontMetrics().horizontalAdvance(text) + 2;
    if (needed <= panel->width())
        return;
    panel->resize(needed, panel->height());
    LayOutStatusLine();
}

QString TFmMainForm::RecordCountCaption(qint64 count)
{
    return QStringLiteral("| 总记录数：") + QString::number(count) + QStringLiteral(" 条");
}

void TFmMainForm::ShowClock(const QString &caption)
{
    ShowStatusText(PanelB, caption);
}
