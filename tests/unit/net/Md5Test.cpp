#include "net/Md5.h"

#include "ReferenceMd5.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Md5, rfc1321TestSuite)
{
    const struct
    {
        const char* message;
        const char* digest;
    } suite[] = {
        { "", "d41d8cd98f00b204e9800998ecf8427e" },
        { "a", "0cc175b9c0f1b6a831c399e269772661" },
        { "abc", "900150983cd24fb0d6963f7d28e17f72" },
        { "message digest", "f96b697d7cb7938d525a2f31aaf161d0" },
        { "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b" },
        { "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f" },
        { "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
            "57edf4a22be3c955ac49da2e2107b67a" },
    };
    for (const auto& entry : suite) {
        EXPECT_EQ(Md5Hex(entry.message), entry.digest) << "message \"" << entry.message << "\"";
    }
}

// Every length around the padding boundaries (55/56/64 bytes) and several blocks, fed whole and
// in two pieces split at every position, must match OpenSSL.
TEST(Md5, matchesReferenceForEveryLengthAndSplit)
{
    std::string message;
    for (int length = 0; length <= 200; ++length) {
        const std::string expected = referenceMd5Hex(message);
        ASSERT_EQ(Md5Hex(message), expected) << "length " << length;
        for (int split = 0; split <= length; ++split) {
            Md5 md5;
            md5.Update(message.data(), size_t(split));
            md5.Update(message.data() + split, size_t(length - split));
            ASSERT_EQ(Md5ToHex(md5.Final()), expected) << "length " << length << " split " << split;
        }
        message += char(length * 37 + 11);
    }
}

TEST(Md5, resetAfterFinalStartsAFreshMessage)
{
    Md5 md5;
    md5.Update("garbage that must be forgotten");
    md5.Final();
    md5.Reset();
    md5.Update("abc");
    EXPECT_EQ(Md5ToHex(md5.Final()), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, largeInputMatchesReference)
{
    std::string message(1 << 20, '\0');
    for (size_t i = 0; i < message.size(); ++i) {
        message[i] = char((i * 2654435761u) >> 24);
    }
    EXPECT_EQ(Md5Hex(message), referenceMd5Hex(message));
}

} // namespace
