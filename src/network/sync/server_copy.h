#pragma once
// The server's share of the main cycle.

// Every third tick while the server socket is open: the broadcasts and the clients' full copies.
void netServerSendPass();
