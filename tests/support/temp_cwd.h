// A fixture whose tests run in a fresh temporary directory as the current
// directory (where logs and other relative files land), removed afterwards.
#pragma once

#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace vxtest {

class InTempDir : public testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    std::string pattern = testing::TempDir() + "cwdXXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(home_);
    std::filesystem::remove_all(dir_);
  }
  // The names in a folder.
  static std::set<std::string> Listing(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
  }

  std::filesystem::path dir_, home_;
};

}  // namespace vxtest
