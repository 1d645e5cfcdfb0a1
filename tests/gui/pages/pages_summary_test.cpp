// The summary page: which table shows, the cameras in two columns, GO TO NVR's address, and FINISH's desktop
// entry in both forms, parsed back the way a desktop reads it.

#include "../../unit/support/FinishedRecorder.h"
#include "PagesTestSupport.h"

#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "pages/SummaryPage.h"
#include "pages/SummaryTable.h"
#include "platform/DesktopShortcut.h"
#include "platform/ProgramIcon.h"
#include "session/CloudPortalInfo.h"
#include "session/WizardSession.h"
#include "ui/SmallLink.h"
#include "ui/WrappedText.h"
#include "ui/LayeredPictureButton.h"
#include "ui/Messages.h"

#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace {

void AddCameras(WizardSession& session, const QStringList& chosen, int notChosen)
{
    for (const QString& model : chosen) {
        auto camera = std::make_unique<CameraRecord>();
        camera->model = model.toStdString();
        camera->selected = 1;
        session.AppendCamera(std::move(camera));
    }
    for (int i = 0; i < notChosen; ++i) {
        auto camera = std::make_unique<CameraRecord>();
        camera->model = "FOUND-ONLY";
        session.AppendCamera(std::move(camera));
    }
}

// The value of key in a desktop entry, with the value escapes (\s \n \t \r \\) undone.
std::optional<std::string> EntryValue(const QString& text, const QString& key)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.startsWith(key + QLatin1Char('=')))
            continue;
        const std::string raw = line.mid(key.size() + 1).toStdString();
        std::string value;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) {
                const char c = raw[++i];
                value += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            } else {
                value += raw[i];
            }
        }
        return value;
    }
    return std::nullopt;
}

// Exec's words as a desktop starts the program: quoted words with their backslash escapes, "%%" as "%".
std::vector<std::string> ExecWords(const std::string& exec)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool any = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size()) {
                word += exec[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ' ') {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    for (std::string& w : words) {
        std::string plain;
        for (size_t i = 0; i < w.size(); ++i) {
            plain += w[i];
            if (w[i] == '%' && i + 1 < w.size() && w[i + 1] == '%')
                ++i;
        }
        w = plain;
    }
    return words;
}

} // namespace

class PagesSummaryTest : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl& url) { opened << url; }

private:
    QList<QUrl> opened;

