#pragma once
// The two sockets of the main window (ServerSocket1, ClientSocket1) as the network code uses them.
// Everything runs on the GUI thread; nothing here waits for the network.
#include <cstdint>
#include <string>

#include "platform/canvas.h"

// Shows the text on lblNet, and colours it.
void showNetLabel(const char* text);
void colourNetLabel(vestrel::TColor colour);
void setNetLabelVisible(bool visible);

// Listens on every address at the network port (vestrel::netPort()). When that is refused, the port
// and the system's reason go on the status line and false is returned.
bool netOpenServer();
// Closes the server socket and every client connection, and forgets the clients.
void netCloseServer();
bool netServerListening();
// Closes the connections that have not answered the banner in time and frees their slots.
void netCloseSilentClients();
// Sends bytes to a client of the table.
void netServerWrite(int client, const uint8_t* bytes, int n);

// Closes both sockets quietly as the program ends (no disconnect handling).
void netCloseSockets();

// Connects the client socket to the address, or to the host when the address is empty.
void netOpenClient(const std::string& host, const std::string& address);
void netCloseClient();
// True from the start of a connection attempt until the socket is closed.
bool netClientOpen();
bool netClientConnected();
// Sends bytes to the server while connected.
void netClientWrite(const uint8_t* bytes, int n);

// The address as typed, without blanks and the leading zeros of each part ("192.168.001.010" reads
// 192.168.1.10); "" when nothing but the dots of the entry mask is left.
std::string netCleanAddress(const std::string& address);
