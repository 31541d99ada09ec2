#pragma once

class QPlainTextEdit;

namespace platform {

// The height of a multi-line edit whose text area shows exactly `lines`
// whole lines of its font under the document's top margin, so that no part
// of a further line shows at its foot (the bottom margin then lies under
// the last line's descent, out of view).
int heightForWholeLines(const QPlainTextEdit *edit, int lines);

} // namespace platform
