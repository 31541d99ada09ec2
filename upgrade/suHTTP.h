#pragma once

#include <algorithm>
#include <functional>
#include <memory>

#include <QObject>
#include <QStringList>

#include "upgrade/suThread.h"
#include "upgrade/suUtils.h"

class QIODevice;

// A component with the credentials of a protected server. The credentials
// are kept with a form as the one stream property "LInfo" (see
// EncodeLoginInfo) instead of two plain texts.
class TsuLoginComponent : public QObject
{
    Q_OBJECT

public:
    explicit TsuLoginComponent(QObject *parent = nullptr);

    QString HTTPUsername() const { return m_userName; }
    void SetHTTPUsername(const QString &value) { m_userName = value; }
    QString HTTPPassword() const { return m_password; }
    void SetHTTPPassword(const QString &value) { m_password = value; }

    // Whether "LInfo" is stored: either credential is non-empty.
    bool LoginInfoStored() const { return !m_userName.isEmpty() || !m_password.isEmpty(); }

    // The "LInfo" bytes: T = length(user) + length(password) + 1, then T bytes
    // (the user-name length, the user name, the password), each combined by
    // exclusive or with (T xor K). Texts are UTF-8; together they are cut to
    // 254 bytes at character boundaries, the user name first.
    static QByteArray EncodeLoginInfo(const QString &userName, const QString &password);
    // Reverses EncodeLoginInfo; false (and both texts empty) for bytes that
    // do not hold a complete record.
    static bool DecodeLoginInfo(const QByteArray &data, QString &userName, QString &password);

    // The one-byte key K of the "LInfo" encoding.
    static constexpr quint8 LoginInfoKey = 0xA7;

    // Set while the component is being destroyed.
    bool Destroying() const { return m_destroying; }

protected:
    void BeginDestroy() { m_destroying = true; }

private:
    QString m_userName;
    QString m_password;
    bool m_destroying = false;
};

enum TsuHTTPAccessType { atPreconfig = 0, atDirect = 1, atUseProxy = 2 };

struct TsuHTTPProxy
{
    TsuHTTPAccessType AccessType = atPreconfig;
    int ProxyPort = 8080;
    QString ProxyServer;
    QString ProxyBypass = QStringLiteral("127.0.0.1;");
    // ProxyServer and ProxyBypass are kept with a form only for atUseProxy.
    bool StoresServerAndBypass() const { return AccessType == atUseProxy; }
};

// Byte offsets; 64 bits, so that a download of any size can be continued.
struct TsuHTTPRange
{
    qint64 StartRange = 0;
    qint64 EndRange = 0;
};

// Milliseconds; 0 keeps the network layer's own value.
struct TsuHTTPTimeouts
{
    unsigned ConnectTimeout = 0;
    unsigned ReceiveTimeout = 0;
    unsigned SendTimeout = 0;
};

// Statistics of a transfer as the progress events report them.
struct TsuTransferStatistics
{
    quint8 PercentsDone = 0;
    unsigned ElapsedTime = 0;  // seconds
    int EstimatedTimeLeft = 0; // seconds
    float TransferRate = 0;    // KB per second
};

// PercentsDone = round(bytes x 100 / size) kept in one byte (0 for size 0),
// ElapsedTime = elapsed ms / 1000, EstimatedTimeLeft = round(size / bytes x
// elapsed) - elapsed, TransferRate = bytes / 1024 / elapsed (or bytes / 1024
// within the first second); rounding to nearest, ties to even.
TsuTransferStatistics suTransferStatistics(qint64 fileSize, qint64 bytesRead, quint32 elapsedMs);

// The text of a network status code ("Resolving name" ...); "Unknown status"
// for a code outside the table.
QString suStatusText(int statusCode);

