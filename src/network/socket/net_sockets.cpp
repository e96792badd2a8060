// The main window's network sockets: opening and closing them, and their events.
#include "network/socket/net_sockets.h"

#include <QHostAddress>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_socket_events.h"
#include "network/sync/client_receive.h"
#include "network/sync/server_receive.h"
#include "operation/control/emergency_stop.h"
#include "platform/clock.h"
#include "platform/net_port.h"
#include "platform/text_codec.h"
#include "shell/main/session.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {
constexpr vestrel::TColor kLightOrange = vestrel::rgb(255, 176, 128);

// The socket stops reporting to the window before it goes, so that closing it is not taken for the
// peer's disconnect.
void dropSocket(QTcpSocket* socket) {
    QObject::disconnect(socket, nullptr, frmSchema, nullptr);
    socket->abort();
    socket->deleteLater();
}

void showClientCount() { showNetLabel(QString::asprintf(" SERVER %d ", gNetClientCount).toLatin1().constData()); }

// After connections left the table: with none left the link is down.
void showClientsLeft() {
    if (gNetClientCount == 0) {
        gNetLinkState = 0;
        colourNetLabel(vestrel::clGray);
    }
    showClientCount();
}

// Closes a connection of the table and frees its slot.
void closeEnteredClient(QTcpSocket* socket) {
    netRemoveClient(socket);
    dropSocket(socket);
}
}  // namespace

void showNetLabel(const char* text) {
    if (!frmSchema) return;
    QLabel* l = frmSchema->lblNet;
    l->setText(QString::fromLatin1(text));
    // The label grows with its text, so that a role's number shows whole.
    l->resize(std::max(l->width(), l->sizeHint().width()), l->height());
}

void colourNetLabel(vestrel::TColor colour) {
    if (frmSchema) setTextColour(frmSchema->lblNet, colour);
}

void setNetLabelVisible(bool visible) {
    if (frmSchema) frmSchema->lblNet->setVisible(visible);
}

// ---------------------------------------------------------------- server

bool netOpenServer() {
    const int port = vestrel::netPort();
    if (frmSchema->ServerSocket1->listen(QHostAddress::Any, static_cast<quint16>(port))) return true;
    setStatusLine("Netwerkpoort " + std::to_string(port) + " niet geopend: " +
                      vestrel::toCp1252(frmSchema->ServerSocket1->errorString()),
                  1);
    setStatusLine("", 0);
    return false;
}

void netCloseServer() {
    if (!frmSchema) return;
    frmSchema->ServerSocket1->close();
    for (int i = 0; i < gNetClientCount; ++i) dropSocket(gNetClients[i]);
    netForgetClients();
    gNetLinkState = 0;
}

void netCloseSilentClients() {
    if (!frmSchema) return;
    bool closed = false;
    for (int i; (i = netSilentClient(vestrel::tickCountMs())) >= 0; closed = true) closeEnteredClient(gNetClients[i]);
    if (closed) showClientsLeft();
}

bool netServerListening() { return frmSchema && frmSchema->ServerSocket1->isListening(); }

void netServerWrite(int client, const uint8_t* bytes, int n) {
    if (client < 0 || client >= gNetClientCount || n <= 0) return;
    gNetClients[client]->write(reinterpret_cast<const char*>(bytes), n);
}

void TfrmSchema::ServerSocket1GetSocket() {
    while (QTcpSocket* socket = ServerSocket1->nextPendingConnection()) {
        // An eleventh connection is closed at once: it is never entered and never served.
        if (netAddClient(socket) < 0) {
            dropSocket(socket);
            continue;
        }
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { ServerSocket1ClientDisconnect(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { ServerSocket1ClientError(socket); });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ServerSocket1ClientRead(socket); });
        showClientCount();
    }
}

void TfrmSchema::ServerSocket1ClientDisconnect(QTcpSocket* socket) {
    QObject::disconnect(socket, nullptr, this, nullptr);
    socket->deleteLater();
    if (netRemoveClient(socket) < 0) return;
    showClientsLeft();
}

// Errors of a client connection are swallowed: a broken connection ends in its disconnect.
void TfrmSchema::ServerSocket1ClientError(QTcpSocket*) {}

void TfrmSchema::ServerSocket1ClientRead(QTcpSocket* socket) {
    while (socket->bytesAvailable() > 0) {
        const int client = netClientIndex(socket);
        if (client < 0) {
            socket->readAll();
            return;
        }
        const qint64 n = socket->read(reinterpret_cast<char*>(gNetInBuffer), kNetBufferSize);
        if (n <= 0) return;
        netServerReceive(client, static_cast<int>(n));
        // A connection refused for another version is never served: it goes at once, freeing its slot.
        if (gNetClientStates[client] == 0 && gNetClients[client] == socket) {
            closeEnteredClient(socket);
            showClientsLeft();
            return;
        }
    }
}

