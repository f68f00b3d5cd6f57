// The language file: the windows' titles and controls' captions and hints,
// and the registered texts, as an XML document. Export and import walk all
// windows of the application object, in ownership order.
#pragma once

#include <string>

#include "localization/string_registry.h"
#include "ui/control.h"

class TXMLObject;

// True when the file was written.
bool ExportLanguageFile(const std::string& path, bool includeStrings,
                        const TLocalizationStrings& registry = LocalizationStrings());
// True when the file could be read and was not empty. Whatever the file
// holds that fits is applied; the rest is skipped without a message.
bool ImportLanguageFile(const std::string& path, bool includeStrings,
                        TLocalizationStrings& registry = LocalizationStrings());

// The text an export writes.
std::string LanguageFileText(bool includeStrings,
                             const TLocalizationStrings& registry = LocalizationStrings());
// Applies a parsed language document.
void ImportLanguageDocument(const TXMLObject& document, bool includeStrings,
                            TLocalizationStrings& registry = LocalizationStrings());

// The halves: one control into or out of its window's element, and the
// registered texts into or out of the string set.
void ExportControl(TXMLObject& formNode, const ui::TControl& control);
void ImportControl(ui::TControl& control, const TXMLObject& itemNode);
void ExportStrings(TXMLObject& setNode, const TLocalizationStrings& registry);
void ImportStrings(const TXMLObject& setNode, TLocalizationStrings& registry);
