#pragma once
// The layer under every custom-drawn control and page: resource pictures, font choice, the rounded box,
// the page background and the picture-drawing helpers.

#include "ui/Colours.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QPainter;

// The PNG picture with that numeric resource id (":/png/<id>.png"), decoded now for a screen of pixel ratio
// `ratio`: up to 1 the 1x picture; above 1 its 2x version (":/png/<id>@2x.png") where there is one, with device
// pixel ratio 2, so its logical size stays the same. Nothing when there is no PNG resource of that id or it does
// not decode.
std::optional<QImage> LoadPngResource(int id, qreal ratio);
// The same for the program's screens (the highest pixel ratio among them).
std::optional<QImage> LoadPngResource(int id);

// The background bitmap with that resource id (":/bmp/<id>.png", 2x version likewise), or nothing.
std::optional<QImage> LoadBitmapResource(int id, qreal ratio);
std::optional<QImage> LoadBitmapResource(int id);

// The program icon's picture with that id (":/icon/<id>.png"), or nothing.
std::optional<QImage> LoadIconResource(int id);

// Starts decoding these bitmaps, PNG pictures and program icon for the program's screens on a thread of its own, so
// that the loads above find them ready (a load of one still being decoded waits for it). For a page about to be shown
// while the program waits anyway. Every load keeps pictures of up to 256 KiB
// decoded (2 MiB in all) for the next one; a larger prefetched picture is handed out once.
void PrefetchPictures(const std::vector<int>& bitmapIds, const std::vector<int>& pngIds, int iconId = 0);

// The picture scaled smoothly (averaging, not point-sampled) to size logical pixels for a screen of pixel ratio
// `ratio`, with that device pixel ratio: drawn at size on such a screen it needs no scaling. A picture of that
// size already is handed back as it is.
QImage FitPicture(const QImage& picture, QSize size, qreal ratio);

// True when a font family of exactly that name (case-sensitive) is installed.
bool IsFontInstalled(const QString& family);

// preferred when it is installed, else "Arial".
QString ChooseFontFamily(const QString& preferred);

// The language whose texts are shown (0 English ... 4 Traditional Chinese, 5 Simplified Chinese); it decides the
// Chinese faces that back every font, so Chinese never depends on the locale's fallback.
void SetTextLanguage(int languageIndex);
int TextLanguage();

// The family list a control's font uses: the asked family (as the face it resolves to), then the Chinese faces.
QStringList FontFamilies(const QString& family);

// A font of that family and pixel size, bold or regular, optionally underlined, with the Chinese faces behind it.
QFont MakeFont(const QString& family, int pixelSize, bool bold, bool underline = false);

// Opens the faces (regular and bold) the pages' texts are drawn with, for the calling thread, which keeps them
// open: for a moment when the thread would otherwise wait.
void OpenTextFaces();

// Text in lines as tall as the font's own face, with every line's baseline at that face's ascent: the faces
// behind it for other scripts (the Chinese ones are much taller) neither push the text down nor make lines taller,
// so mixed Latin and Chinese text shares one baseline and fits where the Latin text fits. flags: Qt alignment
// plus Qt::TextWordWrap (break between words, and between Chinese characters) or single line.
// The size the text needs at width (for a single line, width is ignored).
QSizeF MeasureTextBlock(const QFont& font, const QString& text, int flags, qreal width);
// Draws text with the painter's font and pen into rect (not clipped to it).
void DrawTextBlock(QPainter& painter, const QRectF& rect, int flags, const QString& text);

// Anti-aliased shapes, pictures and text for a drawing session.
void PrepareGraphics(QPainter& painter);

// A filled box with a rounded outline of width borderWidth; the corners outside the outline keep the fill too.
void DrawRoundedBox(
    QPainter& painter, int x, int y, int width, int height, int radius, Argb fill, Argb border, int borderWidth);

// The outline and inside of a rounded box in one colour (the flowing texts' boxes): no corner fill.
void DrawRoundedOutlineBox(
    QPainter& painter, int x, int y, int width, int height, int radius, Argb colour, int penWidth);

// The page's background bitmap at the origin, at its own size. A missing bitmap draws nothing.
void PaintPageBackground(QPainter& painter, const QImage& bitmap);

// The picture at (0, 0) scaled to width x height.
void DrawImageStretched(QPainter& painter, const QImage& picture, int width, int height);

// The picture at (0, 0) at its own size with its alpha multiplied by 0.5.
void DrawImageHalfOpacity(QPainter& painter, const QImage& picture);

// The picture at (0, 0) at its own size with its alpha multiplied by opacity.
void DrawImageWithOpacity(QPainter& painter, const QImage& picture, double opacity);

// The picture at (0, 0) scaled to width x height with its alpha multiplied by opacity (the buttons' faded looks:
// a picture made for another width is not cut off at the button's edge).
void DrawImageStretchedWithOpacity(QPainter& painter, const QImage& picture, int width, int height, double opacity);

// The keyboard focus mark of the owner-drawn controls: a 2-pixel ring in a deep shade of the wizard's blue with a
// thin white line inside it, so it shows on white ground and on the blue buttons alike; area is the control's
// outline and radius its corner radius.
void PaintFocusMark(QPainter& painter, const QRectF& area, qreal radius);
