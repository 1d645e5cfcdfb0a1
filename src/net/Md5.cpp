#include "net/Md5.h"

#include <cstring>

namespace {

inline uint32_t rotl(uint32_t x, int s)
{
    return (x << s) | (x >> (32 - s));
}

inline uint32_t load32(const uint8_t* p)
{
    // Little-endian load; compilers turn this into one instruction on x86.
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// The four auxiliary functions, in forms that need fewer operations than the textbook ones.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

#define MD5_STEP(f, a, b, c, d, k, t, s)                                                                               \
    a += f(b, c, d) + w[k] + (t);                                                                                      \
    a = rotl(a, s) + b;

} // namespace

Md5::Md5()
{
    Reset();
}

void Md5::Reset()
{
    state[0] = 0x67452301u;
    state[1] = 0xefcdab89u;
    state[2] = 0x98badcfeu;
    state[3] = 0x10325476u;
    byteCount = 0;
}

void Md5::transform(const uint8_t* blocks, size_t count)
{
    uint32_t a0 = state[0], b0 = state[1], c0 = state[2], d0 = state[3];
    for (; count > 0; --count, blocks += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i) {
            w[i] = load32(blocks + 4 * i);
        }
        uint32_t a = a0, b = b0, c = c0, d = d0;

        MD5_STEP(MD5_F, a, b, c, d, 0, 0xd76aa478u, 7)
        MD5_STEP(MD5_F, d, a, b, c, 1, 0xe8c7b756u, 12)
        MD5_STEP(MD5_F, c, d, a, b, 2, 0x242070dbu, 17)
        MD5_STEP(MD5_F, b, c, d, a, 3, 0xc1bdceeeu, 22)
        MD5_STEP(MD5_F, a, b, c, d, 4, 0xf57c0fafu, 7)
        MD5_STEP(MD5_F, d, a, b, c, 5, 0x4787c62au, 12)
        MD5_STEP(MD5_F, c, d, a, b, 6, 0xa8304613u, 17)
        MD5_STEP(MD5_F, b, c, d, a, 7, 0xfd469501u, 22)
        MD5_STEP(MD5_F, a, b, c, d, 8, 0x698098d8u, 7)
        MD5_STEP(MD5_F, d, a, b, c, 9, 0x8b44f7afu, 12)
        MD5_STEP(MD5_F, c, d, a, b, 10, 0xffff5bb1u, 17)
        MD5_STEP(MD5_F, b, c, d, a, 11, 0x895cd7beu, 22)
        MD5_STEP(MD5_F, a, b, c, d, 12, 0x6b901122u, 7)
        MD5_STEP(MD5_F, d, a, b, c, 13, 0xfd987193u, 12)
        MD5_STEP(MD5_F, c, d, a, b, 14, 0xa679438eu, 17)
        MD5_STEP(MD5_F, b, c, d, a, 15, 0x49b40821u, 22)

        MD5_STEP(MD5_G, a, b, c, d, 1, 0xf61e2562u, 5)
        MD5_STEP(MD5_G, d, a, b, c, 6, 0xc040b340u, 9)
        MD5_STEP(MD5_G, c, d, a, b, 11, 0x265e5a51u, 14)
        MD5_STEP(MD5_G, b, c, d, a, 0, 0xe9b6c7aau, 20)
        MD5_STEP(MD5_G, a, b, c, d, 5, 0xd62f105du, 5)
        MD5_STEP(MD5_G, d, a, b, c, 10, 0x02441453u, 9)
        MD5_STEP(MD5_G, c, d, a, b, 15, 0xd8a1e681u, 14)
        MD5_STEP(MD5_G, b, c, d, a, 4, 0xe7d3fbc8u, 20)
        MD5_STEP(MD5_G, a, b, c, d, 9, 0x21e1cde6u, 5)
        MD5_STEP(MD5_G, d, a, b, c, 14, 0xc33707d6u, 9)
        MD5_STEP(MD5_G, c, d, a, b, 3, 0xf4d50d87u, 14)
        MD5_STEP(MD5_G, b, c, d, a, 8, 0x455a14edu, 20)
        MD5_STEP(MD5_G, a, b, c, d, 13, 0xa9e3e905u, 5)
        MD5_STEP(MD5_G, d, a, b, c, 2, 0xfcefa3f8u, 9)
        MD5_STEP(MD5_G, c, d, a, b, 7, 0x676f02d9u, 14)
        MD5_STEP(MD5_G, b, c, d, a, 12, 0x8d2a4c8au, 20)

        MD5_STEP(MD5_H, a, b, c, d, 5, 0xfffa3942u, 4)
        MD5_STEP(MD5_H, d, a, b, c, 8, 0x8771f681u, 11)
        MD5_STEP(MD5_H, c, d, a, b, 11, 0x6d9d6122u, 16)
        MD5_STEP(MD5_H, b, c, d, a, 14, 0xfde5380cu, 23)
        MD5_STEP(MD5_H, a, b, c, d, 1, 0xa4beea44u, 4)
        MD5_STEP(MD5_H, d, a, b, c, 4, 0x4bdecfa9u, 11)
        MD5_STEP(MD5_H, c, d, a, b, 7, 0xf6bb4b60u, 16)
        MD5_STEP(MD5_H, b, c, d, a, 10, 0xbebfbc70u, 23)
        MD5_STEP(MD5_H, a, b, c, d, 13, 0x289b7ec6u, 4)
        MD5_STEP(MD5_H, d, a, b, c, 0, 0xeaa127fau, 11)
        MD5_STEP(MD5_H, c, d, a, b, 3, 0xd4ef3085u, 16)
        MD5_STEP(MD5_H, b, c, d, a, 6, 0x04881d05u, 23)
        MD5_STEP(MD5_H, a, b, c, d, 9, 0xd9d4d039u, 4)
        MD5_STEP(MD5_H, d, a, b, c, 12, 0xe6db99e5u, 11)
        MD5_STEP(MD5_H, c, d, a, b, 15, 0x1fa27cf8u, 16)
        MD5_STEP(MD5_H, b, c, d, a, 2, 0xc4ac5665u, 23)

        MD5_STEP(MD5_I, a, b, c, d, 0, 0xf4292244u, 6)
        MD5_STEP(MD5_I, d, a, b, c, 7, 0x432aff97u, 10)
        MD5_STEP(MD5_I, c, d, a, b, 14, 0xab9423a7u, 15)
        MD5_STEP(MD5_I, b, c, d, a, 5, 0xfc93a039u, 21)
        MD5_STEP(MD5_I, a, b, c, d, 12, 0x655b59c3u, 6)
        MD5_STEP(MD5_I, d, a, b, c, 3, 0x8f0ccc92u, 10)
        MD5_STEP(MD5_I, c, d, a, b, 10, 0xffeff47du, 15)
        MD5_STEP(MD5_I, b, c, d, a, 1, 0x85845dd1u, 21)
        MD5_STEP(MD5_I, a, b, c, d, 8, 0x6fa87e4fu, 6)
        MD5_STEP(MD5_I, d, a, b, c, 15, 0xfe2ce6e0u, 10)
        MD5_STEP(MD5_I, c, d, a, b, 6, 0xa3014314u, 15)
        MD5_STEP(MD5_I, b, c, d, a, 13, 0x4e0811a1u, 21)
        MD5_STEP(MD5_I, a, b, c, d, 4, 0xf7537e82u, 6)
        MD5_STEP(MD5_I, d, a, b, c, 11, 0xbd3af235u, 10)
        MD5_STEP(MD5_I, c, d, a, b, 2, 0x2ad7d2bbu, 15)
        MD5_STEP(MD5_I, b, c, d, a, 9, 0xeb86d391u, 21)

        a0 += a;
        b0 += b;
        c0 += c;
        d0 += d;
    }
    state[0] = a0;
    state[1] = b0;
    state[2] = c0;
    state[3] = d0;
}

