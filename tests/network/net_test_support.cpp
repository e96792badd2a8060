#include "net_test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

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

PeerCopy::PeerCopy(const char* role) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VESTREL_TEST_PEER", role);
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QCoreApplication::applicationFilePath(), {});
}

PeerCopy::~PeerCopy() { quit(); }

int PeerCopy::quit() {
    if (process_.state() != QProcess::NotRunning) {
        process_.write("quit\n");
        if (!process_.waitForFinished(20000)) process_.kill();
    }
    return process_.exitCode();
}

std::string PeerCopy::answer() {
    while (true) {
        if (!processUntil([&] { return process_.canReadLine() || process_.state() == QProcess::NotRunning; }) ||
            !process_.canReadLine())
            return "no answer";
        const std::string line = process_.readLine().trimmed().toStdString();
        if (!line.empty() && line[0] == '@') return line.substr(1);
    }
}

std::string PeerCopy::ask(const std::string& line) {
    process_.write(QByteArray::fromStdString(line + '\n'));
    return answer();
}

void sayToTest(const std::string& line) {
    std::printf("@%s\n", line.c_str());
    std::fflush(stdout);
}

int answerPeerLines(const std::function<std::string(const std::string&)>& answer) {
    sayToTest("ready");
    std::string input;
    while (true) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, 5) <= 0) continue;
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) return 0;
        input.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = input.find('\n')) != std::string::npos;) {
            const std::string line = input.substr(0, end);
            input.erase(0, end + 1);
            if (line == "quit") return 0;
            if (std::string said = answer(line); !said.empty()) sayToTest(said);
        }
    }
}
