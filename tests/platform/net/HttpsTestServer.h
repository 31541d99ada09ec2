#pragma once

// An https server on 127.0.0.1 with a certificate of a test authority made
// for it, which only the test hands to its client.

#include "support/TempDir.h"

#include <httplib.h>

#include <QFile>
#include <QProcess>
#include <QString>

#include <thread>

// A fresh certificate authority and a server certificate for 127.0.0.1
// that it signed (EC P-256, valid for two days), made with the openssl tool.
class TestCertificates
{
public:
    TestCertificates()
    {
        QFile extensions(m_dir.file(QStringLiteral("server.ext")));
        m_ok = extensions.open(QIODevice::WriteOnly) &&
               extensions.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n") > 0;
        extensions.close();
        const QString curve = QStringLiteral("ec_paramgen_curve:prime256v1");
        m_ok = m_ok &&
               run({"req", "-x509", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout", file("ca.key"),
                    "-out", authority(), "-days", "2", "-subj", "/CN=Velmora test authority", "-addext",
                    "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign"}) &&
               run({"req", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout", key(), "-out",
                    file("server.csr"), "-subj", "/CN=127.0.0.1"}) &&
               run({"x509", "-req", "-in", file("server.csr"), "-CA", authority(), "-CAkey", file("ca.key"),
                    "-CAcreateserial", "-out", certificate(), "-days", "2", "-extfile", file("server.ext")});
    }
    bool ok() const { return m_ok; }
    QString authority() const { return file("ca.pem"); }
    QString certificate() const { return file("server.pem"); }
    QString key() const { return file("server.key"); }

private:
    QString file(const char *name) const { return m_dir.file(QString::fromLatin1(name)); }
    static bool run(const QStringList &arguments)
    {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"), arguments);
        return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
               openssl.exitCode() == 0;
    }

    TempDir m_dir;
    bool m_ok = false;
};

// Serves on a thread of its own until the object goes; routes are added
// before start().
class HttpsServer
{
public:
    explicit HttpsServer(const TestCertificates &certificates)
        : server(QFile::encodeName(certificates.certificate()).constData(),
                 QFile::encodeName(certificates.key()).constData())
    {
    }
    httplib::SSLServer server;
    int port = 0;

    void start()
    {
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("https://127.0.0.1:%1%2").arg(port).arg(path);
    }
    ~HttpsServer()
    {
        server.stop();
        if (thread.joinable())
            thread.join();
    }

private:
    std::thread thread;
};
