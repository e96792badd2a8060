#include "platform/net_port.h"

#include <cstdlib>
#include <string>

namespace vestrel {

int netPort() {
    const char* text = std::getenv("VESTREL_NET_PORT");
    if (!text || !*text) return kDefaultNetPort;
    char* end = nullptr;
    const long port = std::strtol(text, &end, 10);
    if (*end != '\0' || port < 1 || port > 65535) return kDefaultNetPort;
    return static_cast<int>(port);
}

}  // namespace vestrel