// The result state of a transfer.
struct TsuHTTPResult
{
    int StatusCode = -1;
    bool Succeeded = false;
    // The body could not be written to the destination file (not created,
    // or a write failed); the transfer then reports OnTransferFailed only.
    bool OutputFailed = false;
    // The body was longer than MaxBytes (or announced as longer): it was
    // cut off, and the transfer reports OnTransferFailed only.
    bool ExceededLimit = false;
    // The server redirected to an address the client does not follow (see
    // platform::net::HttpRequest); OnTransferFailed only.
    bool RedirectRefused = false;
    // Nothing arrived for longer than the receive timeout after the request
    // was sent (the transfer then fails as unreachable or incomplete).
    bool Stalled = false;
    bool CanContinue = true;
    bool TryAgain = false;
    QString RawHeaders, ContentType, ContentLanguage, ContentEncoding, Location;
    // As the server sent them: what a later request names the same version
    // of the resource by (If-Range), and which part a 206 answer holds.
    QString ETag, LastModifiedText, ContentRange;
    TDateTime ResponseDate = 0, LastModified = 0, Expires = 0;
    qint64 FileSize = 0;
    qint64 BytesRead = 0;
    quint32 StartTick = 0;
    TsuTransferStatistics Statistics;
    QString ProxyUsername, ProxyPassword;
};

// Fetches one URL at a time on a worker thread and reports on the GUI
// thread through events, the worker waiting meanwhile. OnStatusText and
// OnRedirected are the exceptions: they run on the worker, and their
// handlers must not touch windows. "file" URLs are read without the network.
//
// Credentials are only ever sent over https: over plain http they would
// travel readable by anyone on the way, so there a 401 is an error status
// like any other and OnPasswordRequired is not raised.
//
// The result state is handed to the component at each event, so handlers
// (and code running after the transfer) read it through the getters; the
// handlers may change CanContinue, TryAgain and the credentials.
class TsuCustomHTTP : public TsuLoginComponent
{
    Q_OBJECT

public:
    enum TsuRequestMethod { rmAutomatic = 0, rmGet = 1, rmPost = 2 };

    explicit TsuCustomHTTP(QObject *parent = nullptr);
    // Gives up a running transfer without waiting for the network and
    // without raising events.
    ~TsuCustomHTTP() override;

    // Starts fetching URL. False, and nothing else happens, while a transfer
    // runs; otherwise returns at once and reports through the events.
    //
    // With a Range starting past 0 and a DestinationFile, a 206 answer
    // counts as success and is written into the file from StartRange on
    // (resuming a download: the file is cut to StartRange first; a failed
    // continuation keeps the file); a 200 answer to the same request
    // rewrites the file from the start.
    bool StartTransfer();
    // Sends data as the body of a POST in TransferBufferSize pieces, with
    // OnUploadProgress after each. False while a transfer runs.
    bool StartUpload(const QByteArray &data);
    // Gives up the transfer at once: its connection is aborted, a running
    // worker is abandoned and replaced, and OnTransferAborted follows
    // (unless the component is being destroyed). No other event of that
    // transfer comes afterwards. A partly written destination file is kept.
    void AbortTransfer();
    // Whether a transfer is under way: from StartTransfer until its
    // completion step begins, so the completion handlers may start the next.
    bool IsBusy() const;

