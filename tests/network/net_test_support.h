#pragma once
// Two real sockets on 127.0.0.1: the program's window on one end, a QTcpSocket or QTcpServer of the
// test on the other. Every wait is bounded.
#include <QByteArray>
#include <QTcpSocket>
#include <memory>
#include <vector>

// A port free on 127.0.0.1, put into VESTREL_NET_PORT for the program.
int useFreeNetPort();
// A peer connected to 127.0.0.1 at the port (fails the test when it does not connect).
std::unique_ptr<QTcpSocket> connectPeer(int port);
// Waits until at least n bytes have arrived and returns everything that has.
QByteArray readAtLeast(QTcpSocket& socket, int n);
// One send pass of the server (the pass runs on every third tick).
void runSendPass();
QByteArray bytesOf(const std::vector<uint8_t>& v);
