#pragma once
// T_S88, the thread that reads the S88 feedback modules on the feedback port of direct mode, once per
// poll request of the running engine, and shows each read's result in lblHexIn.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "link/port/link_thread.h"

class T_S88 final : public LinkThread {
public:
    T_S88();  // created running
    ~T_S88() override;

protected:
    void Execute() override;
};

extern std::unique_ptr<T_S88> gS88Thread;  // the running T_S88, or none

// The result of the last read (kS88Ok .. kS88DataError of s88_reader.h) and the interface's wake-up
// time in ms.
extern std::atomic<uint8_t> gS88Status;
extern std::atomic<uint8_t> gS88ConverterMs;
// What lblHexIn shows now (status 10: nothing yet).
extern uint8_t gS88ShownStatus;
extern uint8_t gS88ShownMs;

// The text and colours (0x00BBGGRR) of a status; parallel: read on the parallel port.
struct S88Display {
    std::string text;
    uint32_t back;
    uint32_t font;
};
S88Display s88Display(uint8_t status, int ms, bool parallel);

// Shows gS88Status in lblHexIn (GUI thread); the same status with the same time, or one ms less, is
// not shown again.
void showS88Status();
