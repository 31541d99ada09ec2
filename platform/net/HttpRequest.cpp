#include "platform/net/HttpRequest.h"

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <array>
#include <curl/curl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::net {

namespace {

// The body is held back once this much waits unread, so a slow reader
// never makes the library buffer a whole download.
constexpr qsizetype kMaxBuffered = 256 * 1024;
// Upper bound of one wait for network activity; blocked calls re-check
// their idle timeouts at least this often. abort() wakes them at once.
constexpr int kPollMs = 100;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

void initialiseLibrary()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

// One cookie store for the whole process, as the system's Internet client
// keeps one for all its sessions.
struct CookieShare
{
    CURLSH *handle = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;

    CookieShare()
    {
        handle = curl_share_init();
        if (!handle)
            return;
        curl_share_setopt(handle, CURLSHOPT_LOCKFUNC, &CookieShare::lock);
        curl_share_setopt(handle, CURLSHOPT_UNLOCKFUNC, &CookieShare::unlock);
        curl_share_setopt(handle, CURLSHOPT_USERDATA, this);
        curl_share_setopt(handle, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }

    static void lock(CURL *, curl_lock_data data, curl_lock_access, void *self)
    {
        static_cast<CookieShare *>(self)->locks[static_cast<size_t>(data)].lock();
    }
    static void unlock(CURL *, curl_lock_data data, void *self)
    {
        static_cast<CookieShare *>(self)->locks[static_cast<size_t>(data)].unlock();
    }
};

CURLSH *cookieShare()
{
    // Never destroyed: abandoned requests may still finish during exit.
    static CookieShare *share = new CookieShare;
    return share->handle;
}

// Percent-encodes what may not stand in a request line; '%' is kept so
// that an object name that is already escaped passes unchanged.
QByteArray escapeObjectName(const QString &object)
{
    static const QByteArray unsafe = QByteArrayLiteral("\"<>\\^`{|}");
    QByteArray out;
    const QByteArray raw = object.toUtf8();
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7f || unsafe.contains(c)) {
            out += '%';
            out += QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        } else {
            out += c;
        }
    }
    if (!out.startsWith('/'))
        out.prepend('/');
    return out;
}

QByteArray proxyBypassList(const QString &bypass)
{
    QStringList hosts;
    for (const QString &host :
         bypass.split(QRegularExpression(QStringLiteral("[;,\\s]+")), Qt::SkipEmptyParts)) {
        if (host != QStringLiteral("<local>"))
            hosts << host;
    }
    return hosts.join(u',').toUtf8();
}

} // namespace

struct HttpRequest::Curl
{
    CURL *easy = nullptr;
    CURLM *multi = nullptr;
    curl_slist *headers = nullptr;
    bool added = false;

    static size_t onHeader(char *data, size_t size, size_t count, void *self)
    {
        auto *request = static_cast<HttpRequest *>(self);
        const size_t length = size * count;
        request->headerLine(QByteArray(data, static_cast<qsizetype>(length)));
        return length;
    }

