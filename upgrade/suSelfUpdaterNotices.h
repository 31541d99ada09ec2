#pragma once

#include <QString>

// Texts the updater shows beyond the windows' messages: failures that stop an
// upgrade before anything is installed. They are messages 31 to 33 of the
// current language's table, in the order of this enumeration; the first two
// take a file name for their %s.
enum class TsuUpdaterNotice {
    TempFileFailed,   // a downloaded file cannot be written beside the program
    ChecksumMismatch, // a downloaded file does not match its listed checksum
    HelperFailed,     // the replacement helper cannot be written or started
};

QString suUpdaterNotice(TsuUpdaterNotice notice);
