#include "ScenarioWalk.h"

#include "app/MainWindow.h"
#include "app/WizardPages.h"
#include "i18n/LanguageTable.h"
#include "ui/Drawing.h"
#if __has_include("ui/AccessibleControls.h")
#include "ui/AccessibleControls.h"
#define HXT_HAS_ACCESSIBLE_CONTROLS 1
#endif

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Limits of the steps that wait for the wizard's own work (generous: a loaded machine, sanitizer builds).
constexpr int kSearchMs = 30000; // the recorder search (6 s window) and its rescans
constexpr int kPageMs = 20000; // a page change after NEXT with requests
constexpr int kFormatMs = 90000; // formatting (the box's own limit is 60 s)
constexpr int kCameraNextMs = 90000; // the cloud check and the registrations

QString Token(const QString& ip)
{
    return ip;
}

} // namespace

ScenarioWalk::ScenarioWalk(WizardDriver& driver, const Scenario& scenario, QList<FaultRow> faultRows)
    : d(driver)
    , s(scenario)
    , faults(std::move(faultRows))
{
}

Control ScenarioWalk::button(const char* key, const char* fallback)
{
    return Control::Button(d.Pack(key, fallback));
}

bool ScenarioWalk::press(const char* key, const char* fallback, int limitMs)
{
    return d.Press(button(key, fallback), limitMs);
}

bool ScenarioWalk::send(const QList<QByteArray>& lines)
{
    for (const QByteArray& line : lines) {
        QString answer;
        if (!sim.Control(line, 4000, &answer)) {
            d.Fail(QStringLiteral("the simulator did not take \"%1\": %2").arg(QString::fromUtf8(line), answer));
            return false;
        }
        d.Note(QStringLiteral("sim: %1").arg(QString::fromUtf8(line)));
    }
    return true;
}

// ---- the run ----------------------------------------------------------------------------------------------------

WalkResult ScenarioWalk::Run()
{
    QElapsedTimer clock;
    clock.start();
    runClock = &clock;
    WalkResult result;
    const bool walked = home() && guidePages() && searchPage() && passwordPage() && zonePage(true) && diskPage()
        && cameraPage(true) && cloudPage() && summaryPage();
    result.finished = walked;
    result.ms = clock.elapsed();
    result.rows = outcomes;
    if (walked) {
        for (const QString& problem : CheckSimulator() + CheckDesktopEntry())
            d.Fail(QStringLiteral("check: ") + problem);
    } else if (!d.WindowGone()) {
        d.Note(QStringLiteral("the tree when the step failed:\n") + d.Dump());
        QStringList events;
        const QJsonArray all = sim.State().value("events").toArray();
        for (qsizetype i = std::max<qsizetype>(0, all.size() - 25); i < all.size(); ++i) {
            const QJsonObject e = all[i].toObject();
            events << QStringLiteral("%1 %2 %3 %4 -> %5")
                          .arg(e.value("ms").toInteger())
                          .arg(e.value("device").toString(), e.value("kind").toString(), e.value("detail").toString(),
                              e.value("result").toString());
        }
        d.Note(QStringLiteral("the simulator's latest events:\n") + events.join(QLatin1Char('\n')));
        d.CloseWindow();
        d.WaitUntil([this] { return d.WindowGone(); }, 8000);
    }
    result.failure = d.failure();
    result.log = d.log();
    runClock = nullptr;
    return result;
}

bool ScenarioWalk::WalkTo(int page, bool settle)
{
    QElapsedTimer clock;
    clock.start();
    runClock = &clock;
    // Each page's step leaves it; the last one only arrives (and, with settle, waits for its first loading).
    const std::function<bool()> leave[] = {
        [this] { return home(); },
        [this] { return guidePages(); },
        [this] { return searchPage(); },
        [this] { return passwordPage(); },
        [this] { return zonePage(true); },
        [this] { return diskPage(); },
        [this] { return cameraPage(true); },
    };
    const int leaveTo[] = { 2, 6, 7, 8, 9, 10, 11 };
    bool ok = true;
    for (int i = 0; ok && i < 7 && leaveTo[i] <= page; ++i)
        ok = leave[i]();
    if (ok && settle)
        ok = page == 8 ? zonePage(false) : page == 10 ? cameraPage(false) : settled(page);
    runClock = nullptr;
    return ok;
}

// ---- pages ------------------------------------------------------------------------------------------------------

bool ScenarioWalk::home()
{
    // The language as a user picks it: the home page's list, the item of that language.
    const Control start = Control::Button(d.Pack("START", "START"));
    if (!d.WaitFor(start, 15000))
        return false;
    if (s.language != 0) {
        const Control combo { QAccessible::ComboBox };
        const QString label = QString::fromUtf8(LanguageTable::Entry(s.language).label);
        if (!d.WaitFor(combo))
            return false;
        const QList<Seen> items = d.OpenItems(combo);
        int item = -1;
        for (int i = 0; i < items.size(); ++i) {
            if (WizardDriver::Matches(items[i].name, label, false))
                item = i;
        }
        if (item < 0) {
            d.Fail(QStringLiteral("the language list has no item \"%1\"").arg(label));
            return false;
        }
        if (!d.ChooseItem(combo, item))
            return false;
        if (!d.WaitUntil([&] {
                const std::optional<Seen> seen = d.Look(combo);
                return seen && WizardDriver::Matches(seen->value, label, false);
            })) {
            d.Fail(QStringLiteral("the language list does not show \"%1\"").arg(label));
            return false;
        }
        d.Note(QStringLiteral("language: %1").arg(label));
    }
    // START in the chosen language's words.
    if (!press("START", "START"))
        return false;
    return d.WaitForStep(1);
}

