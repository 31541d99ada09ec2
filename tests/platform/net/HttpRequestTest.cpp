#include "platform/net/HttpRequest.h"

#include "HttpsTestServer.h"
#include "RawHttpServer.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <QList>

#include <thread>

using namespace platform::net;

namespace {

class HttpServer
{
public:
    httplib::Server server;

    void start()
    {
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }
    ~HttpServer()
    {
        server.stop();
        if (thread.joinable())
            thread.join();
    }
    int port = 0;
    std::thread thread;
};

SessionSettings direct()
{
    SessionSettings settings;
    settings.userAgent = QStringLiteral("VelmoraTest/1");
    settings.proxyMode = ProxyMode::Direct;
    return settings;
}

bool open(HttpRequest &request, int port, const QString &object, const QString &verb = QStringLiteral("GET"))
{
    return request.openSession(direct()) && request.connect(QStringLiteral("127.0.0.1"), port, {}, {}) &&
           request.openRequest(verb, object, {}, QStringLiteral("text/html, */*"), 0);
}

QByteArray readAll(HttpRequest &request, qint64 *last = nullptr)
{
    QByteArray body;
    char buffer[1000];
    qint64 count;
    while ((count = request.read(buffer, sizeof buffer)) > 0)
        body.append(buffer, count);
    if (last)
        *last = count;
    return body;
}

} // namespace

