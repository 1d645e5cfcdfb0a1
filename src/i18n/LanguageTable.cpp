#include "LanguageTable.h"

namespace {

// The Russian label starts with four Latin letters (P, y, c, c) followed by three Cyrillic ones; it is
// shown as stored.
constexpr LanguageEntry kLanguages[LanguageTable::kCount] = {
    { "English", "English.ini", 3153, "en", 4 },
    { "Portugu\u00eas", "Portuguese.ini", 3154, "pt", 16 },
    { "Pycc\u043a\u0438\u0439", "Russian.ini", 3155, "ru", 19 },
    { "Espa\u00f1ol", "Spanish.ini", 3156, "es", 5 },
    { "\u7e41\u9ad4\u4e2d\u6587", "TChinese.ini", 3157, "zh_TW", 23 },
    { "\u7b80\u4f53\u4e2d\u6587", "SChinese.ini", 3158, "zh_CN", 22 },
};

} // namespace

const LanguageEntry& LanguageTable::Entry(int index)
{
    if (index < 0 || index >= kCount) {
        return kLanguages[0];
    }
    return kLanguages[index];
}
