#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The small pieces of look that the main window and its panels share.
namespace look {

// The windows' "新宋体" at a size in pixels.
QFont songFont(int pixels, bool bold = false);
// Fills the widget's background with `color`.
void setBackground(QWidget *widget, const QColor &color);
// The colour of the widget's own text (a label's, for instance).
void setTextColor(QWidget *widget, const QColor &color);

} // namespace look
