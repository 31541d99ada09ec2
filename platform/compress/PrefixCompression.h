#pragma once

#include <QByteArray>

// Compression against a prefix (zstd): bytes that the data shares with the
// prefix, wherever they stand in it, cost a few bytes per run, so a page
// compressed against its former content is about the size of what changed.
// The reader must hold the same prefix.
namespace platform::compress {

// The frame of data compressed against prefix (which may be empty) at the
// given level (1 to 19); empty when the library fails.
QByteArray compressAgainst(const QByteArray &data, const QByteArray &prefix, int level);

// Decompresses a frame made by compressAgainst with the same prefix into
// exactly size bytes at out. False for a damaged frame, one made against
// other bytes that the library notices, or one of another size: nothing is
// written past out + size.
bool decompressAgainst(const char *frame, qint64 frameSize, const QByteArray &prefix, char *out, qint64 size);

// The most bytes a frame of size bytes of data can take.
qint64 frameBound(qint64 size);

} // namespace platform::compress
