#include "shell/model/demo_script.h"

#include "platform/paths.h"

DemoScript gDemoScript;

bool DemoScript::open(const std::string& windowsPath) {
    close();
    in_.open(vestrel::resolvePath(windowsPath), std::ios::binary);
    return in_.is_open();
}

void DemoScript::close() {
    if (in_.is_open()) in_.close();
    in_.clear();
}

bool DemoScript::readLine(std::string& line) {
    line.clear();
    if (!in_.is_open() || !std::getline(in_, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool DemoScript::skipToChapter(int n) {
    std::string line;
    for (int found = 0; found < n;) {
        if (!readLine(line)) return false;
        if (!line.empty() && line[0] == '#') ++found;
    }
    return true;
}
