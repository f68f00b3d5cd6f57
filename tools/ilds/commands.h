// The tool's commands; each returns the process exit code.
#pragma once

#include <string>
#include <vector>

int CreateCommand(const std::vector<std::string>& arguments);
int ExtractCommand(const std::vector<std::string>& arguments);
int ListCommand(const std::vector<std::string>& arguments);
