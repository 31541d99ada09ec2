#pragma once

#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// What the three upgrade windows share: the dialog frame, the font and the
// way their texts become label captions.
namespace su {

// A fixed-size dialog with a caption and a close box but no other system
// buttons, the given client size, and the 8-point sans-serif font.
void setUpDialog(QWidget *window, const QString &objectName, QSize clientSize);

// Moves a window so that its client area is centred on its screen.
void centreOnScreen(QWidget *window);

// A plain-text label at a position; autoSized labels take the size of their
// text whenever setLabelText() sets it.
QLabel *makeLabel(QWidget *parent, const QString &objectName, int left, int top);

// Shows CR LF, a lone CR and LF alike as line breaks.
QString withLineBreaks(QString text);

// Sets a label's text and fits the label to it: a word-wrapped label keeps
// its width and takes the height of the wrapped text, any other label takes
// the size of its text.
void setLabelText(QLabel *label, const QString &text);

} // namespace su
