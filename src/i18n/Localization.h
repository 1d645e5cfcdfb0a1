#pragma once
// The wizard's language: the chosen language index, the pack written to the private temporary folder
// for it, and Text(), through which every user-visible text is looked up. Texts are UTF-8.

#include <string>
#include <string_view>

// The text of key in the current pack (section "language"), or fallback when the pack, the section or
// the key is missing; then every "{n}" is replaced by value n, for n = 0..3 in that order, when value
// n is not empty (an empty value leaves its placeholder). The pack file is read on every call.
std::string Text(std::string_view key, std::string_view fallback, std::string_view value0 = {},
    std::string_view value1 = {}, std::string_view value2 = {}, std::string_view value3 = {});

// Makes index the current language and installs its pack. Any index outside 0..5 reads as English.
void SelectLanguage(int index);

// Writes the built-in pack of index to the private temporary folder. False, with the previous pack
// folder kept, when the program has no such pack or the folder or file cannot be written.
bool InstallPack(int index);

// InstallPack with the given pack bytes in place of the built-in pack (also how tests bring their own).
bool InstallPackData(int index, std::string_view packBytes);

// The folder that the current pack was last written to (ending with "/"); empty before the first.
std::string PackFolder();

// The cloud portal's code of the current language ("en", "pt", "ru", "es", "zh_TW", "zh_CN").
std::string PortalLanguageCode();

// The recorder's number of the current language (4, 16, 19, 5, 23, 22).
int RecorderLanguageNumber();

// The current language index, as last given to SelectLanguage (0 at start).
int LanguageIndex();