    // Configuration.
    QString URL() const { return m_url; }
    void SetURL(const QString &value) { m_url = value; }
    QString AcceptTypes() const { return m_acceptTypes; }
    void SetAcceptTypes(const QString &value) { m_acceptTypes = value; }
    QString UserAgent() const { return m_userAgent; }
    void SetUserAgent(const QString &value) { m_userAgent = value; }
    QString DestinationFile() const { return m_destinationFile; }
    void SetDestinationFile(const QString &value) { m_destinationFile = value; }
    // The most body bytes a transfer takes; 0 (the default) for no limit.
    // A longer body, or a Content-Length above it, ends the transfer with
    // ExceededLimit before more is read.
    qint64 MaxBytes() const { return m_maxBytes; }
    void SetMaxBytes(qint64 value) { m_maxBytes = std::max<qint64>(value, 0); }
    // Whether a transfer that breaks off (the connection lost, the server
    // stalled, the body short) keeps what it wrote to DestinationFile, so
    // that it can be continued with a range; false (the default) removes
    // it. A body past MaxBytes or a write that failed never stays.
    bool KeepPartialFile() const { return m_keepPartialFile; }
    void SetKeepPartialFile(bool value) { m_keepPartialFile = value; }
    // Linux has no hidden or temporary file attribute; the option is kept
    // for the components built on this one and has no effect here.
    bool HideDestinationFile() const { return m_hideDestinationFile; }
    void SetHideDestinationFile(bool value) { m_hideDestinationFile = value; }
    QString PostData() const { return m_postData; }
    void SetPostData(const QString &value) { m_postData = value; }
    QString Referer() const { return m_referer; }
    void SetReferer(const QString &value) { m_referer = value; }
    QStringList &ExtraHeaders() { return m_extraHeaders; }
    TsuHTTPRange &Range() { return m_range; }
    TsuHTTPTimeouts &Timeouts() { return m_timeouts; }
    TsuHTTPProxy &Proxy() { return m_proxy; }
    int TransferBufferSize() const { return m_transferBufferSize; }
    // Kept within 255 .. 2147483647.
    void SetTransferBufferSize(int value);
    TsuRequestMethod RequestMethod() const { return m_requestMethod; }
    void SetRequestMethod(TsuRequestMethod value) { m_requestMethod = value; }
    bool UseCache() const { return m_useCache; }
    void SetUseCache(bool value) { m_useCache = value; }
    bool UseCookies() const { return m_useCookies; }
    void SetUseCookies(bool value) { m_useCookies = value; }
    bool WorkOffline() const { return m_workOffline; }
    void SetWorkOffline(bool value) { m_workOffline = value; }
    // A PEM file of the certificate authorities https servers are checked
    // against instead of the system's; empty (the default) for the
    // system's. Certificates are always checked.
    QString CertificateAuthorities() const { return m_certificateAuthorities; }
    void SetCertificateAuthorities(const QString &path) { m_certificateAuthorities = path; }
    TThreadPriority ThreadPriority() const;
    void SetThreadPriority(TThreadPriority value);
    // The worker-thread component (its WaitForFinish and WaitTimeout options).
    TsuCustomThread *Thread() const { return m_thread; }

    // Result state.
    int StatusCode() const { return m_state.StatusCode; }
    bool Succeeded() const { return m_state.Succeeded; }
    bool OutputFailed() const { return m_state.OutputFailed; }
    bool ExceededLimit() const { return m_state.ExceededLimit; }
    bool RedirectRefused() const { return m_state.RedirectRefused; }
    bool Stalled() const { return m_state.Stalled; }
    bool CanContinue() const { return m_state.CanContinue; }
    void SetCanContinue(bool value) { m_state.CanContinue = value; }
    bool TryAgain() const { return m_state.TryAgain; }
    void SetTryAgain(bool value) { m_state.TryAgain = value; }
    QString RawHeaders() const { return m_state.RawHeaders; }
    QString ContentType() const { return m_state.ContentType; }
    QString ContentLanguage() const { return m_state.ContentLanguage; }
    QString ContentEncoding() const { return m_state.ContentEncoding; }
    QString Location() const { return m_state.Location; }
    QString ETag() const { return m_state.ETag; }
    QString LastModifiedText() const { return m_state.LastModifiedText; }
    QString ContentRange() const { return m_state.ContentRange; }
    TDateTime ResponseDate() const { return m_state.ResponseDate; }
    TDateTime LastModified() const { return m_state.LastModified; }
    TDateTime Expires() const { return m_state.Expires; }
    qint64 FileSize() const { return m_state.FileSize; }
    qint64 BytesRead() const { return m_state.BytesRead; }
    quint32 StartTick() const { return m_state.StartTick; }
    quint8 PercentsDone() const { return m_state.Statistics.PercentsDone; }
    unsigned ElapsedTime() const { return m_state.Statistics.ElapsedTime; }
    int EstimatedTimeLeft() const { return m_state.Statistics.EstimatedTimeLeft; }
    float TransferRate() const { return m_state.Statistics.TransferRate; }
    QString ProxyUsername() const { return m_state.ProxyUsername; }
    QString ProxyPassword() const { return m_state.ProxyPassword; }