private slots:
    void initTestCase() { SelectLanguage(0); }

    void tableFollowsCamerasAndCloudAccount_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("notChosen");
        QTest::addColumn<QString>("email");
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("height");
        QTest::newRow("nothing") << 0 << 0 << QString() << 2 << 85;
        QTest::newRow("found cameras not chosen do not count") << 0 << 3 << QString() << 2 << 85;
        QTest::newRow("cloud account only") << 0 << 1 << QStringLiteral("a@example.com") << 3 << 140;
        QTest::newRow("two cameras, no cloud") << 2 << 1 << QString() << 4 << 190;
        QTest::newRow("cameras and cloud") << 1 << 0 << QStringLiteral("a@example.com") << 1 << 240;
    }

    void tableFollowsCamerasAndCloudAccount()
    {
        QFETCH(int, chosen);
        QFETCH(int, notChosen);
        QFETCH(QString, email);
        QFETCH(int, table);
        QFETCH(int, height);
        RecordingHost host;
        WizardSession session;
        session.SetNvrPassword("Garden2024");
        if (!email.isEmpty())
            session.SetCloudAccount(email.toStdString(), "Sunflower77");
        QStringList models;
        for (int i = 0; i < chosen; ++i)
            models << QStringLiteral("CAM-%1").arg(i);
        AddCameras(session, models, notChosen);
        SummaryPage page(&host, session, CloudPortalInfo {});

        QCOMPARE(SummaryPage::TableFor(chosen, email.isEmpty()), table);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(page.table(i)->isVisibleTo(&page), i + 1 == table);
        SummaryTable* shown = page.shownTable();
        QCOMPARE(shown, page.table(table - 1));
        QCOMPARE(shown->height(), height);
        QCOMPARE(shown->geometry().left(), 80);
        QCOMPARE(shown->geometry().right(), 779);
        QCOMPARE(shown->cameraNames(), models);
        QVERIFY(shown->Lines().contains(QStringLiteral("Password: Garden2024")));
        QCOMPARE(shown->Lines().contains(QStringLiteral("Email: ") + email), !email.isEmpty());
    }

    // A cloud step the user skipped (the recorder's registration could not be read) is said under the table, above
    // the report link; otherwise nothing is said.
    void skippedCloudStepIsSaid()
    {
        RecordingHost host;
        WizardSession session;
        session.SetNvrPassword("Garden2024");
        AddCameras(session, { QStringLiteral("CAM-0") }, 0);
        SummaryPage plain(&host, session, CloudPortalInfo {});
        QVERIFY(plain.cloudSkippedNote() == nullptr);
        CloudPortalInfo skipped;
        skipped.skipped = true;
        SummaryPage page(&host, session, skipped);
        WrappedText* note = page.cloudSkippedNote();
        QVERIFY(note != nullptr);
        QCOMPARE(note->text(), QString::fromStdString(Text("Summary_cloud_skipped", "-")));
        QVERIFY(note->geometry().top() > page.shownTable()->geometry().bottom());
        QVERIFY(page.reportLink()->geometry().top() > note->geometry().bottom());
        QVERIFY(page.reportLink()->geometry().bottom() < page.finishButton()->geometry().top());
    }

    void camerasFillTwoColumnsRowByRow()
    {
        RecordingHost host;
        WizardSession session;
        session.SetCloudAccount("a@example.com", "pw");
        const QStringList models { "A1", "B2", "C3", "D4", "E5" };
        AddCameras(session, models, 2);
        SummaryPage page(&host, session, CloudPortalInfo {});
        SummaryTable* table = page.shownTable();
        QCOMPARE(table, page.table(0));
        QCOMPARE(table->cameraNames(), models);
        const QRect expected[] = {
            { 150, 150, 250, 22 }, // row 0, left
            { 430, 150, 200, 22 }, // row 0, right
            { 150, 182, 250, 22 }, { 430, 182, 200, 22 }, { 150, 214, 250, 22 }, // the fifth alone on row 2, left
        };
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(table->CameraTextRect(i), expected[i]);
            QCOMPARE(table->CameraMarkerX(i), i % 2 == 0 ? 140 : 420);
        }
        QCOMPARE(table->height(), 240);

        // Without a cloud account the camera rows follow the recorder's section directly.
        WizardSession two;
        AddCameras(two, { "A1", "B2" }, 0);
        SummaryPage other(&host, two, CloudPortalInfo {});
        QCOMPARE(other.shownTable(), other.table(3));
        QCOMPARE(other.shownTable()->CameraTextRect(0).top(), other.shownTable()->CameraTextRect(1).top());
    }

    void goToNvrOpensTheRecorderAndStays()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
        opened.clear();
        RecordingHost host;
        WizardSession session;
        session.SetNvrIp("10.77.0.10");
        SummaryPage page(&host, session, CloudPortalInfo {});
        QTest::mouseClick(page.goToNvrButton(), Qt::LeftButton);
        QTest::mouseClick(page.goToNvrButton(), Qt::LeftButton);
        QCOMPARE(opened, (QList<QUrl> { QUrl("http://10.77.0.10"), QUrl("http://10.77.0.10") }));
        QVERIFY(host.take().empty()); // the page stays
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    void shortcutFormsAreWrittenAndParseBack_data()
    {
        QTest::addColumn<QString>("access");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("portal");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("address");
        QTest::newRow("portal with number") << "1"
                                            << "VK12345"
                                            << "portal.example.com"
                                            << "http://10.77.0.10"
                                            << "HXT-914Q(VK12345).desktop"
                                            << "https://portal.example.com/device#VK12345?lang=en";
        QTest::newRow("portal without number") << "1"
                                               << ""
                                               << "portal.example.com"
                                               << ""
                                               << "HXT-914Q.desktop"
                                               << "https://portal.example.com";
        QTest::newRow("portal without address") << "1"
                                                << "VK1"
                                                << ""
                                                << ""
                                                << "HXT-914Q(VK1).desktop" << kMakerSite;
        QTest::newRow("local link, number not used") << "0"
                                                     << "VK12345"
                                                     << "portal.example.com"
                                                     << "http://10.77.0.10:8080/"
                                                     << "HXT-914Q.desktop"
                                                     << "http://10.77.0.10:8080/";
        QTest::newRow("empty access, no link") << ""
                                               << "VK1"
                                               << "portal.example.com"
                                               << ""
                                               << "HXT-914Q.desktop" << kMakerSite;
        QTest::newRow("characters that need escaping") << "0"
                                                       << ""
                                                       << ""
                                                       << "http://10.77.0.10/a%20b?q=\"x\"&v=$HOME`id`\\end"
                                                       << "HXT-914Q.desktop"
                                                       << "http://10.77.0.10/a%20b?q=\"x\"&v=$HOME`id`\\end";
        QTest::newRow("number with a slash stays in the desktop folder")
            << "1"
            << "../x/y"
            << "portal.example.com"
            << ""
            << "HXT-914Q(.._x_y).desktop"
            << "https://portal.example.com/device#../x/y?lang=en";
    }

    void shortcutFormsAreWrittenAndParseBack()
    {
        QFETCH(QString, access);
        QFETCH(QString, number);
        QFETCH(QString, portal);
        QFETCH(QString, local);
        QFETCH(QString, fileName);
        QFETCH(QString, address);
        const QString desktop = QString::fromStdString(DesktopFolder());
        QVERIFY(desktop.startsWith(QDir::homePath())); // the test's private home
        QDir(desktop).removeRecursively();

        RecordingHost host;
        WizardSession session;
        CloudPortalInfo info;
        info.access = access.toStdString();
        info.portal_number = number.toStdString();
        info.portal_url = portal.toStdString();
        info.localhyperlink = local.toStdString();
        SummaryPage page(&host, session, info);
        QTest::mouseClick(page.finishButton(), Qt::LeftButton);
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_WIZARD_NAV, NAV_FINISH, 0 } }));

        const QString path = desktop + QLatin1Char('/') + fileName;
        QCOMPARE(QString::fromStdString(page.shortcutPath()), path);
        QCOMPARE(QDir(desktop).entryList(QDir::Files | QDir::Hidden), QStringList { fileName });
        struct stat info2
        {
        };
        QCOMPARE(::stat(path.toLocal8Bit().constData(), &info2), 0);
        QCOMPARE(info2.st_mode & 0777, 0755u);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QCOMPARE(EntryValue(text, "Type"), std::optional<std::string>("Application"));
        QCOMPARE(EntryValue(text, "Name"), std::optional<std::string>("HXT-914Q"));
        QCOMPARE(EntryValue(text, "Icon"), std::optional<std::string>(InstalledIconPath()));
        QVERIFY(QString::fromStdString(InstalledIconPath()).endsWith(QStringLiteral("/icons/HXT-914Q.ico")));
        const std::optional<std::string> exec = EntryValue(text, "Exec");
        QVERIFY(exec.has_value());
        const std::vector<std::string> words = ExecWords(*exec);
        QCOMPARE(words, (std::vector<std::string> { "xdg-open", address.toStdString() }));
    }

    void shortcutArgumentKeepsItsQuotationMarks()
    {
        QCOMPARE(ShortcutArgument(ShortcutForm::Portal, "N1", "p.example.com", ""),
            std::string("\"https://p.example.com/device#N1?lang=en\""));
        QCOMPARE(ShortcutArgument(ShortcutForm::Portal, "", "p.example.com", ""), std::string("p.example.com"));
        QCOMPARE(
            ShortcutArgument(ShortcutForm::Local, "N1", "p.example.com", "http://h/"), std::string("\"http://h/\""));
        QCOMPARE(AddressOfArgument("\"http://h/\""), std::string("http://h/"));
    }

    // The link sits under the shown table, whole, in every language; it saves both forms in the pack's language
    // where the user says, and never a password.
    void reportLinkSavesBothFormsInThePacksLanguage_data()
    {
        QTest::addColumn<int>("language");
        for (int language = 0; language < 6; ++language)
            QTest::newRow(QByteArray::number(language)) << language;
    }

    void reportLinkSavesBothFormsInThePacksLanguage()
    {
        QFETCH(int, language);
        SelectLanguage(language);
        RecordingHost host;
        WizardSession session;
        SetFinishedRecorder(session);
        session.NoteDisk(1, "ST1000 (1000 GB)", WizardSession::DiskResult::Formatted);
        AddCameras(session, { "A1", "B2", "C3", "D4", "E5" }, 1); // the tallest table
        session.Camera(0)->password = "Camera4You";
        session.Camera(5)->password = "NotChosen9";
        SummaryPage page(&host, session, CloudPortalInfo {});
        page.show();

        SmallLink* link = page.reportLink();
        QVERIFY(link->isVisible());
        QCOMPARE(link->text(), QString::fromStdString(Text("report_link", "Save the setup report")));
        QVERIFY(language == 0 || link->text() != QStringLiteral("Save the setup report"));
        QCOMPARE(link->x(), 80);
        QVERIFY(link->y() >= page.shownTable()->geometry().bottom() + 8);
        QVERIFY(link->geometry().bottom() < 508); // above the button band
        QVERIFY(QFontMetrics(link->DrawingFont()).horizontalAdvance(link->text()) <= link->width());
        QVERIFY(link->rect().contains(link->textRect()));

        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("report.txt"));
        QString suggested;
        page.askReportPath = [&](const QString& offered) {
            suggested = offered;
            return chosen;
        };
        QTest::mouseClick(link, Qt::LeftButton, {}, link->textRect().center());
        QTRY_VERIFY(QFile::exists(folder.filePath(QStringLiteral("report.html"))));
        QCOMPARE(suggested,
            QString::fromStdString(DesktopFolder()) + QStringLiteral("/HXT-914Q setup report ")
                + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt"));
        for (const QString& name : { QStringLiteral("report.txt"), QStringLiteral("report.html") }) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (const char* key : { "report_title", "report_zone", "report_cloud_number" })
                QVERIFY2(text.contains(QString::fromStdString(Text(key, ""))), key);
            for (const QString value : { "00:1a:2b:3c:4d:5e", "(GMT+01:00) Amsterdam", "E5", "7730012" })
                QVERIFY2(text.contains(value), qPrintable(value));
            for (const QString password : { "Garden2024", "Camera4You", "NotChosen9", "Sunflower77" })
                QVERIFY2(!text.contains(password), qPrintable(password));
        }
        QVERIFY(host.take().empty()); // the page stays
        SelectLanguage(0);
    }

    void reportCancelledWritesNothingAndAFailureSaysSo()
    {
        RecordingHost host;
        WizardSession session;
        SummaryPage page(&host, session, CloudPortalInfo {});
        page.show();
        QTemporaryDir folder;
        int asked = 0;
        QString answer;
        page.askReportPath = [&](const QString&) {
            ++asked;
            return answer;
        };
        SmallLink* link = page.reportLink();
        QTest::mouseClick(link, Qt::LeftButton, {}, link->textRect().center());
        QTRY_COMPARE(asked, 1);
        QCoreApplication::processEvents();
        QVERIFY(QDir(folder.path()).isEmpty());

        // A folder that is not there: the error box tells the user, and the page stays.
        answer = folder.filePath(QStringLiteral("gone/report.txt"));
        QString shown;
        WhenShown<ErrorAlert>(this, [&shown](ErrorAlert* box) {
            shown = box->message();
            box->End(ModalLayer::IDOK);
        });
        QTest::mouseClick(link, Qt::LeftButton, {}, link->textRect().center());
        QTRY_COMPARE(asked, 2);
        QTRY_COMPARE(shown, QStringLiteral("The setup report could not be saved."));
        QVERIFY(!page.SaveReport(answer));
        QVERIFY(host.take().empty());
    }

    void shortcutReplacesAnEarlierOneAndNeverFollowsALink()
    {
        const QString desktop = QString::fromStdString(DesktopFolder());
        QDir(desktop).removeRecursively();
        QDir().mkpath(desktop);
        const QString elsewhere = QDir::homePath() + QStringLiteral("/elsewhere.txt");
        {
            QFile victim(elsewhere);
            QVERIFY(victim.open(QIODevice::WriteOnly));
            victim.write("keep");
        }
        QVERIFY(QFile::link(elsewhere, desktop + QStringLiteral("/HXT-914Q.desktop")));
        QVERIFY(!MakeDesktopShortcut("0", "", "", "http://10.77.0.10").empty());
        QVERIFY(!QFileInfo(desktop + QStringLiteral("/HXT-914Q.desktop")).isSymLink());
        QFile victim(elsewhere);
        QVERIFY(victim.open(QIODevice::ReadOnly));
        QCOMPARE(victim.readAll(), QByteArray("keep"));
    }
};

QTEST_MAIN(PagesSummaryTest)
#include "pages_summary_test.moc"
