#include "ScenarioTable.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <thread>

namespace {

using Trigger = FaultRow::Trigger;

constexpr const char* kNetworkKey = "Check Network Failed!";

// A fault row stating only what differs from the usual: a fault switched on by one simulator line and lifted by
// "fault DEVICE clear", a message and a button whose texts are their own fallbacks unless given.
class Fault
{
public:
    Fault(const char* id, const char* fault, int page, Trigger trigger)
    {
        row.id = QString::fromLatin1(id);
        row.fault = QString::fromLatin1(fault);
        row.page = page;
        row.trigger = trigger;
    }
    // The message (or the page's outcome) shows within this.
    Fault& Within(int ms)
    {
        row.limitMs = ms;
        return *this;
    }
    // "fault DEVICE WHAT", lifted by "fault DEVICE clear".
    Fault& On(const char* device, const char* what)
    {
        const QByteArray prefix = QByteArray("fault ") + device + ' ';
        return Lines({ prefix + what }, { prefix + "clear" });
    }
    Fault& Lines(QList<QByteArray> on, QList<QByteArray> off)
    {
        row.on = std::move(on);
        row.off = std::move(off);
        return *this;
    }
    Fault& During(QList<QByteArray> lines)
    {
        row.during = std::move(lines);
        return *this;
    }
    Fault& Shows(const char* key, const char* fallback)
    {
        row.messageKey = key;
        row.messageFallback = fallback;
        return *this;
    }
    Fault& Shows(const char* text) { return Shows(text, text); }
    Fault& ShowsLiteral(const QString& text)
    {
        row.messageLiteral = text;
        return *this;
    }
    Fault& ClosedWith(const char* button)
    {
        row.dismissKey = button;
        row.dismissFallback = button;
        return *this;
    }
    Fault& AtCamera(const QString& address)
    {
        row.camera = address;
        return *this;
    }
    Fault& Items(int count)
    {
        row.expectItems = count;
        return *this;
    }
    Fault& ArmedWhen(std::function<bool(const SimLink&)> armed)
    {
        row.armedWhen = std::move(armed);
        return *this;
    }
    Fault& NotHalfDone(std::function<QString(const SimLink&)> check)
    {
        row.notHalfDone = std::move(check);
        return *this;
    }
    operator FaultRow() const { return row; }

private:
    FaultRow row;
};

// The recorder's password is still what it was.
std::function<QString(const SimLink&)> PasswordStays(const QString& password)
{
    return [password](const SimLink& sim) {
        const QString now = sim.Recorder(QStringLiteral("nvr")).value("password").toString();
        return now == password ? QString() : QStringLiteral("the recorder's password became \"%1\"").arg(now);
    };
}

std::function<QString(const SimLink&)> ZoneStays(int zone)
{
    return [zone](const SimLink& sim) {
        const int now = sim.Recorder(QStringLiteral("nvr")).value("zone").toInt();
        return now == zone ? QString() : QStringLiteral("the zone became %1").arg(now);
    };
}

// No disk of the recorder counts a finished format.
std::function<QString(const SimLink&)> NothingFormatted()
{
    return [](const SimLink& sim) {
        for (const QJsonValue disk : sim.Recorder(QStringLiteral("nvr")).value("disks").toArray()) {
            if (disk.toObject().value("formatCount").toInt() != 0)
                return QStringLiteral("disk %1 counts a format").arg(disk.toObject().value("port").toInt());
        }
        return QString();
    };
}

std::function<QString(const SimLink&)> CameraPasswordStays(const QString& camera, const QString& password)
{
    return [camera, password](const SimLink& sim) {
        const QString now = sim.Camera(camera).value("password").toString();
        return now == password ? QString() : QStringLiteral("%1's password became \"%2\"").arg(camera, now);
    };
}

std::function<QString(const SimLink&)> NoStreamOpen()
{
    return [](const SimLink& sim) {
        for (const QJsonValue camera : sim.State().value("cameras").toArray()) {
            if (camera.toObject().value("streamsOpen").toInt() != 0)
                return QStringLiteral("a picture stream of %1 is still open")
                    .arg(camera.toObject().value("name").toString());
        }
        return QString();
    };
}

std::function<QString(const SimLink&)> NotBound(const QString& email, const QString& number)
{
    return [email, number](const SimLink& sim) {
        const QJsonObject account = sim.Account(email);
        if (account.value("bindings").toArray().contains(number))
            return QStringLiteral("the recorder %1 is bound to %2").arg(number, email);
        return QString();
    };
}

std::function<QString(const SimLink&)> NoSignUp()
{
    return [](const SimLink& sim) {
        const int signUps = sim.State().value("portal").toObject().value("signUps").toInt();
        return signUps == 0 ? QString() : QStringLiteral("the portal counted %1 sign-ups").arg(signUps);
    };
}

CameraPlan Camera(
    const char* name, const char* ip, CameraPlan::Kind kind, const char* password, const char* wrongFirst = "")
{
    return { QString::fromLatin1(name), QString::fromLatin1(ip), kind, QString::fromLatin1(password),
        QString::fromLatin1(wrongFirst) };
}

// A row's name (also its simulator scenario's) and the recorder it sets up, in the language it is walked in.
ScenarioRow NewRow(const char* name, int language, const char* recorderIp, const char* recorderMac)
{
    ScenarioRow row;
    row.name = QString::fromLatin1(name);
    row.scenario.language = language;
    row.scenario.recorderIp = QString::fromLatin1(recorderIp);
    row.scenario.recorderMac = QString::fromLatin1(recorderMac);
    return row;
}

QList<ScenarioRow> Rows()
{
    QList<ScenarioRow> rows;

    // 1. New recorder, English, two disks formatted, five cameras (known, new, unknown, Digest-only new, a fifth
    //    over the limit of four), sign-up.
    {
        ScenarioRow row = NewRow("s1-new-english-five-cameras", 0, "10.77.0.10", "00:1a:2b:3c:5a:01");
        Scenario& s = row.scenario;
        s.newPassword = QStringLiteral("Garden2024");
        s.zone = 11;
        s.disks = DiskPlan::Format;
        s.diskCount = 2;
        s.cameras = { Camera("cam-known", "10.77.0.30", CameraPlan::Known, "Known501"),
            Camera("cam-new", "10.77.0.31", CameraPlan::New, "Porch2024"),
            Camera("cam-unknown", "10.77.0.32", CameraPlan::Unknown, "Hidden502"),
            Camera("cam-digest", "10.77.0.33", CameraPlan::New, "Yard2024x"),
            Camera("cam-fifth", "10.77.0.34", CameraPlan::Refused, "") };
        s.cloud = CloudPlan::SignUp;
        s.email = QStringLiteral("new.owner+cams@example.lab");
        s.cloudPassword = QStringLiteral("Quelmo2024");
        s.firstName = QStringLiteral("Ana");
        s.lastName = QStringLiteral("Lima");
        row.faults << Fault("F01", "set-password refused (udp-status, once)", 7, Trigger::Next)
                          .Within(6000)
                          .On("nvr", "udp-status@setpassword times=1")
                          .Shows("nvrpwd_06", "Failed to set account password")
                          .NotHalfDone(PasswordStays(QString()));
        row.faults << Fault("F02", "zone list: HTML error page (http-500)", 8, Trigger::EnterPage)
                          .Within(12000)
                          .On("nvr", "http-500@/config/timezonelist")
                          .Shows(kNetworkKey)
                          .ClosedWith("RETRY");
        // The poll answers 0 once the disk is gone, which is asked again until the formatting box's 60 s limit.
        row.faults << Fault("F03", "disk unplugged mid-format (usb nvr 1 none)", 9, Trigger::FormatMidway)
                          .Within(62000)
                          .Lines({}, { "usb nvr 1 1000" })
                          .During({ "usb nvr 1 none" })
                          .Shows("hddformat_15", "Failed to format HDD!")
                          .ClosedWith("Close")
                          .NotHalfDone(NothingFormatted());
        // (A stalled stream's connection stays open on the simulator's side until it writes again.)
        row.faults << Fault("F05", "picture stream stalls mid-picture (jpeg-stall)", 10, Trigger::Preview)
                          .Within(10000)
                          .On("cam-known", "jpeg-stall")
                          .AtCamera(QStringLiteral("10.77.0.30"));
        row.faults << Fault("F04", "camera refuses its new password (http-401 forever)", 10, Trigger::CameraCheck)
                          .Within(30000)
                          .On("cam-new", "http-401@/system.cgi")
                          .Shows("nvrpwd_06", "Failed to set account password")
                          .AtCamera(QStringLiteral("10.77.0.31"))
                          .ClosedWith("Close")
                          .NotHalfDone(CameraPasswordStays(QStringLiteral("cam-new"), QString()));
        row.faults << Fault("F06", "portal certificate not signed by a trusted authority", 11, Trigger::CloudNext)
                          .Within(16000)
                          .Lines({ "portal certificate untrusted" }, { "portal certificate lab" })
                          .Shows("neterr_portal_no_answer", "The Quelmo service did not answer.")
                          .ClosedWith("Close")
                          .NotHalfDone(NoSignUp());
        rows << row;
    }

    // 2. Recorder with a password on port 8000, Spanish, one disk formatted, the camera it had plus one it does
    //    not list (a wrong password first), sign-in (a wrong password first).
    {
        ScenarioRow row = NewRow("s2-owned-spanish-one-camera", 3, "10.77.0.11", "00:1a:2b:3c:5a:02");
        Scenario& s = row.scenario;
        s.existingPassword = QStringLiteral("Owner2024");
        s.zone = 20;
        s.disks = DiskPlan::Format;
        s.diskCount = 1;
        s.cameras = { Camera("cam-old", "10.77.0.35", CameraPlan::Known, "Old50101"),
            Camera("cam-unknown", "10.77.0.36", CameraPlan::Unknown, "Hidden503", "Wrong5030") };
        s.cloud = CloudPlan::SignIn;
        s.email = QStringLiteral("owner@example.lab");
        s.cloudPassword = QStringLiteral("Cloud123");
        s.wrongCloudPassword = QStringLiteral("Cloud999");
        row.faults << Fault("F07", "search unanswered (udp-silent)", 6, Trigger::Rescan)
                          .Within(9000)
                          .On("*", "udp-silent@search")
                          .Shows("No device found!");
        row.faults << Fault("F08", "login answer late (udp-late 4000 ms)", 7, Trigger::Next)
                          .Within(6000)
                          .On("nvr", "udp-late:4000@login")
                          .Shows("nvrpwd_07", "Incorrect password. Please try again.");
        row.faults << Fault("F09", "zone setting refused (http-409)", 8, Trigger::Next)
                          .Within(12000)
                          .On("nvr", "http-409@/config/datetime?timezone")
                          .Shows(kNetworkKey)
                          .ClosedWith("Close")
                          .NotHalfDone(ZoneStays(5));
        // The registration read's 6 s receive limit, and no portal read after it: its answer would not be used.
        row.faults << Fault("F10", "recorder vanishes (silent on HTTP and UDP)", 10, Trigger::Next)
                          .Within(10000)
                          .Lines({ "vanish nvr yes" }, { "vanish nvr no" })
                          .Shows("neterr_no_answer", "The NVR did not answer.")
                          .ClosedWith("Close") // the box's cross: SKIP would go on without the cloud
                          .NotHalfDone([](const SimLink& sim) {
                              const QJsonArray channels
                                  = sim.Recorder(QStringLiteral("nvr")).value("cameras").toArray();
                              return channels.size() == 1 ? QString()
                                                          : QStringLiteral("the recorder's cameras changed");
                          });
        row.faults << Fault("F11", "portal refuses the bind (BINDERR002)", 11, Trigger::CloudNext)
                          .Within(16000)
                          .Lines({ "portal refuse-bind yes" }, { "portal refuse-bind no" })
                          .ShowsLiteral(QStringLiteral("BINDERR002"))
                          .NotHalfDone(NotBound(QStringLiteral("owner@example.lab"), QStringLiteral("810002")));
        rows << row;
    }

    // 3. New recorder, Portuguese, no disk (the no-disk alert, then SKIP), no camera, declined.
    {
        ScenarioRow row = NewRow("s3-new-portuguese-no-disk", 1, "10.77.0.12", "00:1a:2b:3c:5a:03");
        Scenario& s = row.scenario;
        s.newPassword = QStringLiteral("Casa2024pt");
        s.zone = 154;
        s.disks = DiskPlan::NoDiskThenSkip;
        s.cloud = CloudPlan::Decline;
        s.email = QStringLiteral("owner@example.lab");
        s.cloudPassword = QStringLiteral("Cloud123");
        row.faults << Fault("F12", "garbage search answer (udp-garbage)", 6, Trigger::Rescan)
                          .Within(9000)
                          .On("*", "udp-garbage@search")
                          .Shows("No device found!");
        row.faults << Fault("F13", "zone list: 401 forever", 8, Trigger::EnterPage)
                          .Within(12000)
                          .On("nvr", "http-401@/config/timezonelist")
                          .Shows(kNetworkKey)
                          .ClosedWith("RETRY");
        row.faults << Fault("F14", "registration info: HTML error page (http-500)", 10, Trigger::Next)
                          .Within(15000)
                          .On("nvr", "http-500@/config/quelmoreginfo")
                          .Shows("neterr_wrong_answer", "The NVR's answer could not be read.")
                          .ClosedWith("Close"); // the box's cross: SKIP would go on without the cloud
        // The portal's own words are shown (its error page as plain text), never read as a success.
        row.faults << Fault("F15", "portal answers an HTML 404 page", 11, Trigger::CloudNext)
                          .Within(16000)
                          .On("portal", "http-404")
                          .ShowsLiteral(QStringLiteral("404 Not Found"))
                          .NotHalfDone(NotBound(QStringLiteral("owner@example.lab"), QStringLiteral("810003")));
        rows << row;
    }

    // 4. New recorder, Russian, one disk skipped, four cameras of every password state, no cloud service offered.
    {
        ScenarioRow row = NewRow("s4-new-russian-four-cameras", 2, "10.77.0.13", "00:1a:2b:3c:5a:04");
        Scenario& s = row.scenario;
        s.newPassword = QStringLiteral("Dacha2024ru");
        s.zone = 2;
        s.disks = DiskPlan::Skip;
        s.diskCount = 1;
        s.cameras = { Camera("cam-new", "10.77.0.37", CameraPlan::New, "Gate2024ru"),
            Camera("cam-known", "10.77.0.38", CameraPlan::Known, "Known504"),
            Camera("cam-digest", "10.77.0.39", CameraPlan::New, "Shed2024ru"),
            Camera("cam-unknown", "10.77.0.40", CameraPlan::Unknown, "Hidden504") };
        s.cloud = CloudPlan::Unavailable;
        row.faults << Fault("F16", "short search answer (udp-short 100 bytes)", 6, Trigger::Rescan)
                          .Within(9000)
                          .On("*", "udp-short:100@search")
                          .Shows("No device found!");
        row.faults << Fault("F17", "zone list: truncated body", 8, Trigger::EnterPage)
                          .Within(12000)
                          .On("nvr", "http-truncated@/config/timezonelist")
                          .Shows(kNetworkKey)
                          .ClosedWith("RETRY");
        row.faults << Fault("F19", "pictures without end marker (jpeg-no-eoi)", 10, Trigger::Preview)
                          .Within(10000)
                          .On("cam-known", "jpeg-no-eoi")
                          .AtCamera(QStringLiteral("10.77.0.38"))
                          .NotHalfDone(NoStreamOpen());
        // An error page is no list: no camera is made of it, and the page says the list could not be read.
        row.faults << Fault("F18", "camera list: HTML error page (http-500)", 10, Trigger::Rescan)
                          .Shows("camsearch_unreadable", "The NVR's list of cameras could not be read.")
                          .Within(30000)
                          .On("nvr", "http-500@/config/quelmodiscovery");
        rows << row;
    }

    // 5. Recorder with a password, Traditional Chinese, two disks formatted, a camera on port 8080 it does not
    //    list; the cloud offered but the portal off: the sign-in fails, the user declines.
    {
        ScenarioRow row = NewRow("s5-owned-tchinese-portal-off", 4, "10.77.0.14", "00:1a:2b:3c:5a:05");
        Scenario& s = row.scenario;
        s.existingPassword = QStringLiteral("Owner2025");
        s.zone = 60;
        s.disks = DiskPlan::Format;
        s.diskCount = 2;
        s.cameras = { Camera("cam-unknown", "10.77.0.41:8080", CameraPlan::Unknown, "Hidden505") };
        s.cloud = CloudPlan::Decline;
        s.email = QStringLiteral("owner@example.lab");
        s.cloudPassword = QStringLiteral("Cloud123");
        row.faults << Fault("F20", "login unanswered (udp-silent)", 7, Trigger::Next)
                          .Within(6000)
                          .On("nvr", "udp-silent@login")
                          .Shows("nvrpwd_07", "Incorrect password. Please try again.");
        row.faults << Fault("F21", "zone setting: HTML 404 page", 8, Trigger::Next)
                          .Within(12000)
                          .On("nvr", "http-404@/config/datetime?timezone")
                          .Shows(kNetworkKey)
                          .ClosedWith("Close")
                          .NotHalfDone(ZoneStays(7));
        // The recorder's poll answers a negative status: the attempt ends there, not at the box's 60 s.
        row.faults << Fault("F22", "format fails midway (format-fail)", 9, Trigger::FormatMidway)
                          .Within(12000)
                          .On("nvr", "format-fail@/config/storageformat")
                          .Shows("hddformat_15", "Failed to format HDD!")
                          .ClosedWith("Close")
                          .NotHalfDone(NothingFormatted());
        row.faults << Fault("F23", "camera answers its check with a 404 page", 10, Trigger::CameraCheck)
                          .Within(30000)
                          .On("cam-unknown", "http-404")
                          .Shows("nvrpwd_05", "Incorrect password. Please try again.")
                          .AtCamera(QStringLiteral("10.77.0.41:8080"))
                          .ClosedWith("Close");
        row.faults << Fault("F24", "portal off (nothing listens)", 11, Trigger::CloudNext)
                          .Within(16000)
                          .Shows("neterr_portal_no_answer", "The Quelmo service did not answer.")
                          .ClosedWith("Close");
        rows << row;
    }

    // 6. Recorder with a password, already bound, Simplified Chinese, one disk formatted, one known camera.
    {
        ScenarioRow row = NewRow("s6-owned-schinese-bound", 5, "10.77.0.15", "00:1a:2b:3c:5a:06");
        Scenario& s = row.scenario;
        s.existingPassword = QStringLiteral("Owner2026");
        s.zone = 100;
        s.disks = DiskPlan::Format;
        s.diskCount = 1;
        s.cameras = { Camera("cam-known", "10.77.0.42", CameraPlan::Known, "Known506") };
        s.cloud = CloudPlan::AlreadyBound;
        s.email = QStringLiteral("owner@example.lab");
        // Read within its bound: the zones load whole, the padding after them is no zone.
        row.faults << Fault("F25", "zone list: oversize body (http-oversize)", 8, Trigger::EnterPage)
                          .Within(12000)
                          .On("nvr", "http-oversize@/config/timezonelist")
                          .Items(154);
        // The watch has met the fault once it asked again after it was switched on.
        row.faults << Fault("F26", "storage info: HTML 404 page", 9, Trigger::Next)
                          .Within(6000)
                          .On("nvr", "http-404@/config/storageinfo")
                          .Shows("hddformat_unreadable", "The NVR's disk information could not be read.")
                          .ClosedWith("Close")
                          .ArmedWhen([](const SimLink& sim) {
                              for (const QJsonValue item : sim.State().value("events").toArray()) {
                                  const QJsonObject event = item.toObject();
                                  if (event.value("detail").toString().contains(
                                          QStringLiteral("storageinfo?storageid=1"))
                                      && event.value("result").toString().startsWith(QStringLiteral("404")))
                                      return true;
                              }
                              return false;
                          })
                          .NotHalfDone(NothingFormatted());
        rows << row;
    }

    // 7. Devices that choose hostile texts for every field the simulator sets that the wizard shows (disk models,
    //    camera models and brands with markup and a reversed name, a portal host that is no host name): walked
    //    with a watch on every widget (wizard_e2e.cpp). English, two disks formatted, two cameras known, no cloud.
    {
        ScenarioRow row = NewRow(kDeviceTextsRow, 0, "10.77.0.16", "00:1a:2b:3c:5a:07");
        Scenario& s = row.scenario;
        s.newPassword = QStringLiteral("Texts2024");
        s.zone = 3;
        s.disks = DiskPlan::Format;
        s.diskCount = 2;
        s.cameras = { Camera("cam-markup", "10.77.0.40", CameraPlan::Known, "Known507"),
            Camera("cam-reversed", "10.77.0.41", CameraPlan::Known, "Known508") };
        s.cloud = CloudPlan::Decline;
        rows << row;
    }
    return rows;
}

} // namespace