    // Events. Stream parameters are the output (memory or file), owned by
    // the component and valid during the call only.
    using TsuNotifyEvent = std::function<void(QObject *Sender)>;
    using TsuHTTPPasswordRequestEvent =
        std::function<void(QObject *Sender, const QString &Realm, bool &TryAgain)>;
    using TsuHTTPProxyAuthenticationEvent =
        std::function<void(QObject *Sender, QString &ProxyUsername, QString &ProxyPassword, bool &TryAgain)>;

    // Worker thread.
    std::function<void(QObject *Sender, int StatusCode, const QString &StatusText)> OnStatusText;
    std::function<void(QObject *Sender, const QString &NewURL)> OnRedirected;
    // GUI thread.
    TsuHTTPPasswordRequestEvent OnPasswordRequired;
    TsuHTTPProxyAuthenticationEvent OnProxyAuthenticationRequest;
    std::function<void(QObject *Sender, const QString &RawHeaders, const QString &ContentType,
                       const QString &ContentLanguage, const QString &ContentEncoding,
                       const QString &Location, qint64 FileSize, TDateTime ResponseDate,
                       TDateTime LastModified, TDateTime Expires, bool &CanContinue)>
        OnResponseHeaders;
    std::function<void(QObject *Sender, const QString &ContentType, qint64 FileSize, qint64 BytesRead,
                       unsigned ElapsedTime, int EstimatedTimeLeft, quint8 PercentsDone, float TransferRate,
                       QIODevice *Stream)>
        OnTransferProgress;
    std::function<void(QObject *Sender, qint64 FileSize, qint64 BytesSent, unsigned ElapsedTime,
                       int EstimatedTimeLeft, quint8 PercentsDone, float TransferRate)>
        OnUploadProgress;
    std::function<void(QObject *Sender, const QString &ContentType, qint64 BytesRead, QIODevice *Stream)>
        OnTransferDone;
    TsuNotifyEvent OnTransferFailed;
    std::function<void(QObject *Sender, const QString &ContentType, qint64 FileSize, qint64 BytesRead,
                       QIODevice *Stream)>
        OnTransferIncomplete;
    TsuNotifyEvent OnServerUnreachable;
    std::function<void(QObject *Sender, int StatusCode, QIODevice *Stream)> OnHTTPStatusError;
    TsuNotifyEvent OnTransferCancelled;
    TsuNotifyEvent OnTransferAborted;
    TsuNotifyEvent OnWaitTimeout;

private:
    class Transfer;
    friend class Transfer;

    bool begin(bool upload, const QByteArray &data);

    QString m_url;
    QString m_acceptTypes = QStringLiteral("text/html, */*");
    QString m_userAgent = QStringLiteral("Velmora HTTP client/1.0");
    QString m_destinationFile;
    qint64 m_maxBytes = 0;
    bool m_keepPartialFile = false;
    bool m_hideDestinationFile = false;
    QString m_postData;
    QString m_referer;
    QStringList m_extraHeaders;
    TsuHTTPRange m_range;
    TsuHTTPTimeouts m_timeouts;
    TsuHTTPProxy m_proxy;
    int m_transferBufferSize = 4096;
    TsuRequestMethod m_requestMethod = rmAutomatic;
    bool m_useCache = true;
    bool m_useCookies = true;
    bool m_workOffline = false;
    QString m_certificateAuthorities;

    TsuHTTPResult m_state;
    TsuCustomThread *m_thread;
    std::shared_ptr<Transfer> m_transfer;
};
