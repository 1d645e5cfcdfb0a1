#include "Localization.h"

#include "LanguageTable.h"
#include "PackReader.h"
#include "PackResources.h"
#include "platform/TempFolder.h"

#include <atomic>
#include <mutex>

namespace {

// A pack is a few tens of kilobytes; anything far larger in its place is not read.
constexpr size_t kMaxPackBytes = 1024 * 1024;

// Written on the user-interface thread, read by any thread that looks a text up.
std::atomic<int> languageIndex { 0 };
std::mutex packFolderLock;
std::string packFolder;

std::string currentPackFolder()
{
    std::lock_guard<std::mutex> lock(packFolderLock);
    return packFolder;
}

void replaceAll(std::string& text, std::string_view placeholder, std::string_view value)
{
    size_t pos = 0;
    while ((pos = text.find(placeholder, pos)) != std::string::npos) {
        text.replace(pos, placeholder.size(), value);
        // Continue after the inserted value: a value holding its own placeholder is not expanded again.
        pos += value.size();
    }
}

} // namespace

std::string Text(std::string_view key, std::string_view fallback, std::string_view value0, std::string_view value1,
    std::string_view value2, std::string_view value3)
{
    std::string result(fallback);
    // No pack written yet: there is nothing to read (a bare file name would name some other file).
    const std::string folder = currentPackFolder();
    if (!folder.empty()) {
        const std::string path = folder + LanguageTable::Entry(languageIndex.load()).packFile;
        if (const auto pack = TempFolder::ReadFile(path, kMaxPackBytes)) {
            if (auto value = PackReader::Lookup(*pack, "language", key)) {
                result = std::move(*value);
            }
        }
    }
    const std::string_view values[] = { value0, value1, value2, value3 };
    const std::string_view placeholders[] = { "{0}", "{1}", "{2}", "{3}" };
    for (int n = 0; n < 4; ++n) {
        if (!values[n].empty()) {
            replaceAll(result, placeholders[n], values[n]);
        }
    }
    return result;
}

void SelectLanguage(int index)
{
    languageIndex.store(index);
    InstallPack(index);
}

bool InstallPack(int index)
{
    const std::string_view pack = PackResources::Find(LanguageTable::Entry(index).resourceId);
    if (pack.empty()) {
        return false;
    }
    return InstallPackData(index, pack);
}

bool InstallPackData(int index, std::string_view packBytes)
{
    const std::string folder = TempFolder::Path();
    if (folder.empty()) {
        return false;
    }
    if (!TempFolder::WriteFile(folder + LanguageTable::Entry(index).packFile, packBytes)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(packFolderLock);
    packFolder = folder;
    return true;
}

std::string PackFolder()
{
    return currentPackFolder();
}

std::string PortalLanguageCode()
{
    return LanguageTable::Entry(languageIndex.load()).portalCode;
}

int RecorderLanguageNumber()
{
    return LanguageTable::Entry(languageIndex.load()).recorderNumber;
}

int LanguageIndex()
{
    return languageIndex.load();
}
