// Socket errors as the client's error handler sees them, and the address as typed.
#include <gtest/gtest.h>

#include <QAbstractSocket>

#include "network/socket/net_socket_events.h"
#include "network/socket/net_sockets.h"
#include "platform/net_port.h"

namespace {

TEST(NetSocketEvents, EachSocketErrorHasItsEvent) {
    using E = QAbstractSocket;
    const std::pair<E::SocketError, NetSocketEvent> rows[] = {
        {E::ConnectionRefusedError, NetSocketEvent::Connect},
        {E::SocketTimeoutError, NetSocketEvent::Connect},
        {E::RemoteHostClosedError, NetSocketEvent::Disconnect},
        {E::HostNotFoundError, NetSocketEvent::Lookup},
        {E::DatagramTooLargeError, NetSocketEvent::Send},
        {E::NetworkError, NetSocketEvent::Receive},
        {E::SocketAccessError, NetSocketEvent::General},
        {E::SocketResourceError, NetSocketEvent::General},
        {E::AddressInUseError, NetSocketEvent::General},
        {E::UnknownSocketError, NetSocketEvent::General},
    };
    for (const auto& [error, event] : rows) EXPECT_EQ(netSocketErrorEvent(error), event) << error;
}

TEST(NetAddress, TheTypedAddressIsCleaned) {
    const std::pair<const char*, const char*> rows[] = {
        {"127.0.0.1", "127.0.0.1"},   {"127.000.000.001", "127.0.0.1"}, {" 10. 0. 0. 7", "10.0.0.7"},
        {"...", ""},                   {"", ""},                          {"   .   .   .   ", ""},
        {"zolder-pc", "zolder-pc"},
    };
    for (const auto& [typed, clean] : rows) EXPECT_EQ(netCleanAddress(typed), clean) << typed;
}

TEST(NetPort, FromTheEnvironmentElseOne) {
    const std::pair<const char*, int> rows[] = {{"4321", 4321}, {"", 1}, {"0", 1}, {"70000", 1}, {"12ab", 1}, {"65535", 65535}};
    for (const auto& [text, port] : rows) {
        qputenv("VESTREL_NET_PORT", text);
        EXPECT_EQ(vestrel::netPort(), port) << text;
    }
    qunsetenv("VESTREL_NET_PORT");
    EXPECT_EQ(vestrel::netPort(), 1);
}

}  // namespace
