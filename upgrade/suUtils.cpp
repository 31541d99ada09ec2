#include "upgrade/suUtils.h"

#include "platform/os/DefaultBrowser.h"
#include "platform/os/ExecutablePath.h"
#include "platform/os/Files.h"
#include "platform/os/Network.h"
#include "platform/os/Shell.h"

#include <QApplication>
#include <QFile>
#include <QIODevice>
#include <QMainWindow>
#include <QUrl>

#include <cmath>
#include <optional>

namespace {

constexpr qint64 kMsPerDay = 86400000;
// Days from 30 December 1899 to 1 January 1970.
constexpr qint64 kUnixEpochDays = 25569;

const QDate &dayZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}

// Trims what Delphi's Trim removes: every character up to the space.
QString trimmed(const QString &text)
{
    qsizetype start = 0, end = text.size();
    while (start < end && text.at(start).unicode() <= 32)
        ++start;
    while (end > start && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(start, end - start);
}

QString trimmedStart(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).unicode() <= 32)
        ++start;
    return text.mid(start);
}

std::optional<int> toInt(const QString &text)
{
    bool ok = false;
    const int value = trimmed(text).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<TDateTime> encodeDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1 || year > 9999)
        return std::nullopt;
    return static_cast<TDateTime>(dayZero().daysTo(date));
}

std::optional<TDateTime> encodeTime(int hours, int minutes, int seconds)
{
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return std::nullopt;
    return (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
}

qint64 toMs(TDateTime value)
{
    return static_cast<qint64>(std::llround(value * kMsPerDay));
}

// The instant of a TDateTime read as UTC.
QDateTime utcFromDateTime(TDateTime value)
{
    return QDateTime::fromMSecsSinceEpoch(toMs(value) - kUnixEpochDays * kMsPerDay, Qt::UTC);
}

// Takes the text up to the separator off the front of rest; the rest loses
// its leading blanks.
QString takeToken(QString &rest, QChar separator)
{
    const qsizetype at = rest.indexOf(separator);
    QString token;
    if (at < 0) {
        token = rest;
        rest.clear();
    } else {
        token = rest.left(at);
        rest = trimmedStart(rest.mid(at + 1));
    }
    return token;
}

int monthNumber(const QString &name)
{
    static const char *const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const QString upper = name.toUpper();
    for (int i = 0; i < 12; ++i) {
        if (upper == QLatin1String(months[i]))
            return i + 1;
    }
    return 0;
}

bool isWeekday(const QString &name)
{
    static const char *const days[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    const QString upper = name.toUpper();
    for (const char *day : days) {
        if (upper == QLatin1String(day))
            return true;
    }
    return false;
}

// The extension of a path: from the last '.' after the last '/', or empty.
QString fileExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < path.lastIndexOf(u'/'))
        return {};
    return path.mid(dot);
}

QString filePathPart(const QString &path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString fileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// A local date-time as milliseconds since the epoch, through the DOS
// date-time the design converts it to; nothing when DOS cannot hold it.
std::optional<qint64> dosTimeToMs(TDateTime value)
{
    const QDateTime local = suToQDateTime(value);
    const int year = local.date().year();
    if (!local.isValid() || year < 1980 || year > 2107)
        return std::nullopt;
    const QTime time = local.time();
    const QDateTime dos(local.date(), QTime(time.hour(), time.minute(), time.second() / 2 * 2));
    return dos.toMSecsSinceEpoch();
}

} // namespace

QDateTime suToQDateTime(TDateTime value)
{
    const qint64 ms = toMs(value);
    qint64 days = ms / kMsPerDay;
    qint64 rest = ms % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --days;
    }
    return QDateTime(dayZero().addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)));
}

TDateTime suFromQDateTime(const QDateTime &value)
{
    const QDateTime local = value.toLocalTime();
    return static_cast<TDateTime>(dayZero().daysTo(local.date())) +
           local.time().msecsSinceStartOfDay() / static_cast<double>(kMsPerDay);
}

