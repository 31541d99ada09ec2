#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include <QByteArray>
#include <QString>

namespace platform::net {

// How a session reaches the network.
enum class ProxyMode {
    Preconfigured, // the system's settings (the *_proxy environment variables)
    Direct,        // never through a proxy
    Named,         // through the given proxy, except for the bypass list
};

// What every request of an Internet session shares.
struct SessionSettings
{
    QString userAgent;
    ProxyMode proxyMode = ProxyMode::Preconfigured;
    QString proxy;        // "host:port" for ProxyMode::Named
    QString proxyBypass;  // hosts separated by ';', ',' or spaces
    bool offline = false; // answer from the local cache only; there is none, so requests fail
    // A PEM file of the certificate authorities to check https servers
    // against; empty for the system's. The server's certificate and name
    // are always checked.
    QString certificateAuthorities;
};

// Request flags, the subset of the Windows Internet flags the client uses.
enum RequestFlag : unsigned {
    FlagReload = 0x1,        // do not answer from a cache
    FlagNoCacheWrite = 0x2,  // do not store the answer in a cache
    FlagPragmaNoCache = 0x4, // ask proxies not to answer from their cache
    FlagNoCookies = 0x8,     // neither send nor store cookies
    FlagSecure = 0x10,       // use TLS (https)
};

// Status notifications, numbered as the Windows Internet status callback
// numbers them so that the callers can keep their tables.
enum Status : int {
    StatusResolvingName = 10,
    StatusNameResolved = 11,
    StatusConnectingToServer = 20,
    StatusConnectedToServer = 21,
    StatusSendingRequest = 30,
    StatusRequestSent = 31,
    StatusReceivingResponse = 40,
    StatusResponseReceived = 41,
    StatusClosingConnection = 50,
    StatusConnectionClosed = 51,
    StatusHandleCreated = 60,
    StatusHandleClosing = 70,
    StatusRequestComplete = 100,
    StatusRedirect = 110,
};

// Receives a status code and its information (the host name, an address,
// the new URL of a redirect). Runs on the thread that drives the request.
using StatusCallback = std::function<void(int status, const QByteArray &info)>;

// One blocking HTTP request over libcurl, http and https only; redirects
// are followed to http or https addresses, never from https down to http, used like the Windows Internet
// client: open a session, connect, open the request, send (returns once the
// final response headers are in), query headers, then read the body in
// chunks. All calls except abort() must come from one thread at a time;
// abort() may come from any thread and makes a blocked call return at once.
class HttpRequest
{
public:
    HttpRequest();
    ~HttpRequest();
    HttpRequest(const HttpRequest &) = delete;
    HttpRequest &operator=(const HttpRequest &) = delete;

    // The three opening steps; each returns false when its handle cannot be
    // had (the library is unavailable, no host was given, a bad verb).
    bool openSession(const SessionSettings &settings);
    bool connect(const QString &host, int port, const QString &userName, const QString &password);
    bool openRequest(const QString &verb, const QString &objectName, const QString &referer,
                     const QString &acceptTypes, unsigned flags);

    void setStatusCallback(StatusCallback callback);

    // Timeouts in milliseconds; 0 keeps the library's default.
    void setConnectTimeout(unsigned ms);
    void setReceiveTimeout(unsigned ms);
    void setSendTimeout(unsigned ms);

    // Adds header lines, each ended by CR LF. Returns false for an empty
    // block or a line that is not "Name: value".
    bool addHeaders(const QByteArray &block);

    void setCredentials(const QString &userName, const QString &password);
    void setProxyCredentials(const QString &userName, const QString &password);

    // Sends the request with optional extra headers (lines ended by CR LF)
    // and body, and waits for the final response headers. May be called
    // again on the same request to resend it. False when no response came.
    bool send(const QByteArray &headers = {}, const QByteArray &body = {});

    // Sends a body of known size in pieces: beginUpload starts the request,
    // write hands over each piece (returns the bytes taken, 0 on failure),
    // endUpload waits for the response headers.
    bool beginUpload(const QByteArray &headers, qint64 totalSize);
    qint64 write(const char *data, qint64 size);
    bool endUpload();

    // The status code of the final response; -1 before one arrived.
    int statusCode() const { return m_status; }
    // A header of the final response (the first of that name), compared
    // without case; nothing when the response has no such header.
    std::optional<QByteArray> header(const QByteArray &name) const;
    // All header lines of the final response, the status line first, each
    // ended by CR LF, with an empty line at the end.
    QByteArray rawHeaders() const { return m_rawHeaders; }

    // Reads body bytes into the buffer, waiting for them. Returns the count,
    // 0 at the end of the body and -1 when the transfer failed or was aborted.
    qint64 read(char *buffer, qint64 maxSize);

    // Makes the current and every later call fail at once. Thread-safe.
    void abort();
    bool isAborted() const { return m_aborted.load(); }

    // The library's description of the last failure.
    QString errorText() const { return m_error; }
    // The server sent a redirect this client does not follow: to a scheme
    // other than http or https, or from https to http. The request then
    // fails.
    bool redirectRefused() const { return m_redirectRefused; }
    // The request was sent and then nothing arrived for longer than the
    // receive timeout.
    bool stalled() const { return m_stalled; }

    // Releases the connection (notifying StatusHandleClosing); the request
    // cannot be used afterwards. The destructor closes without notifying.
    void close();

private:
    struct Curl;
    friend struct Curl;

    bool start(const QByteArray &headers, const QByteArray *body, qint64 uploadSize);
    bool pump(const std::function<bool()> &done);
    bool checkIdle();
    void notify(int status, const QByteArray &info = {});
    void resetResponse();
    void headerLine(const QByteArray &line);
    bool responseIsFinal() const;

    std::unique_ptr<Curl> m_curl;
    std::mutex m_abortLock; // keeps the multi handle alive while abort() wakes it
    std::atomic<bool> m_aborted{false};
    StatusCallback m_statusCallback;

    SessionSettings m_session;
    bool m_sessionOpen = false;
    QString m_host;
    int m_port = 0;
    QString m_userName, m_password, m_proxyUserName, m_proxyPassword;
    QString m_verb;
    QByteArray m_url;
    unsigned m_flags = 0;
    QByteArray m_extraHeaders;
    unsigned m_connectTimeout = 0, m_receiveTimeout = 0, m_sendTimeout = 0;

    // Response state, filled from the library's callbacks.
    int m_status = -1;
    int m_blockStatus = -1;
    bool m_blockEnded = false;
    QByteArray m_blockHeaders;
    QByteArray m_rawHeaders;
    bool m_headersFinal = false;
    bool m_bodyStarted = false;
    QByteArray m_body;
    bool m_paused = false;
    bool m_done = false;
    int m_result = 0;
    bool m_requestSent = false;
    qint64 m_lastActivity = 0;
    QString m_error;
    bool m_redirectRefused = false;
    bool m_stalled = false;

    // Upload state.
    QByteArray m_uploadPending;
    bool m_uploadPaused = false;
    qint64 m_uploadLeft = 0;
};

} // namespace platform::net
