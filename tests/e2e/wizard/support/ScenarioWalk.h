#pragma once
// A scenario walked through the whole wizard as a user walks it, page 1 to FINISH, with device faults met on
// the way (scripted through the simulator's control pipe, each lifted again so the same run goes on), and the
// checks of what the simulator and the desktop hold at the end.
//
// A benchmark or a test runs one from the interface thread:
//     QApplication app(argc, argv);
//     Scenario s = ...;                        // or ScenarioTable::Row("new-recorder-two-disks")
//     WalkResult r = RunWizard([&](WizardDriver& d) { return ScenarioWalk(d, s).Run(); }, 240000);
// RunWizard builds the wizard as the program does (overlays registered, accessible controls installed, the frame
// shown), runs the script on a thread of its own while the interface thread runs the wizard, and returns once
// both have ended.

#include "SimLink.h"
#include "WizardDriver.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct CameraPlan
{
    enum Kind {
        Known, // the recorder lists its password: checked at once
        New, // no password yet: the create overlay sets one
        Unknown, // the recorder does not list it: typed into the check overlay
        Refused, // a fifth camera: its check is unavailable and a press changes nothing
    };
    QString name; // the simulator's camera name
    QString ip; // as the list shows it (with ":port" when not 80)
    Kind kind = New;
    QString password; // set (New), typed (Unknown) or listed (Known)
    QString wrongFirst; // Unknown: a wrong password typed first (its error is read, then the right one typed)
};

enum class DiskPlan { Format, Skip, NoDiskThenSkip };
enum class CloudPlan { SignUp, SignIn, Decline, Unavailable, AlreadyBound };

struct Scenario
{
    QString name;
    int language = 0; // index of the home page's list: 0 English ... 5 Simplified Chinese
    QString recorder = QStringLiteral("nvr"); // the simulator's recorder name
    QString recorderIp;
    QString recorderMac;
    QString existingPassword; // a recorder with a password: typed on page 7
    QString newPassword; // a new recorder: created on page 7
    int zone = 1; // 1-based item of the zone list chosen on page 8
    DiskPlan disks = DiskPlan::Skip;
    int diskCount = 0; // disks plugged (for the checks)
    QList<CameraPlan> cameras; // in the order the list shows them
    CloudPlan cloud = CloudPlan::Decline;
    QString email;
    QString cloudPassword;
    QString firstName;
    QString lastName;
    QString wrongCloudPassword; // sign-in: typed first, its refusal read, then the right one
    QString password() const { return existingPassword.isEmpty() ? newPassword : existingPassword; }
};

// One device fault met during a run: switched on through the control pipe, met by what the user does on its page,
// the wizard's message read within its limit, the simulator checked for work reported done but half done, then
// lifted so the run goes on.
struct FaultRow
{
    enum class Trigger {
        Next, // NEXT on the page
        Rescan, // the page's Rescan
        EnterPage, // entering the page (switched on before the previous page's last press)
        CameraCheck, // checking the camera `camera` and answering its password overlay
        Preview, // opening the live picture of camera `camera` and closing it again
        FormatMidway, // NEXT, OK, and `during` once the formatting box shows
        CloudNext, // NEXT on the cloud page with the scenario's account typed
    };
    QString id;
    QString fault; // what is wrong, for the table
    int page = 0;
    Trigger trigger = Trigger::Next;
    QList<QByteArray> on; // control lines switching it on
    QList<QByteArray> during; // FormatMidway: sent once the formatting box shows
    QList<QByteArray> off; // lifting it
    // The message expected (pack key and fallback), or a literal below; a Rescan row without one expects the search
    // to end with nothing listed and without the not-found text.
    const char* messageKey = nullptr;
    const char* messageFallback = "";
    QString messageLiteral; // e.g. a portal answer code
    const char* dismissKey = nullptr; // the button ending the message box after the fault is lifted
    const char* dismissFallback = "";
    int limitMs = 10000; // the message must show within this
    QString camera; // CameraCheck / Preview: the camera's address as listed
    int expectItems = 0; // EnterPage without a message: the page's list holds this many items
    // Polled before the user acts (the fault has reached what the page shows, e.g. the storage watch has seen it).
    std::function<bool(const SimLink&)> armedWhen;
    // What must not be half done on the simulator (returns the problem, empty when sound).
    std::function<QString(const SimLink&)> notHalfDone;
    QString knownFault; // set: the row is expected to fail for this reason (a known fault of the wizard)
};

struct RowOutcome
{
    RowOutcome(QString id = {}, QString fault = {}, int page = 0)
        : id(std::move(id))
        , fault(std::move(fault))
        , page(page)
    {
    }
    QString id;
    QString fault;
    int page = 0;
    QString message; // as read through the accessibility interface
    qint64 ms = -1; // from the user's act to the message
    bool passed = false;
    QString note;
    QString knownFault;
};

struct WalkResult
{
    bool finished = false; // FINISH was pressed and the wizard ended
    QString failure; // the first failed step or check, empty when all went well
    QStringList log;
    QList<RowOutcome> rows;
    qint64 ms = 0;
};

class ScenarioWalk
{
public:
    ScenarioWalk(WizardDriver& driver, const Scenario& scenario, QList<FaultRow> faults = {});

    // Page 1 to FINISH, then the checks on the simulator's state and the desktop entry.
    WalkResult Run();
    // Page 1 up to page `page` shown (with settle: its first loading done), no further; false on a failed step.
    bool WalkTo(int page, bool settle = true);

    // The checks after FINISH: the recorder's password and zone, the disks, the cameras in their channels with
    // their passwords, the cloud binding (each problem one line), and the desktop entry.
    QStringList CheckSimulator() const;
    QStringList CheckDesktopEntry() const;

    const QList<RowOutcome>& rows() const { return outcomes; }

private:
    bool home();
    bool guidePages();
    bool searchPage();
    bool passwordPage();
    bool zonePage(bool leave);
    bool diskPage();
    bool cameraPage(bool leave);
    bool cloudPage();
    bool summaryPage();
    bool settled(int page);

    bool runRows(int page);
    QString halfDoneOf(const FaultRow& row);
    bool runRow(const FaultRow& row);
    void armEntryRows(int nextPage);
    bool meetEntryRows(int page);
    bool send(const QList<QByteArray>& lines);

    bool press(const char* key, const char* fallback, int limitMs = -1);
    Control button(const char* key, const char* fallback);
    bool next(int fromPage, int limitMs = -1);
    bool checkCamera(const CameraPlan& camera, bool typeOnly = false);
    bool answerCameraOverlay(const CameraPlan& camera);
    bool fillCloud(CloudPlan plan);
    bool submitOverlay(const CameraPlan& camera, const Control& entry);
    Control cameraRow(const QString& ip);
    QString message(const FaultRow& row);
    bool dismiss(const FaultRow& row);

    WizardDriver& d;
    SimLink sim;
    Scenario s;
    QList<FaultRow> faults;
    QList<RowOutcome> outcomes;
    struct Armed
    {
        int row;
        qint64 startMs;
    };
    QList<Armed> armed;
    QElapsedTimer* runClock = nullptr;
    QString overlayCamera; // the camera whose password overlay a fault row left open
};

// Builds the wizard as the program does and runs script on a thread of its own against it; returns the script's
// result once both the script and the wizard have ended. A script still running at limitMs fails and the window
// is closed.
WalkResult RunWizard(const std::function<WalkResult(WizardDriver&)>& script, int limitMs, int stepLimitMs = 20000);

// The markdown table of fault rows: row, fault, page, message seen, time, result.
QString FaultTable(const QList<RowOutcome>& rows);