bool CrackURL(const QString &url, QString &scheme, QString &host, int &port, QString &userName,
              QString &password, QString &path, QString &extra)
{
    scheme.clear();
    host.clear();
    port = 0;
    userName.clear();
    password.clear();
    path.clear();
    extra.clear();

    QString text = trimmed(url);
    if (!text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("http://"));
    const qsizetype schemeEnd = text.indexOf(QStringLiteral("://"));
    const QString foundScheme = text.left(schemeEnd).toLower();
    if (foundScheme.isEmpty() || foundScheme.size() > 32)
        return false;
    for (const QChar c : foundScheme) {
        if (!c.isLetterOrNumber() && c != u'+' && c != u'-' && c != u'.')
            return false;
    }

    const QString rest = text.mid(schemeEnd + 3);
    qsizetype authorityEnd = rest.size();
    for (const QChar stop : {u'/', u'?', u'#'}) {
        const qsizetype at = rest.indexOf(stop);
        if (at >= 0 && at < authorityEnd)
            authorityEnd = at;
    }
    const QString authority = rest.left(authorityEnd);
    const QString tail = rest.mid(authorityEnd);

    QString hostPort = authority;
    QString foundUser, foundPassword;
    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        hostPort = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(u':');
        foundUser = QUrl::fromPercentEncoding(userInfo.left(colon < 0 ? userInfo.size() : colon).toUtf8());
        if (colon >= 0)
            foundPassword = QUrl::fromPercentEncoding(userInfo.mid(colon + 1).toUtf8());
    }

    QString foundHost = hostPort;
    QString portText;
    if (hostPort.startsWith(u'[')) {
        const qsizetype close = hostPort.indexOf(u']');
        if (close < 0)
            return false;
        foundHost = hostPort.mid(1, close - 1);
        const QString after = hostPort.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(u':'))
                return false;
            portText = after.mid(1);
        }
    } else if (const qsizetype colon = hostPort.lastIndexOf(u':'); colon >= 0) {
        foundHost = hostPort.left(colon);
        portText = hostPort.mid(colon + 1);
    }

    int foundPort = 0;
    if (!portText.isEmpty()) {
        bool ok = false;
        foundPort = portText.toInt(&ok);
        if (!ok || foundPort < 0 || foundPort > 65535 || portText.startsWith(u'+') ||
            portText.startsWith(u'-'))
            return false;
    } else if (foundScheme == QStringLiteral("http")) {
        foundPort = 80;
    } else if (foundScheme == QStringLiteral("https")) {
        foundPort = 443;
    } else if (foundScheme == QStringLiteral("ftp")) {
        foundPort = 21;
    } else if (foundScheme == QStringLiteral("gopher")) {
        foundPort = 70;
    }

    if (foundHost.isEmpty() && foundScheme != QStringLiteral("file"))
        return false;

    qsizetype extraStart = tail.size();
    for (const QChar stop : {u'?', u'#'}) {
        const qsizetype index = tail.indexOf(stop);
        if (index >= 0 && index < extraStart)
            extraStart = index;
    }
    const QString foundPath = tail.left(extraStart);
    const QString foundExtra = tail.mid(extraStart);

    if (foundHost.size() > 256 || foundUser.size() > 128 || foundPassword.size() > 128 ||
        foundPath.size() > 2048 || foundExtra.size() > 2048)
        return false;

    scheme = foundScheme;
    host = foundHost;
    port = foundPort;
    userName = foundUser;
    password = foundPassword;
    path = foundPath;
    extra = foundExtra;
    return true;
}

QString HostOfURL(const QString &url)
{
    QString scheme, host, user, password, path, extra;
    int port = 0;
    if (!CrackURL(url, scheme, host, port, user, password, path, extra))
        return {};
    return host;
}

QString FileNameOfURL(const QString &url)
{
    QString text = url;
    text.replace(u'/', u'\\');
    const qsizetype cut = std::max(text.lastIndexOf(u'\\'), text.lastIndexOf(u':'));
    return text.mid(cut + 1);
}

