#include "startup_fixture.h"

#include "app/startup.h"
#include "common/english_texts.h"
#include "config/settings_record.h"
#include "config_state.h"
#include "ui/application.h"

StartupTest::StartupTest()
    : windows(CreateApplicationWindows()),
      form(windows.MainForm),
      previousHook_(SetProgramExitHook([](int code) { throw TProgramEnded(code); })) {
  ResetConfigStore();
  test::ResetToEnglishTexts();
  ui::Application().OnException = nullptr;
  system.Program = Distribution() + "setup.exe";
  system.Temp = folder / "systemp\\";
  PutFile(system.Program, "MZ");
}

StartupTest::~StartupTest() {
  SetProgramExitHook(previousHook_);
  ui::Application().OnException = nullptr;
  DestroyApplicationWindows();
  ResetConfigStore();
  test::ResetToEnglishTexts();
}

std::optional<int> StartupTest::Start(const std::vector<std::string>& arguments) {
  system.Args = arguments;
  try {
    FormShow(windows);
  } catch (const TProgramEnded& ended) {
    return ended.ExitCode();
  }
  return std::nullopt;
}

void StartupTest::SetProductValue(const std::string& name, const std::string& text) {
  registry.SetString(platform::RegistryRoot::LocalMachine, "Software\\Nivalis\\Tolva Mail Server",
                     name, text);
}

void StartupTest::SetProductFlag(const std::string& name, bool value) {
  registry.SetValue(platform::RegistryRoot::LocalMachine, "Software\\Nivalis\\Tolva Mail Server",
                    name,
                    {platform::RegistryValueType::Dword, {static_cast<uint8_t>(value), 0, 0, 0}});
}

std::string StartupTest::MakeInstallation(const std::string& name, const std::string& hostName,
                                          uint16_t webPort, const std::string& logPath,
                                          const std::string& interfaceLayout) {
  const std::string install = folder / (name + "\\");
  SettingsRecord record = BuiltInSettings();
  record.SetText(settings_field::HostName, hostName);
  record.SetNumber(settings_field::WebPort, webPort);
  record.SetText(settings_field::LogPath, logPath);
  record.SetText(settings_field::InterfaceLayout, interfaceLayout);
  PutSettingsFile(install + "config\\settings.cfg", record);
  return install;
}
