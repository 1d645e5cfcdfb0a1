// Renders every page and overlay of the wizard in the six languages to PNG files, for review:
//   hxt-tour <folder>  writes <folder>/<n>-<language>/<scene>.png
// Overlays run modally through the dimmer exactly as the pages open them; the picture is taken while they show.

#include "discovery/SearchDevice.h"
#include "i18n/LanguageTable.h"
#include "i18n/Localization.h"
#include "overlays/AboutBox.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "overlays/ModalLayer.h"
#include "pages/CameraList.h"
#include "pages/CreateCameraPasswordOverlay.h"
#include "pages/EnterCameraPasswordOverlay.h"
#include "pages/CameraPage.h"
#include "pages/DiskPage.h"
#include "pages/HomePage.h"
#include "pages/CablingPowerPage.h"
#include "pages/CablingNetworkPage.h"
#include "pages/CablingLedPage.h"
#include "pages/RedLedHelp.h"
#include "pages/MacLabelHelp.h"
#include "pages/RecorderList.h"
#include "pages/RecorderPasswordPage.h"
#include "pages/RecorderSearchPage.h"
#include "pages/TimeZonePage.h"
#include "pages/PreviewPicture.h"
#include "pages/PreviewBubble.h"
#include "pages/CloudPage.h"
#include "pages/RequirementsPage.h"
#include "pages/SummaryPage.h"
#include "pages/CameraOverlays.h"
#include "pages/WizardPage.h"
#include "session/CameraPasswordJob.h"
#include "session/CloudPortalInfo.h"
#include "session/WizardContext.h"
#include "session/WizardSession.h"
#include "ui/LanguageDropDown.h"
#include "ui/ErrorLine.h"
#include "ui/SmallLink.h"
#include "ui/BusyIndicator.h"
#include "ui/PlainLineEdit.h"
#include "ui/LayeredPictureButton.h"
#include "ui/FilledLayeredPictureButton.h"
#include "ui/LanguageCombo.h"
#include "ui/TextLabel.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Fixture
{
    WizardSession session;
    CloudPortalInfo portal;
};

using PageMaker = std::function<WizardPage*(QWidget* host, Fixture& fixture)>;

// Page 12 after a run with `cameras` added cameras (and one found but not chosen), with or without a cloud account.
PageMaker Summary(int cameras, bool cloudAccount, bool cloudSkipped = false)
{
    return [cameras, cloudAccount, cloudSkipped](QWidget* host, Fixture& fixture) -> WizardPage* {
        WizardSession& session = fixture.session;
        session.SetNvrIp("192.168.1.108");
        session.SetNvrPassword("Garden2024");
        if (cloudAccount)
            session.SetCloudAccount("anna.lindqvist@example.com", "Sunflower77");
        const char* models[] = { "HXT-C210", "HXT-C420W", "HXT-D300", "HXT-C210", "HXT-B500", "HXT-C420W" };
        for (int i = 0; i <= cameras; ++i) {
            auto camera = std::make_unique<CameraRecord>();
            camera->model = models[i % 6];
            camera->selected = i < cameras ? 1 : 0;
            session.AppendCamera(std::move(camera));
        }
        fixture.portal.access = cloudAccount ? "1" : "0";
        fixture.portal.skipped = cloudSkipped;
        return new SummaryPage(host, session, fixture.portal);
    };
}

struct Scene
{
    QString name;
    PageMaker page;
    int overlayKind = 0; // 0: the page alone
    OverlayValues values;
    std::function<void(WizardPage* page)> poke; // done once the scene shows, before the picture
    bool waitingBox = false;
    std::function<void(WizardPage* page)> modal; // runs a layer of its own over the page (not through the dimmer)
};

template <class Page> PageMaker Make()
{
    return [](QWidget* host, Fixture& fixture) -> WizardPage* { return new Page(host, fixture.session); };
}

PageMaker Placeholder(int number)
{
    return [number](QWidget* host, Fixture&) -> WizardPage* {
        auto* page = new WizardPage(host, number, 3001);
        page->SetTitle(QStringLiteral("Page %1").arg(number));
        page->ShowNavButtons(true, true);
        return page;
    };
}

void Settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(QWidget* host, const QString& file)
{
    const QImage picture = host->grab().toImage();
    if (!picture.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

void EndAllLayers()
{
    while (ModalLayer* top = ModalLayer::Top())
        top->End(ModalLayer::IDCANCEL);
}

bool Render(const Scene& scene, const QString& file)
{
    Fixture fixture;
    QWidget host;
    host.setFixedSize(WizardPage::kWidth, WizardPage::kHeight);
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.show();
    QPointer<WizardPage> page = scene.page(&host, fixture);
    page->show();
    Settle(30);
    bool saved = false;
    if (scene.overlayKind == 0 && !scene.waitingBox && !scene.modal) {
        if (scene.poke)
            scene.poke(page);
        Settle(60);
        saved = Save(&host, file);
    } else {
        // The dimmer shows its overlay 50 ms after it appears; the picture is taken once it has.
        QTimer::singleShot(150, &host, [&] {
            if (scene.poke)
                scene.poke(page);
            QTimer::singleShot(150, &host, [&] {
                saved = Save(&host, file);
                EndAllLayers();
            });
        });
        if (scene.modal) {
            scene.modal(page);
        } else if (scene.waitingBox) {
            std::atomic<int32_t> busy { 1 };
            WaitingBox waiting(page, &busy, 6);
            waiting.DoModal();
        } else {
            page->OpenOverlay(scene.overlayKind, scene.values);
        }
    }
    delete page;
    return saved;
}

Scene MakeScene(const char* name, PageMaker page, int kind = 0, OverlayValues values = {},
    std::function<void(WizardPage*)> poke = {})
{
    Scene scene;
    scene.name = QString::fromLatin1(name);
    scene.page = std::move(page);
    scene.overlayKind = kind;
    scene.values = std::move(values);
    scene.poke = std::move(poke);
    return scene;
}

// The recorder pages over a context that can reach no network: the tour runs on the build machine, so no search
// may ever leave it (the pages' own search starts 500 ms after they open, long after their picture is taken).
WizardContext& RecorderContext()
{
    static WizardContext context({}, {});
    static const bool offline = [] {
        context.DiscoveryEngine().SetAddressSource([] { return std::vector<std::string>(); });
        context.DiscoveryEngine().SetSearchTarget("127.0.0.1", 9);
        return true;
    }();
    (void)offline;
    return context;
}

PageMaker SearchPage()
{
    return [](QWidget* host, Fixture&) -> WizardPage* { return new RecorderSearchPage(host, RecorderContext()); };
}

// Page 7 as the probe left it: a new recorder (create mode) or one with a password (log-in mode).
PageMaker PasswordPage(bool recorderHasPassword)
{
    return [recorderHasPassword](QWidget* host, Fixture&) -> WizardPage* {
        DefaultLoginProbe& probe = RecorderContext().Probe();
        probe.probeBusy.store(0);
        probe.defaultLoginAccepted.store(recorderHasPassword ? 0 : 1);
        probe.defaultLoginRefused.store(recorderHasPassword ? 1 : 0);
        return new RecorderPasswordPage(host, RecorderContext());
    };
}

// A search page mid-search: its loading bar turning, its buttons held until the search ends.
void ShowSearching(WizardPage* page)
{
    auto* searching = page->findChild<BusyIndicator*>("searching");
    searching->show();
    searching->raise();
    searching->Start(100);
    for (int i = 0; i < 5; ++i)
        searching->Tick();
    page->closeButton()->setEnabled(false);
    for (PictureButton* button : { static_cast<PictureButton*>(page->nextButton()),
             static_cast<PictureButton*>(page->backButton()), page->findChild<PictureButton*>("rescan") }) {
        button->setEnabled(false);
        button->setLatched(true);
    }
}

// Page 6 searching, listing (one recorder reached on two interfaces, one outside the PC's subnets) and finding
// nothing; its not-found help and its error for two recorders on one address. Page 7 in both modes with errors
// and the strength hint.
void AddRecorderScenes(std::vector<Scene>& scenes)
{
    scenes.push_back(MakeScene("06-search-searching", SearchPage(), 0, {}, ShowSearching));
    scenes.push_back(MakeScene("06-search-list", SearchPage(), 0, {}, [](WizardPage* page) {
        auto* list = static_cast<RecorderSearchPage*>(page)->list();
        list->AppendRow("1", "192.168.1.108", "00:1a:2b:3c:4d:5e");
        list->AppendRow("2", "192.168.1.121", "00:1a:2b:3c:4d:6f");
        list->AppendRow("3", "169.254.20.7", "00:1a:2b:3c:4d:70");
        list->AppendRow("4", "192.168.1.108", "00:1a:2b:3c:4d:5e");
        list->SetMarked(2, true);
        list->SetChecked(1);
        static_cast<RecorderSearchPage*>(page)->ExplainRows();
        page->nextButton()->setEnabled(true);
    }));
    scenes.push_back(MakeScene("06-search-not-found", SearchPage(), 0, {}, [](WizardPage* page) {
        page->findChild<TextLabel*>("noDevice")->show();
        page->nextButton()->setLatched(true);
    }));
    OverlayValues searched;
    searched.text = "enp3s0  192.168.1.20\nwlp2s0  10.0.0.7";
    scenes.push_back(MakeScene("06-not-found-help", SearchPage(), Dimmer::KindNoDevice, searched));
    OverlayValues shared;
    shared.text = Text(
        "nvrsearch_08", "Two recorders share the address {0}. Change the address of one of them.", "192.168.1.108");
    scenes.push_back(MakeScene("06-shared-address", SearchPage(), Dimmer::KindError, shared));

    scenes.push_back(MakeScene("07-create-rule-error", PasswordPage(false), 0, {},
        [](WizardPage* page) { page->findChild<PlainLineEdit*>("password")->setText("abc"); }));
    scenes.push_back(MakeScene("07-create-weak", PasswordPage(false), 0, {}, [](WizardPage* page) {
        page->findChild<PlainLineEdit*>("password")->setText("123456");
        page->findChild<PlainLineEdit*>("confirm")->setText("123456");
    }));
    scenes.push_back(MakeScene("07-create-mismatch", PasswordPage(false), 0, {}, [](WizardPage* page) {
        page->findChild<PlainLineEdit*>("password")->setText("Garden2024");
        page->findChild<PlainLineEdit*>("confirm")->setText("Garden2025");
        page->nextButton()->click();
    }));
    scenes.push_back(MakeScene("07-login-error", PasswordPage(true), 0, {}, [](WizardPage* page) {
        page->findChild<PlainLineEdit*>("password")->setText(QString(49, QLatin1Char('x')));
        page->nextButton()->click(); // too long for the login: refused at once, nothing sent
    }));
    // The probe's login got no answer: the box (NVR silent, RETRY), then the page offering both ways.
    const auto probeFailed = [](WizardPage* page) {
        PostWindowMessage(page, WM_PROBE_FAILED);
        QCoreApplication::sendPostedEvents(page); // the box runs here until the scene ends it
        Settle(400); // the page stays for its picture
    };
    Scene failed = MakeScene("07-probe-failed", PasswordPage(false));
    failed.modal = probeFailed;
    scenes.push_back(failed);
    Scene createOrLogIn = MakeScene("07-probe-failed-create-or-log-in", PasswordPage(false), 0, {},
        [](WizardPage*) { EndAllLayers(); });
    createOrLogIn.modal = probeFailed;
    scenes.push_back(createOrLogIn);
    Scene logIn = MakeScene("07-probe-failed-log-in", PasswordPage(false), 0, {}, [](WizardPage* page) {
        EndAllLayers();
        PostWindowMessage(page, WM_LINK_CLICKED);
    });
    logIn.modal = probeFailed;
    scenes.push_back(logIn);
}

// The program's about box, as the frame's menu and F1 open it over the page.
Scene AboutBoxScene()
{
    Scene scene = MakeScene("overlay-about-box", Make<HomePage>());
    scene.modal = [](WizardPage* page) {
        AboutBox about(page, ModalLayer::OriginInWindow(page));
        about.Run();
    };
    return scene;
}

// Pages 8 and 9 without a recorder: the zone names of the current pack, storage reports posted as the watch posts
// them, the disk page's overlays as it opens them.
WizardContext& TourContext()
{
    static WizardContext context { std::function<void()>(), std::function<void()>() };
    return context;
}

PageMaker TimeZoneScene(int zone)
{
    return [zone](QWidget* host, Fixture&) -> WizardPage* {
        auto* page = new TimeZonePage(host, TourContext(), false);
        std::vector<std::string> names;
        const std::string list = Text("SetupTimeZone", "");
        for (size_t start = 0; start < list.size();) {
            const size_t end = std::min(list.find(';', start), list.size());
            names.push_back(list.substr(start, end - start));
            start = end + 1;
        }
        page->ShowZones(names, zone);
        return page;
    };
}

PageMaker DiskScene(int pluggedPorts)
{
    return [pluggedPorts](QWidget* host, Fixture&) -> WizardPage* {
        auto* page = new DiskPage(host, TourContext());
        if (pluggedPorts >= 0) {
            static std::atomic<int32_t> plugged[2];
            static std::atomic<int32_t> ready[2];
            for (int i = 0; i < 2; ++i) {
                plugged[i] = (pluggedPorts >> i) & 1;
                ready[i] = plugged[i].load();
            }
            PostWindowMessage(
                page, WM_STORAGE_CHANGED, reinterpret_cast<intptr_t>(ready), reinterpret_cast<intptr_t>(plugged));
            QCoreApplication::sendPostedEvents(page);
        }
        return page;
    };
}

// Page 11 over a context of its own (the page takes the recorder and portal values from it), in a mode, with
// what the user typed.
PageMaker CloudScene(int mode, const QString& email = {}, const QString& password = {}, const QString& confirm = {})
{
    return [=](QWidget* host, Fixture&) -> WizardPage* {
        static WizardContext context([] {}, [] {});
        context.Session().SetNvrIp("192.168.1.108");
        context.Session().SetNvrPassword("Garden2024");
        context.Portal().portal_url = "cloud.quelmo.lab";
        context.Portal().portal_number = "4815162342";
        auto* page = new CloudPage(host, context);
        PostWindowMessage(page, WM_CHOICE_CHANGED, mode);
        QCoreApplication::sendPostedEvents(page);
        if (mode == CloudPage::SignUp) {
            page->findChild<FilledLayeredPictureButton*>("termsBox")->setLatched(true);
            PostWindowMessage(page, WM_CHOICE_CHANGED, CHOICE_TOGGLED);
            QCoreApplication::sendPostedEvents(page);
            page->findChild<PlainLineEdit*>("firstNameEdit")->setText(QStringLiteral("Anna"));
            page->findChild<PlainLineEdit*>("lastNameEdit")->setText(QStringLiteral("Lindqvist"));
        }
        page->findChild<PlainLineEdit*>("emailEdit")->setText(email);
        page->findChild<PlainLineEdit*>("passwordEdit")->setText(password);
        page->findChild<PlainLineEdit*>("confirmEdit")->setText(confirm);
        return page;
    };
}

void AddTimeZoneAndDiskScenes(std::vector<Scene>& scenes)
{
    scenes.push_back(MakeScene("08-time-zone", TimeZoneScene(12)));
    scenes.push_back(MakeScene("08-time-zone-list", TimeZoneScene(12), 0, {},
        [](WizardPage* page) { static_cast<TimeZonePage*>(page)->OpenZoneList(); }));
    scenes.push_back(MakeScene(
        "08-time-zone-none-chosen", TimeZoneScene(0), 0, {}, [](WizardPage* page) { page->nextButton()->click(); }));
    OverlayValues listFailed;
    listFailed.text = Text("Check Network Failed!", "Check Network Failed!");
    listFailed.retryResult = TimeZonePage::kRetryResult;
    scenes.push_back(MakeScene("08-time-zone-list-failed", TimeZoneScene(0), Dimmer::KindError, listFailed));

    scenes.push_back(MakeScene("09-disks-checking", DiskScene(-1)));
    scenes.push_back(MakeScene("09-disks-none", DiskScene(0)));
    scenes.push_back(MakeScene("09-disks-hd1", DiskScene(1)));
    scenes.push_back(MakeScene("09-disks-both", DiskScene(3)));
    OverlayValues confirmation;
    confirmation.mode = 1;
    confirmation.cancelButton = true;
    confirmation.text = "HD1: " + Text("hddformat_disk_size", "{0} ({1} GB)", "SanDisk Extreme Pro", "1000")
        + "\nHD2: " + Text("hddformat_disk_size", "{0} ({1} GB)", "WD Elements SE", "2000");
    scenes.push_back(MakeScene("09-disks-confirm", DiskScene(3), Dimmer::KindAlarm, confirmation));
    Scene formatting = MakeScene("09-disks-formatting-40", DiskScene(3));
    formatting.modal = [](WizardPage* page) {
        std::atomic<int32_t> busy { 1 };
        std::atomic<int32_t> disk { 0 };
        std::atomic<int32_t> progress { 40 };
        WaitingBox box(page, &busy, 6, WaitingBox::HddFormat);
        box.SetFormatProgress(&disk, &progress, false);
        box.DoModal();
    };
    scenes.push_back(formatting);
    OverlayValues failed;
    failed.text = Text("hddformat_15", "Failed to format HDD!");
    scenes.push_back(MakeScene("09-disks-format-failed", DiskScene(1), Dimmer::KindError, failed));
    OverlayValues unreadable;
    unreadable.text = Text("hddformat_unreadable", "The NVR's disk information could not be read.");
    unreadable.retryResult = DiskPage::kRetryResult;
    scenes.push_back(MakeScene("09-disks-unreadable", DiskScene(0), Dimmer::KindError, unreadable));
}

// The camera lines the tour's camera page lists: a long model name, cameras with and without a known password.
std::vector<std::string> TourCameraLines()
{
    return {
        "1;192.168.1.64;00:1a:2b:3c:5d:01;Veskor;PQC-7310W;admin;Garden2024;;1",
        "0;192.168.1.65:8080;00:1a:2b:3c:5d:02;Veskor;PQC-2000 Outdoor Pan Tilt Zoom Night Vision;admin;;;1",
        "0;192.168.1.66;00:1a:2b:3c:5d:03;Veskor;QC-210;;;;0",
        "0;192.168.1.67;00:1a:2b:3c:5d:04;Veskor;HXT-C420W;admin;Porch77;;1",
        "0;192.168.1.68;00:1a:2b:3c:5d:05;Veskor;HXT-D300;admin;Drive55;;1",
        "0;192.168.1.69;00:1a:2b:3c:5d:06;Veskor;HXT-B500;admin;Yard901;;1",
        "0;192.168.1.70;00:1a:2b:3c:5d:07;Veskor;QC-210;admin;Shed4411;;1",
    };
}

// Page 10 over the offline context: searching, a list (a long model name, two checked, icons on the rows whose
// password is known), four checked (the other rows grey), nothing found, and the error of a failed cloud check.
PageMaker CameraScene(std::vector<std::string> lines, std::vector<int> checked)
{
    return [lines, checked](QWidget* host, Fixture&) -> WizardPage* {
        auto* page = new CameraPage(host, RecorderContext());
        if (!lines.empty()) {
            page->ShowCameraLines(lines);
            for (int row : checked)
                page->list()->CheckRow(row);
        }
        return page;
    };
}

void AddCameraScenes(std::vector<Scene>& scenes)
{
    const std::vector<std::string> lines = TourCameraLines();
    scenes.push_back(MakeScene("10-cameras-searching", CameraScene({}, {}), 0, {}, ShowSearching));
    scenes.push_back(MakeScene("10-cameras-list", CameraScene(lines, { 0, 3 })));
    scenes.push_back(MakeScene("10-cameras-four-checked", CameraScene(lines, { 0, 3, 4, 5 })));
    scenes.push_back(MakeScene("10-cameras-none", CameraScene({}, {}), 0, {},
        [](WizardPage* page) { static_cast<CameraPage*>(page)->ShowCameraLines({}); }));
    scenes.push_back(MakeScene("10-cameras-unreadable", CameraScene({}, {}), 0, {}, [](WizardPage* page) {
        static_cast<CameraPage*>(page)->ShowCameraLines({}, CameraPage::SearchOutcome::Failed);
    }));
    scenes.push_back(MakeScene("10-cameras-no-answer", CameraScene({}, {}), 0, {}, [](WizardPage* page) {
        static_cast<CameraPage*>(page)->ShowCameraLines({}, CameraPage::SearchOutcome::TimedOut);
    }));
    // The cloud check failed: why, SKIP (on without the cloud service) and RETRY, for each cause.
    const char* causes[][2] = { { "10-check-network-failed", "neterr_no_answer" },
        { "10-check-network-refused", "neterr_refused" }, { "10-check-network-wrong-answer", "neterr_wrong_answer" } };
    for (const auto& [name, key] : causes) {
        OverlayValues failed;
        failed.text = Text(key, key) + "\n"
            + Text("camsearch_cloud_skip", "SKIP goes on without the Quelmo service: the NVR is set up without it.");
        failed.retryResult = CameraPage::kRetryResult;
        failed.closeCaption = Text("_SKIP", "SKIP");
        scenes.push_back(MakeScene(name, CameraScene(lines, { 0 }), Dimmer::KindError, failed));
    }
}

// A camera's picture as the preview shows one: a fixed JPEG (a yard with a path, the camera's label and a time
// stamp) decoded the way the preview decodes what a camera sends.
QImage CameraFrame(QSize area, qreal ratio)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(118, 168, 214));
    sky.setColorAt(1, QColor(206, 226, 240));
    painter.fillRect(0, 0, 640, 260, sky);
    painter.fillRect(0, 260, 640, 220, QColor(92, 138, 74));
    painter.setBrush(QColor(188, 172, 140));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygon({ QPoint(280, 260), QPoint(360, 260), QPoint(560, 480), QPoint(80, 480) }));
    painter.setBrush(QColor(168, 84, 62));
    painter.drawRect(40, 150, 200, 110);
    painter.setBrush(QColor(120, 60, 48));
    painter.drawPolygon(QPolygon({ QPoint(30, 150), QPoint(140, 90), QPoint(250, 150) }));
    painter.setBrush(QColor(250, 236, 170));
    painter.drawRect(70, 180, 40, 36);
    painter.drawRect(170, 180, 40, 36);
    painter.setBrush(QColor(58, 98, 52));
    painter.drawEllipse(QPoint(500, 200), 70, 80);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QPoint(16, 32), QStringLiteral("PQC-7310W GARDEN"));
    painter.drawText(QPoint(16, 464), QStringLiteral("2026-12-10 18:49:12.250"));
    painter.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(80);
    writer.write(image);
    return PreviewPicture::Decode(std::string_view(jpeg.constData(), size_t(jpeg.size())), area, ratio);
}

