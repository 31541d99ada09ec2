#include "platform/os/Network.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

TEST(Network, HostAddressesAreDottedIpv4)
{
    // The list depends on the machine; whatever it holds must be IPv4 text.
    const QStringList addresses = platform::hostAddresses();
    for (const QString &address : addresses) {
        in_addr parsed{};
        EXPECT_EQ(::inet_pton(AF_INET, address.toLatin1().constData(), &parsed), 1) << address.toStdString();
    }
}