bool IsOnlineAddress(const QString &lastAddress)
{
    return !lastAddress.isEmpty() && lastAddress != QStringLiteral("127.0.0.1");
}

bool IsOnline()
{
    const QStringList addresses = platform::hostAddresses();
    return !addresses.isEmpty() && IsOnlineAddress(addresses.last());
}

double ParseGMTOffset(const QString &text)
{
    const QString offset = trimmed(text).left(5);
    if (offset.isEmpty() || (offset.at(0) != u'+' && offset.at(0) != u'-'))
        return 0;
    const std::optional<int> hours = toInt(offset.mid(1, 2));
    const std::optional<int> minutes = toInt(offset.mid(3, 2));
    if (!hours || !minutes || offset.mid(1, 2).size() != 2 || offset.mid(3, 2).size() != 2)
        return 0;
    const std::optional<TDateTime> time = encodeTime(*hours, *minutes, 0);
    if (!time)
        return 0;
    return offset.at(0) == u'-' ? -*time : *time;
}

TDateTime ParseHTTPDate(const QString &text)
{
    QString rest = trimmed(text);
    if (rest.isEmpty())
        return 0;

    if (isWeekday(rest.left(3))) {
        const qsizetype space = rest.indexOf(u' ');
        rest = space < 0 ? QString() : trimmedStart(rest.mid(space + 1));
    }

    const qsizetype firstSpace = rest.indexOf(u' ');
    const qsizetype dash = rest.indexOf(u'-');
    const QChar separator = dash >= 1 && (firstSpace < 0 || dash < firstSpace) ? u'-' : u' ';

    int day = 1, month = 0;
    QString probe = rest;
    const bool monthFirst = monthNumber(takeToken(probe, separator)) != 0;
    const auto readDay = [&] { day = toInt(takeToken(rest, separator)).value_or(1); };
    const auto readMonth = [&] { month = monthNumber(takeToken(rest, separator)); };
    if (monthFirst) {
        readMonth();
        readDay();
    } else {
        readDay();
        readMonth();
    }

    QString timeText;
    QString yearText = takeToken(rest, u' ');
    std::optional<int> year = toInt(yearText);
    if (!year) {
        // asctime: the time comes before the year, which ends the text.
        timeText = yearText;
        year = toInt(rest);
        rest.clear();
    }
    if (!year)
        return 0;
    if (*year < 80)
        *year += 2000;
    else if (*year < 100)
        *year += 1900;

    std::optional<TDateTime> result = encodeDate(*year, month, day);
    if (!result)
        return 0;

    if (timeText.isEmpty() && rest.contains(u':'))
        timeText = takeToken(rest, u' ');
    if (!timeText.isEmpty()) {
        const QStringList parts = timeText.split(u':');
        int values[3] = {0, 0, 0};
        for (qsizetype i = 0; i < parts.size() && i < 3; ++i) {
            const std::optional<int> value = toInt(parts.at(i));
            if (!value)
                return 0;
            values[i] = *value;
        }
        const std::optional<TDateTime> time = encodeTime(values[0], values[1], values[2]);
        if (!time)
            return 0;
        *result += *time;
    }

    if (trimmed(rest).size() > 4)
        *result -= ParseGMTOffset(rest);

    return suFromQDateTime(utcFromDateTime(*result));
}

