#include "localization/language_file.h"

#include <algorithm>
#include <vector>

#include "localization/control_table.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "support/config_text.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"
#include "support/utf8.h"
#include "support/xml_object.h"
#include "ui/application.h"

namespace {

// White space and control characters off both ends.
std::u16string TrimWide(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] <= u' ')
    ++begin;
  while (end > begin && text[end - 1] <= u' ')
    --end;
  return std::u16string(text.substr(begin, end - begin));
}

std::u16string JoinLines(const std::vector<std::u16string>& lines, bool breakAfterLast) {
  std::u16string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    joined += lines[i];
    if (breakAfterLast || i + 1 < lines.size()) joined += u"\r\n";
  }
  return joined;
}

// Items from text: a line ends at CR LF, LF or CR; a break at the very end
// starts no further item.
std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
  }
  return lines;
}

// An attribute's text as the control table reads it: entities first, then
// UTF-8; a narrow class keeps only what the ANSI code page holds.
std::u16string ReadText(const TXMLObject& node, const char* attribute, bool wide) {
  std::u16string text =
      Utf8ToUtf16(DecodeXMLText(TXMLObject::GetAttribute(&node, attribute, kXMLRaw), kXMLEntities));
  if (!wide) text = platform::AnsiToUtf16(platform::Utf16ToAnsi(text));
  return text;
}

void SetUtf8Attribute(TXMLObject& node, const char* name, std::u16string_view text) {
  node.SetAttribute(name, Utf16ToUtf8(text), false, kXMLEntities);
}

void ExportForms(TXMLObject& forms) {
  for (const auto& form : ui::Application().Forms()) {
    // The last window's font stays.
    forms.SetAttribute("FONT", form->Font().Name, true, kXMLEntitiesUtf8);
    forms.SetAttribute("FONTSIZE", IntToXMLText(form->Font().Size), true, kXMLRaw);
    if (form->Name().empty()) continue;
    TXMLObject* node = forms.AddChild("FORM", "", kXMLRaw);
    node->SetAttribute("ID", form->ClassName(), false, kXMLEntitiesUtf8);
    if (form->Wide())
      SetUtf8Attribute(*node, "CAPTION", form->WideCaption());
    else
      node->SetAttribute("CAPTION", form->Caption(), false, kXMLEntitiesUtf8);
    for (const auto& control : form->Controls())
      ExportControl(*node, *control);
  }
}

void ImportForms(const TXMLObject& forms) {
  const std::string fontName = TXMLObject::GetAttribute(&forms, "FONT", kXMLEntitiesUtf8);
  const int32_t fontSize =
      StrToIntLoose(TXMLObject::GetAttribute(&forms, "FONTSIZE", kXMLEntitiesUtf8));
  for (const auto& entry : forms.Children) {
    const std::string id = TXMLObject::GetAttribute(entry.get(), "ID", kXMLEntitiesUtf8);
    ui::TForm* form = ui::Application().FindForm(id);
    if (!form) continue;
    const std::string caption = TXMLObject::GetAttribute(entry.get(), "CAPTION", kXMLRaw);
    if (form->Wide())
      form->SetWideCaption(Utf8ToUtf16(DecodeXMLText(caption, kXMLEntities)));
    else
      form->SetCaption(DecodeXMLText(caption, kXMLEntitiesUtf8));
    if (!fontName.empty()) form->SetFontName(fontName);
    // Sizes are points; zero, absent or nonsense leaves the size alone.
    if (fontSize > 0) form->SetFontSize(fontSize);
    for (const auto& item : entry->Children) {
      const std::string name = TXMLObject::GetAttribute(item.get(), "ID", kXMLEntitiesUtf8);
      if (name.empty()) continue;
      if (ui::TControl* control = form->FindControl(name)) ImportControl(*control, *item);
    }
  }
}

}  // namespace

void ExportControl(TXMLObject& formNode, const ui::TControl& control) {
  const TControlClass* row = ControlClassOf(control);
  if (!row) return;
  std::u16string caption;
  switch (row->Carrier) {
    case TCaptionCarrier::Text:
      caption = control.WideText();
      break;
    case TCaptionCarrier::TrimmedText:
      caption = TrimWide(control.WideText());
      break;
    case TCaptionCarrier::ItemLines:
    case TCaptionCarrier::CheckedLines:
      caption = TrimWide(JoinLines(control.WideItems(), false));
      break;
    case TCaptionCarrier::Columns:
      caption = TrimWide(JoinLines(control.WideColumns(), true));
      break;
  }
  const std::u16string& hint = control.WideHint();
  if (caption.empty() && hint.empty()) return;
  TXMLObject* item = formNode.AddChild("ITEM", "", kXMLRaw);
  item->SetAttribute("ID", control.Name(), false, kXMLEntitiesUtf8);
  item->SetAttribute("CLASS", std::string(row->Name), false, kXMLRaw);
  SetUtf8Attribute(*item, "CAPTION", caption);
  SetUtf8Attribute(*item, "HINT", hint);
}

