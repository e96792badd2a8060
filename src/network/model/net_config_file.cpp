#include "network/model/net_config_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/byte_io.h"
#include "platform/paths.h"

namespace {

std::string readText(const std::vector<uint8_t>& data, size_t& pos) {
    std::string text;
    while (pos < data.size()) {
        const uint8_t b = data[pos++];
        if (b == 0) break;
        if (text.size() < static_cast<size_t>(kNetConfigTextMax)) text.push_back(static_cast<char>(b));
    }
    return text;
}

void putText(std::vector<uint8_t>& data, size_t& pos, const std::string& text) {
    const size_t n = std::min(text.size(), static_cast<size_t>(kNetConfigTextMax));
    for (size_t k = 0; k <= n; ++k) {
        const uint8_t b = k < n ? static_cast<uint8_t>(text[k]) : 0;
        if (pos < data.size())
            data[pos] = b;
        else
            data.push_back(b);
        ++pos;
    }
}

}  // namespace

bool readNetConfigFile(const std::string& path, NetConfig& config) {
    const std::string local = vestrel::resolvePath(path);
    std::vector<uint8_t> data;
    if (!vestrel::readWholeFile(local, data)) {
        if (vestrel::fileExists(path) || !vestrel::writeFileAtomic(local, {})) return false;
        data.clear();
    }
    size_t pos = 0;
    config.name = readText(data, pos);
    config.address = readText(data, pos);
    return true;
}

bool writeNetConfigFile(const std::string& path, const NetConfig& config) {
    const std::string local = vestrel::resolvePath(path);
    std::vector<uint8_t> data;
    vestrel::readWholeFile(local, data);
    size_t pos = 0;
    putText(data, pos, config.name);
    putText(data, pos, config.address);
    return vestrel::writeFileAtomic(local, data);
}
