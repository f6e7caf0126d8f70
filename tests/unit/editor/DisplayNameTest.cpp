// The name a pad shows for its sample path. Paths travel in banks and
// settings chunks between systems, so both separators split everywhere.
#include <gtest/gtest.h>

#include <string>

#include "editor/DisplayName.h"
#include "kit/Pad.h"

using editor::displayName;
using editor::kDisplayNameSize;

namespace {

std::string shown(const char* path) {
    char name[kDisplayNameSize];
    displayName(path, name);
    return name;
}

TEST(DisplayName, LastComponentUpToItsFirstDot) {
    EXPECT_EQ(shown(nullptr), "< none >");
    EXPECT_EQ(shown("/home/me/Samples/Kick 01.wav"), "Kick 01");
    EXPECT_EQ(shown("/Drums/Snare.Hard.wav"), "Snare");
    EXPECT_EQ(shown("/kit/.hidden.wav"), "hidden");
    EXPECT_EQ(shown("/kit/..."), "");
    EXPECT_EQ(shown("Clap"), "Clap");
    EXPECT_EQ(shown(""), "");
}

TEST(DisplayName, EitherSeparatorSplitsOnEverySystem) {
    EXPECT_EQ(shown("kit/kick.wav"), "kick");  // the demo bank's relative path
    EXPECT_EQ(shown("C:\\Kits\\kick.wav"), "kick");
    EXPECT_EQ(shown("\\\\server\\share\\hat.wav"), "hat");
    EXPECT_EQ(shown("D:\\Drums\\Snare.Hard.wav"), "Snare");
    EXPECT_EQ(shown("C:\\Kits/808\\Tom.wav"), "Tom");
    EXPECT_EQ(shown("/home/me/Kits\\Ride.wav"), "Ride");
    EXPECT_EQ(shown("C:/Kits/Clap.wav"), "Clap");
}

TEST(DisplayName, RunsAndTrailingSeparatorsCountAsOne) {
    EXPECT_EQ(shown("//kit//Ride.wav//"), "Ride");
    EXPECT_EQ(shown("C:\\kit\\\\Ride.wav\\"), "Ride");
    EXPECT_EQ(shown("kit/\\/\\Ride.wav\\/"), "Ride");
    EXPECT_EQ(shown("\\/"), "");
}

TEST(DisplayName, LongNamesAndPathsAreCutToFit) {
    std::string longName = "/kit/" + std::string(100, 'k') + ".wav";
    EXPECT_EQ(shown(longName.c_str()), std::string(63, 'k'));
    // The name is found however long the folders before it are.
    std::string path = "C:\\" + std::string(kPathSize - 9, 'f') + "\\Bell";
    ASSERT_EQ(path.size(), size_t(kPathSize - 1));
    EXPECT_EQ(shown(path.c_str()), "Bell");
}

}  // namespace
