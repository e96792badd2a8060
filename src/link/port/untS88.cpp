#include "link/port/untS88.h"

#include "link/port/link_port.h"

std::unique_ptr<T_S88> gS88Thread;

T_S88::T_S88() { start(); }

T_S88::~T_S88() {
    Terminate();
    WaitFor();
}

// The modules are not read yet.
void T_S88::Execute() {
    while (!Terminated() && gLinkOpen) sleepMs(10);
}
