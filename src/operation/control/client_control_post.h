#pragma once
// The control post of a synchronised network client: commands become requests to the server.

// Handles command code for control-post row `row` on a synchronised client.
void controlPostCommandClient(int code, int row);