    static size_t onBody(char *data, size_t size, size_t count, void *self)
    {
        auto *request = static_cast<HttpRequest *>(self);
        const size_t length = size * count;
        if (request->m_body.size() >= kMaxBuffered) {
            request->m_paused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        if (!request->m_headersFinal && request->m_blockEnded) {
            request->m_status = request->m_blockStatus;
            request->m_rawHeaders = request->m_blockHeaders;
            request->m_headersFinal = true;
        }
        request->m_bodyStarted = true;
        request->m_body.append(data, static_cast<qsizetype>(length));
        request->m_lastActivity = nowMs();
        return length;
    }

    static size_t onUpload(char *buffer, size_t size, size_t count, void *self)
    {
        auto *request = static_cast<HttpRequest *>(self);
        if (request->m_uploadPending.isEmpty()) {
            if (request->m_uploadLeft <= 0)
                return 0;
            request->m_uploadPaused = true;
            return CURL_READFUNC_PAUSE;
        }
        const qsizetype length =
            std::min<qsizetype>(request->m_uploadPending.size(), static_cast<qsizetype>(size * count));
        memcpy(buffer, request->m_uploadPending.constData(), static_cast<size_t>(length));
        request->m_uploadPending.remove(0, length);
        request->m_uploadLeft -= length;
        request->m_lastActivity = nowMs();
        return static_cast<size_t>(length);
    }

    static int onDebug(CURL *, curl_infotype type, char *, size_t, void *self)
    {
        auto *request = static_cast<HttpRequest *>(self);
        if (type == CURLINFO_HEADER_OUT && !request->m_requestSent) {
            request->m_requestSent = true;
            request->m_lastActivity = nowMs();
            request->notify(StatusRequestSent);
        }
        return 0;
    }

    static curl_socket_t onOpenSocket(void *self, curlsocktype, curl_sockaddr *address)
    {
        auto *request = static_cast<HttpRequest *>(self);
        char host[NI_MAXHOST] = {};
        if (::getnameinfo(&address->addr, address->addrlen, host, sizeof host, nullptr, 0, NI_NUMERICHOST) !=
            0)
            host[0] = 0;
        request->notify(StatusNameResolved, host);
        request->notify(StatusConnectingToServer, host);
        return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    }

    static int onCloseSocket(void *self, curl_socket_t socket)
    {
        auto *request = static_cast<HttpRequest *>(self);
        request->notify(StatusClosingConnection);
        const int result = ::close(socket);
        request->notify(StatusConnectionClosed);
        return result;
    }

    static int onConnected(void *self, char *address, char *, int, int)
    {
        auto *request = static_cast<HttpRequest *>(self);
        request->m_lastActivity = nowMs();
        request->notify(StatusConnectedToServer, address);
        request->notify(StatusSendingRequest);
        return CURL_PREREQFUNC_OK;
    }
};

HttpRequest::HttpRequest() : m_curl(std::make_unique<Curl>()) {}

HttpRequest::~HttpRequest()
{
    // No notification from the destructor: the receiver may be gone already.
    m_statusCallback = nullptr;
    close();
}

bool HttpRequest::openSession(const SessionSettings &settings)
{
    initialiseLibrary();
    m_session = settings;
    m_sessionOpen = true;
    return true;
}

bool HttpRequest::connect(const QString &host, int port, const QString &userName, const QString &password)
{
    if (!m_sessionOpen || host.isEmpty() || port < 0 || port > 65535)
        return false;
    m_host = host;
    m_port = port;
    m_userName = userName;
    m_password = password;
    return true;
}

bool HttpRequest::openRequest(const QString &verb, const QString &objectName, const QString &referer,
                              const QString &acceptTypes, unsigned flags)
{
    if (m_host.isEmpty() || m_curl->easy)
        return false;
    m_verb = verb.isEmpty() ? QStringLiteral("GET") : verb.toUpper();
    if (m_verb.contains(QRegularExpression(QStringLiteral("[^A-Z]"))))
        return false;
    m_flags = flags;

    const bool secure = flags & FlagSecure;
    QByteArray host = QUrl::toAce(m_host);
    if (host.isEmpty())
        host = m_host.toUtf8();
    if (host.contains(':'))
        host = '[' + host + ']';
    const int port = m_port > 0 ? m_port : (secure ? 443 : 80);
    m_url = (secure ? "https://" : "http://") + host + ':' + QByteArray::number(port) +
            escapeObjectName(objectName);

    CURL *easy = curl_easy_init();
    CURLM *multi = curl_multi_init();
    if (!easy || !multi) {
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
        return false;
    }
    {
        std::lock_guard lock(m_abortLock);
        m_curl->easy = easy;
        m_curl->multi = multi;
    }

    curl_easy_setopt(easy, CURLOPT_URL, m_url.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 20L);
    // What came over TLS is never handed on to an address without it.
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, m_session.userAgent.toUtf8().constData());
    if (!referer.isEmpty())
        curl_easy_setopt(easy, CURLOPT_REFERER, referer.toUtf8().constData());
    // Peer and host checks stay at the library's default (on).
    if (!m_session.certificateAuthorities.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO,
                         QFile::encodeName(m_session.certificateAuthorities).constData());
    switch (m_session.proxyMode) {
    case ProxyMode::Preconfigured:
        break;
    case ProxyMode::Direct:
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        break;
    case ProxyMode::Named:
        curl_easy_setopt(easy, CURLOPT_PROXY, m_session.proxy.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_NOPROXY, proxyBypassList(m_session.proxyBypass).constData());
        break;
    }
    if (!(flags & FlagNoCookies)) {
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
        if (CURLSH *share = cookieShare())
            curl_easy_setopt(easy, CURLOPT_SHARE, share);
    }
    if (!acceptTypes.isEmpty())
        m_extraHeaders += "Accept: " + acceptTypes.toUtf8() + "\r\n";
    if (flags & FlagPragmaNoCache)
        m_extraHeaders += "Pragma: no-cache\r\nCache-Control: no-cache\r\n";

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Curl::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Curl::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_READFUNCTION, &Curl::onUpload);
    curl_easy_setopt(easy, CURLOPT_READDATA, this);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Curl::onDebug);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &Curl::onOpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &Curl::onCloseSocket);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Curl::onConnected);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);

    notify(StatusHandleCreated);
    return true;
}

