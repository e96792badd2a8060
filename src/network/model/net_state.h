#pragma once
// The network role and the live link state shared by every subsystem.
#include <cstdint>

extern uint8_t gNetMode;         // configured mode: 0 stand-alone, 30 server, 40 client
// Live link state, also the role rule of the queue functions. Client: 0 not connected, 1 connected,
// 2 handshake passed, 40 synchronised. Server: the highest state of its clients (30 = synchronised).
extern uint8_t gNetLinkState;
extern uint8_t gClientWatchdog;  // seconds without data on a synchronised client
// On a client: its own number + 1 as the server sent it (record 18), 0 before; names the client in the
// records that answer only it.
extern uint8_t gNetOwnClientNumber;

constexpr int kMaxNetClients = 10;

// The handshake: the server's banner is the maker word and its version text with the zero (19 bytes);
// the client answers with its program word and its own version text with the zero (16 bytes).
constexpr const char* kNetMakerWord = "Brandelwyn";
constexpr int kNetMakerWordSize = 10;
constexpr const char* kNetClientWord = "Vestrel";
constexpr int kNetClientWordSize = 7;
constexpr int kNetBannerSize = 19;
constexpr int kNetAnswerSize = 16;

// While it lives, the program acts as a stand-alone one: nothing is queued for peers and no operation
// turns into a request (loading a file; a client carrying out what its server already did).
class NetworkSilence {
public:
    NetworkSilence() : saved_(gNetLinkState) { gNetLinkState = 0; }
    ~NetworkSilence() { gNetLinkState = saved_; }
    NetworkSilence(const NetworkSilence&) = delete;
    NetworkSilence& operator=(const NetworkSilence&) = delete;

private:
    uint8_t saved_;
};
