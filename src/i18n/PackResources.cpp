#include "PackResources.h"

#include "EmbeddedPacks.h"
#include "LanguageTable.h"

#include <cstring>

std::string_view PackResources::Find(int resourceId)
{
    for (int index = 0; index < LanguageTable::kCount; ++index) {
        const LanguageEntry& language = LanguageTable::Entry(index);
        if (language.resourceId != resourceId) {
            continue;
        }
        for (const EmbeddedPack* pack = kEmbeddedPacks; pack->fileName != nullptr; ++pack) {
            if (std::strcmp(pack->fileName, language.packFile) == 0) {
                return { reinterpret_cast<const char*>(pack->data), pack->size };
            }
        }
    }
    return {};
}