TEST(HttpRequest, FetchesHeadersAndBodyInChunks)
{
    HttpServer http;
    std::string agent, accept, custom;
    http.server.Get("/data", [&](const httplib::Request &req, httplib::Response &res) {
        agent = req.get_header_value("User-Agent");
        accept = req.get_header_value("Accept");
        custom = req.get_header_value("X-Velmora");
        res.set_content(std::string(5000, 'a'), "application/octet-stream");
        res.set_header("Last-Modified", "Sun, 06 Nov 1994 08:49:37 GMT");
    });
    http.start();

    HttpRequest request;
    QList<int> statuses;
    request.setStatusCallback([&](int status, const QByteArray &) { statuses << status; });
    ASSERT_TRUE(open(request, http.port, QStringLiteral("/data")));
    ASSERT_TRUE(request.addHeaders("X-Velmora: yes\r\n"));
    ASSERT_TRUE(request.send());
    EXPECT_EQ(request.statusCode(), 200);
    EXPECT_EQ(request.header("content-length").value_or(""), "5000");
    EXPECT_EQ(request.header("Last-Modified").value_or(""), "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_FALSE(request.header("X-Missing").has_value());
    EXPECT_TRUE(request.rawHeaders().startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(request.rawHeaders().endsWith("\r\n\r\n"));

    qint64 last = 1;
    EXPECT_EQ(readAll(request, &last), QByteArray(5000, 'a'));
    EXPECT_EQ(last, 0);
    EXPECT_EQ(agent, "VelmoraTest/1");
    EXPECT_EQ(accept, "text/html, */*");
    EXPECT_EQ(custom, "yes");

    for (int status : {StatusHandleCreated, StatusResolvingName, StatusNameResolved, StatusConnectingToServer,
                       StatusConnectedToServer, StatusSendingRequest, StatusRequestSent,
                       StatusReceivingResponse, StatusResponseReceived, StatusRequestComplete})
        EXPECT_TRUE(statuses.contains(status)) << status;
    EXPECT_LT(statuses.indexOf(StatusRequestSent), statuses.indexOf(StatusResponseReceived));
    request.close();
    EXPECT_EQ(statuses.last(), StatusHandleClosing);
}

// The server's certificate is checked: against the authority the test
// hands over it passes, against the system's authorities it does not.
TEST(HttpRequest, HttpsChecksTheCertificate)
{
    TestCertificates certificates;
    ASSERT_TRUE(certificates.ok());
    HttpsServer https(certificates);
    https.server.Get("/secure", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("over tls", "text/plain");
    });
    https.start();

    const auto fetch = [&](const QString &authorities, QString *error) {
        SessionSettings settings = direct();
        settings.certificateAuthorities = authorities;
        HttpRequest request;
        if (!request.openSession(settings) ||
            !request.connect(QStringLiteral("127.0.0.1"), https.port, {}, {}) ||
            !request.openRequest(QStringLiteral("GET"), QStringLiteral("/secure"), {}, {}, FlagSecure))
            return QByteArray("<not opened>");
        const bool answered = request.send();
        *error = request.errorText();
        return answered ? readAll(request) : QByteArray();
    };
    QString error;
    EXPECT_EQ(fetch(certificates.authority(), &error), "over tls");
    EXPECT_EQ(fetch({}, &error), QByteArray());
    EXPECT_TRUE(error.contains(QStringLiteral("certificate"), Qt::CaseInsensitive)) << error.toStdString();
}

TEST(HttpRequest, RejectsMalformedHeaderLinesAndMissingHost)
{
    HttpRequest request;
    EXPECT_FALSE(request.connect(QStringLiteral("localhost"), 80, {}, {})) << "no session yet";
    ASSERT_TRUE(request.openSession(direct()));
    EXPECT_FALSE(request.connect(QString(), 80, {}, {}));
    ASSERT_TRUE(request.connect(QStringLiteral("127.0.0.1"), 80, {}, {}));
    ASSERT_TRUE(request.openRequest(QStringLiteral("GET"), QStringLiteral("/"), {}, {}, 0));
    EXPECT_FALSE(request.addHeaders({}));
    EXPECT_FALSE(request.addHeaders("no colon here\r\n"));
    EXPECT_TRUE(request.addHeaders("Range: bytes=1-\r\n"));
}

TEST(HttpRequest, FollowsRedirectsAndReportsTheTarget)
{
    HttpServer http;
    http.server.Get("/old",
                    [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/new"); });
    http.server.Get("/new", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("moved", "text/plain");
    });
    http.start();

    HttpRequest request;
    QByteArray target;
    request.setStatusCallback([&](int status, const QByteArray &info) {
        if (status == StatusRedirect)
            target = info;
    });
    ASSERT_TRUE(open(request, http.port, QStringLiteral("/old")));
    ASSERT_TRUE(request.send());
    EXPECT_EQ(request.statusCode(), 200);
    EXPECT_EQ(readAll(request), "moved");
    EXPECT_EQ(target, "http://127.0.0.1:" + QByteArray::number(http.port) + "/new");
}

TEST(HttpRequest, PostsBodyAndUploadsInPieces)
{
    HttpServer http;
    std::string posted, type;
    http.server.Post("/form", [&](const httplib::Request &req, httplib::Response &res) {
        posted = req.body;
        type = req.get_header_value("Content-Type");
        res.set_content("ok", "text/plain");
    });
    http.start();

    HttpRequest post;
    ASSERT_TRUE(open(post, http.port, QStringLiteral("/form"), QStringLiteral("POST")));
    ASSERT_TRUE(post.send("Content-Type: application/x-www-form-urlencoded\r\n", "a=1&b=2"));
    EXPECT_EQ(readAll(post), "ok");
    EXPECT_EQ(posted, "a=1&b=2");
    EXPECT_EQ(type, "application/x-www-form-urlencoded");

    HttpRequest upload;
    ASSERT_TRUE(open(upload, http.port, QStringLiteral("/form"), QStringLiteral("POST")));
    const QByteArray data(10000, 'u');
    ASSERT_TRUE(upload.beginUpload("Content-Type: application/octet-stream\r\n", data.size()));
    for (qsizetype sent = 0; sent < data.size(); sent += 3000)
        ASSERT_GT(upload.write(data.constData() + sent, std::min<qsizetype>(3000, data.size() - sent)), 0);
    ASSERT_TRUE(upload.endUpload());
    EXPECT_EQ(upload.statusCode(), 200);
    EXPECT_TRUE(posted == data.toStdString()) << "received " << posted.size() << " bytes";
    EXPECT_EQ(type, "application/octet-stream");
}

TEST(HttpRequest, ReportsFailuresOfUnreachableShortAndStalledReplies)
{
    HttpRequest refused;
    ASSERT_TRUE(open(refused, closedPort(), QStringLiteral("/")));
    EXPECT_FALSE(refused.send());
    EXPECT_EQ(refused.statusCode(), -1);
    EXPECT_FALSE(refused.errorText().isEmpty());

    RawHttpServer shortBody("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(600, 's'));
    HttpRequest partial;
    ASSERT_TRUE(open(partial, shortBody.port(), QStringLiteral("/")));
    ASSERT_TRUE(partial.send());
    qint64 last = 0;
    EXPECT_EQ(readAll(partial, &last).size(), 600);
    EXPECT_EQ(last, -1) << "a body cut short is a failure, not an end";

    RawHttpServer stalled("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nabc", true);
    HttpRequest idle;
    ASSERT_TRUE(open(idle, stalled.port(), QStringLiteral("/")));
    idle.setReceiveTimeout(300);
    ASSERT_TRUE(idle.send());
    EXPECT_EQ(readAll(idle, &last), "abc");
    EXPECT_EQ(last, -1);
    EXPECT_TRUE(idle.errorText().contains(QStringLiteral("timed out")));
}

TEST(HttpRequest, AbortFromAnotherThreadEndsABlockedRead)
{
    RawHttpServer stalled("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nabc", true);
    HttpRequest request;
    ASSERT_TRUE(open(request, stalled.port(), QStringLiteral("/")));
    ASSERT_TRUE(request.send());
    char buffer[100];
    ASSERT_EQ(request.read(buffer, sizeof buffer), 3);

    std::atomic<bool> reading{false};
    qint64 result = 0;
    std::thread reader([&] {
        reading = true;
        result = request.read(buffer, sizeof buffer);
    });
    while (!reading)
        std::this_thread::yield();
    request.abort();
    reader.join();
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(request.isAborted());
    EXPECT_FALSE(request.send()) << "an aborted request stays aborted";
}

TEST(HttpRequest, OfflineSessionFailsWithoutTouchingTheNetwork)
{
    RawHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    HttpRequest request;
    SessionSettings settings = direct();
    settings.offline = true;
    ASSERT_TRUE(request.openSession(settings));
    ASSERT_TRUE(request.connect(QStringLiteral("127.0.0.1"), server.port(), {}, {}));
    ASSERT_TRUE(request.openRequest(QStringLiteral("GET"), QStringLiteral("/"), {}, {}, 0));
    EXPECT_FALSE(request.send());
    EXPECT_EQ(server.connections(), 0);
}