// Page 10's live preview with a picture, and its install help. The preview's camera address is empty, so its
// thread sends nothing: the tour runs on the build machine.
void AddCameraOverlayScenes(std::vector<Scene>& scenes)
{
    RegisterCameraOverlays();
    OverlayValues preview;
    preview.address = "";
    preview.texts[0] = "admin";
    preview.texts[2] = "PQC-7310W   192.168.1.64";
    preview.anchor = QPoint(495, 277); // the first row's camera icon
    scenes.push_back(MakeScene("10-preview-live", CameraScene(TourCameraLines(), { 0, 3 }),
        Dimmer::KindPreview, preview, [](WizardPage*) {
            if (auto* bubble = qobject_cast<PreviewBubble*>(ModalLayer::Top())) {
                PreviewPicture* area = bubble->preview();
                area->SetPicture(CameraFrame(area->size(), area->devicePixelRatioF()), QSize(640, 480));
            }
        }));
    OverlayValues lowRow = preview;
    lowRow.texts[2] = "HXT-B500 Outdoor Bullet Camera with a very long model description   192.168.1.69";
    lowRow.anchor = QPoint(495, 437); // the sixth row's
    scenes.push_back(MakeScene(
        "10-preview-low-row", CameraScene(TourCameraLines(), { 0, 3 }), Dimmer::KindPreview, lowRow));
    scenes.push_back(
        MakeScene("10-install-help", CameraScene(TourCameraLines(), { 0, 3 }), Dimmer::KindInstallCam));
}

