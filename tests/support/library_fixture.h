// A test fixture holding a library, loaded afresh for each test and freed after it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "library_export.h"

class LibraryFixture : public testing::Test {
 protected:
  explicit LibraryFixture(const char* path) : path_(path) {}
  void SetUp() override {
    dll_ = LoadLibraryA(path_);
    ASSERT_NE(dll_, nullptr);
  }
  void TearDown() override {
    if (dll_) FreeLibrary(dll_);
  }
  // The export `name`; a missing one fails the test.
  template <typename F>
  F Get(const char* name) {
    auto f = LibraryExport<F>(dll_, name);
    EXPECT_NE(f, nullptr) << name;
    return f;
  }

  HMODULE dll_ = 0;

 private:
  const char* path_;
};
