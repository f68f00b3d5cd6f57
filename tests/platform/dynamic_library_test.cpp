#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

TEST(DynamicLibrary, LoadsBySystemNameAndReportsFailures) {
#ifdef _WIN32
  const char* name = "kernel32.dll";
  const char* symbol = "GetTickCount";
#else
  const char* name = "libz.so.1";
  const char* symbol = "crc32";
#endif
  platform::DynamicLibrary library(name);
  ASSERT_TRUE(library.IsLoaded()) << library.Error();
  EXPECT_NE(library.Symbol(symbol), nullptr);
  EXPECT_EQ(library.Symbol("NoSuchEntryPoint"), nullptr);

  platform::DynamicLibrary moved(std::move(library));
  EXPECT_TRUE(moved.IsLoaded());
  EXPECT_FALSE(library.IsLoaded());

  platform::DynamicLibrary missing;
  EXPECT_FALSE(missing.Load("no-such-library-here.dll"));
  EXPECT_FALSE(missing.Error().empty());
  EXPECT_EQ(missing.Symbol(symbol), nullptr);
}