// The camera page's password overlays over `cameraPage`, with
// entries typed in; `ok` presses OK once the overlay shows (the create overlay's checks then bring up their box).
void AddCameraPasswordScenes(std::vector<Scene>& scenes, const PageMaker& cameraPage)
{
    const auto overlayOver = [](CameraPasswordJob::Kind kind) {
        return [kind](WizardPage* page) {
            // Nothing is tried in the tour: a password handed on stays pending.
            const CameraPasswordOverlay::Submit pending = [](const std::string&) {
                return std::make_shared<std::atomic<int32_t>>(CameraPasswordOverlay::Pending);
            };
            if (kind == CameraPasswordJob::Create) {
                CreateCameraPasswordOverlay overlay(page, "PQC-7310W", pending);
                overlay.Run();
            } else {
                EnterCameraPasswordOverlay overlay(page, "PQC-7310W", pending);
                overlay.Run();
            }
        };
    };
    const auto typed = [](const QString& first, const QString& second, bool ok) {
        return [first, second, ok](WizardPage*) {
            auto* overlay = qobject_cast<CameraPasswordOverlay*>(ModalLayer::Top());
            if (overlay == nullptr)
                return;
            const QList<PlainLineEdit*> entries = overlay->findChildren<PlainLineEdit*>();
            for (qsizetype i = 0; i < entries.size(); ++i)
                entries[i]->setText(i == 0 ? first : second);
            if (ok) // after the scene's own step, which must not wait for the box
                QTimer::singleShot(0, overlay, [overlay] {
                    if (auto* button = overlay->findChild<QAbstractButton*>(QStringLiteral("ok")))
                        button->click();
                });
        };
    };
    const struct
    {
        const char* name;
        CameraPasswordJob::Kind kind;
        const char* first;
        const char* second;
        bool ok;
    } variants[] = {
        { "10-camera-password-enter", CameraPasswordJob::Verify, "", "", false },
        { "10-camera-password-enter-typed", CameraPasswordJob::Verify, "Garden2024", "", false },
        { "10-camera-password-create", CameraPasswordJob::Create, "Garden2024", "Garden20", false },
        { "10-camera-password-create-mismatch", CameraPasswordJob::Create, "Garden2024", "Garden20", true },
        { "10-camera-password-create-rule", CameraPasswordJob::Create, "Gar:den", "Gar:den", true },
    };
    for (const auto& v : variants) {
        Scene scene = MakeScene(
            v.name, cameraPage, 0, {}, typed(QString::fromLatin1(v.first), QString::fromLatin1(v.second), v.ok));
        scene.modal = overlayOver(v.kind);
        scenes.push_back(scene);
    }
}

