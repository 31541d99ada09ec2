#pragma once

#include <QString>

// Texts the updater shows beyond its message table: failures that stop an
// upgrade before anything is installed. Chosen by the current language of
// the message table (Chinese when it is Simplified or Traditional Chinese,
// English otherwise); %s is a file name.
enum class TsuUpdaterNotice {
    TempFileFailed,   // a downloaded file cannot be written beside the program
    ChecksumMismatch, // a downloaded file does not match its listed checksum
    HelperFailed,     // the replacement helper cannot be written or started
};

QString suUpdaterNotice(TsuUpdaterNotice notice);
