#pragma once
// The two colour forms of the toolkit: ARGB (0xAARRGGBB) for pens, brushes and text, and plain RGB in the
// 0x00BBGGRR order for fills and the controls that store a plain colour; conversions between them.

#include <QColor>
#include <cstdint>

using Argb = uint32_t;
using Rgb = uint32_t;

constexpr Rgb MakeRgb(int r, int g, int b)
{
    return static_cast<Rgb>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr int RgbRed(Rgb c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int RgbGreen(Rgb c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int RgbBlue(Rgb c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

// An RGB colour as opaque ARGB.
constexpr Argb ArgbFromRgb(Rgb c)
{
    return 0xFF000000u | (static_cast<Argb>(RgbRed(c)) << 16) | (static_cast<Argb>(RgbGreen(c)) << 8)
        | static_cast<Argb>(RgbBlue(c));
}

// An ARGB colour as RGB, its alpha dropped.
constexpr Rgb RgbFromArgb(Argb c)
{
    return MakeRgb(static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF));
}

inline QColor ColorFromArgb(Argb c)
{
    return QColor(static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF),
        static_cast<int>(c >> 24));
}

inline QColor ColorFromRgb(Rgb c)
{
    return QColor(RgbRed(c), RgbGreen(c), RgbBlue(c));
}
