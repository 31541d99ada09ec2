#include "upgrade/suHTTP.h"

#include "platform/net/HttpRequest.h"
#include "platform/os/FreshFile.h"

#include <QBuffer>
#include <QFile>
#include <QUrl>

#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>

namespace net = platform::net;

namespace {

// Header queries go through one buffer of this size; a longer value counts
// as absent, as the query fails.
constexpr qsizetype kHeaderBuffer = 4096;
// The announced length is not trusted with more memory than this when the
// memory stream is sized in advance; a larger body still grows the stream.
constexpr qint64 kMaxPresize = 64 * 1024 * 1024;

quint32 tickCount()
{
    using namespace std::chrono;
    return static_cast<quint32>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Cuts a UTF-8 text to at most limit bytes without splitting a character.
QByteArray utf8Within(const QString &text, qsizetype limit)
{
    QByteArray out;
    for (const QChar &c : text) {
        if (c.isLowSurrogate())
            continue;
        const qsizetype index = &c - text.constData();
        const QString character =
            c.isHighSurrogate() && index + 1 < text.size() ? text.mid(index, 2) : QString(c);
        const QByteArray bytes = character.toUtf8();
        if (out.size() + bytes.size() > limit)
            break;
        out += bytes;
    }
    return out;
}

} // namespace

TsuLoginComponent::TsuLoginComponent(QObject *parent) : QObject(parent) {}

QByteArray TsuLoginComponent::EncodeLoginInfo(const QString &userName, const QString &password)
{
    const QByteArray user = utf8Within(userName, 254);
    const QByteArray pass = utf8Within(password, 254 - user.size());
    const auto total = static_cast<quint8>(user.size() + pass.size() + 1);
    const quint8 mask = total ^ LoginInfoKey;
    QByteArray out;
    out.reserve(total + 1);
    out += static_cast<char>(total);
    out += static_cast<char>(static_cast<quint8>(user.size()) ^ mask);
    for (const char c : user + pass)
        out += static_cast<char>(static_cast<quint8>(c) ^ mask);
    return out;
}

bool TsuLoginComponent::DecodeLoginInfo(const QByteArray &data, QString &userName, QString &password)
{
    userName.clear();
    password.clear();
    if (data.isEmpty())
        return false;
    const auto total = static_cast<quint8>(data.at(0));
    if (total == 0 || data.size() < total + 1)
        return false;
    const quint8 mask = total ^ LoginInfoKey;
    QByteArray plain;
    for (int i = 1; i <= total; ++i)
        plain += static_cast<char>(static_cast<quint8>(data.at(i)) ^ mask);
    const auto userLength = static_cast<quint8>(plain.at(0));
    if (userLength > total - 1)
        return false;
    userName = QString::fromUtf8(plain.mid(1, userLength));
    password = QString::fromUtf8(plain.mid(1 + userLength, total - 1 - userLength));
    return true;
}

TsuTransferStatistics suTransferStatistics(qint64 fileSize, qint64 bytesRead, quint32 elapsedMs)
{
    TsuTransferStatistics s;
    // nearbyint rounds to nearest with ties to even in the default mode.
    if (fileSize != 0)
        s.PercentsDone = static_cast<quint8>(
            static_cast<qint64>(std::nearbyint(static_cast<double>(bytesRead) * 100.0 / fileSize)) & 0xFF);
    s.ElapsedTime = elapsedMs / 1000u;
    if (bytesRead != 0) {
        const double total = static_cast<double>(fileSize) / static_cast<double>(bytesRead) * s.ElapsedTime;
        s.EstimatedTimeLeft = static_cast<int>(std::nearbyint(total)) - static_cast<int>(s.ElapsedTime);
    }
    const double kilobytes = static_cast<double>(bytesRead) / 1024.0;
    s.TransferRate = static_cast<float>(s.ElapsedTime == 0 ? kilobytes : kilobytes / s.ElapsedTime);
    return s;
}

QString suStatusText(int statusCode)
{
    switch (statusCode) {
    case 10:
        return QStringLiteral("Resolving name");
    case 11:
        return QStringLiteral("Name resolved");
    case 20:
        return QStringLiteral("Connecting to server");
    case 21:
        return QStringLiteral("Connected");
    case 30:
        return QStringLiteral("Sending Request");
    case 31:
        return QStringLiteral("Request sent");
    case 40:
        return QStringLiteral("Receiving response");
    case 41:
        return QStringLiteral("Response received");
    case 42:
        return QStringLiteral("CTL Response received");
    case 43:
        return QStringLiteral("Prefetch");
    case 50:
        return QStringLiteral("Closing connection");
    case 51:
        return QStringLiteral("Connection closed");
    case 60:
        return QStringLiteral("Handle created");
    case 70:
        return QStringLiteral("Handle closing");
    case 100:
        return QStringLiteral("Request complete");
    case 110:
        return QStringLiteral("Redirect");
    case 120:
        return QStringLiteral("Intermediate response");
    case 200:
        return QStringLiteral("State change");
    default:
        return QStringLiteral("Unknown status");
    }
}

// One transfer. The worker runs it and owns everything in it; the component
// is touched only on the GUI thread while the worker waits, and never once
// the transfer has been abandoned, so an abandoned worker can finish on its
// own after the component has gone.
class TsuCustomHTTP::Transfer
{
public:
    struct Settings
    {
        QString url, userName, password, acceptTypes, userAgent, destinationFile, postData, referer,
            certificateAuthorities;
        QStringList extraHeaders;
        TsuHTTPRange range;
        TsuHTTPTimeouts timeouts;
        TsuHTTPProxy proxy;
        int bufferSize = 4096;
        qint64 maxBytes = 0;
        bool keepPartialFile = false;
        TsuRequestMethod method = rmAutomatic;
        bool useCache = true, useCookies = true, workOffline = false;
        bool upload = false;
        QByteArray uploadData;
        std::function<void(QObject *, int, const QString &)> onStatusText;
        std::function<void(QObject *, const QString &)> onRedirected;
    };