void HttpRequest::setStatusCallback(StatusCallback callback)
{
    m_statusCallback = std::move(callback);
}

void HttpRequest::setConnectTimeout(unsigned ms)
{
    m_connectTimeout = ms;
}

void HttpRequest::setReceiveTimeout(unsigned ms)
{
    m_receiveTimeout = ms;
}

void HttpRequest::setSendTimeout(unsigned ms)
{
    m_sendTimeout = ms;
}

bool HttpRequest::addHeaders(const QByteArray &block)
{
    if (block.isEmpty())
        return false;
    QByteArray accepted;
    for (const QByteArray &line : block.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const qsizetype colon = trimmed.indexOf(':');
        if (colon <= 0 || trimmed.left(colon).contains(' '))
            return false;
        accepted += trimmed + "\r\n";
    }
    if (accepted.isEmpty())
        return false;
    m_extraHeaders += accepted;
    return true;
}

void HttpRequest::setCredentials(const QString &userName, const QString &password)
{
    m_userName = userName;
    m_password = password;
}

void HttpRequest::setProxyCredentials(const QString &userName, const QString &password)
{
    m_proxyUserName = userName;
    m_proxyPassword = password;
}

void HttpRequest::resetResponse()
{
    m_status = -1;
    m_blockStatus = -1;
    m_blockEnded = false;
    m_blockHeaders.clear();
    m_rawHeaders.clear();
    m_headersFinal = false;
    m_bodyStarted = false;
    m_body.clear();
    m_paused = false;
    m_done = false;
    m_result = CURLE_OK;
    m_requestSent = false;
    m_uploadPending.clear();
    m_uploadPaused = false;
    m_uploadLeft = 0;
    m_error.clear();
    m_redirectRefused = false;
    m_stalled = false;
}

bool HttpRequest::start(const QByteArray &headers, const QByteArray *body, qint64 uploadSize)
{
    CURL *easy = m_curl->easy;
    if (!easy || m_aborted)
        return false;
    resetResponse();
    if (m_session.offline) {
        // Offline answers come only from a cache, and this client keeps none.
        m_error = QStringLiteral("offline: the resource is not cached");
        return false;
    }
    if (m_curl->added) {
        curl_multi_remove_handle(m_curl->multi, easy);
        m_curl->added = false;
    }

    curl_slist_free_all(m_curl->headers);
    m_curl->headers = nullptr;
    // No "Expect: 100-continue" pause before a body; the server answers at once.
    QByteArray all = m_extraHeaders + headers + "Expect:\r\n";
    for (const QByteArray &line : all.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            m_curl->headers = curl_slist_append(m_curl->headers, trimmed.constData());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_curl->headers);

    if (!m_userName.isEmpty() || !m_password.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
        curl_easy_setopt(easy, CURLOPT_USERNAME, m_userName.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, m_password.toUtf8().constData());
    }
    if (!m_proxyUserName.isEmpty() || !m_proxyPassword.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, m_proxyUserName.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, m_proxyPassword.toUtf8().constData());
    }
    if (m_connectTimeout)
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeout));

    if (uploadSize >= 0) {
        m_uploadLeft = uploadSize;
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, nullptr);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(uploadSize));
    } else if (body && (!body->isEmpty() || m_verb == QStringLiteral("POST"))) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body->constData());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    if (m_verb == QStringLiteral("HEAD"))
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    else if (m_verb != QStringLiteral("GET") && m_verb != QStringLiteral("POST"))
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, m_verb.toUtf8().constData());

    if (curl_multi_add_handle(m_curl->multi, easy) != CURLM_OK)
        return false;
    m_curl->added = true;
    m_lastActivity = nowMs();
    notify(StatusResolvingName, m_host.toUtf8());
    return true;
}

