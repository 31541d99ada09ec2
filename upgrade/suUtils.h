#pragma once

#include <QDateTime>
#include <QString>

class QIODevice;

// A date-time as the upgrade components keep it: days since 30 December
// 1899, the fraction being the time of day. 0 means "unknown".
using TDateTime = double;

// Converts between TDateTime and QDateTime; both sides are local time.
QDateTime suToQDateTime(TDateTime value);
TDateTime suFromQDateTime(const QDateTime &value);

// Splits a URL into its parts; "http://" is put in front when "://" is
// missing. Fails when a part is longer than the client's fixed buffers
// allow (scheme 32, host 256, user name and password 128 each, path and
// extra part 2048 characters), when the port is not a number up to 65535,
// or when a network URL has no host. The user name and password come out
// unescaped; the path and the extra part ("?query" or "#fragment") stay as
// written, so that escaped reserved characters keep their meaning.
bool CrackURL(const QString &url, QString &scheme, QString &host, int &port, QString &userName,
              QString &password, QString &path, QString &extra);

// The host part of a URL; empty when it cannot be split.
QString HostOfURL(const QString &url);

// The text after the last '/', '\' or ':' of a URL ("" for a URL ending in '/').
QString FileNameOfURL(const QString &url);

// Whether the machine looks connected: the last IPv4 address of its own host
// name exists and is not 127.0.0.1.
bool IsOnline();
// The rule behind IsOnline for one address text.
bool IsOnlineAddress(const QString &lastAddress);

// Reads an HTTP date in any of the three forms of HTTP/1.1 (RFC 1123,
// RFC 850 with a two-digit year, asctime), an optional "+HHMM"/"-HHMM"
// offset after the time, and returns it as local time; 0 when it cannot be
// read. Two-digit years below 80 are 20xx, 80 to 99 are 19xx.
TDateTime ParseHTTPDate(const QString &text);

// "+HHMM" or "-HHMM" as a fraction of a day (negative for '-'); 0 otherwise.
double ParseGMTOffset(const QString &text);

// The program that opens files of the extension (".html") by default, from
// the desktop's default handler; empty when there is none.
QString GetDefaultBrowser(const QString &extension);

// Splits a registered command line into the program and its parameters.
void SplitCommandLine(const QString &command, QString &program, QString &parameters);

// Opens a URL ("http://" is put in front when "://" is missing), in the
// default browser when asked and one is known (the URL is its only
// parameter), otherwise with the desktop's handler for the URL.
void OpenURL(const QString &url, bool useDefaultBrowser);

// The folder for temporary files with a trailing '/'; the executable's
// folder when that folder does not exist.
QString GetTempFolder();

// Sets the times of an existing file; -1 leaves a time as it is. Values are
// local date-times, kept to DOS precision (two seconds, years 1980 to 2107;
// a value outside that range leaves the time as it is). Linux keeps no
// settable creation time, so that value is only checked. Returns whether the
// file could be opened for writing and its times written.
bool SetFileDates(const QString &path, TDateTime creation, TDateTime lastAccess, TDateTime lastWrite);

// Size of a file in bytes; -1 when it cannot be examined.
qint64 GetFileSize64(const QString &path);

// Appends the compiled-in resource ":/<type>/<name>" to the stream. False
// when there is no stream, no such resource, the resource is empty or the
// stream takes fewer bytes.
bool ExtractResourceToStream(const QString &name, const QString &type, QIODevice *stream);

// Closes the application's main window (the first top-level QMainWindow, or
// every window when none is a QMainWindow), then ends the application's
// event loop.
void CloseApplication();