void Md5::Update(const void* data, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t used = size_t(byteCount % 64);
    byteCount += length;
    if (used > 0) {
        size_t take = 64 - used;
        if (length < take) {
            std::memcpy(pending + used, bytes, length);
            return;
        }
        std::memcpy(pending + used, bytes, take);
        transform(pending, 1);
        bytes += take;
        length -= take;
    }
    if (length >= 64) {
        transform(bytes, length / 64);
        bytes += length & ~size_t(63);
        length &= 63;
    }
    if (length > 0) {
        std::memcpy(pending, bytes, length);
    }
}

Md5::Digest Md5::Final()
{
    const uint64_t bitCount = byteCount * 8;
    // Padding: one 0x80 byte, zeros up to 56 mod 64, then the bit length little-endian.
    uint8_t tail[72] = { 0x80 };
    size_t used = size_t(byteCount % 64);
    size_t padLength = (used < 56) ? (56 - used) : (120 - used);
    for (int i = 0; i < 8; ++i) {
        tail[padLength + i] = uint8_t(bitCount >> (8 * i));
    }
    Update(tail, padLength + 8);

    Digest digest;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            digest[4 * i + j] = uint8_t(state[i] >> (8 * j));
        }
    }
    return digest;
}

std::string Md5ToHex(const Md5::Digest& digest)
{
    static const char hexDigits[] = "0123456789abcdef";
    std::string text(32, '0');
    for (size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = hexDigits[digest[i] >> 4];
        text[2 * i + 1] = hexDigits[digest[i] & 0x0f];
    }
    return text;
}

std::string Md5Hex(std::string_view bytes)
{
    Md5 md5;
    md5.Update(bytes);
    return Md5ToHex(md5.Final());
}
