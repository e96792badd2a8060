#pragma once
// The network mode and the network configuration file vestrelnet.cfg.

// Reads the server's name and address from vestrelnet.cfg into the settings dialog's edtPCNaam and
// edtPCAdres (a missing file is created empty).
void loadNetConfig();
// Writes edtPCNaam and edtPCAdres to vestrelnet.cfg.
void saveNetConfig();
// Switches to stand-alone (0), server (30) or client (40): the server listens only while a
// control-post session runs; a client connects to the server of the settings dialog.
void setNetworkMode(int mode);
// A client whose socket was closed (by its watchdog, a lost server or a refused connection) connects
// to the configured server again; nothing while the socket is open or connecting.
void reopenClientSocket();
