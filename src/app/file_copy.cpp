#include "app/file_copy.h"

#include "app/program_file_backup.h"
#include "localization/message_table.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support/exit_codes.h"
#include "support/format_text.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/setup_log.h"
#include "ui/backend.h"

void CopyWithRetry(const std::string& name, const std::string& sourceFolder,
                   const std::string& targetFolder) {
  const std::string target = targetFolder + name;
  KeepProgramFile(target);
  for (;;) {
    if (platform::PathExists(target)) platform::SetNormalAttributes(target);
    if (platform::CopyOneFile(sourceFolder + name, target, false)) {
      platform::ProcessPendingMessages();
      return;
    }
    const std::string reason = platform::SystemErrorText(platform::LastSystemError());
    WriteSetupLog("Error: File \"" + target + "\" - " + reason);
    const ui::TModalResult answer = ui::ShowMessageBox(
        FormatText(Message(TMessage::cErrorFile), {name, reason}), Message(TMessage::cError),
        ui::TMessageButtons::RetryCancel, ui::TMessageIcon::Error);
    if (answer != ui::TModalResult::Retry) {
      WriteSetupLog("Error: Setup aborted\r\n");
      EndProgram(kExitFailedDuringInstall);
    }
  }
}

void CopyFolderTree(const std::string& sourceRoot, const std::string& relative,
                    const std::string& targetRoot) {
  for (const platform::FolderEntry& entry : platform::ListFolder(sourceRoot + relative, "*.*")) {
    if (entry.IsLink) continue;
    if (entry.IsFolder) {
      CopyFolderTree(sourceRoot, relative + entry.Name + "\\", targetRoot);
      continue;
    }
    ForceFolders(targetRoot + relative);
    CopyWithRetry(entry.Name, sourceRoot + relative, targetRoot + relative);
  }
}

void CreateInstallFolder(const std::string& installPath) {
  if (FolderExists(installPath) || ForceFolders(installPath)) return;
  AbortInstallation(Message(TMessage::cErrorDir) +
                    platform::SystemErrorText(platform::LastSystemError()));
}

void AbortInstallation(const std::string& text) {
  ui::ShowMessageBox(text, Message(TMessage::cError), ui::TMessageButtons::Ok,
                     ui::TMessageIcon::Error);
  WriteSetupLog("Error: Setup aborted - " + text + "\r\n");
  EndProgram(kExitFailedDuringInstall);
}

void AbortOnArchive(const std::string& archiveName) {
  AbortInstallation(Message(TMessage::cErrorDataFile) + " " + archiveName);
}