    Transfer(TsuCustomHTTP *owner, Settings settings) : m_owner(owner), m_cfg(std::move(settings)) {}

    bool ranged() const { return m_cfg.range.StartRange != 0 || m_cfg.range.EndRange != 0; }
    // The part asked for arrived: 206 only counts when a range was sent.
    bool partialAnswer() const { return m_st.StatusCode == 206 && ranged(); }

    // Worker side.
    void run();
    void runSteps();
    // GUI side.
    void raiseFailed();
    void complete();
    void abandon();
    bool abandoned() const { return m_abandoned.load(); }
    // From the start until the completion step begins (or the transfer is
    // given up). A fresh worker only runs once it wakes, so this, not the
    // worker's state, tells whether a transfer is under way.
    bool active() const { return !m_abandoned && !m_completing; }

private:
    bool sync(const std::function<void(TsuCustomHTTP *)> &step);
    void status(int code, const QByteArray &info);
    std::optional<QString> query(const QByteArray &name) const;
    void closeHandles();
    bool sendRequest(const QString &verb);
    void readBody();

    TsuCustomHTTP *m_owner;
    const Settings m_cfg;
    TsuHTTPResult m_st;
    std::atomic<bool> m_abandoned{false};
    std::atomic<bool> m_completing{false};
    // The body continues a file: a 206 answer to a request with a range.
    bool m_appending = false;

