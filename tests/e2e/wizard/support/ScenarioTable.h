#pragma once
// The scenario table: a covering set of whole-wizard runs (every value in at least one run, the pairs that
// interact together), each with its simulator scenario (tests/e2e/wizard/scenarios/NAME.conf) and the fault rows
// met during it; and the rows that close the window under each waiting box.

#include "ScenarioWalk.h"

#include <optional>

struct ScenarioRow
{
    QString name; // also the name of its simulator scenario
    Scenario scenario;
    QList<FaultRow> faults;
    int limitMs = 240000; // the whole run
};

// One waiting box the window is closed under.
struct CloseRow
{
    CloseRow(QString id, QString box, int page, bool settle, QList<QByteArray> on, QList<QByteArray> off,
        std::function<bool(WizardDriver&, ScenarioWalk&)> open)
        : id(std::move(id))
        , box(std::move(box))
        , page(page)
        , settle(settle)
        , on(std::move(on))
        , off(std::move(off))
        , open(std::move(open))
    {
    }
    QString id;
    QString box; // which box, for the table
    int page = 0;
    bool settle = true; // the page's first loading is waited for before the act
    QList<QByteArray> on; // sent before the walk
    QList<QByteArray> off; // after the row
    std::function<bool(WizardDriver&, ScenarioWalk&)> open; // what the user does to bring the box up
    const char* boxKey = "Waiting"; // a text of the box
    const char* boxFallback = "Waiting";
    int limitMs = 2000; // from the close to the window gone
};

// The row whose devices choose hostile texts; its run is watched for any of them showing as rich text.
constexpr const char* kDeviceTextsRow = "s7-new-english-device-texts";

namespace ScenarioTable {

QStringList Names();
std::optional<ScenarioRow> Row(const QString& name);
QList<CloseRow> CloseRows();

} // namespace ScenarioTable

// Walks the close scenario up to the row's box, closes the window under it and measures how long the wizard takes
// to end (the password of the recorder is read from the simulator: earlier rows may have set it).
RowOutcome RunCloseRow(WizardDriver& driver, const CloseRow& row);
