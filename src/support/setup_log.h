// A small logging facility: one line per call, the file opened and closed for
// every line so that the log is complete even if the process ends abruptly.
// The installer keeps one record, written through WriteSetupLog.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

enum TDebugOption : uint32_t {
  kLogDateTime = 0x1,   // "yyyy-mm-dd hh:nn:ss " in front of each line
  kLogThreadId = 0x2,   // then "[thread id] "
  kLogFirstLine = 0x4,  // only the text before its first line feed
  kLogDeleteOnOpen = 0x80,
  kLogToStdout = 0x100,  // standard output instead of the file, no prefixes
};

struct TDebugStruct {
  // May hold date-time patterns in double quotes, expanded at each write.
  std::string FileName;
  uint32_t Options = 0;
  std::mutex Lock;
  bool Active = false;
};

// The installer's record.
TDebugStruct& SetupLog();

bool OpenLog(TDebugStruct& log, const std::string& fileName, uint32_t options);
bool OpenLog(const std::string& fileName, uint32_t options);
// options 0: the record's own. True when the line reached its file.
bool WriteLog(TDebugStruct& log, const std::string& text, uint32_t options = 0);
bool WriteLog(const std::string& text, uint32_t options = 0);
void WriteSetupLog(const std::string& text);

// The file name with each "pattern" replaced by the local time so formatted.
std::string ExpandLogFileName(const std::string& fileName);
