// The running test's own scratch folder: made when a test first asks for a
// file in it and removed with everything in it when that test ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/TempFolder.h"

namespace testsupport {

namespace detail {

inline std::unique_ptr<TempFolder>& currentFolder() {
    static std::unique_ptr<TempFolder> folder;
    return folder;
}

class FolderRemover : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { currentFolder().reset(); }
};

inline const bool folderRemoverInstalled =
    (::testing::UnitTest::GetInstance()->listeners().Append(new FolderRemover), true);

}  // namespace detail

// A path for name inside the running test's folder.
inline std::string testFile(const std::string& name) {
    std::unique_ptr<TempFolder>& folder = detail::currentFolder();
    EXPECT_TRUE(detail::folderRemoverInstalled);
    if (!folder) folder.reset(new TempFolder);
    EXPECT_FALSE(folder->path().empty()) << "no scratch folder";
    return folder->file(name);
}

// The running test's folder itself.
inline std::string testFolder() { return testFile(""); }

}  // namespace testsupport