// The portal's refusal as the page shows it after a chain.
std::function<void(WizardPage*)> PortalAnswer(const std::string& answer)
{
    return [answer](WizardPage* page) {
        CloudStep::Outcome outcome;
        outcome.answer = answer;
        static_cast<CloudPage*>(page)->ShowOutcome(outcome);
    };
}

void AddCloudScenes(std::vector<Scene>& scenes)
{
    const QString email = QStringLiteral("anna.lindqvist@example.com");
    const QString password = QStringLiteral("Sunflower77");
    scenes.push_back(MakeScene("11-cloud-sign-in", CloudScene(CloudPage::SignIn, email, password)));
    scenes.push_back(MakeScene("11-cloud-sign-up", CloudScene(CloudPage::SignUp, email, password, password)));
    scenes.push_back(MakeScene("11-cloud-decline", CloudScene(CloudPage::Decline)));
    scenes.push_back(MakeScene("11-cloud-invalid-email",
        CloudScene(CloudPage::SignIn, QStringLiteral("anna.lindqvist@example"), password), 0, {},
        [](WizardPage* page) { static_cast<CloudPage*>(page)->CheckEmail(); }));
    scenes.push_back(MakeScene("11-cloud-passwords-differ",
        CloudScene(CloudPage::SignUp, email, password, QStringLiteral("Sunflower78")), 0, {},
        [](WizardPage* page) { static_cast<CloudPage*>(page)->CheckPasswords(); }));
    scenes.push_back(MakeScene("11-cloud-refusal", CloudScene(CloudPage::SignUp, email, password, password), 0,
        {},
        PortalAnswer("<html><body><p>SIGNUPERR001: This e-mail address is already registered.</p></body></html>\r\n")));
    scenes.push_back(MakeScene("11-cloud-refusal-sign-in", CloudScene(CloudPage::SignIn, email, password), 0, {},
        PortalAnswer("<html><body><p>SIGNINERR002: The password is not correct.</p></body></html>\r\n")));
    // The longest answer the page shows (cut at 512 characters).
    std::string wordy = "<html><body><p>BINDERR002: ";
    while (wordy.size() < 700)
        wordy += "The device cannot be added at this time, please try again later. ";
    scenes.push_back(MakeScene("11-cloud-refusal-longest",
        CloudScene(CloudPage::SignUp, email, password, password), 0, {}, PortalAnswer(wordy + "</p>")));
    Scene waiting = MakeScene("11-cloud-waiting", CloudScene(CloudPage::SignIn, email, password));
    waiting.waitingBox = true;
    scenes.push_back(waiting);
    const char* causes[][2] = { { "11-cloud-network-failure", "neterr_portal_no_answer" },
        { "11-cloud-network-wrong-answer", "neterr_portal_wrong_answer" },
        { "11-cloud-network-recorder", "neterr_portal_recorder" } };
    for (const auto& [name, key] : causes) {
        OverlayValues failed;
        failed.text = Text(key, key);
        failed.retryResult = CloudPage::kRetryResult;
        scenes.push_back(MakeScene(name, CloudScene(CloudPage::SignIn, email, password), Dimmer::KindError, failed));
    }
    // Known codes in the sign-in and bind answers, in their translated words.
    scenes.push_back(MakeScene("11-cloud-refusal-bind", CloudScene(CloudPage::SignIn, email, password), 0, {},
        PortalAnswer("BINDERR005: The device password is not correct.")));
}

