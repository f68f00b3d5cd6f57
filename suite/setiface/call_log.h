// The stand-in's call log: one line per call, the entry's name followed by its
// arguments, so that tests read from the outside what the installer asked.
#pragma once

#include <cstdint>
#include <string>

// Builds one log line: strings are written in double quotes ("(null)" for a
// null pointer), numbers in decimal.
class TCallLine {
 public:
  explicit TCallLine(const char* entry) : text_(entry) {}
  TCallLine& Text(const char* value);
  TCallLine& Number(int64_t value);
  // Result and buffer pointers leave no trace unless they are missing.
  TCallLine& Result(const void* pointer) { return Missing(pointer, "no-result"); }
  TCallLine& Buffer(const void* pointer) { return Missing(pointer, "no-buffer"); }
  const std::string& Line() const { return text_; }

 private:
  TCallLine& Missing(const void* pointer, const char* word);
  std::string text_;
};

// Appends the line to the log file. The log is the file named by the
// environment variable SETIFACE_LOG, else "logs\setiface.log" of the
// installation: installationFolder when it is given, otherwise the folder
// that holds "avast\setup\" with this library in it.
void AppendCallLog(const TCallLine& line, const std::string& installationFolder = {});
