#include "support/programs.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"

TEST(FindSwitch, PrefixesCaseAndValues) {
  platform::FakeSystem system;
  system.Args = {"x", "-", "plain", "/Lang=de", "--DEBUG", "-o", "out.txt", "-pvalue"};
  std::string value = "stale";
  EXPECT_TRUE(FindSwitch("LANG", value));
  EXPECT_EQ(value, "de");
  EXPECT_TRUE(FindSwitch("debug", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(FindSwitch("debug", value, true));
  EXPECT_TRUE(FindSwitch("DEBUG", value, true));
  EXPECT_FALSE(FindSwitch("plain", value));
  EXPECT_EQ(value, "");

  // Attached values: one letter, the rest or the next argument.
  EXPECT_TRUE(FindSwitch("o", value, false, true));
  EXPECT_EQ(value, "out.txt");
  EXPECT_TRUE(FindSwitch("p", value, false, true));
  EXPECT_EQ(value, "value");

  system.Args = {"/silent", "-k"};
  EXPECT_TRUE(FindSwitch("k", value, false, true));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(FindSwitch("", value));
}

TEST(RunProgram, HandsTheRequestToTheShell) {
  platform::FakeShell shell;
  RunProgram(nullptr, "open", "http://localhost/mail/", "", "", 1);
  RunProgram(nullptr, "", std::string(300, 'f'), "-a", "C:\\", 3);
  ASSERT_EQ(shell.Opened.size(), 2u);
  EXPECT_EQ(shell.Opened[0].Verb, "open");
  EXPECT_EQ(shell.Opened[0].File, "http://localhost/mail/");
  EXPECT_EQ(shell.Opened[1].Verb, "");
  EXPECT_EQ(shell.Opened[1].File.size(), 255u);
  EXPECT_EQ(shell.Opened[1].Parameters, "-a");
  EXPECT_EQ(shell.Opened[1].ShowCommand, 3);

  shell.ShareResult = false;
  EXPECT_FALSE(ConnectNetworkShare("\\\\host\\share", "u", "p"));
  ASSERT_EQ(shell.Shares.size(), 1u);
  EXPECT_EQ(shell.Shares[0].Remote, "\\\\host\\share");
}
