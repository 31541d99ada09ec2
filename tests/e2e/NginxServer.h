#pragma once

// Debian's nginx serving a folder on 127.0.0.1, as a vendor's plain static
// server would, started by the test in a folder of its own (one process, no
// daemon) and stopped with it. Every request is logged with the bytes of
// the body sent, so that a test counts what a client downloaded.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class NginxServer
{
public:
    // Serves folder under /<prefix>/ from a free port; false when nginx
    // did not come up.
    bool start(const QString &workFolder, const QString &prefix, const QString &folder,
               const QString &directives = {})
    {
        m_work = workFolder;
        QDir().mkpath(m_work);
        m_port = freePort();
        if (m_port == 0)
            return false;
        const QString config =
            QStringLiteral(
                "daemon off;\nmaster_process off;\nworker_processes 1;\npid %1/nginx.pid;\n"
                "error_log %1/error.log;\nevents { worker_connections 64; }\n"
                "http {\n  default_type application/octet-stream;\n"
                "  log_format counted '$request_method $uri $status $body_bytes_sent';\n"
                "  access_log %1/access.log counted;\n"
                "  client_body_temp_path %1/body; proxy_temp_path %1/proxy;\n"
                "  fastcgi_temp_path %1/fastcgi; uwsgi_temp_path %1/uwsgi; scgi_temp_path %1/scgi;\n"
                "  server {\n    listen 127.0.0.1:%2;\n"
                "    location /%3/ { alias %4/; %5 }\n  }\n}\n")
                .arg(m_work)
                .arg(m_port)
                .arg(prefix, folder, directives);
        QFile file(m_work + QStringLiteral("/nginx.conf"));
        if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0)
            return false;
        file.close();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("/usr/sbin/nginx"),
                        {QStringLiteral("-p"), m_work, QStringLiteral("-e"),
                         m_work + QStringLiteral("/error.log"), QStringLiteral("-c"),
                         m_work + QStringLiteral("/nginx.conf")});
        if (!m_process.waitForStarted(10000))
            return false;
        return QTest::qWaitFor([this] { return accepts(m_port); }, 10000);
    }
    ~NginxServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    int port() const { return m_port; }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }
    // The body bytes sent for requests of the path that ended with status
    // (any status when 0), by the access log.
    qint64 bytesSent(const QString &path, int status = 0) const
    {
        qint64 total = 0;
        for (const QStringList &line : requests()) {
            if (line.at(1) == path && (status == 0 || line.at(2).toInt() == status))
                total += line.at(3).toLongLong();
        }
        return total;
    }
    // Method, path, status and body bytes of every request logged so far.
    QList<QStringList> requests() const
    {
        QList<QStringList> lines;
        QFile log(m_work + QStringLiteral("/access.log"));
        if (!log.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray &raw : log.readAll().split('\n')) {
            const QStringList fields = QString::fromUtf8(raw).split(u' ');
            if (fields.size() == 4)
                lines << fields;
        }
        return lines;
    }
    QString errorLog() const
    {
        QFile log(m_work + QStringLiteral("/error.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

private:
    static sockaddr_in loopback(int port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(quint16(port));
        return address;
    }
    // A port nothing listens on just now.
    static int freePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        socklen_t length = sizeof address;
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                           ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0;
        ::close(fd);
        return bound ? ntohs(address.sin_port) : 0;
    }
    static bool accepts(int port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = loopback(port);
        const bool connected =
            ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return connected;
    }

    QString m_work;
    int m_port = 0;
    QProcess m_process;
};