void ImportControl(ui::TControl& control, const TXMLObject& itemNode) {
  // The class names are lower case; a file that capitalises them still fits.
  const TControlClass* row =
      FindControlClass(LowerCase(TXMLObject::GetAttribute(&itemNode, "CLASS", kXMLEntitiesUtf8)));
  // A class that does not fit the control found by name would write a text
  // where there are items, or items where there is a text: skipped.
  if (!row || !ClassFitsControl(*row, control)) return;
  std::u16string caption = ReadText(itemNode, "CAPTION", row->Wide);
  if (caption.empty()) caption = ReadText(itemNode, "ITEMSTEXT", row->Wide);
  const std::u16string hint = ReadText(itemNode, "HINT", row->Wide);

  switch (row->Carrier) {
    case TCaptionCarrier::Text:
    case TCaptionCarrier::TrimmedText:
      control.SetWideText(caption);
      break;
    case TCaptionCarrier::ItemLines:
    case TCaptionCarrier::CheckedLines: {
      const int selected = control.ItemIndex();
      const size_t before = control.ItemCount();
      std::vector<bool> checked(before), enabled(before);
      for (size_t i = 0; i < before; ++i) {
        checked[i] = control.ItemChecked(i);
        enabled[i] = control.ItemEnabled(i);
      }
      control.SetWideItems(SplitLines(caption));
      if (row->Carrier == TCaptionCarrier::CheckedLines) {
        for (size_t i = 0; i < std::min(before, control.ItemCount()); ++i) {
          control.SetItemChecked(i, checked[i]);
          control.SetItemEnabled(i, enabled[i]);
        }
      }
      control.SetItemIndex(selected);
      break;
    }
    case TCaptionCarrier::Columns: {
      std::vector<std::u16string> pieces;
      size_t start = 0;
      while (start <= caption.size()) {
        size_t end = caption.find(u'\n', start);
        if (end == std::u16string::npos) end = caption.size();
        std::u16string piece = TrimWide(std::u16string_view(caption).substr(start, end - start));
        if (!piece.empty()) pieces.push_back(std::move(piece));
        start = end + 1;
      }
      for (size_t i = 0; i < pieces.size() && i < control.WideColumns().size(); ++i)
        control.SetWideColumn(i, pieces[i]);
      break;
    }
  }
  control.SetWideHint(hint);
}

void ExportStrings(TXMLObject& setNode, const TLocalizationStrings& registry) {
  for (uint32_t i = 0; i < registry.Count && i < registry.Items.size(); ++i) {
    const TLocalizationEntry& entry = registry.Items[i];
    TXMLObject* item = setNode.AddChild("ITEM", "", kXMLRaw);
    item->SetAttribute("ID", entry.Name, false, kXMLEntitiesUtf8);
    if (entry.AnsiTarget)
      item->SetAttribute("VALUE", *entry.AnsiTarget, false, kXMLEntitiesUtf8);
    else if (entry.WideTarget)
      SetUtf8Attribute(*item, "VALUE", *entry.WideTarget);
  }
}

void ImportStrings(const TXMLObject& setNode, TLocalizationStrings& registry) {
  for (const auto& item : setNode.Children) {
    const std::string key = TXMLObject::GetAttribute(item.get(), "ID", kXMLEntitiesUtf8);
    std::string raw = item->Text;
    if (raw.empty()) raw = TXMLObject::GetAttribute(item.get(), "VALUE", kXMLRaw);
    SetStringValue(key, Utf8ToUtf16(DecodeXMLText(raw, kXMLEntities)), registry);
  }
}

std::string LanguageFileText(bool includeStrings, const TLocalizationStrings& registry) {
  TXMLObject document;
  TXMLObject* application = document.AddChild("APPLICATION", "", kXMLRaw);
  TXMLObject* forms = application->AddChild("FORMS", "", kXMLRaw);
  try {
    ExportForms(*forms);
  } catch (...) {
    // What was built so far is still written.
  }
  if (includeStrings) {
    TXMLObject* set =
        application->AddChild("STRINGS", "", kXMLRaw)->AddChild("STRING", "", kXMLRaw);
    set->SetAttribute("ID", "TStrings", false, kXMLRaw);
    ExportStrings(*set, registry);
  }
  return document.ToText(true, false);
}

bool ExportLanguageFile(const std::string& path, bool includeStrings,
                        const TLocalizationStrings& registry) {
  if (path.empty()) return false;
  const std::string text = LanguageFileText(includeStrings, registry);
  const std::string folder = ExtractFilePath(path);
  if (!folder.empty()) ForceFolders(folder);
  // The file is a translator's work: write beside it and replace it in one
  // step, so that a failed write leaves the old file as it was.
  const std::string temporary = path + ".tmp";
  const bool inPlace = temporary.size() > kShortStringLength;
  try {
    if (inPlace) return WriteStringToFile(text, path);
    if (!WriteStringToFile(text, temporary)) return false;
  } catch (const platform::IoError&) {
    if (!inPlace) platform::RemoveFile(temporary);
    return false;
  }
  if (platform::ReplaceWith(temporary, path)) return true;
  platform::RemoveFile(temporary);
  return false;
}

void ImportLanguageDocument(const TXMLObject& document, bool includeStrings,
                            TLocalizationStrings& registry) {
  try {
    const TXMLObject* application = document.FindChild("APPLICATION");
    if (!application) return;
    const TXMLObject* forms = application->FindChild("FORMS");
    if (!forms) return;
    ImportForms(*forms);
    if (!includeStrings) return;
    const TXMLObject* strings = application->FindChild("STRINGS");
    const TXMLObject* set = strings ? strings->FindChild("STRING") : nullptr;
    if (set) ImportStrings(*set, registry);
  } catch (...) {
    // What was applied stays applied.
  }
}

bool ImportLanguageFile(const std::string& path, bool includeStrings,
                        TLocalizationStrings& registry) {
  TXMLObject document;
  try {
    if (!document.LoadFromFile(path)) return false;
  } catch (const platform::IoError&) {
    return false;
  }
  ImportLanguageDocument(document, includeStrings, registry);
  return true;
}
