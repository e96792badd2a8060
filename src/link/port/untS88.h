#pragma once
// T_S88, the thread that reads the S88 feedback modules on the feedback port of direct mode.
#include <memory>

#include "link/port/link_thread.h"

class T_S88 final : public LinkThread {
public:
    T_S88();  // created running
    ~T_S88() override;

protected:
    void Execute() override;
};

extern std::unique_ptr<T_S88> gS88Thread;  // the running T_S88, or none
