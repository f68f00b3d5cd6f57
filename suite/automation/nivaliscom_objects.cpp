// nivaliscom.dll: "NivalisServer.DomainObject" and
// "NivalisServer.AccountObject", a domain or an account set up property by
// property and stored with "Save"; "LastErr" tells why a save was refused.
#include <string>
#include <utility>
#include <vector>

#include "automation_errors.h"
#include "com_server.h"
#include "config/account_record.h"
#include "config/account_storage.h"
#include "config/database_library.h"
#include "config/domain_settings.h"
#include "config/domain_table.h"
#include "config/settings_record.h"
#include "suite_files.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

using TProperties = TDomainSettings;

void SetValue(TProperties& properties, const std::string& name, const std::string& value) {
  for (auto& [known, text] : properties)
    if (SameText(known, name)) {
      text = value;
      return;
    }
  properties.emplace_back(name, value);
}

const std::string* FindValue(const TProperties& properties, const std::string& name) {
  for (const auto& [known, text] : properties)
    if (SameText(known, name)) return &text;
  return nullptr;
}

bool ValidName(const std::string& name) {
  return name.size() <= kDomainNameLength && name.find_first_of(" ;,\\/") == std::string::npos;
}

// The common part of both objects: "New", the properties with their
// prefix, "LastErr".
class TRecordObject : public TDispatchObject {
 public:
  TRecordObject(const char* progId, const char* prefix) : TDispatchObject(progId), prefix_(prefix) {
    Member("New", 1, [this](std::vector<TArgument>& arguments) {
      name_ = LowerCase(Trim(arguments[0].Text()));
      properties_.clear();
      lastError_ = kErrNone;
      return NoResult();
    });
    Member("SetProperty", 2, [this](std::vector<TArgument>& arguments) {
      const std::string name = arguments[0].Text();
      if (!IsProperty(name)) throw TServerError("Unknown property " + name);
      TArgument& value = arguments[1];
      SetValue(properties_, name,
               (value.TypeName() == "BOOL" || value.TypeName() == "BOOL*")
                   ? std::string(value.Boolean() ? "1" : "0")
                   : value.Text());
      return NoResult();
    });
    Member("GetProperty", 1,
           [this](std::vector<TArgument>& arguments) { return GetProperty(arguments[0].Text()); });
    Member("Save", 0, [this](std::vector<TArgument>&) {
      lastError_ = Store();
      return BoolResult(lastError_ == kErrNone);
    });
    Member("LastErr", 0, [this](std::vector<TArgument>&) { return IntegerResult(lastError_); });
  }

 protected:
  bool IsProperty(const std::string& name) const override {
    return name.size() > prefix_.size() && SameText(name.substr(0, prefix_.size()), prefix_);
  }
  VARIANT GetProperty(const std::string& name) override {
    const std::string* value = FindValue(properties_, name);
    if (!value) throw TServerError("The property " + name + " is not set");
    return TextResult(*value);
  }
  // Stores the record; the error code, kErrNone when stored.
  virtual int32_t Store() = 0;

  std::string name_;
  TProperties properties_;

 private:
  std::string prefix_;
  int32_t lastError_ = kErrNone;
};

class TDomainObject final : public TRecordObject {
 public:
  TDomainObject() : TRecordObject("NivalisServer.DomainObject", "D_") {}

 private:
  int32_t Store() override {
    if (name_.empty()) return kErrNoName;
    if (!ValidName(name_)) return kErrBadName;
    LoadSuiteSettings();
    DomainTable& table = Domains();
    if (!table.Loaded) return kErrNotWritten;
    if (table.Find(name_)) return kErrExists;
    if (Settings().StorageMode() == kDatabaseStorageMode && ConnectDatabaseLibrary() &&
        !DatabaseAddDomain(name_))
      return kErrNotWritten;
    // The domain's folder, with its settings beside its mail.
    try {
      if (!WriteDomainSettings(name_, properties_)) return kErrNotWritten;
    } catch (...) {
      return kErrNotWritten;
    }
    table.Add(name_);
    return SaveSuiteSettings(false) ? kErrNone : kErrNotWritten;
  }
};

class TAccountObject final : public TRecordObject {
 public:
  TAccountObject() : TRecordObject("NivalisServer.AccountObject", "U_") {}

 private:
  int32_t Store() override {
    const size_t at = name_.find('@');
    if (name_.empty() || at == std::string::npos) return kErrNoName;
    const std::string domain = name_.substr(at + 1);
    const std::string* alias = FindValue(properties_, "U_Alias");
    if (!alias || Trim(*alias).empty()) return kErrEmptyAlias;
    LoadSuiteSettings();
    if (!Domains().Find(domain)) return kErrNoDomain;
    if (FindAccountIndex(domain, Trim(*alias), false) >= 0) return kErrExists;
    AccountRecord record;
    record.SetType(kUserAccount);
    record.SetAliases(Trim(*alias));
    if (const std::string* password = FindValue(properties_, "U_Password"))
      record.SetPassword(*password);
    if (const std::string* name = FindValue(properties_, "U_Name")) record.SetName(*name);
    if (const std::string* mailbox = FindValue(properties_, "U_Mailbox"))
      record.SetMailbox(*mailbox);
    if (const std::string* admin = FindValue(properties_, "U_Admin"))
      record.SetAdmin(*admin == "1");
    int32_t index = -1;
    if (!SaveAccount(domain, record, index)) return kErrNotWritten;
    // What the record has no field for is named in the log rather than kept
    // in a form of our own.
    std::string dropped;
    for (const auto& [name, value] : properties_)
      if (!SameText(name, "U_Alias") && !SameText(name, "U_Password") &&
          !SameText(name, "U_Name") && !SameText(name, "U_Mailbox") && !SameText(name, "U_Admin"))
        dropped += " " + name + "=" + value;
    if (!dropped.empty())
      WriteStandInLog("account " + name_ + " stored as record " + std::to_string(index) +
                      "; not kept:" + dropped);
    return kErrNone;
  }
};

TDispatchObject* CreateDomainObject() {
  return new TDomainObject();
}
TDispatchObject* CreateAccountObject() {
  return new TAccountObject();
}

}  // namespace

// {9DCA3BE5-28DC-42E2-9F8E-7EC2EBE85DF3}, {2837035F-630A-4061-8DE4-C7F4F8D5008E}
const TServedClass kServedClasses[] = {
    {"NivalisServer.DomainObject",
     {0x9dca3be5, 0x28dc, 0x42e2, {0x9f, 0x8e, 0x7e, 0xc2, 0xeb, 0xe8, 0x5d, 0xf3}},
     CreateDomainObject},
    {"NivalisServer.AccountObject",
     {0x2837035f, 0x630a, 0x4061, {0x8d, 0xe4, 0xc7, 0xf4, 0xf8, 0xd5, 0x00, 0x8e}},
     CreateAccountObject},
};
const size_t kServedClassCount = 2;