bool ScenarioWalk::guidePages()
{
    for (int page = 2; page <= 5; ++page) {
        if (!next(page))
            return false;
    }
    return true;
}

bool ScenarioWalk::next(int fromPage, int limitMs)
{
    if (!press("Next", "NEXT"))
        return false;
    return d.WaitForStep(fromPage, limitMs < 0 ? kPageMs : limitMs);
}

Control ScenarioWalk::cameraRow(const QString& ip)
{
    Control row { QAccessible::Row, Token(ip), true };
    if (!d.Exists(row))
        row.role = QAccessible::ListItem;
    return row;
}

// A page is settled once its first loading is over and a user can act on it.
bool ScenarioWalk::settled(int page)
{
    switch (page) {
    case 6: {
        // The search runs about 7 s; a search that found nothing is run again with Rescan.
        const Control rescan = button("Rescan", "Rescan");
        const QString noDevice = d.Pack("No device found!", "No device found!");
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kSearchMs) {
            Control row { QAccessible::Row, s.recorderIp, true };
            for (QAccessible::Role role : { QAccessible::Row, QAccessible::ListItem }) {
                row.role = role;
                if (const std::optional<Seen> seen = d.Look(row);
                    seen && WizardDriver::Matches(seen->name, s.recorderMac, true)) {
                    // NEXT is usable once the search is over.
                    return d.WaitFor(button("Next", "NEXT"), kSearchMs);
                }
            }
            if (d.Texts().contains(noDevice) && d.Look(rescan).value_or(Seen {}).Available())
                d.Press(rescan);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        d.Fail(QStringLiteral("the recorder %1 %2 was not listed within %3 ms")
                   .arg(s.recorderIp, s.recorderMac)
                   .arg(kSearchMs));
        return false;
    }
    case 7:
        // The probe's waiting box ends, then the entries of the mode show.
        return d.WaitFor(Control::Edit(d.Pack("Password", "Password")), kPageMs);
    case 8: {
        // The zones are loaded once the waiting box is gone and NEXT is usable.
        const QString waiting = d.Pack("Waiting", "Waiting");
        const bool loaded = d.WaitUntil(
            [&] {
                for (const QString& text : d.Texts()) {
                    if (WizardDriver::Matches(text, waiting, true))
                        return false;
                }
                const std::optional<Seen> next = d.Look(button("Next", "NEXT"));
                return next && next->Available() && d.Exists({ QAccessible::ComboBox });
            },
            kPageMs);
        if (!loaded)
            d.Fail(QStringLiteral("the zone page did not load within %1 ms").arg(kPageMs));
        return loaded;
    }
    case 9:
        return d.WaitFor(button("Next", "NEXT"), kPageMs);
    case 10: {
        // The first search: rows, or the not-found text, and Rescan usable again.
        const QString none = d.Pack("No camera found!", "No camera found!");
        const Control rescan = button("Rescan", "Rescan");
        const bool ended = d.WaitUntil(
            [&] {
                const std::optional<Seen> seen = d.Look(rescan);
                if (!seen || !seen->Available())
                    return false;
                return d.Exists({ QAccessible::Row }) || d.Exists({ QAccessible::ListItem })
                    || d.Texts().contains(none);
            },
            45000);
        if (!ended)
            d.Fail(QStringLiteral("the camera search did not end within 45000 ms"));
        return ended;
    }
    case 11:
        return d.WaitFor({ QAccessible::RadioButton }, kPageMs);
    default:
        return true;
    }
}

bool ScenarioWalk::searchPage()
{
    if (!meetEntryRows(6) || !runRows(6) || !settled(6))
        return false;
    // The user picks the recorder's row (the same recorder is listed once per interface that reached it).
    Control row { QAccessible::Row, s.recorderIp, true };
    if (!d.Exists(row))
        row.role = QAccessible::ListItem;
    if (!d.Press(row))
        return false;
    armEntryRows(7);
    return next(6);
}

bool ScenarioWalk::passwordPage()
{
    if (!meetEntryRows(7) || !settled(7))
        return false;
    const Control password = Control::Edit(d.Pack("Password", "Password"));
    const Control confirm = Control::Edit(d.Pack("Confirm Password", "Confirm Password"));
    const bool createMode = d.Exists(confirm);
    if (createMode != s.existingPassword.isEmpty()) {
        d.Fail(QStringLiteral("page 7 shows the %1 mode for a recorder %2")
                   .arg(createMode ? QStringLiteral("create") : QStringLiteral("log-in"),
                       s.existingPassword.isEmpty() ? QStringLiteral("without a password")
                                                    : QStringLiteral("with a password")));
        return false;
    }
    if (!d.SetText(password, s.password()))
        return false;
    if (createMode && !d.SetText(confirm, s.password()))
        return false;
    if (!runRows(7))
        return false;
    armEntryRows(8);
    return next(7);
}

