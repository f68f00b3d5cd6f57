#include "wizard/database_storage.h"

#include <vector>

#include "platform/clock.h"
#include "system/ole_object.h"

using platform::AutomationValue;

namespace {

const char* const kApiObject = "NivalisServer.APIObject";
constexpr int32_t kDatabaseStorage = 2;
// The server needs time to write its settings and to begin converting.
constexpr uint32_t kSettleMs = 2000;

void Settle() {
  platform::ProcessPendingMessages();
  platform::CurrentClock().Sleep(kSettleMs);
}

}  // namespace

void CreateDatabaseStorage(const std::string& connection) {
  try {
    InitializeComThread();
    {
      TOleObject api = CreateOleObject(kApiObject);
      for (int32_t group : {2, 3, 0}) {
        std::vector<AutomationValue> arguments{AutomationValue::Int(group),
                                               AutomationValue::StringRef(connection)};
        api.Call("CreateTables", arguments);
      }
      api.Call("SetProperty", {AutomationValue::String("C_System_Storage_Accounts_StorageMode"),
                               AutomationValue::Int(kDatabaseStorage)});
      api.Call("Save");
    }
    Settle();
    TOleObject converter = CreateOleObject(kApiObject);
    converter.Call("ConvertStorage", {AutomationValue::Bool(true)});
    Settle();
  } catch (...) {
    // Not reported: the suite keeps the storage it had unless Save ran.
  }
}
