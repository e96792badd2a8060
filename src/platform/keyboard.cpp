#include "platform/keyboard.h"

#include <dirent.h>

#include <fstream>
#include <string>

namespace vestrel {
namespace {
int gCapsLockForTest = -1;

// The kernel lists each keyboard LED under /sys/class/leds as "inputN::capslock"; any one lit counts.
bool capsLockLedLit() {
    const std::string base = "/sys/class/leds";
    DIR* d = ::opendir(base.c_str());
    if (!d) return false;
    bool lit = false;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() < 10 || name.compare(name.size() - 10, 10, "::capslock") != 0) continue;
        std::ifstream in(base + "/" + name + "/brightness");
        int brightness = 0;
        if (in >> brightness && brightness > 0) {
            lit = true;
            break;
        }
    }
    ::closedir(d);
    return lit;
}
}  // namespace

bool capsLockOn() {
    if (gCapsLockForTest >= 0) return gCapsLockForTest != 0;
    return capsLockLedLit();
}

void setCapsLockForTest(int state) { gCapsLockForTest = state < 0 ? -1 : (state != 0 ? 1 : 0); }

}  // namespace vestrel
