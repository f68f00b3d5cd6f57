#include "support/setup_log.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "support/date_time.h"
#include "support/paths.h"

TDebugStruct& SetupLog() {
  static TDebugStruct log;
  return log;
}

std::string ExpandLogFileName(const std::string& fileName) {
  if (fileName.find('"') == std::string::npos) return fileName;
  const platform::LocalTime now = platform::CurrentClock().Now();
  std::string result;
  size_t i = 0;
  while (i < fileName.size()) {
    size_t open = fileName.find('"', i);
    size_t close = open == std::string::npos ? open : fileName.find('"', open + 1);
    if (close == std::string::npos) {
      result.append(fileName, i, std::string::npos);
      break;
    }
    result.append(fileName, i, open - i);
    result += FormatDateTime(std::string_view(fileName).substr(open + 1, close - open - 1), now);
    i = close + 1;
  }
  return result;
}

bool OpenLog(TDebugStruct& log, const std::string& fileName, uint32_t options) {
  std::lock_guard<std::mutex> guard(log.Lock);
  log.FileName = fileName;
  log.Options = options;
  log.Active = true;
  if (options & kLogDeleteOnOpen) platform::RemoveFile(ExpandLogFileName(fileName));
  return true;
}

bool OpenLog(const std::string& fileName, uint32_t options) {
  return OpenLog(SetupLog(), fileName, options);
}

bool WriteLog(TDebugStruct& log, const std::string& text, uint32_t options) {
  if (!log.Active) return false;
  if (options == 0) options = log.Options;
  const std::string fileName = ExpandLogFileName(log.FileName);
  std::lock_guard<std::mutex> guard(log.Lock);
  try {
    if (options & kLogToStdout) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputs("\n", stdout);
      std::fflush(stdout);
      return false;
    }
    platform::File file;
    // An existing log is only ever appended to, never created anew.
    if (platform::PathExists(fileName)) {
      if (!file.Open(fileName, platform::FileMode::ReadWrite)) return false;
      file.SeekToEnd();
    } else {
      ForceFolders(ExtractFilePath(fileName));
      if (!file.Open(fileName, platform::FileMode::Create)) return false;
    }
    std::string line;
    if (options & kLogDateTime)
      line += FormatDateTime("yyyy-mm-dd hh\":\"nn\":\"ss", platform::CurrentClock().Now()) + " ";
    if (options & kLogThreadId) line += "[" + std::to_string(platform::CurrentThreadId()) + "] ";
    line += (options & kLogFirstLine) ? text.substr(0, text.find('\n')) : text;
    line += "\r\n";
    file.Write(line.data(), line.size());
    file.Close();
    return true;
  } catch (...) {
    // A log that cannot be written loses the line; the run goes on.
    return false;
  }
}

bool WriteLog(const std::string& text, uint32_t options) {
  return WriteLog(SetupLog(), text, options);
}

void WriteSetupLog(const std::string& text) {
  WriteLog(text, 0);
}
