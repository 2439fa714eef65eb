// A fixture for tests on the score file: each test runs in a fresh folder of
// its own (the file lives in the current folder), with the recording seam and
// its file steps cleared, and the folder is removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "tests/support/fake_file_store.h"
#include "tests/support/fake_platform.h"

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "quarvelle-scores-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratch_ = pattern;
        std::filesystem::current_path(scratch_);
        fake::ResetFake();
        fake::ResetFiles();
    }
    void TearDown() override {
        std::filesystem::current_path(home_);
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }

private:
    std::filesystem::path home_;
    std::filesystem::path scratch_;
};
