#include "pages/SummaryPage.h"
#include "pages/SummaryTable.h"

#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/Dimmer.h"
#include "platform/DesktopShortcut.h"
#include "session/CloudPortalInfo.h"
#include "setup/report/WizardReport.h"
#include "session/WizardSession.h"
#include "ui/DeviceText.h"
#include "ui/MarkupText.h"
#include "ui/SmallLink.h"
#include "ui/WrappedText.h"
#include "ui/LayeredPictureButton.h"
#include "ui/Messages.h"
#include "platform/ProgramVersion.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QSaveFile>
#include <QUrl>
#include <algorithm>

namespace {

// The report's words from the current pack.
ReportLabels PackReportLabels()
{
    ReportLabels labels;
    labels.title = Text("report_title", "HXT-914Q setup report");
    labels.recorder = Text("report_recorder", "NVR");
    labels.model = Text("report_model", "Model");
    labels.address = Text("report_address", "IP address");
    labels.mac = Text("report_mac", "MAC address");
    labels.webPort = Text("report_web_port", "Web port");
    labels.zone = Text("report_zone", "Time zone");
    labels.disks = Text("report_disks", "Hard drives");
    labels.cameras = Text("Cameras", "Cameras");
    labels.cameraName = Text("report_camera_name", "Name");
    labels.cloud = Text("report_cloud", "Quelmo account");
    labels.cloudNumber = Text("report_cloud_number", "Device number");
    labels.none = Text("report_none", "none");
    labels.date = Text("report_date", "Date");
    labels.version = Text("report_version", "Wizard version");
    labels.formatted = Text("report_formatted", "formatted");
    labels.kept = Text("report_kept", "not formatted");
    labels.formatFailed = Text("report_format_failed", "formatting failed");
    labels.language = PortalLanguageCode();
    std::replace(labels.language.begin(), labels.language.end(), '_', '-'); // "zh_TW" is the tag "zh-TW"
    return labels;
}

bool WriteWhole(const QString& path, const std::string& bytes)
{
    // A report that cannot be written whole is not left half written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

SummaryPage::SummaryPage(QWidget* host, WizardSession& wizardSession, const CloudPortalInfo& portal)
    : WizardPage(host, 12, 3001)
    , session(wizardSession)
    , recorderAddress(wizardSession.NvrIp())
    , access(portal.access)
    , portalAddress(portal.portal_url)
    , deviceNumber(portal.portal_number)
    , localLink(portal.localhyperlink)
{
    SetTitle(FromUtf8(Text("Summary_01", "Summary")));

    explanation = new MarkupText(this);
    explanation->setObjectName(QStringLiteral("explanation"));
    explanation->setGeometry(80, 122, 700, 10);
    explanation->SetFont(14, 0xFF484848u);
    explanation->setCharWrap(ChineseText());
    explanation->SetText(FromUtf8(Text("Summary_02",
        "Your NVR now is ready to go! Please remember the following information for future use and click on "
        "<br>\"GO TO NVR\"</br> to log in to the NVR for further configuration or click <br>\"FINISH\".</br>")));
    explanation->setLineHeight(22);
    const int explanationHeight = explanation->MeasureHeight();
    explanation->resize(700, explanationHeight + 4);

    QStringList cameraNames;
    for (int i = 0; i < session.CameraCount(); ++i) {
        const CameraRecord* camera = session.Camera(i);
        if (camera != nullptr && camera->selected == 1)
            cameraNames << ShownDeviceText(camera->model);
    }
    const QString email = FromUtf8(session.CloudEmail());
    tables = { new SummaryTable(this, true, true), new SummaryTable(this, false, false), new SummaryTable(this, true, false),
        new SummaryTable(this, false, true) };
    shown = TableFor(static_cast<int>(cameraNames.size()), email.isEmpty());
    const int top = 140 + explanationHeight;
    for (size_t i = 0; i < tables.size(); ++i) {
        tables[i]->setGeometry(80, top, 700, 10);
        tables[i]->SetValues(FromUtf8(session.NvrPassword()), email, FromUtf8(session.CloudPassword()), cameraNames);
        tables[i]->setVisible(static_cast<int>(i) + 1 == shown);
    }

    goToNvr = new LayeredPictureButton(this);
    goToNvr->setObjectName(QStringLiteral("goToNvr"));
    goToNvr->SetImage(0, 3050);
    goToNvr->SetImage(1, 3046);
    goToNvr->SetImage(2, 3049);
    goToNvr->SetImage(3, 3047);
    goToNvr->setText(FromUtf8(Text("GO TO NVR", "GO TO NVR")));
    connect(goToNvr, &QAbstractButton::clicked, this, [this] { GoToNvr(); });

    finish = new LayeredPictureButton(this);
    finish->setObjectName(QStringLiteral("finish"));
    finish->SetImage(0, 3045);
    finish->SetImage(1, 3042);
    finish->SetImage(2, 3044);
    finish->SetImage(3, 3043);
    finish->setText(FromUtf8(Text("FINISH", "FINISH")));
    connect(finish, &QAbstractButton::clicked, this, [this] { Finish(); });

    // Where BACK and NEXT stand on the other pages, both as wide as the wider text + 40.
    const int w = std::max(goToNvr->CaptionWidth(), finish->CaptionWidth());
    goToNvr->setGeometry(370 - w, 536, w + 40, 43);
    finish->setGeometry(448, 536, w + 40, 43);

    // Below the shown table, in line with its left edge: the skipped cloud step, then the report link.
    const SummaryTable* table = shownTable();
    int below = top + (table != nullptr ? table->height() : 0) + 16;
    if (portal.skipped) {
        cloudNote = new WrappedText(this);
        cloudNote->setObjectName(QStringLiteral("cloudSkipped"));
        cloudNote->setGeometry(80, below, 700, 10);
        cloudNote->SetFont(14, 0xFFE24C3Cu);
        cloudNote->setLineHeight(18);
        cloudNote->setCharWrap(ChineseText());
        cloudNote->SetText(FromUtf8(Text("Summary_cloud_skipped",
            "The Quelmo service was not set up: the NVR's cloud registration could not be read. You can set it up "
            "later on the NVR's web page.")));
        const int height = cloudNote->MeasureHeight();
        cloudNote->resize(700, height + 2);
        below += height + 10;
    }
    saveReportLink = new SmallLink(this);
    saveReportLink->setObjectName(QStringLiteral("saveReport"));
    saveReportLink->SetStyle();
    saveReportLink->SetText(FromUtf8(Text("report_link", "Save the setup report")));
    saveReportLink->setGeometry(80, below, 700, 22);
    saveReportLink->MakeLink();

    askReportPath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, FromUtf8(Text("report_link", "Save the setup report")), suggested,
            FromUtf8(Text("report_text_files", "Text files")) + QStringLiteral(" (*.txt)"));
    };
}

