#pragma once
// The server's share of the main cycle: the send pass, the handshake banner and the full copy that
// brings a new client from an empty model to a copy of the server's.

// Called on every main-cycle tick; every third tick while the server socket is open it sends the
// queued broadcasts to the synchronised clients, tells them their numbers after a disconnect moved
// them, and sends one client its banner or its next part of the full copy.
void netServerSendPass();
// Adds what the client is due to the outgoing buffer and returns the buffer's fill: the banner for a
// new client (state 1 -> 2), nothing for a synchronised one (30). While a session runs, a client past
// the handshake (3..21) gets the next part of the full copy: its number, the layout offset and
// orientation, then the tables record by record (pointers as indexes) from gNetCopyIndex on as far as
// the buffer holds them, and finally the settings and the end record (state 30). 0 for a refused
// client.
int netBuildSnapshot(int client);
// Queues a position record (kind 2 code 24) for each train on the track that moved (run flags A
// 0x08, cleared when sent) while the buffer has room: number, slot, the head position, then both
// positions of every wagon of the rear chain and of the front chain. Returns the fill index.
int netQueueTrainChanges();

// Counts main-cycle ticks 1..3 between send passes.
extern int gNetSendCounter;
// Where the full copy resumes inside the current table (one copying client at a time).
extern int gNetCopyIndex;
