#include "net_test_support.h"

#include <gtest/gtest.h>

#include <QTcpServer>

#include "network/sync/server_copy.h"
#include "shell/shell_test_support.h"

int useFreeNetPort() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    qputenv("VESTREL_NET_PORT", QByteArray::number(port));
    return port;
}

std::unique_ptr<QTcpSocket> connectPeer(int port) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    EXPECT_TRUE(processUntil([&] { return socket->state() == QAbstractSocket::ConnectedState; }));
    return socket;
}

QByteArray readAtLeast(QTcpSocket& socket, int n) {
    EXPECT_TRUE(processUntil([&] { return socket.bytesAvailable() >= n; })) << "only " << socket.bytesAvailable();
    return socket.readAll();
}

void runSendPass() {
    gNetSendCounter = 2;
    netServerSendPass();
}

QByteArray bytesOf(const std::vector<uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}
