#pragma once
// The client's receive side: the server's banner before the handshake, the records after it.

// Bytes of an unfinished banner or record kept at the start of gNetInBuffer for the next read.
extern int gNetCarriedBytes;

// Handles the count bytes at the start of gNetInBuffer (carried bytes included): 1 when all was
// handled, 255 when an unfinished banner or record is kept for the next read, 0 when the bytes were
// not understood and are dropped.
int netClientReceive(int count);
// Empties the client's own model before the server's full copy arrives: every train off the track
// and deleted, the wagons freed, the layout, routes, step programs and function decoders cleared.
void netClearClientModel();