    std::mutex m_handleLock; // the request may be aborted from the GUI thread
    std::shared_ptr<net::HttpRequest> m_request;
    std::unique_ptr<QFile> m_localFile;
    std::unique_ptr<QIODevice> m_stream;
    bool m_streamIsFile = false;
    // The body ended with a read error (a broken or stalled connection)
    // rather than at its end.
    bool m_bodyBroken = false;
    QByteArray m_buffer;
};

bool TsuCustomHTTP::Transfer::sync(const std::function<void(TsuCustomHTTP *)> &step)
{
    if (m_abandoned)
        return false;
    const auto body = [this, &step] {
        if (m_abandoned)
            return;
        m_owner->m_state = m_st;
        step(m_owner);
    };
    if (TsuEventThread *worker = TsuEventThread::Current())
        worker->Synchronize(body);
    else
        body();
    return !m_abandoned;
}

void TsuCustomHTTP::Transfer::status(int code, const QByteArray &info)
{
    if (m_abandoned)
        return;
    if (m_cfg.onStatusText)
        m_cfg.onStatusText(m_owner, code, suStatusText(code));
    if (code == net::StatusRedirect && m_cfg.onRedirected && !m_abandoned)
        m_cfg.onRedirected(m_owner, QString::fromUtf8(info));
}

std::optional<QString> TsuCustomHTTP::Transfer::query(const QByteArray &name) const
{
    const std::optional<QByteArray> value = m_request->header(name);
    if (!value || value->size() >= kHeaderBuffer)
        return std::nullopt;
    return QString::fromLatin1(*value);
}

void TsuCustomHTTP::Transfer::abandon()
{
    m_abandoned = true;
    std::lock_guard lock(m_handleLock);
    if (m_request)
        m_request->abort();
}

void TsuCustomHTTP::Transfer::closeHandles()
{
    std::shared_ptr<net::HttpRequest> request;
    {
        std::lock_guard lock(m_handleLock);
        request = std::move(m_request);
    }
    if (request)
        request->close();
    m_localFile.reset();
}

bool TsuCustomHTTP::Transfer::sendRequest(const QString &verb)
{
    static const QByteArray formHeader =
        QByteArrayLiteral("Content-Type: application/x-www-form-urlencoded\r\n");
    net::HttpRequest &request = *m_request;
    if (m_cfg.upload) {
        m_st.FileSize = m_cfg.uploadData.size();
        if (!request.beginUpload(formHeader, m_st.FileSize))
            return false;
        qint64 sent = 0;
        m_st.BytesRead = 0;
        while (sent < m_st.FileSize) {
            const qint64 chunk = std::min<qint64>(m_cfg.bufferSize, m_st.FileSize - sent);
            const qint64 written = request.write(m_cfg.uploadData.constData() + sent, chunk);
            if (written <= 0)
                break;
            sent += written;
            m_st.BytesRead += written;
            const bool alive = sync([this](TsuCustomHTTP *owner) {
                owner->m_state.Statistics = m_st.Statistics =
                    suTransferStatistics(m_st.FileSize, m_st.BytesRead, tickCount() - m_st.StartTick);
                if (owner->OnUploadProgress) {
                    const TsuTransferStatistics &s = m_st.Statistics;
                    owner->OnUploadProgress(owner, m_st.FileSize, m_st.BytesRead, s.ElapsedTime,
                                            s.EstimatedTimeLeft, s.PercentsDone, s.TransferRate);
                }
            });
            if (!alive)
                return false;
        }
        return request.endUpload();
    }
    if (verb == QStringLiteral("POST"))
        return request.send(formHeader, m_cfg.postData.toUtf8());
    return request.send();
}

void TsuCustomHTTP::Transfer::run()
{
    runSteps();
    {
        std::lock_guard lock(m_handleLock);
        if (m_request) {
            m_st.Stalled = m_request->stalled();
            m_st.RedirectRefused = m_request->redirectRefused();
        }
    }
    if (m_st.RedirectRefused)
        m_st.Succeeded = false;
    // The handles are closed here rather than in the completion step, so
    // that their closing notifications, like every status text, come from
    // the worker.
    closeHandles();
}

void TsuCustomHTTP::Transfer::runSteps()
{
    // 1. Start values.
    m_st.StatusCode = -1;
    m_st.ContentType.clear();
    m_st.StartTick = tickCount();
    m_st.CanContinue = true;

    // 2. The parts of the URL; credentials in the URL win over the properties.
    QString scheme, host, userName, password, path, extra;
    int port = 0;
    const bool cracked = CrackURL(m_cfg.url, scheme, host, port, userName, password, path, extra);
    if (userName.isEmpty())
        userName = m_cfg.userName;
    if (password.isEmpty())
        password = m_cfg.password;
    // Credentials go out only where nobody on the way can read them.
    const bool secure = scheme == QStringLiteral("https");
    if (!secure) {
        userName.clear();
        password.clear();
    }

    if (cracked && scheme == QStringLiteral("file")) {
        // 3. A local file: no network at all.
        m_localFile = std::make_unique<QFile>(QUrl::fromPercentEncoding(path.toUtf8()));
        if (m_localFile->open(QIODevice::ReadOnly)) {
            m_st.FileSize = m_localFile->size();
            m_st.StatusCode = 200;
            m_st.Succeeded = true;
        } else {
            m_st.StatusCode = 404;
            m_st.Succeeded = false;
        }
    } else {
        auto request = std::make_shared<net::HttpRequest>();
        {
            std::lock_guard lock(m_handleLock);
            m_request = request;
            if (m_abandoned)
                request->abort();
        }
        request->setStatusCallback([this](int code, const QByteArray &info) { status(code, info); });

        // 4. The session.
        net::SessionSettings session;
        session.userAgent = m_cfg.userAgent;
        switch (m_cfg.proxy.AccessType) {
        case atPreconfig:
            session.proxyMode = net::ProxyMode::Preconfigured;
            break;
        case atDirect:
            session.proxyMode = net::ProxyMode::Direct;
            break;
        case atUseProxy:
            session.proxyMode = net::ProxyMode::Named;
            session.proxy = m_cfg.proxy.ProxyServer + u':' + QString::number(m_cfg.proxy.ProxyPort);
            session.proxyBypass = m_cfg.proxy.ProxyBypass;
            break;
        }
        session.offline = m_cfg.workOffline;
        session.certificateAuthorities = m_cfg.certificateAuthorities;
        m_st.Succeeded = request->openSession(session);
        if (!m_st.Succeeded)
            return;

        // 5. The connection.
        m_st.Succeeded = cracked && request->connect(host, port, userName, password);
        if (!m_st.Succeeded)
            return;

        // 6. The request.
        QString verb;
        if (m_cfg.method == rmGet)
            verb = QStringLiteral("GET");
        else if (m_cfg.method == rmPost || !m_cfg.postData.isEmpty() || m_cfg.upload)
            verb = QStringLiteral("POST");
        else
            verb = QStringLiteral("GET");
        unsigned flags = 0;
        if (!m_cfg.useCookies)
            flags |= net::FlagNoCookies;
        if (!m_cfg.useCache)
            flags |= net::FlagReload | net::FlagNoCacheWrite | net::FlagPragmaNoCache;
        if (secure)
            flags |= net::FlagSecure;
        m_st.Succeeded = request->openRequest(verb, path + extra, m_cfg.referer, m_cfg.acceptTypes, flags);
        if (!m_st.Succeeded)
            return;

        // 7. Timeouts.
        if (m_cfg.timeouts.ConnectTimeout)
            request->setConnectTimeout(m_cfg.timeouts.ConnectTimeout);
        if (m_cfg.timeouts.ReceiveTimeout)
            request->setReceiveTimeout(m_cfg.timeouts.ReceiveTimeout);
        if (m_cfg.timeouts.SendTimeout)
            request->setSendTimeout(m_cfg.timeouts.SendTimeout);

        // 8. Extra headers and the range line.
        QByteArray block;
        for (const QString &line : m_cfg.extraHeaders)
            block += line.toUtf8() + "\r\n";
        if (m_cfg.range.StartRange != 0 || m_cfg.range.EndRange != 0) {
            block += "RANGE: bytes=" + QByteArray::number(m_cfg.range.StartRange) + '-';
            if (m_cfg.range.EndRange != 0)
                block += QByteArray::number(m_cfg.range.EndRange);
            block += "\r\n";
        }
        if (!block.isEmpty() && !request->addHeaders(block)) {
            m_st.Succeeded = false;
            return;
        }

        // 9 - 11. Send, and send again while an authentication handler asks to.
        do {
            m_st.TryAgain = false;
            m_st.Succeeded = sendRequest(verb);
            if (!m_st.Succeeded || m_abandoned || request->redirectRefused())
                return;

            const int statusCode = request->statusCode();
            if (statusCode >= 0)
                m_st.StatusCode = statusCode;

            if (m_st.StatusCode == 401 && secure) {
                QString realm;
                if (const std::optional<QString> challenge = query("WWW-Authenticate")) {
                    const qsizetype start = challenge->indexOf(QStringLiteral("=\""));
                    if (start >= 0)
                        realm = challenge->mid(start + 2, challenge->size() - (start + 2) - 1);
                }
                bool asked = false;
                QString user, pass;
                const bool alive = sync([&](TsuCustomHTTP *owner) {
                    if (!owner->OnPasswordRequired)
                        return;
                    asked = true;
                    owner->OnPasswordRequired(owner, realm, owner->m_state.TryAgain);
                    if (m_abandoned)
                        return;
                    m_st.TryAgain = owner->m_state.TryAgain;
                    user = owner->HTTPUsername();
                    pass = owner->HTTPPassword();
                });
                if (!alive)
                    return;
                if (asked)
                    request->setCredentials(user, pass);
            } else if (m_st.StatusCode == 407) {
                bool asked = false;
                const bool alive = sync([&](TsuCustomHTTP *owner) {
                    if (!owner->OnProxyAuthenticationRequest)
                        return;
                    asked = true;
                    TsuHTTPResult &state = owner->m_state;
                    owner->OnProxyAuthenticationRequest(owner, state.ProxyUsername, state.ProxyPassword,
                                                        state.TryAgain);
                    if (m_abandoned)
                        return;
                    m_st.TryAgain = state.TryAgain;
                    m_st.ProxyUsername = state.ProxyUsername;
                    m_st.ProxyPassword = state.ProxyPassword;
                });
                if (!alive)
                    return;
                if (asked)
                    request->setProxyCredentials(m_st.ProxyUsername, m_st.ProxyPassword);
            }
        } while (m_st.TryAgain);

        // 12. The response headers.
        if (const std::optional<QString> type = query("Content-Type"))
            m_st.ContentType = *type;
        const std::optional<QString> length = query("Content-Length");
        m_st.FileSize = length ? std::max<qint64>(length->trimmed().toLongLong(), 0) : 0;
        m_st.Succeeded = length.has_value();
        const QByteArray raw = request->rawHeaders();
        m_st.RawHeaders = raw.size() < kHeaderBuffer ? QString::fromLatin1(raw) : QString();
        m_st.ContentLanguage = query("Content-Language").value_or(QString());
        m_st.ContentEncoding = query("Content-Encoding").value_or(QString());
        m_st.Location = query("Location").value_or(QString());
        m_st.ETag = query("ETag").value_or(QString());
        m_st.LastModifiedText = query("Last-Modified").value_or(QString());
        m_st.ContentRange = query("Content-Range").value_or(QString());
        const auto date = [this](const QByteArray &name) {
            const std::optional<QString> text = query(name);
            return text ? ParseHTTPDate(*text) : TDateTime(0);
        };
        m_st.ResponseDate = date("Date");
        m_st.LastModified = date("Last-Modified");
        m_st.Expires = date("Expires");
        const bool alive = sync([this](TsuCustomHTTP *owner) {
            if (!owner->OnResponseHeaders)
                return;
            owner->OnResponseHeaders(owner, m_st.RawHeaders, m_st.ContentType, m_st.ContentLanguage,
                                     m_st.ContentEncoding, m_st.Location, m_st.FileSize, m_st.ResponseDate,
                                     m_st.LastModified, m_st.Expires, owner->m_state.CanContinue);
            if (!m_abandoned)
                m_st.CanContinue = owner->m_state.CanContinue;
        });
        if (!alive || !m_st.CanContinue)
            return;
    }
    // A body announced as longer than allowed is not read at all.
    if (m_cfg.maxBytes > 0 && m_st.FileSize > m_cfg.maxBytes) {
        m_st.ExceededLimit = true;
        m_st.Succeeded = false;
        return;
    }

    // 13. The output: the destination file when the length is known,
    // otherwise memory. An error page never goes into the file: it would
    // take the place of a part kept to be continued.
    if (m_st.Succeeded && !m_cfg.destinationFile.isEmpty() && (m_st.StatusCode == 200 || partialAnswer())) {
        // A 206 continues the file from where the range starts; any other
        // answer (a 200 that ignored the range too) writes it from the start.
        m_appending = partialAnswer();
        std::unique_ptr<QFile> file;
        if (m_appending) {
            // What lies past the start of the range (a part written before
            // a cut that was not kept in order) gives way to what comes.
            file = std::make_unique<QFile>(m_cfg.destinationFile);
            if (!file->open(QIODevice::ReadWrite) || file->size() < m_cfg.range.StartRange ||
                !file->resize(m_cfg.range.StartRange) || !file->seek(m_cfg.range.StartRange))
                file.reset();
        } else {
            file = platform::createFreshFile(m_cfg.destinationFile);
        }
        if (!file) {
            m_st.OutputFailed = true;
            return;
        }
        m_stream = std::move(file);
        m_streamIsFile = true;
    } else {
        auto buffer = std::make_unique<QBuffer>();
        if (m_st.Succeeded)
            buffer->buffer().reserve(static_cast<qsizetype>(std::min(m_st.FileSize, kMaxPresize)));
        buffer->open(QIODevice::ReadWrite);
        m_stream = std::move(buffer);
    }

    // 14. The body.
    readBody();
    if (m_abandoned)
        return;

    if (m_st.ExceededLimit) {
        m_st.Succeeded = false;
        return;
    }

    // 15. The outcome: a body that broke off is not a whole one, whether its
    // length was announced or not.
    m_st.Succeeded = (m_st.StatusCode == 200 || partialAnswer()) && !m_bodyBroken;
    if (m_st.Succeeded && m_st.FileSize != 0 && m_stream)
        m_st.Succeeded = m_st.FileSize == m_st.BytesRead;
}

void TsuCustomHTTP::Transfer::readBody()
{
    m_st.BytesRead = 0;
    m_buffer.resize(m_cfg.bufferSize);
    while (true) {
        qint64 count = -1;
        if (m_localFile)
            count = m_localFile->isOpen() ? m_localFile->read(m_buffer.data(), m_buffer.size()) : -1;
        else if (m_request)
            count = m_request->read(m_buffer.data(), m_buffer.size());
        if (count < 0 && !m_abandoned)
            m_bodyBroken = true;
        if (count <= 0 || m_abandoned)
            return;
        if (m_cfg.maxBytes > 0 && m_st.BytesRead + count > m_cfg.maxBytes) {
            m_st.ExceededLimit = true;
            return;
        }
        if (m_stream->write(m_buffer.constData(), count) != count) {
            m_st.OutputFailed = true;
            return;
        }
        m_st.BytesRead += count;
        const bool alive = sync([this](TsuCustomHTTP *owner) {
            if (!owner->OnTransferProgress)
                return;
            owner->m_state.Statistics = m_st.Statistics =
                suTransferStatistics(m_st.FileSize, m_st.BytesRead, tickCount() - m_st.StartTick);
            const TsuTransferStatistics &s = m_st.Statistics;
            owner->OnTransferProgress(owner, m_st.ContentType, m_st.FileSize, m_st.BytesRead, s.ElapsedTime,
                                      s.EstimatedTimeLeft, s.PercentsDone, s.TransferRate, m_stream.get());
        });
        if (!alive)
            return;
    }
}

void TsuCustomHTTP::Transfer::raiseFailed()
{
    if (m_abandoned)
        return;
    m_owner->m_state = m_st;
    if (m_owner->OnTransferFailed)
        m_owner->OnTransferFailed(m_owner);
}

void TsuCustomHTTP::Transfer::complete()
{
    if (m_abandoned)
        return;
    // Handlers below may start the next transfer.
    m_completing = true;
    TsuCustomHTTP *owner = m_owner;
    owner->m_state = m_st;

    // 1. Close the handles (normally done by the worker already); rewind the output.
    closeHandles();
    if (m_stream)
        m_stream->seek(0);

    // 2. Exactly one outcome. A handler may abort or destroy the component,
    // after which nothing more is raised.
    bool failedWithFile = false;
    if (m_st.CanContinue) {
        if (m_st.OutputFailed || m_st.ExceededLimit || m_st.RedirectRefused) {
            // Nothing half-written stays behind.
            failedWithFile = (m_st.OutputFailed || m_streamIsFile) && !m_appending;
            if (owner->OnTransferFailed)
                owner->OnTransferFailed(owner);
        } else if (m_st.Succeeded && !m_stream) {
            if (owner->OnTransferFailed)
                owner->OnTransferFailed(owner);
        } else if (m_st.Succeeded) {
            QIODevice *passed = m_stream.get();
            if (m_streamIsFile) {
                // Complete and unlocked before anyone looks at the file.
                m_stream->close();
                m_stream.reset();
                passed = nullptr;
            }
            if (owner->OnTransferDone)
                owner->OnTransferDone(owner, m_st.ContentType, m_st.BytesRead, passed);
        } else {
            // A failed continuation keeps the part it had, so that it can be
            // continued again; so does any transfer told to keep it.
            failedWithFile = m_streamIsFile && !m_appending && !m_cfg.keepPartialFile;
            if (owner->OnTransferFailed)
                owner->OnTransferFailed(owner);
            if (!m_abandoned) {
                if (m_st.StatusCode == 200 || partialAnswer()) {
                    if (owner->OnTransferIncomplete)
                        owner->OnTransferIncomplete(owner, m_st.ContentType, m_st.FileSize, m_st.BytesRead,
                                                    m_stream.get());
                } else if (m_st.StatusCode == -1) {
                    if (owner->OnServerUnreachable)
                        owner->OnServerUnreachable(owner);
                } else if (owner->OnHTTPStatusError) {
                    owner->OnHTTPStatusError(owner, m_st.StatusCode, m_stream.get());
                }
            }
        }
    }

    // 3. Free the buffer and the output; a failed transfer keeps no file.
    m_buffer = QByteArray();
    m_stream.reset();
    if (failedWithFile)
        QFile::remove(m_cfg.destinationFile);

    // 4. The headers handler declined the body.
    if (!m_st.CanContinue && !m_abandoned && owner->OnTransferCancelled)
        owner->OnTransferCancelled(owner);
}

TsuCustomHTTP::TsuCustomHTTP(QObject *parent) : TsuLoginComponent(parent), m_thread(new TsuCustomThread(this))
{
    m_thread->OnWaitTimeout = [this](QObject *) {
        // The worker was given up; so is its transfer.
        if (m_transfer)
            m_transfer->abandon();
        if (OnWaitTimeout)
            OnWaitTimeout(this);
    };
}

TsuCustomHTTP::~TsuCustomHTTP()
{
    BeginDestroy();
    if (m_transfer)
        m_transfer->abandon();
    m_thread->Suspend();
    m_thread->OnExecute = nullptr;
    m_thread->OnException = nullptr;
    m_thread->OnFinish = nullptr;
    delete m_thread;
    m_thread = nullptr;
}

void TsuCustomHTTP::SetTransferBufferSize(int value)
{
    m_transferBufferSize = std::max(value, 255);
}

TThreadPriority TsuCustomHTTP::ThreadPriority() const
{
    return m_thread->ThreadPriority();
}

void TsuCustomHTTP::SetThreadPriority(TThreadPriority value)
{
    m_thread->SetThreadPriority(value);
}

bool TsuCustomHTTP::IsBusy() const
{
    return m_transfer && m_transfer->active();
}

bool TsuCustomHTTP::StartTransfer()
{
    return begin(false, {});
}

bool TsuCustomHTTP::StartUpload(const QByteArray &data)
{
    return begin(true, data);
}

bool TsuCustomHTTP::begin(bool upload, const QByteArray &data)
{
    if (IsBusy())
        return false;
    Transfer::Settings s;
    s.url = m_url;
    s.userName = HTTPUsername();
    s.password = HTTPPassword();
    s.acceptTypes = m_acceptTypes;
    s.userAgent = m_userAgent;
    s.destinationFile = m_destinationFile;
    s.postData = m_postData;
    s.referer = m_referer;
    s.extraHeaders = m_extraHeaders;
    s.range = m_range;
    s.timeouts = m_timeouts;
    s.proxy = m_proxy;
    s.bufferSize = m_transferBufferSize;
    s.maxBytes = m_maxBytes;
    s.keepPartialFile = m_keepPartialFile;
    s.method = m_requestMethod;
    s.useCache = m_useCache;
    s.useCookies = m_useCookies;
    s.workOffline = m_workOffline;
    s.certificateAuthorities = m_certificateAuthorities;
    s.upload = upload;
    s.uploadData = data;
    s.onStatusText = OnStatusText;
    s.onRedirected = OnRedirected;

    const auto transfer = std::make_shared<Transfer>(this, std::move(s));
    m_transfer = transfer;
    m_state = TsuHTTPResult();
    m_thread->OnExecute = [transfer] { transfer->run(); };
    m_thread->OnException = [transfer] { transfer->raiseFailed(); };
    m_thread->OnFinish = [transfer] { transfer->complete(); };
    m_thread->Start();
    return true;
}

void TsuCustomHTTP::AbortTransfer()
{
    const bool running = IsBusy();
    if (m_transfer)
        m_transfer->abandon();
    m_transfer.reset();
    m_thread->OnExecute = nullptr;
    m_thread->OnException = nullptr;
    m_thread->OnFinish = nullptr;
    if (running) {
        m_thread->RestartThread();
        if (!Destroying() && OnTransferAborted)
            OnTransferAborted(this);
    }
}
