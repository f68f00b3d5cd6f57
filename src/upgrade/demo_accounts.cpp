#include "upgrade/demo_accounts.h"

#include "config/account_storage.h"
#include "config/alias_lists.h"
#include "config/domain_table.h"
#include "platform/clock.h"
#include "support/date_time.h"
#include "support/text.h"
#include "system/server_notification.h"

namespace {

constexpr int kPop3 = 1;

TDateTime Today() {
  platform::LocalTime now = platform::CurrentClock().Now();
  now.Hour = now.Minute = now.Second = now.Millisecond = 0;
  return ToDateTime(now);
}

}  // namespace

void CreateDemoAccounts() {
  CreateDemoAccounts(SystemUpgradeEffects());
}

void CreateDemoAccounts(const TUpgradeEffects& effects) {
  const std::string primary = PrimaryDomainName();
  // Copying a domain onto itself would only rewrite its own accounts.
  if (SameText(primary, kDemoDomain)) return;
  TAccountEnum demo;
  if (!BeginAccountEnum(kDemoDomain, demo)) return;
  const TDateTime expiry = Today() + kDemoAccountDays;
  while (!NextAccount(demo)) {
    AccountRecord account = demo.Account;
    if (account.Type() != kUserAccount || primary.empty()) continue;
    account.SetExpires(true);
    account.SetExpiryDate(expiry);
    int32_t index = FindAccountIndex(primary, FirstAlias(account.Aliases()), false);
    if (SaveAccount(primary, account, index) && effects.Notify)
      effects.Notify(kPop3, kServerMessage, 0, 0);
  }
  EndAccountEnum(demo);
}
