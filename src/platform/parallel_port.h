#pragma once
// Parallel ports "LPT1", "LPT2" through the kernel's ppdev: "LPTn" is the device named in the
// environment variable VESTREL_LPTn, else /dev/parport<n-1>. The port is claimed while open.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vestrel {

class ParallelPort {
public:
    virtual ~ParallelPort() = default;
    virtual uint8_t readData() = 0;
    virtual void writeData(uint8_t v) = 0;
    virtual uint8_t readStatus() = 0;
    virtual uint8_t readControl() = 0;
    virtual void writeControl(uint8_t v) = 0;
};

// The device file of "LPTn" (n 1..9); empty for any other name.
std::string parallelDevicePath(const std::string& lptName);
// Opens and claims the port; null when it cannot be opened or claimed. Through the opener set by
// setParallelOpener when there is one (tests).
std::unique_ptr<ParallelPort> openParallelPort(const std::string& lptName);
using ParallelOpener = std::function<std::unique_ptr<ParallelPort>(const std::string& lptName)>;
void setParallelOpener(ParallelOpener opener);  // empty: the real devices again

}  // namespace vestrel