// ---------------------------------------------------------------- client

std::string netCleanAddress(const std::string& address) {
    std::string text;
    for (char c : address)
        if (c != ' ') text.push_back(c);
    if (!std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
        return text;
    if (text.find_first_not_of('.') == std::string::npos) return "";
    std::string out;
    size_t start = 0;
    while (true) {
        const size_t dot = text.find('.', start);
        std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        const size_t first = part.find_first_not_of('0');
        part = first == std::string::npos ? (part.empty() ? "" : "0") : part.substr(first);
        out += part;
        if (dot == std::string::npos) break;
        out += '.';
        start = dot + 1;
    }
    return out;
}

void netOpenClient(const std::string& host, const std::string& address) {
    const std::string clean = netCleanAddress(address);
    const std::string target = clean.empty() ? host : clean;
    frmSchema->ClientSocket1->connectToHost(vestrel::fromCp1252(target), static_cast<quint16>(vestrel::netPort()));
}

void netCloseClient() {
    if (frmSchema && frmSchema->ClientSocket1->state() != QAbstractSocket::UnconnectedState)
        frmSchema->ClientSocket1->abort();
}

bool netClientOpen() { return frmSchema && frmSchema->ClientSocket1->state() != QAbstractSocket::UnconnectedState; }

bool netClientConnected() {
    return frmSchema && frmSchema->ClientSocket1->state() == QAbstractSocket::ConnectedState;
}

void netClientWrite(const uint8_t* bytes, int n) {
    if (netClientConnected() && n > 0) frmSchema->ClientSocket1->write(reinterpret_cast<const char*>(bytes), n);
}

void TfrmSchema::ClientSocket1Connect() {
    gNetLinkState = 1;
    gClientWatchdog = 0;
    gNetCarriedBytes = 0;
}

void TfrmSchema::ClientSocket1Disconnect() {
    // Requests queued for a link that is gone must not reach the next server before its handshake.
    gNetOutFill = 0;
    gNetCarriedBytes = 0;
    if (gNetLinkState == 0) return;
    gNetLinkState = 0;
    colourNetLabel(vestrel::clGray);
    emergencyStopAll(0);
    closeAllDialogs(1);
}

void TfrmSchema::ClientSocket1Error(int socketError) {
    const NetSocketEvent event = netSocketErrorEvent(socketError);
    colourNetLabel(event == NetSocketEvent::General ? vestrel::clRed : kLightOrange);
    if (event != NetSocketEvent::Disconnect) netCloseClient();
    closeAllDialogs(1);
}

void TfrmSchema::ClientSocket1Read() {
    while (ClientSocket1->state() == QAbstractSocket::ConnectedState && ClientSocket1->bytesAvailable() > 0) {
        if (gNetCarriedBytes >= kNetBufferSize) gNetCarriedBytes = 0;
        const qint64 n = ClientSocket1->read(reinterpret_cast<char*>(gNetInBuffer + gNetCarriedBytes),
                                             kNetBufferSize - gNetCarriedBytes);
        if (n <= 0) return;
        netClientReceive(gNetCarriedBytes + static_cast<int>(n));
    }
}

void netCloseSockets() {
    if (!frmSchema) return;
    QObject::disconnect(frmSchema->ClientSocket1, nullptr, frmSchema, nullptr);
    frmSchema->ClientSocket1->abort();
    netCloseServer();
}

void TfrmSchema::buildNetSockets() {
    ServerSocket1 = new QTcpServer(this);
    ServerSocket1->setObjectName("ServerSocket1");
    connect(ServerSocket1, &QTcpServer::newConnection, this, &TfrmSchema::ServerSocket1GetSocket);
    ClientSocket1 = new QTcpSocket(this);
    ClientSocket1->setObjectName("ClientSocket1");
    connect(ClientSocket1, &QTcpSocket::connected, this, &TfrmSchema::ClientSocket1Connect);
    connect(ClientSocket1, &QTcpSocket::disconnected, this, &TfrmSchema::ClientSocket1Disconnect);
    connect(ClientSocket1, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError e) { ClientSocket1Error(static_cast<int>(e)); });
    connect(ClientSocket1, &QTcpSocket::readyRead, this, &TfrmSchema::ClientSocket1Read);
}
