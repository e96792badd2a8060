#pragma once
// The network configuration file "vestrelnet.cfg" in the working folder: the server a client connects
// to, as two zero-terminated texts of at most 20 characters, the PC name (host) and the PC address.
#include <string>

constexpr const char* kNetConfigFileName = "vestrelnet.cfg";
constexpr int kNetConfigTextMax = 20;

struct NetConfig {
    std::string name;     // 8-bit Windows text
    std::string address;
};

// Reads the file; a missing file is created empty and reads as two empty texts. A text ends at its
// zero byte or at the end of the file; characters beyond 20 are dropped. false (and config
// untouched) when the file can neither be read nor created.
bool readNetConfigFile(const std::string& path, NetConfig& config);
// Writes both texts, each cut to 20 characters with its zero, over the start of the file; the bytes
// of a longer old file behind them stay. Written through a temporary file; false when that fails.
bool writeNetConfigFile(const std::string& path, const NetConfig& config);
