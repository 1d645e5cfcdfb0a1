#include "ui/Drawing.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <QTextLayout>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

int textLanguage = 0;

constexpr int kTraditionalChinese = 4;
constexpr int kSimplifiedChinese = 5;

bool HasPngSignature(const QByteArray& bytes)
{
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    return bytes.size() >= 8 && bytes.startsWith(QByteArray(signature, 8));
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The decoded size of a PNG file in bytes at 4 bytes a pixel, from its header (IHDR: width and height, big-endian,
// at offsets 16 and 20); 0 when the header is not there.
qsizetype PngPixelBytes(const QByteArray& bytes)
{
    if (!HasPngSignature(bytes) || bytes.size() < 24)
        return 0;
    auto field = [&bytes](int at) {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | static_cast<quint8>(bytes[at + i]);
        return static_cast<qsizetype>(value);
    };
    const qsizetype width = field(16);
    const qsizetype height = field(20);
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return 0;
    return width * height * 4;
}

std::optional<QImage> DecodePngBytes(const QByteArray& bytes)
{
    if (!HasPngSignature(bytes))
        return std::nullopt;
    QImage image;
    if (!image.loadFromData(bytes, "PNG") || image.isNull())
        return std::nullopt;
    // A page-sized picture stored with a palette (a background of a few colours) stays one byte a pixel: a
    // quarter of the memory, painted the same.
    constexpr qsizetype kPageSized = 1024 * 1024;
    if (image.format() == QImage::Format_Indexed8 && !image.hasAlphaChannel()
        && qsizetype(image.width()) * image.height() * 4 >= kPageSized)
        return image;
    // An opaque picture (RGB32) already paints as fast as premultiplied ARGB: no second copy for it.
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::optional<QImage> DecodePng(const QString& path)
{
    return DecodePngBytes(ReadFile(path));
}

// Decoded pictures kept for the next caller. Small ones (buttons, icons: drawn by many controls, 64 KiB at most
// each) stay for the program's life, up to 2 MiB in all; a prefetched large one (a page background) is handed out
// once, to the page it was decoded for. The last page-sized picture decoded is shared with the next caller whose file
// holds the same bytes (most pages have the same background under different numbers), so the page that is going and
// the page that comes paint from one copy.
class PictureStore
{
public:
    static PictureStore& Instance()
    {
        static PictureStore store;
        return store;
    }

    // Decodes the pictures on a thread of their own; a caller asking for one of them meanwhile waits for it.
    // Decodes the pictures (resource stem, pixel ratio) on a thread of their own; a caller asking for one of
    // them meanwhile waits for it. Once per program.
    void Prefetch(const std::vector<std::pair<QString, qreal>>& items)
    {
        {
            std::lock_guard lock(mutex);
            if (worker.joinable())
                return;
            for (const auto& [stem, ratio] : items)
                pending.insert(Key(stem, ratio));
        }
        worker = std::thread([this, items] {
            for (const auto& [stem, ratio] : items) {
                std::optional<QImage> picture = Decode(stem, ratio);
                std::lock_guard lock(mutex);
                pending.remove(Key(stem, ratio));
                if (picture)
                    pictures.insert(Key(stem, ratio), *picture);
                ready.notify_all();
            }
        });
    }

    // The picture for stem at ratio: kept or prefetched, else decoded now (and kept when small).
    std::optional<QImage> Load(const QString& stem, qreal ratio)
    {
        const QString key = Key(stem, ratio);
        {
            std::unique_lock lock(mutex);
            ready.wait(lock, [&] { return !pending.contains(key); });
            auto it = pictures.find(key);
            if (it != pictures.end()) {
                QImage picture = *it;
                if (!Small(picture))
                    pictures.erase(it);
                return picture;
            }
        }
        const QString path = File(stem, ratio);
        if (path.isEmpty())
            return std::nullopt;
        const QByteArray bytes = ReadFile(path);
        {
            std::lock_guard lock(mutex);
            if (!lastLarge.isNull() && bytes == lastLargeBytes)
                return lastLarge;
            // Another page-sized picture: the kept one goes before this one is decoded (its page has let go of it
            // by now, when the pages change), so the two are never held together.
            if (!lastLarge.isNull() && PngPixelBytes(bytes) >= kSharedFrom) {
                lastLarge = QImage();
                lastLargeBytes.clear();
            }
        }
        std::optional<QImage> picture = DecodePngBytes(bytes);
        if (!picture && path != stem + QStringLiteral(".png")) {
            picture = DecodePng(stem + QStringLiteral(".png")); // the sharp one is broken: the 1x one
        } else if (picture && ratio > 1.0 && path != stem + QStringLiteral(".png")) {
            picture->setDevicePixelRatio(2.0);
        }
        if (!picture)
            return picture;
        std::lock_guard lock(mutex);
        if (Small(*picture)) {
            if (kept + picture->sizeInBytes() <= kKeptLimit) {
                kept += picture->sizeInBytes();
                pictures.insert(key, *picture);
            }
        } else if (PngPixelBytes(bytes) >= kSharedFrom) {
            lastLarge = *picture;
            lastLargeBytes = bytes;
        }
        return picture;
    }

    ~PictureStore()
    {
        if (worker.joinable())
            worker.join();
    }

private:
    static QString Key(const QString& stem, qreal ratio)
    {
        return stem + (ratio > 1.0 ? QStringLiteral("@2") : QStringLiteral("@1"));
    }
    // Buttons and icons; larger pictures (a spinner's frames drawn at a third of their size, the disk ports) are
    // decoded for each control that asks.
    static bool Small(const QImage& picture) { return picture.sizeInBytes() <= 64 * 1024; }
    static constexpr qsizetype kKeptLimit = 2 * 1024 * 1024; // what the kept pictures may hold at most
    static constexpr qsizetype kSharedFrom = 1024 * 1024; // a page-sized picture: shared with the next page

    // The file a picture is decoded from: the sharp one for a 2x screen where there is one; empty without a 1x one.
    static QString File(const QString& stem, qreal ratio)
    {
        if (!QFile::exists(stem + QStringLiteral(".png")))
            return QString();
        if (ratio > 1.0 && QFile::exists(stem + QStringLiteral("@2x.png")))
            return stem + QStringLiteral("@2x.png");
        return stem + QStringLiteral(".png");
    }

    static std::optional<QImage> Decode(const QString& stem, qreal ratio)
    {
        if (!QFile::exists(stem + QStringLiteral(".png")))
            return std::nullopt;
        if (ratio > 1.0 && QFile::exists(stem + QStringLiteral("@2x.png"))) {
            if (auto sharp = DecodePng(stem + QStringLiteral("@2x.png"))) {
                sharp->setDevicePixelRatio(2.0);
                return sharp;
            }
        }
        return DecodePng(stem + QStringLiteral(".png"));
    }

    std::mutex mutex;
    std::condition_variable ready;
    QSet<QString> pending;
    QHash<QString, QImage> pictures;
    qsizetype kept = 0; // bytes of the small pictures kept by loads
    QImage lastLarge; // the last page-sized picture decoded by a load, and the file it came from
    QByteArray lastLargeBytes;
    std::thread worker;
};

std::optional<QImage> LoadScaledResource(const QString& stem, qreal ratio)
{
    return PictureStore::Instance().Load(stem, ratio);
}

// The pixel ratio pictures are decoded for when the caller names none: the sharpest screen's.
qreal ScreenRatio()
{
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

// The installed face a family name stands for ("Arial" is Liberation Sans through fontconfig).
QString ResolvedFamily(const QString& family)
{
    static QHash<QString, QString> cache;
    auto it = cache.find(family);
    if (it != cache.end())
        return *it;
    QString resolved = family;
    if (!QFontDatabase::families().contains(family)) {
        QFont probe(family);
        probe.setPixelSize(14);
        resolved = QFontInfo(probe).family();
        if (resolved.isEmpty())
            resolved = family;
    }
    cache.insert(family, resolved);
    return resolved;
}

} // namespace

std::optional<QImage> LoadPngResource(int id, qreal ratio)
{
    return LoadScaledResource(QStringLiteral(":/png/%1").arg(id), ratio);
}

std::optional<QImage> LoadPngResource(int id)
{
    return LoadPngResource(id, ScreenRatio());
}

std::optional<QImage> LoadBitmapResource(int id, qreal ratio)
{
    return LoadScaledResource(QStringLiteral(":/bmp/%1").arg(id), ratio);
}

std::optional<QImage> LoadBitmapResource(int id)
{
    return LoadBitmapResource(id, ScreenRatio());
}

std::optional<QImage> LoadIconResource(int id)
{
    return LoadScaledResource(QStringLiteral(":/icon/%1").arg(id), 1.0);
}

void PrefetchPictures(const std::vector<int>& bitmapIds, const std::vector<int>& pngIds, int iconId)
{
    const qreal ratio = ScreenRatio();
    std::vector<std::pair<QString, qreal>> items;
    if (iconId != 0) // the frame asks for it first
        items.emplace_back(QStringLiteral(":/icon/%1").arg(iconId), 1.0);
    for (int id : bitmapIds)
        items.emplace_back(QStringLiteral(":/bmp/%1").arg(id), ratio);
    for (int id : pngIds)
        items.emplace_back(QStringLiteral(":/png/%1").arg(id), ratio);
    PictureStore::Instance().Prefetch(items);
}

QImage FitPicture(const QImage& picture, QSize size, qreal ratio)
{
    if (picture.isNull() || size.isEmpty())
        return picture;
    const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
    QImage fitted
        = picture.size() == pixels ? picture : picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(ratio);
    return fitted;
}

bool IsFontInstalled(const QString& family)
{
    const QStringList families = QFontDatabase::families();
    for (const QString& name : families) {
        if (name == family)
            return true;
    }
    return false;
}

QString ChooseFontFamily(const QString& preferred)
{
    return IsFontInstalled(preferred) ? preferred : QStringLiteral("Arial");
}

void SetTextLanguage(int languageIndex)
{
    textLanguage = languageIndex;
}

int TextLanguage()
{
    return textLanguage;
}

QStringList FontFamilies(const QString& family)
{
    // The Windows faces first (every Windows has them), then the Noto faces (Linux, or a Windows that has them).
    const QStringList traditional { QStringLiteral("Microsoft JhengHei"), QStringLiteral("Noto Sans CJK TC") };
    const QStringList simplified { QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC") };
    QStringList families { ResolvedFamily(family) };
    if (textLanguage == kSimplifiedChinese)
        families << simplified << traditional;
    else
        families << traditional << simplified; // language names in the combo are Chinese in every language
    return families;
}

void OpenTextFaces()
{
    const QString family = ChooseFontFamily(QStringLiteral("Verdana"));
    for (bool bold : { false, true })
        QFontMetricsF(MakeFont(family, 14, bold)).horizontalAdvance(QStringLiteral("Setup"));
}

QFont MakeFont(const QString& family, int pixelSize, bool bold, bool underline)
{
    QFont font;
    font.setFamilies(FontFamilies(family));
    font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    font.setBold(bold);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void PrepareGraphics(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

namespace {

QPainterPath RoundedOutline(double x, double y, double w, double h, double r)
{
    QPainterPath path;
    if (r <= 0)
        path.addRect(x, y, w, h);
    else
        path.addRoundedRect(x, y, w, h, r, r);
    return path;
}

} // namespace

void DrawRoundedBox(
    QPainter& painter, int x, int y, int width, int height, int radius, Argb fill, Argb border, int borderWidth)
{
    painter.save();
    painter.fillRect(QRect(x, y, width, height), ColorFromRgb(RgbFromArgb(fill)));
    // The outline lies inside the box: shrunk by the pen width and centred on the pen.
    const double half = borderWidth / 2.0;
    const QPainterPath outline = RoundedOutline(x + half, y + half, width - borderWidth, height - borderWidth, radius);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(outline, ColorFromArgb(fill));
    if (borderWidth > 0) {
        QPen pen(ColorFromArgb(border), borderWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.strokePath(outline, pen);
    }
    painter.restore();
}

void DrawRoundedOutlineBox(
    QPainter& painter, int x, int y, int width, int height, int radius, Argb colour, int penWidth)
{
    painter.save();
    const double half = penWidth / 2.0;
    const QPainterPath outline = RoundedOutline(x + half, y + half, width - penWidth, height - penWidth, radius);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(outline, ColorFromArgb(colour));
    painter.strokePath(outline, QPen(ColorFromArgb(colour), penWidth));
    painter.restore();
}

void PaintPageBackground(QPainter& painter, const QImage& bitmap)
{
    if (bitmap.isNull())
        return;
    painter.drawImage(QPointF(0, 0), bitmap);
}

void DrawImageStretched(QPainter& painter, const QImage& picture, int width, int height)
{
    if (picture.isNull())
        return;
    painter.drawImage(QRectF(0, 0, width, height), picture);
}

void DrawImageHalfOpacity(QPainter& painter, const QImage& picture)
{
    DrawImageWithOpacity(painter, picture, 0.5);
}

void DrawImageStretchedWithOpacity(QPainter& painter, const QImage& picture, int width, int height, double opacity)
{
    if (picture.isNull())
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawImage(QRectF(0, 0, width, height), picture);
    painter.restore();
}

void DrawImageWithOpacity(QPainter& painter, const QImage& picture, double opacity)
{
    if (picture.isNull())
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawImage(QPointF(0, 0), picture); // logical size: a 2x picture keeps its 1x size
    painter.restore();
}

namespace {

// Lays text out in layout; returns the block's height. Lines are placed from y 0.
qreal LayoutTextBlock(QTextLayout& layout, const QFont& font, int flags, qreal width)
{
    const bool wrap = (flags & Qt::TextWordWrap) != 0;
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    option.setAlignment(static_cast<Qt::Alignment>(flags & Qt::AlignHorizontal_Mask));
    layout.setTextOption(option);
    layout.setFont(font);
    const QFontMetricsF metrics(font);
    qreal y = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(std::max<qreal>(width, 0));
        line.setPosition(QPointF(0, y + metrics.ascent() - line.ascent()));
        y += metrics.height();
    }
    layout.endLayout();
    return layout.lineCount() == 0 ? metrics.height() : y;
}

} // namespace

QSizeF MeasureTextBlock(const QFont& font, const QString& text, int flags, qreal width)
{
    QTextLayout layout(text);
    const bool wrap = (flags & Qt::TextWordWrap) != 0;
    const qreal height = LayoutTextBlock(layout, font, flags, wrap ? width : 1e6);
    qreal widest = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        widest = std::max(widest, layout.lineAt(i).naturalTextWidth());
    return QSizeF(widest, height);
}

void DrawTextBlock(QPainter& painter, const QRectF& rect, int flags, const QString& text)
{
    if (text.isEmpty())
        return;
    QTextLayout layout(text);
    const qreal height = LayoutTextBlock(layout, painter.font(), flags, rect.width());
    qreal top = rect.top();
    if (flags & Qt::AlignVCenter)
        top += (rect.height() - height) / 2;
    else if (flags & Qt::AlignBottom)
        top += rect.height() - height;
    layout.draw(&painter, QPointF(rect.left(), top));
}

void PaintFocusMark(QPainter& painter, const QRectF& area, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setOpacity(1.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x15, 0x6E, 0x94), 2));
    painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), radius, radius);
    painter.setPen(QPen(QColor(255, 255, 255, 235), 1));
    const qreal inner = std::max<qreal>(0, radius - 2);
    painter.drawRoundedRect(area.adjusted(2.5, 2.5, -2.5, -2.5), inner, inner);
    painter.restore();
}
