#include "SharpnessCheck.h"

#include "Sheet.h"
#include "i18n/Localization.h"
#include "ui/MarkupText.h"
#include "ui/PictureBox.h"
#include "ui/PictureButton.h"
#include "ui/TextLabel.h"
#include "ui/Drawing.h"

#include <QFile>
#include <QPainter>
#include <cmath>

namespace {

// Mean difference per channel between two images of the same size, both drawn over white.
double MeanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 255.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col]))
                + std::abs(qBlue(p[col]) - qBlue(q[col]));
    }
    return sum / (3.0 * x.width() * x.height());
}

QImage OnWhite(const QImage& picture, QSize pixels)
{
    QImage out(pixels, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), pixels), picture);
    return out;
}

} // namespace

void SharpnessCheck::Render(const QString& dir, QStringList& failures)
{
    // Pictures at their own size: the rendering must be the 2x source, and clearly closer to it than the 1x
    // picture scaled up would be.
    for (const int id : { 3042, 4012, 4071, 4019, 4074 }) {
        const auto picture = LoadPngResource(id);
        if (!picture) {
            failures << QStringLiteral("2x: PNG %1 does not load").arg(id);
            continue;
        }
        const QSize logical = picture->deviceIndependentSize().toSize();
        PictureBox box;
        box.setAttribute(Qt::WA_DontShowOnScreen);
        QPalette white;
        white.setColor(QPalette::Window, Qt::white);
        box.setPalette(white);
        box.setAutoFillBackground(true);
        box.resize(logical);
        box.SetImage(id);
        box.show();
        const QPixmap grabbed = box.grab();
        if (grabbed.devicePixelRatio() < 2.0) {
            failures << QStringLiteral("2x: PNG %1 rendered at device pixel ratio %2")
                            .arg(id)
                            .arg(grabbed.devicePixelRatio());
            continue;
        }
        const QImage rendered = grabbed.toImage();
        QImage sharpSource(QStringLiteral(":/png/%1@2x.png").arg(id));
        QImage plainSource(QStringLiteral(":/png/%1.png").arg(id));
        const double toSharp
            = MeanDifference(OnWhite(rendered, rendered.size()), OnWhite(sharpSource, rendered.size()));
        const double toScaled
            = MeanDifference(OnWhite(rendered, rendered.size()), OnWhite(plainSource, rendered.size()));
        if (toSharp > 1.0 || toSharp * 2 > toScaled)
            failures << QStringLiteral("2x: PNG %1 is not drawn from its 2x picture (differs by %2 from it, %3 from "
                                       "the 1x picture scaled up)")
                            .arg(id)
                            .arg(toSharp, 0, 'f', 2)
                            .arg(toScaled, 0, 'f', 2);
        rendered.save(dir + QStringLiteral("/picture-%1.png").arg(id));
    }

    // A few controls and texts to look at.
    InstallPack(0);
    SelectLanguage(0);
    Sheet sheet(QStringLiteral("Device pixel ratio 2"), 900);
    QWidget* stage = sheet.AddCell(QStringLiteral("NEXT"), QSize(158, 63), 3001, QPoint(438, 526));
    auto* next = new PictureButton(stage);
    next->setGeometry(10, 10, 138, 43);
    for (int slot = 0; slot < 4; ++slot)
        next->SetImage(slot, std::array<int, 4> { 3045, 3042, 3044, 3043 }[static_cast<size_t>(slot)]);
    next->setText(QStringLiteral("NEXT   >"));
    stage = sheet.AddCell(QStringLiteral("Title"), QSize(626, 58), 3001, QPoint(62, 58));
    auto* title = new TextLabel(stage);
    title->setGeometry(10, 10, 606, 38);
    title->SetTitleStyle();
    title->SetFont(32, MakeRgb(42, 169, 209), false);
    title->SetText(QString::fromStdString(Text("nvrsearch_01", "Select your NVR device")));
    sheet.NewRow();
    stage = sheet.AddCell(QStringLiteral("Chinese flowing text"), QSize(420, 80), 3001, QPoint(67, 112));
    SetTextLanguage(4);
    auto* flow = new MarkupText(stage);
    flow->setGeometry(10, 10, 400, 60);
    flow->SetFont(14, 0xFF636566u);
    flow->setCharWrap(true);
    flow->SetText(QStringLiteral("從清單中選擇您的錄影機，然後按一下<br>「下一步」</br>。"));
    const QImage image = sheet.Render();
    SetTextLanguage(0);
    if (image.devicePixelRatio() < 2.0)
        failures << QStringLiteral("2x: the sheet rendered at device pixel ratio %1").arg(image.devicePixelRatio());
    if (!image.save(dir + QStringLiteral("/controls.png")))
        failures << QStringLiteral("cannot write %1/controls.png").arg(dir);
}
