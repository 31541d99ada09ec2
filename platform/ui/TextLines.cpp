#include "platform/ui/TextLines.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace platform {

int heightForWholeLines(const QPlainTextEdit *edit, int lines)
{
    const int margin = int(edit->document()->documentMargin());
    return 2 * edit->frameWidth() + margin + lines * edit->fontMetrics().lineSpacing();
}

} // namespace platform
