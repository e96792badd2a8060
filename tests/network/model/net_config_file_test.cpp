// The network configuration file vestrelnet.cfg against hand-made bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "network/model/net_config_file.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(NetConfigFile, AMissingFileIsCreatedEmptyAndReadsAsTwoEmptyTexts) {
    testsupport::ScratchDir dir;
    NetConfig config{"old", "old"};
    ASSERT_TRUE(readNetConfigFile(kNetConfigFileName, config));
    EXPECT_EQ(config.name, "");
    EXPECT_EQ(config.address, "");
    ASSERT_TRUE(std::filesystem::exists(dir.file("vestrelnet.cfg")));
    EXPECT_EQ(std::filesystem::file_size(dir.file("vestrelnet.cfg")), 0u);
}

TEST(NetConfigFile, ReadsHandMadeFiles) {
    struct Row {
        const char* what;
        std::string bytes;
        std::string name, address;
    };
    const Row rows[] = {
        {"name and address", std::string("Zolder-PC\0" "127.0.0.1\0", 20), "Zolder-PC", "127.0.0.1"},
        {"address only", std::string("\0" "127.0.0.1\0", 11), "", "127.0.0.1"},
        {"no zero at the end", "Zolder", "Zolder", ""},
        {"a name of 25 characters keeps 20", std::string("ABCDEFGHIJKLMNOPQRSTUVWXY\0" "10.0.0.1\0", 35),
         "ABCDEFGHIJKLMNOPQRST", "10.0.0.1"},
        {"8-bit text", std::string("Caf\xe9\0\0", 6), "Caf\xe9", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        testsupport::ScratchDir dir;
        writeBytes(dir.file("vestrelnet.cfg"), bytesOf(r.bytes));
        NetConfig config;
        ASSERT_TRUE(readNetConfigFile(kNetConfigFileName, config));
        EXPECT_EQ(config.name, r.name);
        EXPECT_EQ(config.address, r.address);
    }
}

TEST(NetConfigFile, ATwentyCharacterNameAndItsAddressReadBackAsWritten) {
    testsupport::ScratchDir dir;
    const NetConfig written{"ABCDEFGHIJKLMNOPQRST", "192.168.100.200"};
    ASSERT_TRUE(writeNetConfigFile(kNetConfigFileName, written));
    EXPECT_EQ(readBytes(dir.file("vestrelnet.cfg")), bytesOf(std::string("ABCDEFGHIJKLMNOPQRST\0" "192.168.100.200\0", 37)));
    NetConfig read;
    ASSERT_TRUE(readNetConfigFile(kNetConfigFileName, read));
    EXPECT_EQ(read.name, written.name);
    EXPECT_EQ(read.address, written.address);
}

TEST(NetConfigFile, WritingCutsEachTextAndKeepsTheRestOfALongerOldFile) {
    testsupport::ScratchDir dir;
    writeBytes(dir.file("vestrelnet.cfg"), bytesOf(std::string("Zolder-PC\0" "192.168.1.20\0", 23)));
    ASSERT_TRUE(writeNetConfigFile(kNetConfigFileName, {"", "10.0.0.7"}));
    EXPECT_EQ(readBytes(dir.file("vestrelnet.cfg")), bytesOf(std::string("\0" "10.0.0.7\0" "192.168.1.20\0", 23)));

    ASSERT_TRUE(writeNetConfigFile(kNetConfigFileName, {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", ""}));
    EXPECT_EQ(readBytes(dir.file("vestrelnet.cfg")), bytesOf(std::string("ABCDEFGHIJKLMNOPQRST\0\0\0", 23)));
}

}  // namespace
