#pragma once
// The server's receive side: a client's handshake answer, then its requests.

// Handles the count bytes a client sent, now at the start of gNetInBuffer. 1 when they were
// understood, 0 otherwise.
int netServerReceive(int client, int count);