// Page 12's report link: the box that says the report could not be saved (the link itself is on every summary scene).
void AddSummaryReportScenes(std::vector<Scene>& scenes)
{
    OverlayValues failed;
    failed.text = Text("report_save_failed", "The setup report could not be saved.");
    scenes.push_back(MakeScene("12-summary-report-failed", Summary(2, false), Dimmer::KindError, failed));
}

std::vector<Scene> Scenes()
{
    std::vector<Scene> scenes;
    scenes.push_back(MakeScene("01-home", Make<HomePage>()));
    scenes.push_back(MakeScene("01-home-language-list", Make<HomePage>(), 0, {}, [](WizardPage* page) {
        if (auto* list = page->findChild<LanguageCombo*>())
            list->OpenList();
    }));
    scenes.push_back(MakeScene("02-requirements", Make<RequirementsPage>()));
    scenes.push_back(MakeScene("03-introduction1", Make<CablingPowerPage>()));
    scenes.push_back(MakeScene("04-introduction2", Make<CablingNetworkPage>()));
    scenes.push_back(MakeScene("05-introduction3", Make<CablingLedPage>()));
    scenes.push_back(MakeScene("05-led-help", Make<CablingLedPage>(), Dimmer::KindLedRed));
    scenes.push_back(
        MakeScene("05-led-help-reset", Make<CablingLedPage>(), Dimmer::KindLedRed, {}, [](WizardPage*) {
            if (auto* led = qobject_cast<RedLedHelp*>(ModalLayer::Top()))
                PostWindowMessage(led, WM_LINK_CLICKED);
        }));
    AddTimeZoneAndDiskScenes(scenes);
    AddCameraPasswordScenes(scenes, CameraScene(TourCameraLines(), { 0, 3 }));
    AddCloudScenes(scenes);
    scenes.push_back(MakeScene("12-summary-all", Summary(5, true)));
    scenes.push_back(MakeScene("12-summary-nvr", Summary(0, false)));
    scenes.push_back(MakeScene("12-summary-cloud", Summary(0, true)));
    scenes.push_back(MakeScene("12-summary-cameras", Summary(2, false)));
    scenes.push_back(MakeScene("12-summary-cloud-skipped", Summary(4, false, true)));
    AddSummaryReportScenes(scenes);
    scenes.push_back(MakeScene("overlay-reset", Placeholder(7), Dimmer::KindReset));
    OverlayValues mac;
    mac.text = MacLabelHelp::LabelMac("00:1a:2b:3c:4d:5e", true);
    scenes.push_back(MakeScene("overlay-mac-label", Placeholder(6), Dimmer::KindMacDisplay, mac));
    OverlayValues noRow;
    noRow.text = MacLabelHelp::LabelMac("", false);
    scenes.push_back(MakeScene("overlay-mac-label-no-row", Placeholder(6), Dimmer::KindMacDisplay, noRow));
    scenes.push_back(MakeScene("overlay-terms", Placeholder(11), Dimmer::KindTerms));
    scenes.push_back(MakeScene("overlay-about", Make<HomePage>(), Dimmer::KindAbout));
    OverlayValues formatWarning;
    formatWarning.mode = 1;
    formatWarning.cancelButton = true;
    scenes.push_back(MakeScene("overlay-alarm-format", Placeholder(9), Dimmer::KindAlarm, formatWarning));
    scenes.push_back(MakeScene("overlay-alarm-no-disk", Placeholder(9), Dimmer::KindAlarm));
    scenes.push_back(MakeScene("overlay-net-alarm", Placeholder(11), Dimmer::KindNetAlarm));
    scenes.push_back(MakeScene("overlay-no-device", Placeholder(6), Dimmer::KindNoDevice));
    scenes.push_back(MakeScene("overlay-error", Placeholder(7), Dimmer::KindError));
    Scene waiting = MakeScene("overlay-waiting", Placeholder(8));
    waiting.waitingBox = true;
    scenes.push_back(waiting);
    AddRecorderScenes(scenes);
    scenes.push_back(AboutBoxScene());
    AddCameraScenes(scenes);
    AddCameraOverlayScenes(scenes);
    return scenes;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tour");
    const QStringList only = app.arguments().mid(2); // optional scene names
    int failures = 0;
    int written = 0;
    for (int language = 0; language < LanguageTable::kCount; ++language) {
        SelectLanguage(language);
        const QString folder = QStringLiteral("%1/%2-%3")
                                   .arg(root)
                                   .arg(language)
                                   .arg(QString::fromLatin1(LanguageTable::Entry(language).portalCode));
        QDir().mkpath(folder);
        for (const Scene& scene : Scenes()) {
            if (!only.isEmpty() && !only.contains(scene.name))
                continue;
            if (Render(scene, folder + QLatin1Char('/') + scene.name + QStringLiteral(".png")))
                ++written;
            else
                ++failures;
        }
    }
    SelectLanguage(0);

    // One review sheet per scene: the six languages side by side, at 60 %.
    QDir().mkpath(root + QStringLiteral("/sheets"));
    for (const Scene& scene : Scenes()) {
        if (!only.isEmpty() && !only.contains(scene.name))
            continue;
        const int w = WizardPage::kWidth * 6 / 10;
        const int h = WizardPage::kHeight * 6 / 10;
        QImage sheet(3 * w, 2 * h, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (int language = 0; language < LanguageTable::kCount; ++language) {
            const QString file = QStringLiteral("%1/%2-%3/%4.png")
                                     .arg(root)
                                     .arg(language)
                                     .arg(QString::fromLatin1(LanguageTable::Entry(language).portalCode), scene.name);
            painter.drawImage(QRect((language % 3) * w, (language / 3) * h, w, h), QImage(file));
        }
        painter.end();
        sheet.save(root + QStringLiteral("/sheets/") + scene.name + QStringLiteral(".png"));
    }
    std::printf("tour: %d pictures in %s\n", written, qPrintable(root));
    return failures == 0 ? 0 : 1;
}
