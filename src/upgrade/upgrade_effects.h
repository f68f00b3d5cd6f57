// What the upgrade procedures and the demo copy do outside the files: the
// requests to the running servers and the one local page they fetch. The
// product uses SystemUpgradeEffects(); tests record the calls instead, and
// may end the process at the points where each step is finished.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct TUpgradeEffects {
  // A request to one server (the server index, message, wParam, lParam).
  std::function<void(int server, uint32_t message, uint32_t wParam, uint32_t lParam)> Notify;
  // The broadcast to all five servers.
  std::function<void()> NotifyAll;
  // Fetches a page of the local administration interface; the answer is not
  // looked at.
  std::function<void(const std::string& url)> FetchPage;
  // Called when a step's work is done (recorded false) and again when its
  // progress is on disk (recorded true); may be empty.
  std::function<void(int step, bool recorded)> StepPoint;
};

// NotifyServer, NotifyAllServers and the HTTP client.
TUpgradeEffects SystemUpgradeEffects();
