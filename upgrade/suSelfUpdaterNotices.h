#pragma once

#include <QString>

// Texts the updater shows beyond the windows' messages: failures that stop an
// upgrade before anything is installed, and the reasons an information file
// is refused. They are messages 31 to 47 of the current language's table, in
// the order of this enumeration; those marked (%s) take one argument.
enum class TsuUpdaterNotice {
    TempFileFailed,     // a downloaded file cannot be written beside the program (%s: its name)
    ChecksumMismatch,   // a downloaded file does not match its listed checksum (%s: its name)
    HelperFailed,       // the replacement helper cannot be written or started
    SignatureMissing,   // the information file comes without a signature
    SignatureInvalid,   // its signature is not one of a configured key over its bytes
    InfoExpired,        // its expiry date has passed (%s: the date)
    ExpiryMissing,      // it carries no readable expiry date
    ChecksumMissing,    // a file of the list has no checksum (%s: its name)
    UpgradeDisabled,    // the build trusts no key, so online upgrade is switched off
    VersionUnreadable,  // the information file's version does not read (%s: the text)
    InfoTooLarge,       // the information file is larger than one may be
    SizeMissing,        // a file of the list has no size (%s: its name)
    SizeMismatch,       // a file is not of its listed size (%s: its name)
    FileMissing,        // a file of a signed release cannot be downloaded (%s: its name)
    RedirectRefused,    // the server redirected to an address that is not followed
    CredentialsRefused, // a password is asked for over plain http
    BadFileList,        // a file is listed twice or under a name that cannot be installed (%s)
};

QString suUpdaterNotice(TsuUpdaterNotice notice);
