#include "support/setup_log.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "platform/fake/fake_clock.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "support/file_io.h"

TEST(SetupLog, NothingBeforeOpen) {
  TempFolder temp;
  TDebugStruct log;
  log.FileName = temp / "setup\\setup.log";
  EXPECT_FALSE(WriteLog(log, "dropped"));
  EXPECT_FALSE(platform::PathExists(temp / "setup"));
}

TEST(SetupLog, LinesAppendAcrossRunsWithDateAndBreaks) {
  TempFolder temp;
  platform::FakeClock clock;
  const std::string file = temp / "logs\\setup\\setup.log";
  {
    TDebugStruct run;
    ASSERT_TRUE(OpenLog(run, file, kLogDateTime));
    EXPECT_TRUE(WriteLog(run, "Started"));
    clock.Advance(61000);
    EXPECT_TRUE(WriteLog(run, "Finished\r\n"));
  }
  {
    TDebugStruct second;
    ASSERT_TRUE(OpenLog(second, file, kLogDateTime));
    EXPECT_TRUE(WriteLog(second, "Again"));
  }
  EXPECT_EQ(ReadFileToString(file),
            "2024-03-01 14:05:09 Started\r\n"
            "2024-03-01 14:06:10 Finished\r\n\r\n"
            "2024-03-01 14:06:10 Again\r\n");
}

TEST(SetupLog, OptionBits) {
  TempFolder temp;
  platform::FakeClock clock;
  const std::string file = temp / "opts.log";
  PutFile(file, "old content\r\n");

  TDebugStruct log;
  ASSERT_TRUE(OpenLog(log, file, kLogDeleteOnOpen));
  EXPECT_FALSE(platform::PathExists(file));
  EXPECT_TRUE(WriteLog(log, "plain"));
  EXPECT_TRUE(WriteLog(log, "first\nsecond", kLogFirstLine));
  EXPECT_TRUE(WriteLog(log, "both\nlines"));
  EXPECT_TRUE(WriteLog(log, "tid", kLogThreadId));
  std::string expected = "plain\r\nfirst\r\nboth\nlines\r\n[" +
                         std::to_string(platform::CurrentThreadId()) + "] tid\r\n";
  EXPECT_EQ(ReadFileToString(file), expected);

  // Standard output: nothing reaches the file.
  testing::internal::CaptureStdout();
  EXPECT_FALSE(WriteLog(log, "to the console", kLogToStdout | kLogDateTime));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "to the console\n");
  EXPECT_EQ(ReadFileToString(file), expected);
}

TEST(SetupLog, DatePatternsInTheFileName) {
  TempFolder temp;
  platform::FakeClock clock;
  EXPECT_EQ(ExpandLogFileName("C:\\log.txt"), "C:\\log.txt");
  EXPECT_EQ(ExpandLogFileName("a\"yyyy\"b\"mm\"c"), "a2024b03c");
  EXPECT_EQ(ExpandLogFileName("open\"yy"), "open\"yy");

  TDebugStruct log;
  ASSERT_TRUE(OpenLog(log, temp / "log\"yyyymmdd\".txt", 0));
  EXPECT_TRUE(WriteLog(log, "march"));
  EXPECT_EQ(ReadFileToString(temp / "log20240301.txt"), "march\r\n");
  clock.Advance(86400000);
  EXPECT_TRUE(WriteLog(log, "next day"));
  EXPECT_EQ(ReadFileToString(temp / "log20240302.txt"), "next day\r\n");
}

TEST(SetupLog, UnwritableLogIsIgnored) {
  TempFolder temp;
  PutFile(temp / "file", "x");
  TDebugStruct log;
  ASSERT_TRUE(OpenLog(log, temp / "file\\sub\\setup.log", 0));
  EXPECT_FALSE(WriteLog(log, "lost"));
}

TEST(SetupLog, ConcurrentWritersKeepWholeLines) {
  TempFolder temp;
  TDebugStruct log;
  ASSERT_TRUE(OpenLog(log, temp / "threads.log", 0));
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([&log, t] {
      for (int i = 0; i < 50; ++i)
        WriteLog(log, "writer " + std::to_string(t) + " line");
    });
  for (auto& writer : writers)
    writer.join();
  std::string content = ReadFileToString(temp / "threads.log");
  size_t lines = 0;
  for (size_t at = 0; (at = content.find("\r\n", at)) != std::string::npos; at += 2)
    ++lines;
  EXPECT_EQ(lines, 200u);
  EXPECT_EQ(content.size(), 200u * std::string("writer 0 line\r\n").size());
}

TEST(SetupLog, TheInstallersRecord) {
  TempFolder temp;
  platform::FakeClock clock;
  WriteSetupLog("before open");
  EXPECT_FALSE(SetupLog().Active);
  ASSERT_TRUE(OpenLog(temp / "logs\\setup\\setup.log", kLogDateTime));
  WriteSetupLog("Checking running services");
  EXPECT_EQ(ReadFileToString(temp / "logs\\setup\\setup.log"),
            "2024-03-01 14:05:09 Checking running services\r\n");
  SetupLog().Active = false;
}
