// ReadWholeFile against real files: every byte of them, and the system's code when one cannot
// be opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"
#include "whole_file.h"

namespace {

// Every byte value, zero bytes and line ends included, repeated to `size` bytes.
std::string Bytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; i++) bytes[i] = static_cast<char>(i * 7 % 256);
  return bytes;
}

TEST(ReadWholeFile, ReadsEveryByteWhateverTheSize) {
  TempFolder folder;
  const std::string path = folder / "file.xml";
  // Around the size of one read, and several reads long.
  for (size_t size : {0, 1, 1022, 1023, 1024, 2046, 5000}) {
    WriteFileText(path, Bytes(size));
    std::string bytes = "stale";
    EXPECT_EQ(ReadWholeFile(path, bytes), 0u) << size;
    EXPECT_EQ(bytes, Bytes(size)) << size;
  }
}

TEST(ReadWholeFile, FileThatCannotBeOpenedGivesTheSystemsCodeAndLeavesTheBytes) {
  TempFolder folder;
  const std::string held = folder / "held.xml";
  WriteFileText(held, "held");
  // Another writer keeps the file open: reading shares it with readers only.
  HANDLE writer = CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const struct {
    std::string path;
    unsigned long code;
  } cases[] = {
      {folder / "missing.xml", ERROR_FILE_NOT_FOUND},
      {folder / "missing\\file.xml", ERROR_PATH_NOT_FOUND},
      {held, ERROR_SHARING_VIOLATION},
  };
  for (const auto& c : cases) {
    std::string bytes = "stale";
    EXPECT_EQ(ReadWholeFile(c.path, bytes), c.code) << c.path;
    EXPECT_EQ(bytes, "stale") << c.path;
  }
  CloseHandle(writer);
}

}  // namespace
