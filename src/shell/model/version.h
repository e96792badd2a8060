#pragma once
// The program's version text: shown in the about box and compared by network peers in the handshake
// (8 characters; peers send it with its terminating zero).
constexpr const char* kVersionText = "02.06.09";
constexpr int kVersionTextSize = 9;  // with the zero
