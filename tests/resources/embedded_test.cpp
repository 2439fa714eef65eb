// The compiled-in table: every resource the programs ask for is found, under
// any case, with exactly the bytes of its file in resources/; other names
// are not found.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/embedded.h"
#include "resources/embedded_table.h"

namespace {

struct Expected {
    const char* name;
    const char* file;
};

constexpr Expected kResources[] = {
    {"Console", "bitmaps/Console.bmp"},     {"MinB", "bitmaps/MinB.bmp"},
    {"CloseB", "bitmaps/CloseB.bmp"},       {"Dialog", "bitmaps/Dialog.bmp"},
    {"BlueBlk", "bitmaps/BlueBlk.bmp"},     {"YellowBlk", "bitmaps/YellowBlk.bmp"},
    {"GreenBlk", "bitmaps/GreenBlk.bmp"},   {"PurpleBlk", "bitmaps/PurpleBlk.bmp"},
    {"RedBlk", "bitmaps/RedBlk.bmp"},       {"BlankBlk", "bitmaps/BlankBlk.bmp"},
    {"LeftDialog", "bitmaps/LeftDialog.bmp"}, {"RightDialog", "bitmaps/RightDialog.bmp"},
    {"LeftBD", "bitmaps/LeftBD.bmp"},       {"RightBD", "bitmaps/RightBD.bmp"},
    {"DialogBD", "bitmaps/DialogBD.bmp"},   {"GoBU", "bitmaps/GoBU.bmp"},
    {"GoBD", "bitmaps/GoBD.bmp"},           {"PauseBU", "bitmaps/PauseBU.bmp"},
    {"PauseBD", "bitmaps/PauseBD.bmp"},     {"AboutBU", "bitmaps/AboutBU.bmp"},
    {"AboutBD", "bitmaps/AboutBD.bmp"},     {"QuitBU", "bitmaps/QuitBU.bmp"},
    {"QuitBD", "bitmaps/QuitBD.bmp"},       {"TextBox", "bitmaps/TextBox.bmp"},
    {"P0", "bitmaps/P0.bmp"}, {"P1", "bitmaps/P1.bmp"}, {"P2", "bitmaps/P2.bmp"},
    {"P3", "bitmaps/P3.bmp"}, {"P4", "bitmaps/P4.bmp"}, {"P5", "bitmaps/P5.bmp"},
    {"P6", "bitmaps/P6.bmp"}, {"P7", "bitmaps/P7.bmp"},
    {"801", "sounds/801.wav"}, {"802", "sounds/802.wav"}, {"803", "sounds/803.wav"},
    {"804", "sounds/804.wav"}, {"805", "sounds/805.wav"}, {"806", "sounds/806.wav"},
    {"807", "sounds/807.wav"}, {"808", "sounds/808.wav"}, {"809", "sounds/809.wav"},
    {"icon.bmp", "icon/quarvelle-window.bmp"}, {"icon.ico", "icon/quarvelle.ico"},
    {"font.ttf", "font/DejaVuSans.ttf"},
};

std::vector<unsigned char> FileBytes(const char* relative)
{
    const std::string path = std::string(QUARVELLE_RESOURCE_DIR) + "/" + relative;
    std::vector<unsigned char> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(file)) != EOF) {
            bytes.push_back(static_cast<unsigned char>(c));
        }
        std::fclose(file);
    }
    return bytes;
}

TEST(EmbeddedResources, EveryResourceIsFoundWithTheBytesOfItsFile)
{
    EXPECT_EQ(EmbeddedTableSize, std::size(kResources));
    for (const Expected& expected : kResources) {
        SCOPED_TRACE(expected.name);
        const EmbeddedResource* found = FindEmbeddedResource(expected.name);
        ASSERT_NE(found, nullptr);
        const std::vector<unsigned char> file = FileBytes(expected.file);
        ASSERT_FALSE(file.empty());
        ASSERT_EQ(found->size, file.size());
        EXPECT_TRUE(std::equal(file.begin(), file.end(), found->data));
    }
}

TEST(EmbeddedResources, NamesAreComparedWithoutRegardToCase)
{
    const EmbeddedResource* console = FindEmbeddedResource("Console");
    ASSERT_NE(console, nullptr);
    for (const char* spelling : {"CONSOLE", "console", "cOnSoLe"}) {
        EXPECT_EQ(FindEmbeddedResource(spelling), console) << spelling;
    }
    EXPECT_EQ(FindEmbeddedResource("ICON.BMP"), FindEmbeddedResource("icon.bmp"));
    EXPECT_EQ(FindEmbeddedResource("p7"), FindEmbeddedResource("P7"));
}

TEST(EmbeddedResources, OtherNamesAreNotFound)
{
    for (const char* name : {"", "Consol", "Console2", "Console.bmp", "P8", "800", "810",
                             "icon", "font"}) {
        EXPECT_EQ(FindEmbeddedResource(name), nullptr) << '"' << name << '"';
    }
    EXPECT_EQ(FindEmbeddedResource(nullptr), nullptr);
}

}  // namespace
