#pragma once
// Opening and closing the hardware link of a session with track control: the track port (command
// station or booster), the second COM port of direct mode, the feedback port (parallel port or a
// COM-port S88 interface), and the worker threads T_S88, TComb and TCom. And the choice of the track
// port's UART format before each kind of transmission.
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/serial_port.h"

extern std::atomic<uint8_t> gLinkOpen;  // 1 while the link is open; the worker threads loop while set
// The port TCom writes to: the track port, or with two ports whichever holds the wanted format.
extern std::atomic<vestrel::SerialPort*> gTrackPort;
extern std::unique_ptr<vestrel::SerialPort> gPortA;            // the track port
extern std::unique_ptr<vestrel::SerialPort> gPortB;            // the second port of direct mode, or none
extern std::unique_ptr<vestrel::SerialPort> gFeedbackComPort;  // the COM-port S88 interface, or none
// 0 without a feedback port, else the cboS88poort character of the port opened ('1', '2', '3'..';').
extern uint8_t gFeedbackPort;
extern uint8_t gPlatform;             // 2: the one platform here
extern uint8_t gPortFormat[2];        // format code now set on port A and port B (0 unknown)
extern uint8_t gLastFormatRequest[3]; // direct mode, DCC, accessory of the previous format request
// Set when a port just changed format, cleared by TComb after its filler burst.
extern std::atomic<uint8_t> gComRequest;
extern std::atomic<uint8_t> gFormatSwitchMs;  // how long the last format change took, ms
extern int16_t gPollPeriod;                   // feedback poll period of command-station mode, ms
// Set by the running engine when the S88 modules are due to be read; cleared by the S88 thread.
extern std::atomic<uint8_t> gS88PollRequest;

// Opens the ports and starts the threads (a link still open is closed first). Failures are shown as
// messages; the link then stays closed or opens without the part that failed.
void openCommandStationLink();
// Stops the threads, then closes the ports; nothing when no link is open.
void closeCommandStationLink();
// Sets the track port's format for a transmission (dcc 1: DCC; accessory 1: an accessory packet);
// force 1: even when the request repeats the previous one. 1 when a port changed format (after
// waiting for TComb's filler burst), 0 when nothing had to change. Runs on the GUI thread and on TCom.
int selectTrackFormat(int dcc, int accessory, int force);
// The previous request again, forced (after a write error).
void forceTrackFormatAgain();
// 2: the platform's port layer (there is one family here).
int detectPlatform();