bool HttpRequest::send(const QByteArray &headers, const QByteArray &body)
{
    if (!start(headers, &body, -1))
        return false;
    return endUpload();
}

bool HttpRequest::beginUpload(const QByteArray &headers, qint64 totalSize)
{
    return start(headers, nullptr, std::max<qint64>(totalSize, 0));
}

qint64 HttpRequest::write(const char *data, qint64 size)
{
    if (!m_curl->added || m_done || m_aborted || size <= 0)
        return 0;
    m_uploadPending.append(data, static_cast<qsizetype>(size));
    if (m_uploadPaused) {
        m_uploadPaused = false;
        curl_easy_pause(m_curl->easy, CURLPAUSE_CONT);
    }
    if (!pump([this] { return m_uploadPending.isEmpty() || m_headersFinal; }))
        return 0;
    if (!m_uploadPending.isEmpty()) {
        m_uploadPending.clear();
        return 0;
    }
    return size;
}

bool HttpRequest::endUpload()
{
    if (!m_curl->added)
        return false;
    const bool answered = pump([this] { return m_headersFinal; });
    if (m_aborted)
        return false;
    if (!answered && !m_done)
        return false;
    if (!m_headersFinal && m_blockEnded && m_blockStatus > 0) {
        m_status = m_blockStatus;
        m_rawHeaders = m_blockHeaders;
        m_headersFinal = true;
    }
    return m_headersFinal;
}

bool HttpRequest::responseIsFinal() const
{
    const int status = m_blockStatus;
    if (status < 200)
        return false;
    // The library follows a redirect and answers an authentication challenge
    // itself when it can; whether it will is known once the body or the next
    // response starts, or the transfer ends.
    if (status >= 300 && status < 400 && m_blockHeaders.toLower().contains("\nlocation:"))
        return false;
    return status != 401 && status != 407;
}

void HttpRequest::headerLine(const QByteArray &line)
{
    m_lastActivity = nowMs();
    if (m_headersFinal) {
        return; // trailers of a chunked body
    }
    if (line.startsWith("HTTP/")) {
        const bool first = m_blockStatus < 0;
        m_blockHeaders = line;
        m_blockEnded = false;
        const QList<QByteArray> parts = line.simplified().split(' ');
        bool numeric = false;
        m_blockStatus = parts.size() > 1 ? parts.at(1).toInt(&numeric) : 0;
        if (!numeric)
            m_blockStatus = 0;
        if (first)
            notify(StatusReceivingResponse);
        return;
    }
    if (m_blockEnded)
        return;
    m_blockHeaders += line;
    if (line.trimmed().isEmpty()) {
        m_blockEnded = true;
        notify(StatusResponseReceived);
        if (m_blockStatus >= 300 && m_blockStatus < 400) {
            char *current = nullptr;
            curl_easy_getinfo(m_curl->easy, CURLINFO_EFFECTIVE_URL, &current);
            for (const QByteArray &headerLine : m_blockHeaders.split('\n')) {
                const qsizetype colon = headerLine.indexOf(':');
                if (colon > 0 && headerLine.left(colon).trimmed().toLower() == "location") {
                    const QUrl from = QUrl(QString::fromUtf8(current ? current : m_url.constData()));
                    const QUrl target =
                        from.resolved(QUrl(QString::fromUtf8(headerLine.mid(colon + 1).trimmed())));
                    const QString scheme = target.scheme().toLower();
                    // The library refuses these itself (see openRequest); the
                    // flag tells the caller why the request failed.
                    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
                        (from.scheme().toLower() == QLatin1String("https") &&
                         scheme == QLatin1String("http")))
                        m_redirectRefused = true;
                    notify(StatusRedirect, target.toEncoded());
                    break;
                }
            }
        }
        if (responseIsFinal()) {
            m_status = m_blockStatus;
            m_rawHeaders = m_blockHeaders;
            m_headersFinal = true;
        }
    }
}