void SplitCommandLine(const QString &command, QString &program, QString &parameters)
{
    program.clear();
    parameters.clear();
    QString text = trimmed(command);
    if (text.isEmpty())
        return;

    const qsizetype firstQuote = text.indexOf(u'"');
    const qsizetype secondQuote = firstQuote < 0 ? -1 : text.indexOf(u'"', firstQuote + 1);
    if (secondQuote >= 0) {
        if (firstQuote == 0) {
            program = text.mid(1, secondQuote - 1);
            parameters = trimmed(text.mid(secondQuote + 1));
            for (int removed = 0; removed < 2; ++removed) {
                const qsizetype quote = parameters.indexOf(u'"');
                if (quote < 0)
                    break;
                parameters.remove(quote, 1);
            }
        } else {
            program = text.left(firstQuote - 1);
            parameters = text.mid(firstQuote);
            parameters.remove(secondQuote - firstQuote, 1);
            parameters.remove(0, 1);
        }
    } else {
        const bool commandHasExtension = !fileExtension(text).isEmpty();
        for (const QString &separator : {QStringLiteral(" -"), QStringLiteral(" /"), QStringLiteral(" \\"),
                                         QStringLiteral(","), QStringLiteral(" %")}) {
            if (!parameters.isEmpty())
                break;
            const qsizetype at = text.indexOf(separator);
            if (at < 0)
                continue;
            program = text.left(at);
            parameters = separator == QStringLiteral(",") ? text.mid(at + 1) : text.mid(at);
            if (commandHasExtension && fileExtension(program).isEmpty()) {
                program.clear();
                parameters.clear();
            }
        }
        if (program.isEmpty() && parameters.isEmpty())
            program = text;
    }

    if (fileExtension(program).toUpper() == QStringLiteral(".DLL") &&
        text.toUpper().contains(QStringLiteral("RUNDLL"))) {
        const QString name = fileNamePart(text);
        const qsizetype space = name.indexOf(u' ');
        program = filePathPart(text) + (space < 0 ? name : name.left(space));
        parameters = space < 0 ? QString() : name.mid(space + 1);
    }

    program = trimmed(program);
    parameters = trimmed(parameters);
}

QString GetDefaultBrowser(const QString &extension)
{
    if (extension.isEmpty() || extension == QStringLiteral("."))
        return {};
    const QString mimeType = platform::mimeTypeOfExtension(extension);
    if (mimeType.isEmpty())
        return {};
    const QString command = platform::defaultHandlerCommand(mimeType);
    if (command.isEmpty())
        return {};
    QString program, parameters;
    SplitCommandLine(command, program, parameters);
    return program;
}

void OpenURL(const QString &url, bool useDefaultBrowser)
{
    QString target = url;
    if (!target.contains(QStringLiteral("://")))
        target.prepend(QStringLiteral("http://"));
    if (useDefaultBrowser) {
        const QString browser = GetDefaultBrowser(QStringLiteral(".html"));
        if (!browser.isEmpty()) {
            platform::startDetached(browser, {target});
            return;
        }
    }
    platform::shellOpen(target);
}

QString GetTempFolder()
{
    const QString folder = platform::tempFolder();
    if (platform::isDirectory(folder))
        return folder;
    return platform::executableFolder();
}

bool SetFileDates(const QString &path, TDateTime creation, TDateTime lastAccess, TDateTime lastWrite)
{
    // Linux keeps no settable creation time; the value is converted only to
    // keep the same rule for all three.
    if (creation != -1)
        (void)dosTimeToMs(creation);
    const std::optional<qint64> access = lastAccess != -1 ? dosTimeToMs(lastAccess) : std::nullopt;
    const std::optional<qint64> write = lastWrite != -1 ? dosTimeToMs(lastWrite) : std::nullopt;
    return platform::setFileTimes(path, access, write);
}

qint64 GetFileSize64(const QString &path)
{
    return platform::fileSize64(path);
}

bool ExtractResourceToStream(const QString &name, const QString &type, QIODevice *stream)
{
    if (!stream || name.isEmpty() || type.isEmpty())
        return false;
    QFile resource(QStringLiteral(":/") + type + u'/' + name);
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = resource.readAll();
    if (bytes.isEmpty())
        return false;
    if (!stream->isOpen() && !stream->open(QIODevice::WriteOnly))
        return false;
    if (!stream->isSequential() && !stream->seek(stream->size()))
        return false;
    return stream->write(bytes) == bytes.size();
}

void CloseApplication()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QWidget *mainWindow = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMainWindow *>(widget)) {
                mainWindow = widget;
                break;
            }
        }
        // A main form that is a plain window closes with the others, so that
        // its close handling (closing the database) runs before the end.
        if (mainWindow)
            mainWindow->close();
        else
            QApplication::closeAllWindows();
    }
    QCoreApplication::quit();
}
