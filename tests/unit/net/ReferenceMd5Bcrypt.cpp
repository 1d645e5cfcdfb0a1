#include "ReferenceMd5.h"

#include <windows.h>
#include <bcrypt.h>

std::string referenceMd5Hex(const std::string& bytes)
{
    unsigned char digest[16] = {};
    BCRYPT_ALG_HANDLE md5 = nullptr;
    if (BCryptOpenAlgorithmProvider(&md5, BCRYPT_MD5_ALGORITHM, nullptr, 0) < 0) {
        return "no MD5 provider";
    }
    BCryptHash(md5, nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
        static_cast<ULONG>(bytes.size()), digest, sizeof digest);
    BCryptCloseAlgorithmProvider(md5, 0);
    static const char hexDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text += hexDigits[byte >> 4];
        text += hexDigits[byte & 15];
    }
    return text;
}
