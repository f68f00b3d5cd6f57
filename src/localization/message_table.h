// The installer's message texts. Each entry starts with its English text and
// is overwritten in place when a language file supplies its key, so callers
// always read the current value through Message() and never keep a copy.
// Texts with %s are templates that the caller fills.
#pragma once

#include <cstddef>
#include <string>

// Entries in registration order, which is also their order in an exported
// language file. The enumerators are the keys.
enum class TMessage : int {
  cName,
  cOldName,
  cDoYouExit,
  cDoYouExitTitle,
  UninstallDesc,
  cTolvaWebmail,
  cTolvaWebmail2,
  cTolvaWebAdmin,
  LinkDesc,
  TolvaSMTPLinkDesc,
  TolvaPOP3LinkDesc,
  TolvaControlLinkDesc,
  TolvaIMLinkDesc,
  TolvaGWLinkDesc,
  ServerDesktopTitle,
  cSetup,
  cInstallQ,
  cInstallLicenseQ,
  cDownloadingFiles,
  cUnInstallQ,
  cComplete,
  cCompleteRemove,
  cInternet,
  cNotRunning,
  cTutorialCaption,
  cInformation,
  cError,
  cErrorDir,
  cErrorFile,
  cErrorDataFile,
  cServiceError,
  cRegistryError,
  cErrorText,
  cQuestion,
  cNewerVersion,
  cExtractingFiles,
  cInstalling,
  cStarting,
  cFinishing,
  cUnInstalling,
  cStopping,
  cChecking,
  cFinished,
  cInstallFiles,
  cInstallingAV,
  cCreatingIcons,
  cInstallingWeb,
  cYes,
  cNo,
  cBack,
  cNext,
  cCancel,
  cInstallC,
  cPSetup,
  cFinish,
  cSLA,
  cCredentials,
  cStartCopyingFiles,
  cInstallingFiles,
  cUpdateSetup,
  cSetupType,
  cComponentSetup,
  cSetupFinished,
  DemoMsgSubject,
  DemoMsg,
  cDownloadError,
  cDownloadErrorMove,
  cDownloadErrorVersion,
  WPrimaryDomain,
  WHostName,
  WAdministrator,
  WWizardComplete,
  // Never translated, without a key.
  cDBTestSuccessful,
};

// The entries that a language file can set: all before cDBTestSuccessful.
constexpr size_t kMessageKeyCount = static_cast<size_t>(TMessage::cDBTestSuccessful);
constexpr size_t kMessageCount = kMessageKeyCount + 1;

// The current text of an entry.
std::string& Message(TMessage id);
// The entry's key as registered ("cName"); empty for cDBTestSuccessful.
const char* MessageKey(TMessage id);
const char* MessageDefault(TMessage id);
// Every entry back to its English text.
void ResetMessageTable();

// The twenty fixed file names kept with the messages, used by position: the
// fourteen program files, then the six shortcut targets that the lines of
// LinkDesc name.
constexpr size_t kProgramFileCount = 14;
constexpr size_t kShortcutTargetCount = 6;
constexpr size_t kFixedFileNameCount = kProgramFileCount + kShortcutTargetCount;
// position 0..19; throws std::out_of_range beyond.
const std::string& FixedFileName(size_t position);
const std::string& ProgramFileName(size_t index);     // 0..13
const std::string& ShortcutTargetName(size_t index);  // 0..5