std::optional<QByteArray> HttpRequest::header(const QByteArray &name) const
{
    const QByteArray wanted = name.toLower();
    const QList<QByteArray> lines = m_rawHeaders.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == wanted)
            return line.mid(colon + 1).trimmed();
    }
    return std::nullopt;
}

bool HttpRequest::checkIdle()
{
    if (!m_curl->easy)
        return false;
    curl_off_t connected = 0;
    // Before the connection stands only the connect timeout applies.
    if (!m_requestSent) {
        curl_easy_getinfo(m_curl->easy, CURLINFO_PRETRANSFER_TIME_T, &connected);
        if (connected == 0 && m_uploadLeft == 0)
            return true;
    }
    const unsigned limit = m_requestSent && m_uploadLeft == 0 ? m_receiveTimeout : m_sendTimeout;
    if (limit && nowMs() - m_lastActivity > static_cast<qint64>(limit)) {
        m_error = QStringLiteral("the operation timed out");
        m_stalled = m_requestSent && m_uploadLeft == 0;
        return false;
    }
    return true;
}

bool HttpRequest::pump(const std::function<bool()> &done)
{
    CURLM *multi = m_curl->multi;
    while (true) {
        if (m_aborted) {
            m_error = QStringLiteral("the operation was cancelled");
            return false;
        }
        if (done())
            return true;
        if (m_done)
            return false;
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            m_error = QStringLiteral("the transfer failed");
            return false;
        }
        int left = 0;
        while (CURLMsg *message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            m_done = true;
            m_result = message->data.result;
            if (m_result != CURLE_OK)
                m_error = QString::fromUtf8(curl_easy_strerror(static_cast<CURLcode>(m_result)));
            if (!m_headersFinal && m_blockEnded && m_blockStatus > 0) {
                m_status = m_blockStatus;
                m_rawHeaders = m_blockHeaders;
                m_headersFinal = true;
            }
            notify(StatusRequestComplete);
        }
        if (done())
            return true;
        if (m_done || m_aborted)
            return false;
        if (!checkIdle())
            return false;
        curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }
}

qint64 HttpRequest::read(char *buffer, qint64 maxSize)
{
    if (m_aborted || !m_curl->added || maxSize <= 0)
        return -1;
    if (m_body.isEmpty() && !m_done) {
        if (m_paused) {
            m_paused = false;
            curl_easy_pause(m_curl->easy, CURLPAUSE_CONT);
        }
        pump([this] { return !m_body.isEmpty(); });
    }
    if (m_aborted)
        return -1;
    if (!m_body.isEmpty()) {
        const qsizetype length = std::min<qsizetype>(m_body.size(), static_cast<qsizetype>(maxSize));
        memcpy(buffer, m_body.constData(), static_cast<size_t>(length));
        m_body.remove(0, length);
        return length;
    }
    if (m_done)
        return m_result == CURLE_OK ? 0 : -1;
    return -1;
}

void HttpRequest::abort()
{
    std::lock_guard lock(m_abortLock);
    m_aborted = true;
    if (m_curl && m_curl->multi)
        curl_multi_wakeup(m_curl->multi);
}

void HttpRequest::notify(int status, const QByteArray &info)
{
    if (m_statusCallback && !m_aborted)
        m_statusCallback(status, info);
}

void HttpRequest::close()
{
    if (!m_curl || !m_curl->easy)
        return;
    notify(StatusHandleClosing);
    m_statusCallback = nullptr;
    std::lock_guard lock(m_abortLock);
    if (m_curl->added)
        curl_multi_remove_handle(m_curl->multi, m_curl->easy);
    curl_easy_cleanup(m_curl->easy);
    curl_multi_cleanup(m_curl->multi);
    curl_slist_free_all(m_curl->headers);
    m_curl->easy = nullptr;
    m_curl->multi = nullptr;
    m_curl->headers = nullptr;
    m_curl->added = false;
}

} // namespace platform::net
