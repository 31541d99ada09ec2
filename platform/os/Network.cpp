#include "platform/os/Network.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

QStringList hostAddresses()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return {};

    QStringList addresses;
    for (const addrinfo *entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || !entry->ai_addr)
            continue;
        const auto *ipv4 = reinterpret_cast<const sockaddr_in *>(entry->ai_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text))
            addresses << QString::fromLatin1(text);
    }
    ::freeaddrinfo(found);
    return addresses;
}

} // namespace platform