bool ScenarioWalk::zonePage(bool leave)
{
    if (!meetEntryRows(8) || !settled(8))
        return false;
    if (!leave)
        return true;
    // The zone as a user picks it: the combo opened, the item of its list pressed.
    const Control combo { QAccessible::ComboBox };
    const QList<Seen> items = d.OpenItems(combo);
    if (items.size() < s.zone) {
        d.Fail(QStringLiteral("the zone list has %1 items").arg(items.size()));
        return false;
    }
    const QString wanted = items[s.zone - 1].name;
    if (!d.ChooseItem(combo, s.zone - 1))
        return false;
    const bool chosen = d.WaitUntil([&] {
        const std::optional<Seen> seen = d.Look(combo);
        if (!seen || seen->value.isEmpty())
            return false;
        QString value = seen->value;
        value.remove(QChar(0x2026)); // an elided name
        return WizardDriver::Matches(wanted, value, true);
    });
    if (!chosen) {
        d.Fail(QStringLiteral("the zone box does not show \"%1\" (it shows \"%2\")")
                   .arg(wanted, d.Look(combo).value_or(Seen {}).value));
        return false;
    }
    d.Note(QStringLiteral("zone %1: %2").arg(s.zone).arg(wanted));
    if (!runRows(8))
        return false;
    armEntryRows(9);
    return next(8);
}

