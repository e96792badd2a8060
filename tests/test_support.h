#pragma once
// Shared helpers for tests: a scratch working folder, fixtures and artefacts.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Makes a fresh empty folder, changes into it, and changes back (removing it) on destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    std::string previous_;
};

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<uint8_t>& data);
std::string fixturePath(const std::string& name);
// Folder for files a test keeps for people to look at (screenshots); created on demand.
std::string artefactPath(const std::string& name);

}  // namespace testsupport
