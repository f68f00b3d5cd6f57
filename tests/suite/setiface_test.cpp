// The antivirus engine's setup library stand-in, loaded from a folder and
// called through its plain entry names as the installer and the uninstall
// call it: what it copies and removes, what it answers, what it logs.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "support/text.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

using TInstall = int32_t(WINAPI*)(const char*, const char*, const char*, const char*, int32_t,
                                  uint32_t*);
using TUpdate = int32_t(WINAPI*)(const char*, const char*, int32_t, uint32_t*);
using TUninstall = int32_t(WINAPI*)(const char*, int32_t, int32_t, uint32_t*);
using TBufferEntry = int32_t(WINAPI*)(char*, uint32_t);
using TCheckUpdate = int32_t(WINAPI*)(const char*, int32_t, uint32_t*);

constexpr uint32_t kDone = 0x20000000;
constexpr const char* kInstallParameters = "/minicore /noreboot /forceinstall";

class Library {
 public:
  explicit Library(const std::string& path) : module_(LoadLibraryA(path.c_str())) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  bool Loaded() const { return module_ != nullptr; }
  template <typename T>
  T Entry(const char* name) const {
    return module_ ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
  }

 private:
  HMODULE module_;
};

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class SetifaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The engine as the deployment unpacks it: the library, the engine's
    // installer and a folder of its own.
    PutFile(engine + "avastoem.exe", "engine installer");
    PutFile(engine + "defs\\engine.vps", "definitions");
    ASSERT_TRUE(CopyFileA(SETIFACE_DLL, (engine + "setiface.dll").c_str(), FALSE)) << SETIFACE_DLL;
    SetEnvironmentVariableA("SETIFACE_LOG", log.c_str());
  }
  void TearDown() override { SetEnvironmentVariableA("SETIFACE_LOG", nullptr); }

  int32_t Install(const std::string& library, const std::string& target, uint32_t& result) {
    Library setiface(library);
    auto install = setiface.Entry<TInstall>("setifaceInstallProgram");
    if (!install) return -1;
    return install("Nivalis", (engine + "avastoem.exe").c_str(), target.c_str(), kInstallParameters,
                   2, &result);
  }

  TempFolder folder;
  const std::string engine = folder / "extract\\avast\\";
  const std::string install = folder / "install\\";
  const std::string setup = install + "avast\\setup\\";
  const std::string log = folder / "setiface.log";
};

TEST_F(SetifaceTest, InstallCopiesTheEngineUpdatesAnswerAndUninstallRemovesWhatInstallMade) {
  {
    Library setiface(engine + "setiface.dll");
    ASSERT_TRUE(setiface.Loaded());
    for (const char* name :
         {"setifaceInstallProgram", "setifaceUpdatePackages", "setifaceUpdateFiles",
          "setifaceUninstallProgram", "setifaceGimmePathToSetifaceVpu", "setifaceGetPartVersions",
          "setifaceCheckUpdate"})
      EXPECT_NE(setiface.Entry<void*>(name), nullptr) << name;
  }
  // A read-only copy left by an earlier engine is replaced.
  PutFile(setup + "avastoem.exe", "old installer");
  SetFileAttributesA((setup + "avastoem.exe").c_str(), FILE_ATTRIBUTE_READONLY);
  uint32_t result = 0;
  ASSERT_EQ(Install(engine + "setiface.dll", install + "avast", result), 0);
  EXPECT_EQ(result, kDone);
  EXPECT_EQ(GetFile(setup + "avastoem.exe"), "engine installer");
  EXPECT_EQ(GetFile(setup + "defs\\engine.vps"), "definitions");
  EXPECT_EQ(GetFile(setup + "setiface.dll"), GetFile(engine + "setiface.dll"));
  EXPECT_EQ(GetFile(setup + "setiface.lst"),
            "avastoem.exe\r\ndefs\\engine.vps\r\nsetiface.dll\r\n");

  {
    // The installer's second load: the engine's own copy.
    Library setiface(setup + "setiface.dll");
    ASSERT_TRUE(setiface.Loaded());
    uint32_t updated = 0, packages = 0, waiting = 7;
    EXPECT_EQ(setiface.Entry<TUpdate>("setifaceUpdateFiles")("Nivalis", "/overwrite", 2, &updated),
              0);
    EXPECT_EQ(updated, kDone);
    EXPECT_EQ(setiface.Entry<TUpdate>("setifaceUpdatePackages")("Nivalis", "", 2, &packages), 0);
    EXPECT_EQ(packages, kDone);
    EXPECT_EQ(setiface.Entry<TCheckUpdate>("setifaceCheckUpdate")("Nivalis", 2, &waiting), 0);
    EXPECT_EQ(waiting, 0u);

    char buffer[MAX_PATH] = "x";
    auto vpu = setiface.Entry<TBufferEntry>("setifaceGimmePathToSetifaceVpu");
    ASSERT_EQ(vpu(buffer, sizeof buffer), 0);
    EXPECT_TRUE(SameText(buffer, setup + "setiface.vpu")) << buffer;
    EXPECT_EQ(vpu(buffer, 4), 4);  // too small: an empty text, not a cut path
    EXPECT_STREQ(buffer, "");
    auto versions = setiface.Entry<TBufferEntry>("setifaceGetPartVersions");
    ASSERT_EQ(versions(buffer, sizeof buffer), 0);
    EXPECT_THAT(std::string(buffer), HasSubstr("engine="));

    uint32_t removed = 0;
    EXPECT_EQ(setiface.Entry<TUninstall>("setifaceUninstallProgram")("Nivalis", 0, 2, &removed), 0);
    EXPECT_EQ(removed, kDone);
    EXPECT_FALSE(Exists(setup + "avastoem.exe"));
    EXPECT_FALSE(Exists(setup + "defs"));
    EXPECT_FALSE(Exists(setup + "setiface.lst"));
    // The running library is its caller's to remove once unloaded.
    EXPECT_TRUE(Exists(setup + "setiface.dll"));
  }
  EXPECT_TRUE(Exists(engine + "avastoem.exe"));  // the source stays as it was

  EXPECT_THAT(
      Lines(GetFile(log)),
      ElementsAre("setifaceInstallProgram \"Nivalis\" \"" + engine + "avastoem.exe\" \"" + install +
                      "avast\" \"/minicore /noreboot /forceinstall\" 2",
                  "setifaceUpdateFiles \"Nivalis\" \"/overwrite\" 2",
                  "setifaceUpdatePackages \"Nivalis\" \"\" 2", "setifaceCheckUpdate \"Nivalis\" 2",
                  "setifaceGimmePathToSetifaceVpu " + std::to_string(MAX_PATH),
                  "setifaceGimmePathToSetifaceVpu 4",
                  "setifaceGetPartVersions " + std::to_string(MAX_PATH),
                  "setifaceUninstallProgram \"Nivalis\" 0 2"));
}

