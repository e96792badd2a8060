#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <iterator>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

ScratchDir::ScratchDir() {
    previous_ = fs::current_path().string();
    std::string tmpl = (fs::temp_directory_path() / "vestrel-test-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
    fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

std::string fixturePath(const std::string& name) { return std::string(VESTREL_FIXTURES) + "/" + name; }

std::string shippedDataPath(const std::string& name) { return fixturePath("../../data/" + name); }

void expectShippedData(const std::string& made, const std::string& name) {
    const std::vector<uint8_t> bytes = readBytes(made);
    if (const char* out = std::getenv("VESTREL_WRITE_SAMPLE")) writeBytes(std::string(out) + "/" + name, bytes);
    EXPECT_EQ(bytes, readBytes(shippedDataPath(name)))
        << "data/" << name << " differs from what the program makes: the test's first lines say how to write it again";
}

std::string artefactPath(const std::string& name) {
    fs::create_directories(VESTREL_ARTEFACTS);
    return std::string(VESTREL_ARTEFACTS) + "/" + name;
}

namespace {

std::map<std::string, PeerRole>& peerRoles() {
    static std::map<std::string, PeerRole> roles;
    return roles;
}

}  // namespace

bool registerPeerRole(const std::string& name, PeerRole role) {
    peerRoles()[name] = role;
    return true;
}

int playPeerRole() {
    const char* name = std::getenv("VESTREL_TEST_PEER");
    if (!name) return -1;
    const auto it = peerRoles().find(name);
    return it == peerRoles().end() ? 2 : it->second();
}

}  // namespace testsupport
