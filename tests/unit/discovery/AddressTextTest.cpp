// The strict address readers: what a camera line or a person may hand over, read whole or refused whole.
#include "discovery/AddressText.h"

#include <gtest/gtest.h>

TEST(AddressText, macTextsInEitherCaseAreReadAndAnythingMalformedIsRefused)
{
    using Mac = std::array<uint8_t, 6>;
    EXPECT_EQ(ParseMacStrict("00:1a:2b:3c:4d:5e"), (Mac { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E }));
    EXPECT_EQ(ParseMacStrict("00:1A:2B:3C:4D:5E"), (Mac { 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E }));
    EXPECT_EQ(ParseMacStrict("0:a:B:3:4:f"), (Mac { 0, 0xA, 0xB, 3, 4, 0xF }));
    for (const char* malformed : { "", "00:1a:2b:3c:4d", "00:1a:2b:3c:4d:5e:6f", "00:1a:2b:3c:4d:5e:",
             ":00:1a:2b:3c:4d", "00::2b:3c:4d:5e", "fff:1:2:3:4:5", "00-1a-2b-3c-4d-5e", "00:1a:2b:3c:4d:5g",
             " 00:1a:2b:3c:4d:5e", "00:1a:2b:3c:4d:5e ", "+0:1a:2b:3c:4d:5e", "00:1a:2b:3c:4d:\xc3\xa9" }) {
        EXPECT_FALSE(ParseMacStrict(malformed).has_value()) << malformed;
    }
}

TEST(AddressText, ipv4TextsAreReadOnlyWhenEveryPieceIsAByte)
{
    using Ip = std::array<uint8_t, 4>;
    EXPECT_EQ(ParseIpv4Strict("10.77.0.20"), (Ip { 10, 77, 0, 20 }));
    EXPECT_EQ(ParseIpv4Strict("255.255.255.0"), (Ip { 255, 255, 255, 0 }));
    for (const char* malformed :
        { "", "10.77.0", "10.77.0.20.", "10.77.0.256", "300.1.1.1", "10.77.0.-1", "10.77.0.0020", "010.77.0.20",
            "10.77.0.20:80", "10.77.0.99999999999999999999", "10..0.20", " 10.77.0.20", "a.b.c.d" }) {
        EXPECT_FALSE(ParseIpv4Strict(malformed).has_value()) << malformed;
    }
}

TEST(AddressText, aCameraAddressSplitsIntoHostAndAPortOnlyWhenThePortIsANumberInRange)
{
    struct Case
    {
        const char* text;
        const char* host;
        int port;
    };
    const Case cases[] = {
        { "10.77.0.30", "10.77.0.30", 0 },
        { "10.77.0.30:8080", "10.77.0.30", 8080 },
        { "10.77.0.30:", "10.77.0.30", 0 },
        { "10.77.0.30:0", "10.77.0.30", 0 },
        { "10.77.0.30:65535", "10.77.0.30", 65535 },
        { "10.77.0.30:65536", "10.77.0.30", 0 },
        { "10.77.0.30:99999999999", "10.77.0.30", 0 },
        { "10.77.0.30:80x", "10.77.0.30", 0 },
        { "10.77.0.30:81:82", "10.77.0.30", 0 },
        { ":81", "", 81 },
    };
    for (const Case& c : cases) {
        const HostAndPort split = SplitHostPort(c.text);
        EXPECT_EQ(split.host, c.host) << c.text;
        EXPECT_EQ(split.port, c.port) << c.text;
    }
}
