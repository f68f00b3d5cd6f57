// The demo accounts of a new installation: the demo data archive unpacks a
// demo domain into the configuration folder, and its user accounts are
// copied into the primary domain, each expiring 30 days after today.
#pragma once

#include "upgrade/upgrade_effects.h"

// The domain folder inside the demo data archive ("demo.dat").
inline constexpr const char* kDemoDomain = "demo.nivalis.example";
inline constexpr int kDemoAccountDays = 30;

// Copies every user account of the demo domain into the primary domain (the
// configuration folder and the domain table as loaded). A copy replaces the
// primary domain's account that has its first alias - compared exactly,
// never through a pattern, so that a catch-all is not replaced - and is
// appended otherwise. Nothing is reported; accounts copied stay.
void CreateDemoAccounts();
// The same; the POP3 server is told of each account written.
void CreateDemoAccounts(const TUpgradeEffects& effects);
