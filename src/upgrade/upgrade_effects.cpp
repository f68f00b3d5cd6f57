#include "upgrade/upgrade_effects.h"

#include "net/http_download.h"
#include "platform/files.h"
#include "system/server_notification.h"

TUpgradeEffects SystemUpgradeEffects() {
  TUpgradeEffects effects;
  effects.Notify = [](int server, uint32_t message, uint32_t wParam, uint32_t lParam) {
    NotifyServer(server, message, wParam, lParam);
  };
  effects.NotifyAll = [] { NotifyAllServers(); };
  effects.FetchPage = [](const std::string& url) {
    std::string file;
    HttpDownload(url, false, std::string(), file);
    if (!file.empty()) platform::RemoveFile(file);
  };
  return effects;
}
