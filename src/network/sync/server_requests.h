#pragma once
// The server performs a synchronised client's request with the operations of the control post, which
// queue their own broadcasts for every client.

// Handles the request record of that length at the start of gNetInBuffer (gRequestingClient names the
// client). 1 when it was understood and its object found, 0 when it was ignored.
int netHandleRequest(int length);
