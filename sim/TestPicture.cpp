// Test picture drawing and JPEG encoding.
#include "TestPicture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace {

// 5x7 glyphs, one byte per row, bit 4 = leftmost column.
struct Glyph
{
    char c;
    unsigned char rows[7];
};

// clang-format off
constexpr Glyph glyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}}, {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
};
// clang-format on

const unsigned char* glyphRows(char c)
{
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    for (const auto& g : glyphs) {
        if (g.c == c) {
            return g.rows;
        }
    }
    return nullptr; // blank
}

struct Canvas
{
    Canvas(int w, int h)
        : width(w)
        , height(h)
        , rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3)
    {
    }
    int width;
    int height;
    std::vector<unsigned char> rgb;

    void put(int x, int y, unsigned char r, unsigned char g, unsigned char b)
    {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return;
        }
        unsigned char* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }

    void box(int x0, int y0, int w, int h, unsigned char r, unsigned char g, unsigned char b)
    {
        const int xs = std::max(x0, 0);
        const int xe = std::min(x0 + w, width);
        for (int y = std::max(y0, 0); y < std::min(y0 + h, height); ++y) {
            for (int x = xs; x < xe; ++x) {
                put(x, y, r, g, b);
            }
        }
    }

    // Text at scale 2 (10x14 per glyph, 12 px advance), white on a dark band.
    void text(int x, int y, const std::string& line)
    {
        box(x - 3, y - 3, static_cast<int>(line.size()) * 12 + 4, 20, 0, 0, 0);
        for (char c : line) {
            if (const unsigned char* rows = glyphRows(c)) {
                for (int row = 0; row < 7; ++row) {
                    for (int col = 0; col < 5; ++col) {
                        if (rows[row] & (0x10 >> col)) {
                            box(x + col * 2, y + row * 2, 2, 2, 255, 255, 255);
                        }
                    }
                }
            }
            x += 12;
        }
    }
};

} // namespace

std::string TestPicture::jpeg(long long frame, const std::string& label, const std::string& stamp)
{
    return jpeg(frame, label, stamp, width, height);
}

std::string TestPicture::jpeg(
    long long frame, const std::string& label, const std::string& stamp, int width, int height)
{
    Canvas canvas(width, height);
    // Colour bars.
    static const unsigned char bars[8][3] = { { 192, 192, 192 }, { 192, 192, 0 }, { 0, 192, 192 }, { 0, 192, 0 },
        { 192, 0, 192 }, { 192, 0, 0 }, { 0, 0, 192 }, { 16, 16, 16 } };
    for (int i = 0; i < 8; ++i) {
        canvas.box(i * width / 8, 0, width / 8 + 1, height, bars[i][0], bars[i][1], bars[i][2]);
    }
    // A white bar sweeping across, a square bouncing up and down: the picture visibly moves.
    const int unit = std::max(1, width / 320);
    int sweep = static_cast<int>((frame * 8 * unit) % width);
    canvas.box(sweep, 0, 12 * unit, height, 255, 255, 255);
    int bounce = static_cast<int>(frame % 40);
    int y = height / 4 + (bounce < 20 ? bounce : 40 - bounce) * height / 48;
    canvas.box(width - 60 * unit - sweep / 4, y, 30 * unit, 30 * unit, 255, 128, 0);

    canvas.text(8, 8, label.substr(0, 25));
    canvas.text(8, height - 24, stamp.substr(0, 25));

    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 80, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &canvas.rgb[static_cast<size_t>(info.next_scanline) * static_cast<size_t>(width) * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(out), outSize);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}
