#pragma once

#include <QFile>
#include <QString>

#include <memory>

namespace platform {

// Creates the file anew for writing: whatever had the name before is
// removed first (a link is removed itself, never followed), then the file is
// created exclusively (O_CREAT | O_EXCL | O_NOFOLLOW), so that nothing
// planted under the name between the two steps is ever written through.
// The file is readable and writable by its owner only (mode 0600), whatever
// the umask: another user must not rewrite a download between its check
// and its use. Nothing when the name cannot be freed (a folder) or the file
// not created.
std::unique_ptr<QFile> createFreshFile(const QString &path);

} // namespace platform
