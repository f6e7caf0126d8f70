// The folder a loaded file's dialog opens in next time.
#include <gtest/gtest.h>

#include <string>

#include "files/LoadFolder.h"

namespace {

std::string folder(const char* path, char separator, size_t capacity = kLoadFolderSize) {
    char text[kLoadFolderSize];
    return folderOf(path, separator, text, capacity) ? text : "(refused)";
}

TEST(LoadFolder, KeepsEveryComponentButTheFileName) {
    EXPECT_EQ(folder("C:\\Samples\\Kicks\\kick01.wav", '\\'), "C:\\Samples\\Kicks\\");
    EXPECT_EQ(folder("D:\\snare.wav", '\\'), "D:\\");
    EXPECT_EQ(folder("C:\\\\Samples\\\\\\x.wav", '\\'), "C:\\Samples\\");
    EXPECT_EQ(folder("C:/Samples/x.wav", '\\'), "");  // forward slashes are plain characters there
    EXPECT_EQ(folder("/home/me/kits/kick.wav", '/'), "/home/me/kits/");
    EXPECT_EQ(folder("/kick.wav", '/'), "/");
    EXPECT_EQ(folder("kick.wav", '/'), "");
}

TEST(LoadFolder, KeepsTheLeadingSeparatorsOfANetworkShare) {
    EXPECT_EQ(folder("\\\\server\\share\\hat.wav", '\\'), "\\\\server\\share\\");
    EXPECT_EQ(folder("//server/share/hat.wav", '/'), "//server/share/");
}

TEST(LoadFolder, FolderThatDoesNotFitIsRefusedNotCut) {
    EXPECT_EQ(folder("/abc/def/x.wav", '/', 9), "(refused)");
    EXPECT_EQ(folder("/abc/def/x.wav", '/', 10), "/abc/def/");
}

}  // namespace
