// Every file below a folder with its content, keyed by the relative name with
// `\` between folders: trees compare with one EXPECT_EQ.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

using TFileTree = std::map<std::string, std::string>;

TFileTree ReadTree(const std::string& folder);
void WriteTree(const std::string& folder, const TFileTree& tree);

// Names missing, surplus or different, without printing whole contents.
::testing::AssertionResult SameTree(const TFileTree& actual, const TFileTree& expected);
