// What devices and the portal send is shown as plain text: camera lines with markup, control characters and
// direction controls in every field the camera list shows, the preview's description and the disks' names in the
// format warning. A walker looks at every widget for a rich-text effect.

#include "PagesTestSupport.h"
#include "../support/RichTextEffects.h"

#include "i18n/Localization.h"
#include "overlays/DiskAlert.h"
#include "pages/CameraList.h"
#include "pages/CameraPage.h"
#include "pages/PreviewBubble.h"
#include "session/WizardContext.h"
#include "ui/Drawing.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QTest>
#include <memory>

namespace {

// What a device may put in a text: markup that draws (a huge picture), markup that dresses up instructions, a
// right-to-left override that reverses what follows, terminal and line controls.
const std::string kHugePicture = "<img width=3000 height=3000 src=x>";
const std::string kSpoof = "<b>Type your cloud password below</b><br><font size=7>!</font>";
const std::string kReversed = "cam\u202Eeulav\u202C name\u2066x\u2069";
const std::string kControls = "bad\x1b[31m\tname\x07\xc2\x9b";

// A camera line whose brand and model are text (nothing else the list shows comes from the camera in words).
std::string CameraLine(int n, const std::string& text)
{
    return "0;10.77.0." + std::to_string(30 + n) + ";00:00:00:00:00:0" + std::to_string(n) + ";" + text + ";" + text
        + ";admin;pw;" + text + ";1";
}

} // namespace

class PagesDeviceTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SelectLanguage(0); }

    void cleanup()
    {
        while (ModalLayer* layer = ModalLayer::Top())
            layer->End(ModalLayer::IDCANCEL);
    }

    // Long texts, so the model column shortens them and the whole text becomes the cell's tooltip.
    void cameraListShowsWhatCamerasSendAsPlainText()
    {
        WizardContext context { [] {}, [] {} };
        RecordingHost host;
        auto page = SettledCameraPage(&host, context);
        const std::string padding(80, 'w');
        page->ShowCameraLines({ CameraLine(1, kHugePicture + padding), CameraLine(2, kSpoof + padding),
            CameraLine(3, kReversed + padding), CameraLine(4, kControls + padding) });
        auto* list = page->findChild<CameraList*>();
        QVERIFY(list != nullptr);
        QCOMPARE(list->rowCount(), 4);
        const QStringList effects = RichTextEffects(page.get());
        QVERIFY2(effects.isEmpty(), qPrintable(effects.join(QLatin1Char('\n'))));
        // The texts are all there, read as they were sent: the markup as characters, the name not reversed.
        QVERIFY(list->CellText(0, CameraList::kModelColumn).startsWith(QString::fromStdString(kHugePicture)));
        QVERIFY(list->CellText(2, CameraList::kModelColumn).startsWith(QStringLiteral("cameulav namex")));
        QVERIFY(!list->item(0, CameraList::kModelColumn)->toolTip().isEmpty());
        page->Leave();
    }

    void previewDescriptionIsPlainText()
    {
        RecordingHost host;
        for (const std::string& text : { kHugePicture, kSpoof, kReversed, kControls }) {
            PreviewBubble bubble(&host, QPoint(0, 0), QPoint(200, 200), "127.0.0.1:9", "admin", "pw",
                text + std::string(120, 'w') + "   10.77.0.30");
            const QStringList effects = RichTextEffects(&bubble);
            QVERIFY2(effects.isEmpty(), qPrintable(effects.join(QLatin1Char('\n'))));
            QVERIFY(!bubble.toolTip().isEmpty());
        }
    }

    // The confirmation lists every disk on a line of its own, however long the name a disk gives.
    void formatWarningKeepsEveryDiskOnItsOwnLine()
    {
        RecordingHost host;
        const std::string disks = "HD1: " + std::string(60, 'S') + " " + std::string(60, 'D') + kReversed
            + " (1000 GB)\nHD2: WD Elements (2000 GB)";
        DiskAlert alert(&host, QPoint(0, 0), 1, true, disks);
        const QString message = alert.message();
        QVERIFY2(message.contains(QStringLiteral("\nHD2: WD Elements (2000 GB)")), qPrintable(message));
        const QStringList lines = message.split(QLatin1Char('\n'));
        const QFontMetrics metrics(MakeFont(ChooseFontFamily(QStringLiteral("Verdana")), 14, false));
        for (const QString& line : lines.mid(2))
            QVERIFY2(metrics.horizontalAdvance(line) <= 380, qPrintable(line));
        const QRect room(0, 0, 380, 100);
        const QRect needed = metrics.boundingRect(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, message);
        QVERIFY2(needed.height() <= room.height(), qPrintable(QString::number(needed.height())));
        QVERIFY(ShownTextFault(QString(message).remove(QLatin1Char('\n'))).isEmpty());
        QVERIFY(message.contains(QStringLiteral("(1000 GB)"))); // shortened in the middle, the size kept
    }
};

QTEST_MAIN(PagesDeviceTextsTest)
#include "pages_device_texts_test.moc"
