#pragma once
// The network mode and the network configuration file vestrelnet.cfg.

// Reads the server's name and address from vestrelnet.cfg.
void loadNetConfig();
// Switches to stand-alone (0), server (30) or client (40).
void setNetworkMode(int mode);
