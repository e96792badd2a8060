#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "test_support.h"

using namespace vestrel;

TEST(TextCodec, RoundTripsEveryByteAndMapsTheWindowsRange) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
    EXPECT_EQ(fromCp1252(std::string("\x80\xE9")), QString::fromUtf8("€é"));
    EXPECT_EQ(toCp1252(QString::fromUtf8("Ω")), "?");
    const char buf[5] = {'a', 'b', 0, 'c', 'd'};
    EXPECT_EQ(fromCp1252(buf, 5), "ab");
}

TEST(Paths, BackslashesBecomeSlashesAndExistingNamesMatchWithoutCase) {
    testsupport::ScratchDir dir;
    EXPECT_EQ(toLocalPath("foto\\loc\\00blanco.bmp"), "foto/loc/00blanco.bmp");
    std::filesystem::create_directories("Demo/Sub");
    std::ofstream("Demo/Sub/Layout.VTL") << "x";
    EXPECT_EQ(resolvePath("demo\\sub\\layout.vtl"), "Demo/Sub/Layout.VTL");
    EXPECT_TRUE(fileExists("DEMO\\SUB\\LAYOUT.vtl"));
    EXPECT_EQ(resolvePath("demo\\new.vtl"), "Demo/new.vtl");
    EXPECT_FALSE(fileExists("nothing.vtl"));
}

TEST(Paths, CurrentDirectoryIsNotCut) {
    testsupport::ScratchDir dir;
    std::string deep = std::string(120, 'd');
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    EXPECT_GT(currentDirectory().size(), 120u);
    EXPECT_EQ(currentDirectory(), std::filesystem::current_path().string());
}

TEST(Clock, ManualClockReplacesTheSourceAndRestoresIt) {
    {
        ManualClock clock(1000);
        EXPECT_EQ(tickCountMs(), 1000u);
        clock.advance(30);
        EXPECT_EQ(tickCountMs(), 1030u);
    }
    // Restored: the machine's tick, not one that starts with the program (a program in its first second
    // would have every cycle count as a second of the model clock and of the network watchdog).
    // The machine's tick read between two reads of tickCountMs lies between them (modulo 2^32).
    const uint32_t before = tickCountMs();
    const auto sinceBoot = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now().time_since_epoch()).count();
    const uint32_t after = tickCountMs();
    EXPECT_LE(static_cast<uint32_t>(static_cast<uint32_t>(sinceBoot) - before), static_cast<uint32_t>(after - before));
}
