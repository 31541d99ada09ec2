#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A one-connection-at-a-time HTTP server on 127.0.0.1 that answers every
// request with fixed bytes, for replies a real server would not give: a
// body shorter than announced, or a reply that stalls. With holdOpen the
// connection stays open after the reply until the client closes it or the
// server stops.
class RawHttpServer
{
public:
    explicit RawHttpServer(QByteArray reply, bool holdOpen = false)
        : m_reply(std::move(reply)), m_hold(holdOpen)
    {
        listenAndServe();
    }
    // Answers each request (its head, up to the blank line) with what
    // respond makes of it, and closes the connection.
    explicit RawHttpServer(std::function<QByteArray(const QByteArray &request)> respond)
        : m_hold(false), m_respond(std::move(respond))
    {
        listenAndServe();
    }

private:
    void listenAndServe()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::listen(m_listen, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        if (::pipe(m_wake) != 0)
            m_wake[0] = m_wake[1] = -1;
        m_thread = std::thread([this] { serve(); });
    }

public:
    ~RawHttpServer()
    {
        [[maybe_unused]] const ssize_t ignored = ::write(m_wake[1], "x", 1);
        m_thread.join();
        ::close(m_listen);
        ::close(m_wake[0]);
        ::close(m_wake[1]);
    }

    int port() const { return m_port; }
    QByteArray request() const
    {
        std::lock_guard lock(m_lock);
        return m_request;
    }
    int connections() const { return m_connections.load(); }
    // Connections whose client has gone.
    int closedByClient() const { return m_closedByClient.load(); }

private:
    // Waits for the socket or the stop signal; false when stopping.
    bool wait(int fd)
    {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        ::poll(fds, 2, -1);
        return !(fds[1].revents & POLLIN);
    }

    void serve()
    {
        while (wait(m_listen)) {
            const int client = ::accept(m_listen, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_connections;
            QByteArray received;
            char buffer[4096];
            bool stop = false;
            while (!received.contains("\r\n\r\n")) {
                if (!wait(client)) {
                    stop = true;
                    break;
                }
                const ssize_t count = ::read(client, buffer, sizeof buffer);
                if (count <= 0)
                    break;
                received.append(buffer, count);
            }
            {
                std::lock_guard lock(m_lock);
                m_request = received;
            }
            const QByteArray reply = m_respond && !stop ? m_respond(received) : m_reply;
            if (!stop && !reply.isEmpty()) [[maybe_unused]]
                const ssize_t sent = ::send(client, reply.constData(), reply.size(), MSG_NOSIGNAL);
            if (!stop && m_hold) {
                while (wait(client)) {
                    if (::read(client, buffer, sizeof buffer) <= 0) {
                        ++m_closedByClient;
                        break;
                    }
                }
            }
            ::close(client);
            if (stop)
                return;
        }
    }

    QByteArray m_reply;
    bool m_hold;
    std::function<QByteArray(const QByteArray &)> m_respond;
    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_lock;
    QByteArray m_request;
    std::atomic<int> m_connections{0};
    std::atomic<int> m_closedByClient{0};
};

// A port on 127.0.0.1 on which nothing listens.
inline int closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}
