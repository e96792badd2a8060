// Photo names offered by the folders and taken from a file dialog: never cut to fit the photo field.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "operation/draw/vehicle_photos.h"
#include "test_support.h"

namespace {

TEST(PhotoNames, FoldersOfferOnlyBitmapNamesThatFitTheField) {
    testsupport::ScratchDir dir;
    std::filesystem::create_directories(dir.file("Foto/LOC"));
    std::filesystem::create_directories(dir.file("elders"));
    for (const char* name : {"kort.bmp", "ABC.BMP", "tienletter.bmp", "elfletters1.bmp", "notitie.txt"})
        testsupport::writeBytes(dir.file(std::string("Foto/LOC/") + name), {0});
    testsupport::writeBytes(dir.file("elders/kort.bmp"), {0});
    EXPECT_EQ(photoNamesIn("foto\\loc\\"), (std::vector<std::string>{"ABC", "kort", "tienletter"}));
    const struct {
        const char* chosen;
        const char* name;
    } cases[] = {{"Foto/LOC/kort.bmp", "kort"},
                 {"Foto/LOC/ABC.BMP", "ABC"},
                 {"Foto/LOC/elfletters1.bmp", ""},  // would not fit: not taken, never cut
                 {"elders/kort.bmp", ""},           // outside the folder
                 {"Foto/LOC/notitie.txt", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(photoNameOfChosenFile("foto\\loc\\", dir.file(c.chosen)), c.name) << c.chosen;
}

}  // namespace
