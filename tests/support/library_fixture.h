// A test fixture holding a bridge library, loaded afresh for each test and freed after it, with
// every export found by its name (SlaveExports or MasterExports).
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "master_library_win.h"
#include "slave_library_win.h"

template <typename Exports>
class LibraryFixture : public testing::Test {
 protected:
  explicit LibraryFixture(const char* path) : path_(path) {}
  void SetUp() override {
    dll_ = LoadLibraryA(path_);
    ASSERT_NE(dll_, nullptr);
    const char* missing = FindExports(dll_, lib_);
    ASSERT_EQ(missing, nullptr) << missing;
  }
  void TearDown() override {
    if (dll_) FreeLibrary(dll_);
  }

  HMODULE dll_ = 0;
  Exports lib_{};

 private:
  const char* path_;
};
