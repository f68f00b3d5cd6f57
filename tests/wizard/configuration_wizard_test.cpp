#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/fake/fake_automation.h"
#include "platform/fake/fake_clock.h"
#include "support/setup_log.h"
#include "system/ole_object.h"
#include "ui/headless/headless_backend.h"
#include "wizard/configuration_wizard.h"
#include "wizard/database_storage.h"
#include "wizard/setup_wizard.h"

using platform::AutomationValue;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char* const kDomain = "NivalisServer.DomainObject";
const char* const kApi = "NivalisServer.APIObject";
const char* const kAccount = "NivalisServer.AccountObject";

class ConfigurationTest : public ::testing::Test {
 protected:
  ConfigurationTest() {
    OpenLog(folder / "setup.log", 0);
    for (const char* progId : {kDomain, kApi, kAccount})
      com.Register(progId);
    com.Returns(kDomain, "Save", AutomationValue::Bool(true));
    com.Returns(kAccount, "Save", AutomationValue::Bool(true));
    BindSetupWizardForm(form);
  }
  ~ConfigurationTest() override { SetupLog().Active = false; }

  std::string Log() { return GetFile(folder / "setup.log"); }
  // Walks the wizard with these texts and finishes it.
  void RunWizard(const std::string& host, const std::string& domain, const std::string& user,
                 const std::string& password) {
    backend.WhenModal("TSetupWizardForm", [&](ui::TForm&) {
      backend.Type(*form.HostNameEdit, host);
      backend.Click(*form.NextButton);
      backend.ReplaceText(*form.DomainEdit, domain);
      backend.Click(*form.NextButton);
      backend.Type(*form.UserEdit, user);
      if (!password.empty()) backend.Type(*form.PasswordEdit, password);
      backend.Click(*form.NextButton);
      backend.Click(*form.NextButton);
    });
    RunConfigurationWizard(form);
  }

  TempFolder folder;
  ui::THeadlessBackend backend;
  platform::FakeAutomation com;
  TSetupWizardForm form;
};

TEST_F(ConfigurationTest, TheWizardsValuesReachTheSuiteInOrderWithTheirTypes) {
  RunWizard(" mail.example.test", " example.test ", " administrator ", "");
  EXPECT_THAT(
      com.Journal,
      ElementsAre(
          "Initialize", "Create NivalisServer.DomainObject",
          "NivalisServer.DomainObject#1.New(BSTR \"example.test\")",
          "NivalisServer.DomainObject#1.SetProperty(BSTR \"D_AdminEmail\", BSTR "
          "\"administrator@example.test\")",
          "NivalisServer.DomainObject#1.SetProperty(BSTR \"D_Postmaster\", BSTR "
          "\"postmaster;admin;administrator;supervisor;hostmaster;webmaster;abuse\")",
          "NivalisServer.DomainObject#1.Save()", "Release NivalisServer.DomainObject#1",
          "Create NivalisServer.APIObject",
          "NivalisServer.APIObject#1.MakePrimaryDomain(BSTR \"example.test\")",
          "NivalisServer.APIObject#1.SetProperty(BSTR \"C_Mail_SMTP_General_HostName\", "
          "WideString \" mail.example.test\")",
          "NivalisServer.APIObject#1.Save()", "Release NivalisServer.APIObject#1", "Initialize",
          "Create NivalisServer.AccountObject",
          "NivalisServer.AccountObject#1.New(BSTR \"administrator@example.test\")",
          "NivalisServer.AccountObject#1.SetProperty(BSTR \"U_Alias\", BSTR \"administrator\")",
          "NivalisServer.AccountObject#1.SetProperty(BSTR \"U_Mailbox\", BSTR \"administrator\")",
          "NivalisServer.AccountObject#1.SetProperty(BSTR \"U_Password\", BSTR \"\")",
          "NivalisServer.AccountObject#1.SetProperty(BSTR \"U_Name\", BSTR* \"Administrator\")",
          "NivalisServer.AccountObject#1.SetProperty(BSTR \"U_Admin\", BOOL true)",
          "NivalisServer.AccountObject#1.Save()", "Release NivalisServer.AccountObject#1"));
  EXPECT_EQ(com.LiveObjects(), 0u);
  EXPECT_EQ(Log().find("Setup wizard"), std::string::npos) << Log();

  // Cancel writes nothing at all.
  com.Journal.clear();
  backend.WhenModal("TSetupWizardForm", [&](ui::TForm&) {
    backend.Type(*form.HostNameEdit, "h");
    backend.PressKey(*form.HostNameEdit, ui::kKeyEscape);
  });
  RunConfigurationWizard(form);
  EXPECT_THAT(com.Journal, IsEmpty());
}