TEST_F(SetifaceTest, BadArgumentsAndMissingFilesGiveErrorCodesWithoutHarm) {
  Library setiface(engine + "setiface.dll");
  ASSERT_TRUE(setiface.Loaded());
  auto installEntry = setiface.Entry<TInstall>("setifaceInstallProgram");
  uint32_t result = 0;
  const std::string installer = engine + "avastoem.exe";
  const std::string target = install + "avast";
  EXPECT_EQ(installEntry(nullptr, installer.c_str(), target.c_str(), "", 2, &result), 1);
  EXPECT_EQ(installEntry("Nivalis", installer.c_str(), nullptr, "", 2, &result), 1);
  EXPECT_EQ(installEntry("Nivalis", installer.c_str(), "", "", 2, &result), 1);
  EXPECT_EQ(installEntry("Nivalis", installer.c_str(), target.c_str(), "", 2, nullptr), 1);
  // Without the engine's installer nothing is installed.
  EXPECT_EQ(
      installEntry("Nivalis", (engine + "missing.exe").c_str(), target.c_str(), "", 2, &result), 2);
  EXPECT_FALSE(Exists(install));
  // A target below a file cannot be made.
  PutFile(install + "file", "x");
  EXPECT_EQ(
      installEntry("Nivalis", installer.c_str(), (install + "file\\avast").c_str(), "", 2, &result),
      3);
  EXPECT_EQ(result, 0u);

  uint32_t answer = 0;
  EXPECT_EQ(setiface.Entry<TUpdate>("setifaceUpdateFiles")("Nivalis", "/overwrite", 2, nullptr), 1);
  EXPECT_EQ(setiface.Entry<TUpdate>("setifaceUpdatePackages")(nullptr, "", 2, &answer), 1);
  EXPECT_EQ(setiface.Entry<TCheckUpdate>("setifaceCheckUpdate")("Nivalis", 2, nullptr), 1);
  EXPECT_EQ(setiface.Entry<TBufferEntry>("setifaceGimmePathToSetifaceVpu")(nullptr, 100), 1);
  EXPECT_EQ(setiface.Entry<TBufferEntry>("setifaceGetPartVersions")(nullptr, 0), 1);
  EXPECT_EQ(setiface.Entry<TUninstall>("setifaceUninstallProgram")(nullptr, 0, 2, &answer), 1);
  EXPECT_EQ(answer, 0u);
  // Nothing installed beside this library: the uninstall has nothing to do.
  EXPECT_EQ(setiface.Entry<TUninstall>("setifaceUninstallProgram")("Nivalis", 0, 2, &answer), 0);
  EXPECT_EQ(answer, kDone);

  const std::vector<std::string> lines = Lines(GetFile(log));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0],
            "setifaceInstallProgram (null) \"" + installer + "\" \"" + target + "\" \"\" 2");
  EXPECT_EQ(lines[3], "setifaceInstallProgram \"Nivalis\" \"" + installer + "\" \"" + target +
                          "\" \"\" 2 no-result");
  EXPECT_EQ(lines[10], "setifaceGetPartVersions no-buffer 0");
}

TEST_F(SetifaceTest, UninstallKeepsToItsFolderAndTheLogFollowsTheInstallation) {
  SetEnvironmentVariableA("SETIFACE_LOG", nullptr);
  uint32_t result = 0;
  ASSERT_EQ(Install(engine + "setiface.dll", install + "avast\\", result), 0);
  // A record that names files outside the engine's folder.
  PutFile(folder / "outside.txt", "keep");
  PutFile(setup + "setiface.lst", "avastoem.exe\r\n..\\..\\..\\outside.txt\r\n" + folder.Path() +
                                      "outside.txt\r\ndefs\\engine.vps\r\n");
  {
    Library setiface(setup + "setiface.dll");
    ASSERT_EQ(setiface.Entry<TUninstall>("setifaceUninstallProgram")("Nivalis", 0, 2, &result), 0);
  }
  EXPECT_EQ(GetFile(folder / "outside.txt"), "keep");
  EXPECT_FALSE(Exists(setup + "avastoem.exe"));
  EXPECT_FALSE(Exists(setup + "defs\\engine.vps"));

  // Without SETIFACE_LOG both calls went to the installation's log.
  EXPECT_THAT(Lines(GetFile(install + "logs\\setiface.log")),
              ElementsAre(HasSubstr("setifaceInstallProgram \"Nivalis\""),
                          "setifaceUninstallProgram \"Nivalis\" 0 2"));
  EXPECT_FALSE(Exists(log));
  EXPECT_FALSE(Exists(folder / "logs"));
}

}  // namespace