bool ScenarioWalk::diskPage()
{
    if (!meetEntryRows(9) || !settled(9) || !runRows(9))
        return false;
    armEntryRows(10);
    if (s.disks == DiskPlan::Skip) {
        if (!press("Skip", "Skip"))
            return false;
        return d.WaitForStep(9, kPageMs);
    }
    const QString alert = d.Pack("hddformat_04", "Important Alert");
    const QString noDisk = d.Pack("hddformat_06 ", "No HD Found");
    if (s.disks == DiskPlan::NoDiskThenSkip) {
        if (!press("Next", "NEXT") || !d.WaitForText(noDisk, kPageMs) || !press("OK", "OK"))
            return false;
        if (!d.WaitForNoText(noDisk) || !press("Skip", "Skip"))
            return false;
        return d.WaitForStep(9, kPageMs);
    }
    // NEXT, the confirmation's OK, and the disks are formatted. A watch that has not seen the disks yet answers
    // with the no-disk alert (OK), or one whose last answer could not be read with the error box (Close): NEXT
    // again once it has.
    const QString unreadable = d.Pack("hddformat_unreadable", "The NVR's disk information could not be read.");
    QElapsedTimer clock;
    clock.start();
    while (true) {
        if (!press("Next", "NEXT"))
            return false;
        QString seen;
        const bool answered = d.WaitUntil([&] {
            const QStringList texts = d.Texts();
            for (const QString& text : texts) {
                if (WizardDriver::Matches(text, alert, true) || WizardDriver::Matches(text, noDisk, true)
                    || WizardDriver::Matches(text, unreadable, true)) {
                    seen = text;
                    return true;
                }
            }
            return false;
        });
        if (!answered) {
            d.Fail(QStringLiteral("NEXT on the disk page brought neither the confirmation nor the no-disk alert"));
            return false;
        }
        const bool unread = WizardDriver::Matches(seen, unreadable, true);
        if (!unread && !WizardDriver::Matches(seen, noDisk, true))
            break;
        // The box's own Close (the frame has a button of that name too).
        const Control boxClose = Control::InBox(QAccessible::PushButton, d.Pack("Close", "Close"));
        if (unread ? !d.Press(boxClose) || !d.WaitForNoText(unreadable)
                   : !press("OK", "OK") || !d.WaitForNoText(noDisk))
            return false;
        if (clock.elapsed() > kPageMs) {
            d.Fail(QStringLiteral("the disk page still finds no disk after %1 ms").arg(kPageMs));
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    if (!press("OK", "OK"))
        return false;
    return d.WaitForStep(9, kFormatMs);
}

bool ScenarioWalk::checkCamera(const CameraPlan& camera, bool typeOnly)
{
    const Control row = cameraRow(camera.ip);
    const Control check { QAccessible::CheckBox, QString(), false, 0, camera.ip };
    if (!d.WaitFor(row, 5000, false))
        return false;
    const bool hasCheck = d.Exists(check);
    if (camera.kind == CameraPlan::Refused) {
        const std::optional<Seen> seen = d.Look(hasCheck ? check : row);
        if (!seen || !seen->state.disabled || seen->state.checked) {
            d.Fail(QStringLiteral("the fifth camera %1 is not shown unavailable").arg(camera.ip));
            return false;
        }
        d.Note(QStringLiteral("camera %1: unavailable at four checked").arg(camera.ip));
        return true;
    }
    if (!typeOnly && !(hasCheck ? d.Toggle(check) : d.Press(row)))
        return false;
    if (camera.kind != CameraPlan::Known && !answerCameraOverlay(camera))
        return false;
    const bool checked = d.WaitUntil([&] {
        const std::optional<Seen> seen = d.Look(hasCheck ? check : row);
        return seen && seen->state.checked;
    });
    if (!checked)
        d.Fail(QStringLiteral("the camera %1 was not checked").arg(camera.ip));
    return checked;
}

bool ScenarioWalk::answerCameraOverlay(const CameraPlan& camera)
{
    const Control ok = Control::InBox(QAccessible::PushButton, d.Pack("OK", "OK"));
    if (camera.kind == CameraPlan::Unknown) {
        const Control entry = Control::Edit(d.Pack("Password", "Password"));
        if (!camera.wrongFirst.isEmpty()) {
            // A wrong password first: the overlay says so and stays.
            const QString wrong = d.Pack("nvrpwd_05", "Incorrect password. Please try again.");
            if (!d.SetText(entry, camera.wrongFirst) || !d.Press(ok) || !d.WaitForText(wrong, 40000))
                return false;
            const Control close = Control::InBox(QAccessible::PushButton, d.Pack("Close", "Close"));
            if (!d.Press(close) || !d.WaitUntil([&] {
                    return d.Look({ QAccessible::Dialog, QString(), false, -1 }).value_or(Seen {}).name
                        != d.Pack("nvrpwd_05", "Incorrect password. Please try again.");
                }))
                return false;
        }
        if (!d.SetText(entry, camera.password))
            return false;
        return submitOverlay(camera, entry);
    }
    const Control entry = Control::Edit(d.Pack("New Password", "New Password"));
    const Control again = Control::Edit(d.Pack("Confirm New Password", "Confirm Password"));
    if (!d.SetText(entry, camera.password) || !d.SetText(again, camera.password))
        return false;
    return submitOverlay(camera, entry);
}

// OK in a camera's password overlay with the right password: the overlay closes. An error box instead (the
// camera refused, or the OK was turned away because the previous job's worker was still ending) fails the walk: a
// user who typed the right password must not be told it is wrong, however quickly they pressed OK.
bool ScenarioWalk::submitOverlay(const CameraPlan& camera, const Control& entry)
{
    const Control ok = Control::InBox(QAccessible::PushButton, d.Pack("OK", "OK"));
    const QString title = d.Look(Control { QAccessible::Dialog, QString(), false, -1 }).value_or(Seen {}).name;
    if (!d.Press(ok))
        return false;
    QString error;
    const bool ended = d.WaitUntil(
        [&] {
            if (!d.Exists(entry))
                return true;
            // The top-most box without entries is an error box over the overlay.
            const Control top { QAccessible::Dialog, QString(), false, -1 };
            const std::optional<Seen> box = d.Look(top);
            if (!box || box->name == title)
                return false;
            for (const Seen& child : d.Children(top)) {
                if (child.role == QAccessible::EditableText)
                    return false;
            }
            error = box->name;
            return true;
        },
        40000);
    if (!ended) {
        d.Fail(QStringLiteral("the password overlay of %1 stayed open").arg(camera.ip));
        return false;
    }
    if (!error.isEmpty()) {
        d.Fail(QStringLiteral("camera %1: the overlay said \"%2\" to the right password").arg(camera.ip, error));
        return false;
    }
    return true;
}

bool ScenarioWalk::cameraPage(bool leave)
{
    if (!meetEntryRows(10) || !settled(10))
        return false;
    if (!leave)
        return true;
    if (!runRows(10))
        return false;
    // A search a fault row emptied is run again.
    if (!s.cameras.isEmpty() && !d.Exists(cameraRow(s.cameras.first().ip))) {
        if (!press("Rescan", "Rescan")
            || !d.WaitUntil([&] { return d.Exists(cameraRow(s.cameras.first().ip)); }, 45000))
            return false;
        if (!settled(10))
            return false;
    }
    // A password overlay a fault row left open is answered first.
    for (const CameraPlan& camera : s.cameras) {
        if (camera.ip == overlayCamera && !answerCameraOverlay(camera))
            return false;
    }
    overlayCamera.clear();
    for (const CameraPlan& camera : s.cameras) {
        const bool overlayOpen = false;
        bool alreadyChecked = false;
        if (const std::optional<Seen> seen = d.Look(Control { QAccessible::CheckBox, QString(), false, 0, camera.ip });
            seen && seen->state.checked)
            alreadyChecked = true;
        if (alreadyChecked)
            continue;
        if (!checkCamera(camera, overlayOpen))
            return false;
    }
    armEntryRows(11);
    if (!press("Next", "NEXT"))
        return false;
    const int limit = kCameraNextMs;
    const bool moved = d.WaitUntil([&] { return d.Step() >= 10; }, limit);
    if (!moved)
        d.Fail(QStringLiteral("the camera page's NEXT did not lead on within %1 ms").arg(limit));
    return moved;
}

bool ScenarioWalk::fillCloud(CloudPlan plan)
{
    const Control email = Control::Edit(d.Pack("E-mail", "Email"));
    const Control password = Control::Edit(d.Pack("Password", "Password"));
    auto choose = [&](int index, const char* key, const char* fallback) {
        Control radio { QAccessible::RadioButton, d.Pack(key, fallback) };
        if (!d.Exists(radio))
            radio = Control { QAccessible::RadioButton, QString(), false, index };
        const std::optional<Seen> seen = d.Look(radio);
        if (seen && seen->state.checked)
            return true;
        return d.Press(radio);
    };
    switch (plan) {
    case CloudPlan::SignIn:
        return choose(0, "veskor_02", "I already have a Quelmo accoount.") && d.SetText(email, s.email)
            && d.SetText(password, s.cloudPassword);
    case CloudPlan::SignUp: {
        const Control confirm = Control::Edit(d.Pack("Confirm Password", "Confirm Password"));
        if (!choose(1, "veskor_03", "I want to sign up for a new account.") || !d.WaitFor(confirm))
            return false;
        if (!d.SetText(email, s.email) || !d.SetText(password, s.cloudPassword) || !d.SetText(confirm, s.cloudPassword)
            || !d.SetText(Control::Edit(d.Pack("First Name", "First Name")), s.firstName)
            || !d.SetText(Control::Edit(d.Pack("Last Name", "Last Name")), s.lastName))
            return false;
        const Control terms { QAccessible::CheckBox };
        const std::optional<Seen> seen = d.Look(terms);
        if (seen && seen->state.checked)
            return true;
        return d.Toggle(terms) && d.WaitUntil([&] { return d.Look(terms).value_or(Seen {}).state.checked; });
    }
    case CloudPlan::Decline:
        return choose(2, "veskor_04", "I don't want to use Quelmo service.");
    default:
        return true;
    }
}

bool ScenarioWalk::cloudPage()
{
    if (s.cloud == CloudPlan::Unavailable || s.cloud == CloudPlan::AlreadyBound) {
        // The cloud page is left out: the summary follows the camera page.
        if (d.Step() != 11) {
            d.Fail(QStringLiteral("the cloud page showed for a recorder %1")
                       .arg(s.cloud == CloudPlan::AlreadyBound ? QStringLiteral("already bound")
                                                               : QStringLiteral("without the cloud service")));
            return false;
        }
        return true;
    }
    if (d.Step() != 10) {
        d.Fail(QStringLiteral("the cloud page did not show (step %1)").arg(d.Step()));
        return false;
    }
    if (!meetEntryRows(11) || !settled(11))
        return false;
    if (!runRows(11))
        return false;
    if (s.cloud == CloudPlan::SignIn && !s.wrongCloudPassword.isEmpty()) {
        // A wrong password first: the portal's refusal is shown and the page stays.
        const QString right = s.cloudPassword;
        s.cloudPassword = s.wrongCloudPassword;
        const bool refused
            = fillCloud(s.cloud) && press("Next", "NEXT") && d.WaitForText(QStringLiteral("SIGNINERR002"));
        s.cloudPassword = right;
        if (!refused)
            return false;
    }
    if (!fillCloud(s.cloud))
        return false;
    return next(11, kPageMs * 2);
}

bool ScenarioWalk::summaryPage()
{
    if (!meetEntryRows(12) || !d.WaitFor(button("FINISH", "FINISH")))
        return false;
    if (!press("FINISH", "FINISH"))
        return false;
    if (!d.WaitUntil([this] { return d.WindowGone(); }, 10000)) {
        d.Fail(QStringLiteral("FINISH did not end the wizard within 10000 ms"));
        return false;
    }
    return true;
}

// ---- fault rows -------------------------------------------------------------------------------------------------

QString ScenarioWalk::message(const FaultRow& row)
{
    if (!row.messageLiteral.isEmpty())
        return row.messageLiteral;
    return row.messageKey != nullptr ? d.Pack(row.messageKey, row.messageFallback) : QString();
}

bool ScenarioWalk::dismiss(const FaultRow& row)
{
    if (row.dismissKey == nullptr)
        return true;
    return d.Press(Control::InBox(QAccessible::PushButton, d.Pack(row.dismissKey, row.dismissFallback)));
}

// What the row finds half done on the simulator; work that settles by itself (a stream closing once the
// simulator next writes to it) is given a few seconds.
QString ScenarioWalk::halfDoneOf(const FaultRow& row)
{
    if (!row.notHalfDone)
        return QString();
    QString problem;
    d.WaitUntil([&] { return (problem = row.notHalfDone(sim)).isEmpty(); }, 3000);
    return problem;
}

bool ScenarioWalk::runRows(int page)
{
    for (const FaultRow& row : faults) {
        if (row.page == page && row.trigger != FaultRow::Trigger::EnterPage && !runRow(row))
            return false;
    }
    return true;
}

void ScenarioWalk::armEntryRows(int nextPage)
{
    for (int i = 0; i < faults.size(); ++i) {
        if (faults[i].page == nextPage && faults[i].trigger == FaultRow::Trigger::EnterPage && send(faults[i].on))
            armed.push_back({ i, runClock != nullptr ? runClock->elapsed() : 0 });
    }
}

bool ScenarioWalk::meetEntryRows(int page)
{
    QList<Armed> left;
    for (const Armed& entry : armed) {
        const FaultRow& row = faults[entry.row];
        if (row.page != page) {
            left.push_back(entry);
            continue;
        }
        RowOutcome outcome { row.id, row.fault, row.page };
        outcome.knownFault = row.knownFault;
        const QString wanted = message(row);
        QString seen;
        bool shown = false;
        if (!wanted.isEmpty()) {
            shown = d.WaitForText(wanted, row.limitMs + 5000, &seen);
        } else if (settled(page)) {
            // No message expected: the page loads, with the whole list and nothing more.
            const int items = d.OpenItems({ QAccessible::ComboBox }).size();
            seen = QStringLiteral("(no message; %1 items listed)").arg(items);
            shown = items == row.expectItems;
        }
        outcome.ms = runClock != nullptr ? runClock->elapsed() - entry.startMs : -1;
        outcome.message = seen;
        const QString halfDone = halfDoneOf(row);
        outcome.passed = shown && outcome.ms <= row.limitMs && halfDone.isEmpty();
        outcome.note = !shown ? QStringLiteral("no message") : !halfDone.isEmpty() ? halfDone : QString();
        if (shown && outcome.ms > row.limitMs)
            outcome.note = QStringLiteral("past its limit of %1 ms").arg(row.limitMs);
        outcomes.push_back(outcome);
        d.Note(QStringLiteral("row %1: %2 in %3 ms").arg(row.id, seen).arg(outcome.ms));
        if (!send(row.off) || !dismiss(row))
            return false;
        if (!shown)
            return false;
    }
    armed = left;
    return true;
}

bool ScenarioWalk::runRow(const FaultRow& row)
{
    RowOutcome outcome { row.id, row.fault, row.page };
    outcome.knownFault = row.knownFault;
    if (!send(row.on))
        return false;
    if (row.armedWhen && !d.WaitUntil([&] { return row.armedWhen(sim); })) {
        d.Fail(QStringLiteral("row %1: the fault did not take effect").arg(row.id));
        return false;
    }
    QElapsedTimer clock;
    const QString wanted = message(row);
    bool acted = true;
    switch (row.trigger) {
    case FaultRow::Trigger::Next:
        clock.start();
        acted = press("Next", "NEXT");
        break;
    case FaultRow::Trigger::Rescan:
        clock.start();
        acted = press("Rescan", "Rescan");
        break;
    case FaultRow::Trigger::CloudNext:
        acted = fillCloud(s.cloud == CloudPlan::SignUp ? CloudPlan::SignUp : CloudPlan::SignIn);
        clock.start();
        acted = acted && press("Next", "NEXT");
        break;
    case FaultRow::Trigger::FormatMidway: {
        acted = press("Next", "NEXT") && d.WaitForText(d.Pack("hddformat_04", "Important Alert"), kPageMs)
            && press("OK", "OK") && d.WaitForText(d.Pack("hddformat_14", "Formatting your HDD..."), kPageMs);
        // Once the recorder reports progress, the disk is pulled.
        acted = acted && d.WaitUntil([&] {
            for (const QJsonValue disk : sim.Recorder(s.recorder).value("disks").toArray()) {
                if (disk.toObject().value("formatting").toBool() && disk.toObject().value("progress").toInt() > 1)
                    return true;
            }
            return false;
        });
        clock.start();
        acted = acted && send(row.during);
        break;
    }
    case FaultRow::Trigger::CameraCheck: {
        const CameraPlan* plan = nullptr;
        for (const CameraPlan& camera : s.cameras) {
            if (camera.ip == row.camera)
                plan = &camera;
        }
        if (plan == nullptr) {
            d.Fail(QStringLiteral("row %1: no camera %2 in the scenario").arg(row.id, row.camera));
            return false;
        }
        const Control check { QAccessible::CheckBox, QString(), false, 0, row.camera };
        const Control rowControl = cameraRow(row.camera);
        acted = d.Exists(check) ? d.Toggle(check) : d.Press(rowControl);
        const Control ok = Control::InBox(QAccessible::PushButton, d.Pack("OK", "OK"));
        if (plan->kind == CameraPlan::Unknown) {
            const Control entry = Control::Edit(d.Pack("Password", "Password"));
            acted = acted && d.SetText(entry, plan->password);
        } else {
            acted = acted && d.SetText(Control::Edit(d.Pack("New Password", "New Password")), plan->password)
                && d.SetText(Control::Edit(d.Pack("Confirm New Password", "Confirm Password")), plan->password);
        }
        clock.start();
        acted = acted && d.Press(ok);
        overlayCamera = row.camera; // the overlay stays open with the fault's message
        break;
    }
    case FaultRow::Trigger::Preview: {
        // The row's picture button opens the live picture; it is closed again once the camera has sent.
        const QString camera = row.camera;
        const Control picture { QAccessible::PushButton, QString(), false, 0, camera };
        clock.start();
        acted = d.Press(picture);
        break;
    }
    case FaultRow::Trigger::EnterPage:
        return true;
    }
    QString seen;
    bool shown = false;
    if (acted && !wanted.isEmpty()) {
        shown = d.WaitForText(wanted, row.limitMs + 5000, &seen);
    } else if (acted && row.trigger == FaultRow::Trigger::Preview) {
        // No message: the picture box opens, the stream is opened, and the box closes again at once.
        shown = d.WaitUntil([&] {
            for (const QJsonValue camera : sim.State().value("cameras").toArray()) {
                if (camera.toObject().value("streamsOpen").toInt() > 0)
                    return true;
            }
            return false;
        });
        seen = shown ? QStringLiteral("(stream opened)") : QStringLiteral("(no stream)");
        // The preview's close button is the top-most one; the preview is closed once its box is gone.
        const Control box { QAccessible::Dialog, QString(), false, -1 };
        const Control close = Control::InBox(QAccessible::PushButton);
        QElapsedTimer closing;
        closing.start();
        shown = shown && d.Press(close) && d.WaitUntil([&] { return !d.Exists(box); }, 5000);
        seen += QStringLiteral(", closed in %1 ms").arg(closing.elapsed());
    }
    if (acted && wanted.isEmpty() && row.trigger == FaultRow::Trigger::Rescan) {
        // No message: the search ends with no camera made of the answer and without claiming there is none.
        const QString none = d.Pack("No camera found!", "No camera found!");
        const Control rescan = button("Rescan", "Rescan");
        auto usable = [&] {
            const std::optional<Seen> look = d.Look(rescan);
            return look && look->Available();
        };
        d.WaitUntil([&] { return !usable(); }, 3000);
        shown = d.WaitUntil(usable, row.limitMs + 5000) && !d.Exists({ QAccessible::Row })
            && !d.Exists({ QAccessible::ListItem }) && !d.Texts().contains(none);
        seen = shown ? QStringLiteral("(nothing listed, no not-found text)")
                     : QStringLiteral("(a camera listed, the not-found text, or the search still running)");
    }
    outcome.ms = clock.isValid() ? clock.elapsed() : -1;
    outcome.message = seen;
    const QString halfDone = halfDoneOf(row);
    outcome.passed = shown && outcome.ms <= row.limitMs && halfDone.isEmpty();
    outcome.note = !acted          ? QStringLiteral("could not act: ") + d.failure()
        : !shown                   ? QStringLiteral("no message")
        : !halfDone.isEmpty()      ? halfDone
        : outcome.ms > row.limitMs ? QStringLiteral("past its limit of %1 ms").arg(row.limitMs)
                                   : QString();
    outcomes.push_back(outcome);
    d.Note(QStringLiteral("row %1: \"%2\" in %3 ms%4")
               .arg(row.id, seen)
               .arg(outcome.ms)
               .arg(outcome.passed ? QString() : QStringLiteral(" FAILED ") + outcome.note));
    // Lifted, then the box ended (its RETRY, if any, then finds the device sound again).
    if (!send(row.off) || !dismiss(row))
        return false;
    if (!wanted.isEmpty() && row.dismissKey != nullptr)
        d.WaitForNoText(wanted, 10000);
    return acted;
}

// ---- checks -----------------------------------------------------------------------------------------------------

QStringList ScenarioWalk::CheckSimulator() const
{
    QStringList problems;
    const QJsonObject recorder = sim.Recorder(s.recorder);
    if (recorder.isEmpty())
        return { QStringLiteral("the simulator has no recorder %1").arg(s.recorder) };
    if (recorder.value("password").toString() != s.password())
        problems << QStringLiteral("recorder password is \"%1\"").arg(recorder.value("password").toString());
    if (recorder.value("zone").toInt() != s.zone)
        problems << QStringLiteral("recorder zone is %1, not %2").arg(recorder.value("zone").toInt()).arg(s.zone);
    int plugged = 0;
    for (const QJsonValue value : recorder.value("disks").toArray()) {
        const QJsonObject disk = value.toObject();
        if (!disk.value("plugged").toBool())
            continue;
        ++plugged;
        const int count = disk.value("formatCount").toInt();
        if (s.disks == DiskPlan::Format && (count < 1 || !disk.value("formatted").toBool()))
            problems << QStringLiteral("disk %1 was not formatted").arg(disk.value("port").toInt());
        if (s.disks != DiskPlan::Format && count != 0)
            problems << QStringLiteral("disk %1 was formatted though skipped").arg(disk.value("port").toInt());
    }
    if (plugged != s.diskCount)
        problems << QStringLiteral("%1 disks plugged, the scenario has %2").arg(plugged).arg(s.diskCount);

    // The chosen cameras in the channels 0.. in the order the list showed them, each with its password.
    QList<const CameraPlan*> chosen;
    for (const CameraPlan& camera : s.cameras) {
        if (camera.kind != CameraPlan::Refused)
            chosen << &camera;
    }
    const QJsonArray channels = recorder.value("cameras").toArray();
    if (channels.size() != chosen.size())
        problems << QStringLiteral("%1 cameras registered, %2 chosen").arg(channels.size()).arg(chosen.size());
    for (int i = 0; i < chosen.size() && i < channels.size(); ++i) {
        const QJsonObject slot = channels[i].toObject();
        const CameraPlan& camera = *chosen[i];
        if (slot.value("slot").toInt() != i || slot.value("host").toString() != camera.ip)
            problems << QStringLiteral("channel %1 holds %2 (slot %3), not %4")
                            .arg(i)
                            .arg(slot.value("host").toString())
                            .arg(slot.value("slot").toInt())
                            .arg(camera.ip);
        if (slot.value("password").toString() != camera.password || slot.value("account").toString() != "admin")
            problems << QStringLiteral("channel %1 has account \"%2\" password \"%3\", not admin / \"%4\"")
                            .arg(i)
                            .arg(slot.value("account").toString(), slot.value("password").toString(), camera.password);
        const QJsonObject own = sim.Camera(camera.name);
        if (own.value("password").toString() != camera.password)
            problems << QStringLiteral("camera %1 itself has the password \"%2\"")
                            .arg(camera.name, own.value("password").toString());
    }

    const QString number = recorder.value("cloud").toObject().value("portalNumber").toString();
    const QJsonObject account = s.email.isEmpty() ? QJsonObject() : sim.Account(s.email);
    const bool bound = account.value("bindings").toArray().contains(number);
    switch (s.cloud) {
    case CloudPlan::SignUp:
    case CloudPlan::SignIn:
        if (account.isEmpty())
            problems << QStringLiteral("the portal has no account %1").arg(s.email);
        else if (!bound)
            problems << QStringLiteral("the recorder %1 is not bound to %2").arg(number, s.email);
        break;
    case CloudPlan::Decline:
    case CloudPlan::Unavailable:
        if (bound)
            problems << QStringLiteral("the recorder was bound though the cloud was %1")
                            .arg(s.cloud == CloudPlan::Decline ? "declined" : "unavailable");
        if (sim.State().value("portal").toObject().value("binds").toInt() != 0)
            problems << QStringLiteral("the portal saw a bind");
        break;
    case CloudPlan::AlreadyBound:
        break;
    }
    return problems;
}

QStringList ScenarioWalk::CheckDesktopEntry() const
{
    // The shortcut FINISH leaves in the private home's desktop folder: the portal's page for a recorder with the
    // cloud service, else the recorder's own address.
    const QDir desktop(QDir::homePath() + QStringLiteral("/Desktop"));
    const QStringList entries = desktop.entryList({ QStringLiteral("*.desktop") }, QDir::Files);
    if (entries.size() != 1)
        return { QStringLiteral("the desktop holds %1 entries (%2)").arg(entries.size()).arg(entries.join(", ")) };
    QFile file(desktop.filePath(entries.first()));
    if (!file.open(QIODevice::ReadOnly))
        return { QStringLiteral("the desktop entry cannot be read") };
    const QString text = QString::fromUtf8(file.readAll());
    QString exec;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Exec=")))
            exec = line.mid(5);
    }
    QStringList problems;
    if (!text.startsWith(QStringLiteral("[Desktop Entry]")) || !text.contains(QStringLiteral("Type=Application")))
        problems << QStringLiteral("the desktop entry is not an application entry");
    const bool portal
        = s.cloud == CloudPlan::SignIn || s.cloud == CloudPlan::SignUp || s.cloud == CloudPlan::AlreadyBound;
    const QString wanted
        = portal ? qEnvironmentVariable("LAB_PORTAL_HOST", QStringLiteral("cloud.quelmo.lab")) : s.recorderIp;
    if (!exec.startsWith(QStringLiteral("xdg-open ")) || !exec.contains(wanted))
        problems << QStringLiteral("the desktop entry opens \"%1\", not an address of %2").arg(exec, wanted);
    if (portal != entries.first().contains(QLatin1Char('(')))
        problems << QStringLiteral("the desktop entry is named %1").arg(entries.first());
    return problems;
}

// ---- running the wizard -----------------------------------------------------------------------------------------

WalkResult RunWizard(const std::function<WalkResult(WizardDriver&)>& script, int limitMs, int stepLimitMs)
{
    static bool registered = false;
    if (!registered) {
        // As the program starts.
        RegisterWizardOverlays();
#ifdef HXT_HAS_ACCESSIBLE_CONTROLS
        InstallAccessibleControls();
#endif
        PrefetchPictures({ 3000 }, { 3041, 3038, 3040, 3039, 3037, 3034, 3036, 3035, 3045, 3042, 3044, 3043 }, 3159);
        registered = true;
    }
    QPointer<MainWindow> frame = new MainWindow;
    frame->show();

    WizardDriver driver(frame, stepLimitMs);
    std::atomic<bool> done { false };
    WalkResult result;
    std::thread user([&] {
        result = script(driver);
        done.store(true);
    });

    // The wizard runs its pages in local loops of its own; this watchdog is a timer, so it runs inside them too.
    QElapsedTimer clock;
    clock.start();
    bool overdue = false;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (!overdue && clock.elapsed() > limitMs) {
            overdue = true;
            driver.Fail(QStringLiteral("the run did not end within %1 ms").arg(limitMs));
            if (frame)
                frame->close();
        }
    });
    watchdog.start(200);
    while (!done.load() || (frame && frame->isVisible())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (overdue && clock.elapsed() > limitMs + 20000)
            break; // the script does not end: its own limits have failed it already
        if (!done.load() || (frame && frame->isVisible()))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    watchdog.stop();
    if (done.load()) {
        user.join();
    } else {
        user.detach(); // cannot happen short of a wedged interface thread; the result says so
        result.failure = driver.failure();
    }
    if (frame)
        delete frame.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (result.failure.isEmpty())
        result.failure = driver.failure();
    return result;
}

QString FaultTable(const QList<RowOutcome>& rows)
{
    QString table
        = QStringLiteral("| row | fault | page | message seen | time | result |\n|---|---|---|---|---|---|\n");
    for (const RowOutcome& row : rows) {
        QString result = row.passed ? QStringLiteral("pass") : QStringLiteral("FAIL");
        if (!row.knownFault.isEmpty())
            result = (row.passed ? QStringLiteral("pass (known fault did not show)")
                                 : QStringLiteral("known fault: ") + row.knownFault);
        if (!row.note.isEmpty())
            result += QStringLiteral(" (") + row.note + QLatin1Char(')');
        QString message = row.message;
        message.replace(QLatin1Char('|'), QLatin1Char('/'));
        table += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |\n")
                     .arg(row.id, row.fault)
                     .arg(row.page)
                     .arg(message.isEmpty() ? QStringLiteral("-") : message)
                     .arg(row.ms >= 0 ? QStringLiteral("%1 ms").arg(row.ms) : QStringLiteral("-"))
                     .arg(result);
    }
    return table;
}
