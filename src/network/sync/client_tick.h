#pragma once
// The synchronised client's share of the main cycle.

// Runs instead of the running engine while the client is synchronised with its server.
void runTrainsCycleClient();
// Sends the outgoing buffer to the server, whole, and empties it; only while synchronised.
void netClientSendPass();