TEST_F(ConfigurationTest, ValuesAreCutTrimmedAndNamedAsTheSuiteWants) {
  EXPECT_EQ(AdministratorDisplayName("administrator"), "Administrator");
  EXPECT_EQ(AdministratorDisplayName("9lives"), "9lives");
  EXPECT_EQ(AdministratorDisplayName("\xe9lan"), "\xe9lan");  // only a to z
  EXPECT_EQ(AdministratorDisplayName("Zed"), "Zed");
  EXPECT_EQ(AdministratorDisplayName(""), "");

  const std::string longDomain(300, 'd');
  TConfigurationValues values =
      ConfigurationValues(u"  host  ", " " + longDomain + " ", "\tuser ", " pw ");
  EXPECT_EQ(values.HostName, u"  host  ");
  EXPECT_EQ(values.Domain, std::string(255, 'd'));
  EXPECT_EQ(values.User, "user");
  EXPECT_EQ(values.AdminAddress, "user@" + std::string(250, 'd'));
  EXPECT_EQ(values.Password, " pw ");

  // A digit first is kept in the display name that goes by reference.
  RunWizard("h", "d", "1admin", "pw");
  EXPECT_THAT(com.MemberCalls(),
              ::testing::Contains(
                  "NivalisServer.AccountObject#1.SetProperty(BSTR \"U_Name\", BSTR* \"1admin\")"));
  EXPECT_THAT(com.MemberCalls(),
              ::testing::Contains(
                  "NivalisServer.AccountObject#1.SetProperty(BSTR \"U_Password\", BSTR \"pw\")"));
}

TEST_F(ConfigurationTest, RefusedSavesAndMissingServersAreLoggedAndTheOtherStepRuns) {
  // The suite refuses the domain: its code is logged, the host name and the
  // account are still set.
  com.Returns(kDomain, "Save", AutomationValue::Bool(false));
  com.Returns(kDomain, "LastErr", AutomationValue::Int(3));
  com.Returns(kAccount, "Save", AutomationValue::Int(0));
  com.Returns(kAccount, "LastErr", AutomationValue::String("7"));
  EXPECT_FALSE(RunConfigurationUnattended("h", "example.test", "admin", "pw"));
  EXPECT_EQ(Log(), "Setup wizard domain error: 3\r\n\r\nSetup wizard account error: 7\r\n\r\n");
  EXPECT_THAT(com.MemberCalls(),
              ::testing::Contains("NivalisServer.APIObject#1.MakePrimaryDomain(BSTR "
                                  "\"example.test\")"));
  EXPECT_THAT(com.MemberCalls(), ::testing::Contains("NivalisServer.AccountObject#1.Save()"));

  // A server's exception ends its step with the server's message; a
  // missing server fails the other step the same way.
  PutFile(folder / "setup.log", "");
  com.Throws(kApi, "MakePrimaryDomain", "The domain does not exist");
  com.Returns(kDomain, "Save", AutomationValue::Bool(true));
  {
    platform::FakeAutomation unregistered;  // knows no ProgID
    EXPECT_FALSE(RunConfigurationUnattended("h", "example.test", "admin", "pw"));
    EXPECT_EQ(Log(),
              "Setup wizard error: Invalid class string\r\n\r\nSetup wizard error: Invalid class "
              "string\r\n\r\n");
  }
  PutFile(folder / "setup.log", "");
  EXPECT_FALSE(RunConfigurationUnattended("h", "example.test", "admin", "pw"));
  EXPECT_EQ(
      Log(),
      "Setup wizard error: The domain does not exist\r\n\r\nSetup wizard account error: 7\r\n\r\n");

  // A result that is no number is an error of its step, too.
  PutFile(folder / "setup.log", "");
  com.Returns(kAccount, "Save", AutomationValue::Bool(false));
  com.Returns(kAccount, "LastErr", AutomationValue::String("bad"));
  com.Returns(kApi, "MakePrimaryDomain", AutomationValue());
  EXPECT_FALSE(RunConfigurationUnattended("h", "example.test", "admin", "pw"));
  EXPECT_EQ(Log(),
            "Setup wizard error: Could not convert variant of type (BSTR) into type "
            "(Integer)\r\n\r\n");

  // Blank values are refused before anything is created.
  PutFile(folder / "setup.log", "");
  com.Journal.clear();
  EXPECT_FALSE(RunConfigurationUnattended("h", "  ", "admin", "pw"));
  EXPECT_FALSE(RunConfigurationUnattended("", "d", "admin", "pw"));
  EXPECT_FALSE(RunConfigurationUnattended("h", "d", " ", "pw"));
  EXPECT_THAT(com.Journal, IsEmpty());
  EXPECT_NE(Log().find("Setup wizard error: a host name, a domain and a user name are needed"),
            std::string::npos);
  com.Returns(kAccount, "Save", AutomationValue::Bool(true));
  EXPECT_TRUE(RunConfigurationUnattended(" h", " d ", "u", ""));
}

