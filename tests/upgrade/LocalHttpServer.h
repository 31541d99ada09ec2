#pragma once

#include <httplib.h>

#include <QString>

#include <thread>

// An HTTP server on 127.0.0.1 at a free port, serving on a thread of its
// own until the object goes. Routes are added before start().
class HttpServer
{
public:
    httplib::Server server;
    int port = 0;

    // Takes a port; requests are answered once start() has run.
    void bind()
    {
        if (port == 0)
            port = server.bind_to_any_port("127.0.0.1");
    }
    void start()
    {
        bind();
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
    }
    ~HttpServer()
    {
        server.stop();
        if (thread.joinable())
            thread.join();
    }

private:
    std::thread thread;
};