int SummaryPage::TableFor(int addedCameras, bool cloudEmailEmpty)
{
    if (addedCameras > 0)
        return cloudEmailEmpty ? 4 : 1;
    return cloudEmailEmpty ? 2 : 3;
}

SummaryTable* SummaryPage::shownTable() const
{
    return shown >= 1 && shown <= 4 ? tables[static_cast<size_t>(shown - 1)] : nullptr;
}

QString SummaryPage::RecorderUrl() const
{
    return QStringLiteral("http://") + FromUtf8(recorderAddress);
}

void SummaryPage::GoToNvr()
{
    QDesktopServices::openUrl(QUrl(RecorderUrl())); // a browser that does not start changes nothing here
}

void SummaryPage::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    if (message == WM_LINK_CLICKED) {
        OfferReport();
        return;
    }
    WizardPage::onMessage(message, wParam, lParam);
}

void SummaryPage::OfferReport()
{
    const std::string date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    const QString suggested = QDir(FromUtf8(DesktopFolder())).filePath(FromUtf8(ReportFileName(date)));
    QPointer<SummaryPage> alive(this);
    const QString path = askReportPath ? askReportPath(suggested) : QString();
    if (!alive || path.isEmpty())
        return;
    if (!SaveReport(path)) {
        OverlayValues values;
        values.text = Text("report_save_failed", "The setup report could not be saved.");
        OpenOverlay(Dimmer::KindError, values);
    }
}

bool SummaryPage::SaveReport(const QString& textPath)
{
    const std::string date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    const ReportLabels labels = PackReportLabels();
    const SetupReport report = WizardReport(session, labels, date, kProgramVersion);
    const QString htmlPath = FromUtf8(HtmlPathBeside(textPath.toUtf8().toStdString()));
    const bool textWritten = WriteWhole(textPath, ReportText(report, labels));
    const bool htmlWritten = WriteWhole(htmlPath, ReportHtml(report, labels));
    return textWritten && htmlWritten;
}

void SummaryPage::Finish()
{
    writtenShortcut = MakeDesktopShortcut(access, deviceNumber, portalAddress, localLink);
    PostToHost(WM_WIZARD_NAV, NAV_FINISH);
}
