// A fresh folder under the temporary folder for each test, removed afterwards.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"

namespace qv::testing {

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char name[MAX_PATH];
        ASSERT_NE(::GetTempFileNameA(win::TempFolder().c_str(), "qvt", 0, name), 0u);
        ::DeleteFileA(name);
        folder_ = std::string(name) + "\\";
        ASSERT_TRUE(win::ForceDirectories(folder_));
    }
    void TearDown() override {
        win::DeleteTree(folder_);
        win::RemoveFolder(folder_.substr(0, folder_.size() - 1));
    }
    std::string folder_;
};

}  // namespace qv::testing
