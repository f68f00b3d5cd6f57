#include "app/installer_info.h"

#include "support/config_text.h"
#include "support/paths.h"
#include "support/text.h"
#include "support/xml_object.h"

namespace {

// The value of a setting, or false when the document does not have it.
bool Setting(const TXMLObject* settings, const char* name, std::string& value) {
  const TXMLObject* child = settings->FindChild(name);
  if (!child) return false;
  value = Trim(TXMLObject::GetText(child, kXMLEntitiesUtf8));
  return true;
}

}  // namespace

void ReadInstallerInfo(TInstallerState& state, const std::string& path) {
  state.InfoXmlPath = path;
  try {
    if (!FileExists(path)) return;
    TXMLObject document;
    if (!document.LoadFromFile(path) || document.Children.empty()) return;
    const TXMLObject* settings = document.Children.front().get();
    std::string value;
    if (Setting(settings, "LANGUAGE", value)) state.DefaultLanguage = value;
    if (Setting(settings, "FOOTERVALUE", value)) state.FooterText = value;
    if (Setting(settings, "INTERFACEMODE", value))
      state.AdvancedInterface = StrToIntLoose(value) == 0;
    if (Setting(settings, "MODULEDOWNLOAD", value)) state.ModuleDownloadUrl = value;
  } catch (...) {
    // A file that cannot be read is as good as no file.
  }
}
