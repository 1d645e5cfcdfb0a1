#pragma once
// The six languages of the wizard: list label, pack file, pack resource id, the code sent to the
// cloud portal and the number sent to the recorder. Any index outside the table means English.

struct LanguageEntry
{
    const char* label; // UTF-8, shown in the home page's language list
    const char* packFile; // file name of the pack, in the program and in the temporary folder
    int resourceId; // id of the built-in pack
    const char* portalCode;
    int recorderNumber;
};

class LanguageTable
{
public:
    static constexpr int kCount = 6;

    // The entry of index; entry 0 (English) for any index outside 0..kCount-1.
    static const LanguageEntry& Entry(int index);
};