TEST_F(ConfigurationTest, DatabaseStorageCallsInOrderAndWaitsThroughTheClock) {
  platform::FakeClock clock;
  // The server may rewrite the connection it was given by reference.
  com.On(kApi, "CreateTables", [](std::vector<AutomationValue>& arguments) {
    arguments[1].Text = u"changed";
    return platform::AutomationCall{};
  });
  const std::string connection = "tolva;sa;pw;;7;3";
  CreateDatabaseStorage(connection);
  EXPECT_THAT(
      com.Journal,
      ElementsAre("Initialize", "Create NivalisServer.APIObject",
                  "NivalisServer.APIObject#1.CreateTables(I4 2, BSTR* \"tolva;sa;pw;;7;3\")",
                  "NivalisServer.APIObject#1.CreateTables(I4 3, BSTR* \"tolva;sa;pw;;7;3\")",
                  "NivalisServer.APIObject#1.CreateTables(I4 0, BSTR* \"tolva;sa;pw;;7;3\")",
                  "NivalisServer.APIObject#1.SetProperty(BSTR "
                  "\"C_System_Storage_Accounts_StorageMode\", I4 2)",
                  "NivalisServer.APIObject#1.Save()", "Release NivalisServer.APIObject#1",
                  "Create NivalisServer.APIObject",
                  "NivalisServer.APIObject#2.ConvertStorage(BOOL true)",
                  "Release NivalisServer.APIObject#2"));
  EXPECT_THAT(clock.Sleeps(), ElementsAre(2000u, 2000u));

  // An exception ends the step at once, silently.
  com.Journal.clear();
  com.Throws(kApi, "CreateTables", "no database");
  CreateDatabaseStorage(connection);
  EXPECT_THAT(
      com.MemberCalls(),
      ElementsAre("NivalisServer.APIObject#3.CreateTables(I4 2, BSTR* \"tolva;sa;pw;;7;3\")"));
  EXPECT_EQ(clock.Sleeps().size(), 2u);
  EXPECT_EQ(com.LiveObjects(), 0u);
  EXPECT_EQ(Log(), "");
}

TEST(OleObject, ResultsConvertAsVariantsDoAndErrorsCarryTheServersText) {
  EXPECT_TRUE(ResultBoolean(AutomationValue::Bool(true)));
  EXPECT_FALSE(ResultBoolean(AutomationValue()));
  EXPECT_TRUE(ResultBoolean(AutomationValue::Int(-1)));
  EXPECT_FALSE(ResultBoolean(AutomationValue::String("False")));
  EXPECT_TRUE(ResultBoolean(AutomationValue::String(" 1 ")));
  EXPECT_EQ(ResultInteger(AutomationValue::Bool(true)), -1);
  EXPECT_EQ(ResultInteger(AutomationValue::String("-12")), -12);
  EXPECT_THROW(ResultInteger(AutomationValue::String("12x")), EOleError);
  EXPECT_THROW(ResultInteger(AutomationValue::String("99999999999")), EOleError);

  platform::FakeAutomation com;
  com.Register("P.Q");
  com.Throws("P.Q", "Fail", "the server's own words");
  TOleObject object = CreateOleObject("P.Q");
  try {
    object.Call("Fail");
    ADD_FAILURE() << "no exception";
  } catch (const EOleError& error) {
    EXPECT_STREQ(error.what(), "the server's own words");
    EXPECT_EQ(error.Code(), platform::FakeAutomation::kException);
  }
  object.Put("Name", AutomationValue::Int(4));
  object.Get("Name");
  EXPECT_THAT(com.MemberCalls(), ElementsAre("P.Q#1.Fail()", "P.Q#1.Name=(I4 4)", "P.Q#1.Name?"));
}

}  // namespace
