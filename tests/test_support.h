#pragma once
// Shared helpers for tests: a scratch working folder, fixtures and artefacts.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The limit of every wait for a state (threads, ports, sockets, the event loop): far beyond what a busy
// machine needs, so that running out of it means the state never came.
constexpr int kStateWaitLimitMs = 20000;

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
// A file of the sample and demo data the program ships (name relative to data/).
std::string shippedDataPath(const std::string& name);
// A sample or demo file the test has made with the program (at `made`) against the shipped one: written
// into the folder VESTREL_WRITE_SAMPLE names when it is set, and compared in every case.
void expectShippedData(const std::string& made, const std::string& name);
// Folder for files a test keeps for people to look at (screenshots); created on demand.
std::string artefactPath(const std::string& name);

// A second copy of a test program: a test starts its own program again with the environment variable
// VESTREL_TEST_PEER naming a role, which the copy then plays in place of the tests (two copies of the
// program's state, as two programs on a network have).
using PeerRole = int (*)();
// Registers a role (at static initialisation); returns true.
bool registerPeerRole(const std::string& name, PeerRole role);
// Plays the role named in VESTREL_TEST_PEER and gives its exit code; -1 when none is named.
int playPeerRole();

}  // namespace testsupport