QStringList ScenarioTable::Names()
{
    QStringList names;
    for (const ScenarioRow& row : Rows())
        names << row.name;
    return names << QStringLiteral("close-during-waits");
}

std::optional<ScenarioRow> ScenarioTable::Row(const QString& name)
{
    for (const ScenarioRow& row : Rows()) {
        if (row.name == name)
            return row;
    }
    return std::nullopt;
}

QList<CloseRow> ScenarioTable::CloseRows()
{
    const Control next = Control::Button(QString()); // looked up per language in the acts
    auto pressNext = [](WizardDriver& d, ScenarioWalk&) { return d.Press(Control::Button(d.Pack("Next", "NEXT"))); };
    QList<CloseRow> rows;
    rows << CloseRow { QStringLiteral("W1"), QStringLiteral("page 7: waiting for the login probe"), 7, false,
        { "fault nvr udp-late:6000@login" }, { "fault nvr clear" }, nullptr };
    rows << CloseRow { QStringLiteral("W2"), QStringLiteral("page 7: setting the password"), 7, true,
        { "fault nvr udp-late:8000@setpassword" }, { "fault nvr clear" }, [](WizardDriver& d, ScenarioWalk&) {
            const QString password = QStringLiteral("Close2024");
            const Control confirm = Control::Edit(d.Pack("Confirm Password", "Confirm Password"));
            return d.SetText(Control::Edit(d.Pack("Password", "Password")), password)
                && (!d.Exists(confirm) || d.SetText(confirm, password))
                && d.Press(Control::Button(d.Pack("Next", "NEXT")));
        } };
    rows << CloseRow { QStringLiteral("W3"), QStringLiteral("page 8: loading the zones"), 8, false,
        { "fault nvr http-slow:8000@/config/timezonelist" }, { "fault nvr clear" }, nullptr };
    rows << CloseRow { QStringLiteral("W4"), QStringLiteral("page 8: setting the zone"), 8, true,
        { "fault nvr http-slow:8000@/config/datetime?timezone" }, { "fault nvr clear" },
        [](WizardDriver& d, ScenarioWalk&) {
            return d.ChooseItem(Control { QAccessible::ComboBox }, 3)
                && d.Press(Control::Button(d.Pack("Next", "NEXT")));
        } };
    CloseRow checking { QStringLiteral("W5"), QStringLiteral("page 9: checking the disks"), 9, true,
        { "usb nvr 1 1000:ready-ms=30000" }, { "usb nvr 1 1000" }, pressNext };
    checking.boxKey = "hddformat_08";
    checking.boxFallback = "Getting HDD Information, Please wait";
    rows << checking;
    CloseRow formatting { QStringLiteral("W6"), QStringLiteral("page 9: formatting"), 9, true, {}, {},
        [](WizardDriver& d, ScenarioWalk&) {
            return d.Press(Control::Button(d.Pack("Next", "NEXT")))
                && d.WaitForText(d.Pack("hddformat_04", "Important Alert"))
                && d.Press(Control::Button(d.Pack("OK", "OK")));
        } };
    formatting.boxKey = "hddformat_14";
    formatting.boxFallback = "Formatting your HDD...";
    rows << formatting;
    rows << CloseRow { QStringLiteral("W7"), QStringLiteral("page 10: reading the cloud registration"), 10, true,
        { "fault nvr http-slow:8000@/config/quelmoreginfo" }, { "fault nvr clear" }, pressNext };
    rows << CloseRow { QStringLiteral("W8"), QStringLiteral("page 10: adding the cameras"), 10, true,
        { "fault nvr http-slow:8000@/config/addavdev" }, { "fault nvr clear" }, [](WizardDriver& d, ScenarioWalk&) {
            const Control check { QAccessible::CheckBox, QString(), false, 0, QStringLiteral("10.77.0.44") };
            return d.Toggle(check) && d.WaitUntil([&] { return d.Look(check).value_or(Seen {}).state.checked; })
                && d.Press(Control::Button(d.Pack("Next", "NEXT")));
        } };
    // The password overlay waits for the camera itself (no waiting box of its own): closed while its job runs.
    CloseRow cameraJob { QStringLiteral("W9"), QStringLiteral("page 10: a camera's new password (the overlay waits)"),
        10, true, { "fault cam-new http-slow:8000@/system.cgi" }, { "fault cam-new clear" },
        [](WizardDriver& d, ScenarioWalk&) {
            const Control check { QAccessible::CheckBox, QString(), false, 0, QStringLiteral("10.77.0.43") };
            const QString password = QStringLiteral("Porch2024");
            return d.Toggle(check) && d.SetText(Control::Edit(d.Pack("New Password", "New Password")), password)
                && d.SetText(Control::Edit(d.Pack("Confirm New Password", "Confirm Password")), password)
                && d.Press(Control::InBox(QAccessible::PushButton, d.Pack("OK", "OK")));
        } };
    cameraJob.boxKey = "New Password";
    cameraJob.boxFallback = "New Password";
    rows << cameraJob;
    rows << CloseRow { QStringLiteral("W10"), QStringLiteral("page 11: signing in and binding"), 11, true,
        { "fault portal http-slow:8000" }, { "fault portal clear" }, [](WizardDriver& d, ScenarioWalk&) {
            return d.SetText(Control::Edit(d.Pack("E-mail", "Email")), QStringLiteral("owner@example.lab"))
                && d.SetText(Control::Edit(d.Pack("Password", "Password")), QStringLiteral("Cloud123"))
                && d.Press(Control::Button(d.Pack("Next", "NEXT")));
        } };
    Q_UNUSED(next);
    return rows;
}

