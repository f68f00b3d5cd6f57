#include <gtest/gtest.h>

#include <string>

#include "app/windows.h"
#include "common/english_texts.h"
#include "localization/component_captions.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "localization/setup_strings.h"
#include "localization/string_registry.h"

TEST(StringRegistry, RegistersLowerCaseKeysAndFindsTheFirst) {
  TLocalizationStrings registry;
  std::string first = "one", second = "two";
  std::u16string wide = u"wide";
  RegisterString("MixedCase", first, registry);
  RegisterString("mixedcase", second, registry);
  RegisterString("WideKey", wide, registry);
  ASSERT_EQ(registry.Count, 3u);
  EXPECT_EQ(registry.Items.size(), kLocalizationGrowth);
  EXPECT_EQ(registry.Items[0].Name, "mixedcase");
  EXPECT_EQ(registry.Items[0].AnsiTarget, &first);
  EXPECT_EQ(registry.Items[0].WideTarget, nullptr);
  EXPECT_EQ(registry.Items[2].WideTarget, &wide);
  EXPECT_EQ(FindString("MIXEDCASE", registry), 0);
  EXPECT_EQ(FindString("widekey", registry), 2);
  EXPECT_EQ(FindString("missing", registry), -1);

  SetStringValue("MixedCase", u"caf\u00e9 \u20ac \u0416", registry);
  EXPECT_EQ(first, "caf\xe9 \x80 ?");
  EXPECT_EQ(second, "two");
  SetStringValue("widekey", u"\u0416", registry);
  EXPECT_EQ(wide, u"\u0416");
  SetStringValue("unknown", u"ignored", registry);

  ClearStrings(registry);
  EXPECT_EQ(registry.Count, 0u);
  EXPECT_TRUE(registry.Items.empty());
  EXPECT_EQ(FindString("mixedcase", registry), -1);
}

TEST(StringRegistry, GrowsByAHundredAndCutsLongKeys) {
  TLocalizationStrings registry;
  std::string target;
  for (int i = 0; i < 100; ++i)
    RegisterString("k" + std::to_string(i), target, registry);
  EXPECT_EQ(registry.Items.size(), 100u);
  RegisterString("k100", target, registry);
  EXPECT_EQ(registry.Count, 101u);
  EXPECT_EQ(registry.Items.size(), 200u);
  EXPECT_EQ(FindString("K57", registry), 57);

  const std::string longKey(140, 'K');
  RegisterString(longKey, target, registry);
  EXPECT_EQ(registry.Items[101].Name, std::string(127, 'k'));
  EXPECT_EQ(FindString(longKey, registry), 101);
  EXPECT_EQ(FindString(std::string(127, 'k'), registry), 101);
}

class SetupStrings : public ::testing::Test {
 protected:
  SetupStrings() { test::ResetToEnglishTexts(); }
  ~SetupStrings() override {
    DestroyApplicationWindows();
    test::ResetToEnglishTexts();
  }
};

TEST_F(SetupStrings, RegistersMessagesThenComponentCaptionsOnce) {
  TApplicationWindows windows = CreateApplicationWindows();
  RegisterSetupStrings();
  const TLocalizationStrings& registry = LocalizationStrings();
  ASSERT_EQ(registry.Count, 88u);
  EXPECT_TRUE(LanguageState().StringsRegistered);
  EXPECT_EQ(registry.Items[0].Name, "cname");
  EXPECT_EQ(registry.Items[0].AnsiTarget, &Message(TMessage::cName));
  EXPECT_EQ(registry.Items[71].Name, "wwizardcomplete");
  EXPECT_EQ(registry.Items[72].Name, "mengine");
  EXPECT_EQ(registry.Items[84].Name, "mdemoaccounts");
  EXPECT_EQ(registry.Items[87].Name, "maddons");
  // The component captions come from the tree at its paired positions.
  EXPECT_EQ(ComponentCaption(0), "Services and core files");
  EXPECT_EQ(ComponentCaption(1), "Administration");
  EXPECT_EQ(ComponentCaption(2), "Administration interface");
  EXPECT_EQ(ComponentCaption(12), "Demo accounts");
  EXPECT_EQ(ComponentCaption(13), "Add-ons");
  EXPECT_EQ(ComponentCaption(15), "Wizards");
  EXPECT_EQ(*registry.Items[73].AnsiTarget, "Administration");

  RegisterSetupStrings();
  EXPECT_EQ(registry.Count, 88u);

  // A translation of MConsole lands on position 1, not on its namesake.
  SetStringValue("MConsole", u"Verwaltung");
  WriteComponentCaptions();
  EXPECT_EQ(windows.MainForm.ComponentsList->NodeAt(1)->Text(), "Verwaltung");
  EXPECT_EQ(windows.MainForm.ComponentsList->NodeAt(2)->Text(), "Administration interface");
  SetStringValue("mdemoaccounts", u"Demokonten");
  WriteComponentCaptions(*windows.MainForm.ComponentsList);
  EXPECT_EQ(windows.MainForm.ComponentsList->NodeAt(15)->Text(), "Demokonten");
}

TEST_F(SetupStrings, WithoutATreeTheCaptionsStayEmpty) {
  RegisterSetupStrings();
  EXPECT_EQ(LocalizationStrings().Count, 88u);
  for (size_t i = 0; i < kComponentCaptionCount; ++i)
    EXPECT_EQ(ComponentCaption(i), "");
  WriteComponentCaptions();  // no tree: nothing to do

  // A shorter tree keeps the captions of the positions it lacks.
  ui::TForm form("TForm1", "Form1");
  ui::TControl& tree = form.AddControl(ui::ControlKind::TreeView, "Tree", nullptr, {});
  tree.AddNode("zero", 0).AddChild("one", 1);
  ComponentCaption(12) = "kept";
  ReadComponentCaptions(tree);
  EXPECT_EQ(ComponentCaption(0), "zero");
  EXPECT_EQ(ComponentCaption(1), "one");
  EXPECT_EQ(ComponentCaption(12), "kept");
}
