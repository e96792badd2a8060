#include "network/socket/net_socket_events.h"

#include <QAbstractSocket>

NetSocketEvent netSocketErrorEvent(int socketError) {
    switch (static_cast<QAbstractSocket::SocketError>(socketError)) {
        case QAbstractSocket::ConnectionRefusedError:
        case QAbstractSocket::SocketTimeoutError: return NetSocketEvent::Connect;
        case QAbstractSocket::RemoteHostClosedError: return NetSocketEvent::Disconnect;
        case QAbstractSocket::HostNotFoundError: return NetSocketEvent::Lookup;
        case QAbstractSocket::DatagramTooLargeError: return NetSocketEvent::Send;
        case QAbstractSocket::NetworkError: return NetSocketEvent::Receive;
        default: return NetSocketEvent::General;
    }
}
