#include "ReferenceMd5.h"

#include <openssl/evp.h>

std::string referenceMd5Hex(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
    static const char hexDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hexDigits[digest[i] >> 4];
        text += hexDigits[digest[i] & 15];
    }
    return text;
}