RowOutcome RunCloseRow(WizardDriver& driver, const CloseRow& row)
{
    RowOutcome outcome { row.id, QStringLiteral("window closed: ") + row.box, row.page };
    SimLink sim;
    Scenario s;
    s.name = QStringLiteral("close-during-waits");
    s.recorderIp = QStringLiteral("10.77.0.16");
    s.recorderMac = QStringLiteral("00:1a:2b:3c:5a:07");
    // Earlier rows may have given the recorder its password.
    const QString password = sim.Recorder(QStringLiteral("nvr")).value("password").toString();
    if (password.isEmpty())
        s.newPassword = QStringLiteral("Close2024");
    else
        s.existingPassword = password;
    s.zone = 4;
    s.disks = DiskPlan::Skip;
    s.cloud = CloudPlan::SignIn;
    ScenarioWalk walk(driver, s);
    for (const QByteArray& line : row.on) {
        QString answer;
        if (!sim.Control(line, 4000, &answer)) {
            outcome.note = QStringLiteral("the simulator did not take %1: %2").arg(QString::fromUtf8(line), answer);
            return outcome;
        }
    }
    bool ok = walk.WalkTo(row.page, row.settle);
    if (ok && row.open)
        ok = row.open(driver, walk);
    const QString box = driver.Pack(row.boxKey, row.boxFallback);
    QString seen;
    ok = ok && driver.WaitForText(box, 20000, &seen);
    outcome.message = seen;
    if (!ok) {
        outcome.note = QStringLiteral("the box did not show: ") + driver.failure();
        driver.CloseWindow();
        driver.WaitUntil([&] { return driver.WindowGone(); }, 10000);
    } else {
        QElapsedTimer clock;
        clock.start();
        driver.CloseWindow();
        const bool gone = driver.WaitUntil([&] { return driver.WindowGone(); }, 10000);
        outcome.ms = clock.elapsed();
        outcome.passed = gone && outcome.ms <= row.limitMs;
        if (!gone)
            outcome.note = QStringLiteral("the window stayed");
        else if (outcome.ms > row.limitMs)
            outcome.note = QStringLiteral("past its limit of %1 ms").arg(row.limitMs);
    }
    for (const QByteArray& line : row.off)
        sim.Control(line);
    return outcome;
}
