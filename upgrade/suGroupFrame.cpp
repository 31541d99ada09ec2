#include "upgrade/suGroupFrame.h"

#include <QPainter>

namespace su {

namespace {
constexpr int kCaptionLeft = 8;
} // namespace

GroupFrame::GroupFrame(QWidget *parent) : QGroupBox(parent) {}

void GroupFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    const QRect frame = rect().adjusted(0, lineY, -1, -1);
    // Etched: a shadow line with a light line one pixel to the lower right.
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.translated(1, 1).adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(frame.adjusted(0, 0, -1, -1));

    if (title().isEmpty())
        return;
    const QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(title()), metrics.height());
    p.fillRect(caption, palette().color(QPalette::Window));
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
}

} // namespace su
