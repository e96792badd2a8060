#pragma once
// The server's table of client connections, in connection order: each with its state and the bytes
// it sent that do not make a whole answer yet. Client states: 0 refused (never served), 1 new (banner
// due), 2 banner sent, waiting for the answer, 3..21 full copy in progress, 30 synchronised.
#include <cstdint>
#include <vector>

#include "network/model/net_state.h"

class QTcpSocket;

extern QTcpSocket* gNetClients[kMaxNetClients];
extern uint8_t gNetClientStates[kMaxNetClients];
extern std::vector<uint8_t> gNetClientPending[kMaxNetClients];
extern int gNetClientCount;
// When each connection was entered (ms of the program's clock): one that has not answered the banner
// within kNetAnswerWaitMs is closed, so that silent connections cannot hold every slot.
extern uint32_t gNetClientJoinedMs[kMaxNetClients];
constexpr uint32_t kNetAnswerWaitMs = 5000;
// Set when a disconnect moved entries: the next send pass tells every synchronised client its number.
extern bool gNetClientListChanged;

// Enters the socket at the end with state 1; its index, or -1 when 10 clients are connected.
int netAddClient(QTcpSocket* socket);
// Removes the socket and moves the later entries down (setting the list-changed flag when one
// moved); its former index, or -1 when it was not in the table.
int netRemoveClient(QTcpSocket* socket);
// The first connection (index) still waiting for the banner or its answer kNetAnswerWaitMs after it
// was entered, at nowMs; -1 for none.
int netSilentClient(uint32_t nowMs);
// The socket's index in the table, or -1.
int netClientIndex(const QTcpSocket* socket);
// Empties the table (the sockets are not touched) and clears the list-changed flag.
void netForgetClients();
