// The whole wizard in the lab, page 1 to FINISH, driven as a user drives it through the accessibility interfaces:
// one scenario per run (its own simulator scenario), with the device faults of the fault matrix met on the way and
// lifted again, then the simulator's state and the desktop entry checked. The row to run comes from HXT_WIZARD_ROW
// (every row has a ctest entry of its own); the fault rows' outcomes are printed as a table and written to
// HXT_BINARY_DIR/wizard-faults/.

#include "../../gui/support/RichTextEffects.h"
#include "support/ScenarioTable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <cstdio>

class WizardE2e : public QObject
{
    Q_OBJECT

private:
    static void report(const QString& row, const QList<RowOutcome>& rows, const QStringList& extra = {})
    {
        if (rows.isEmpty())
            return;
        const QString table = FaultTable(rows);
        std::fprintf(stdout, "\nFault rows of %s:\n%s\n", qPrintable(row), qPrintable(table));
        const QString dir
            = qEnvironmentVariable("HXT_BINARY_DIR", QDir::currentPath()) + QStringLiteral("/wizard-faults");
        QDir().mkpath(dir);
        QFile file(dir + QLatin1Char('/') + row + QStringLiteral(".md"));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write((QStringLiteral("### %1\n\n").arg(row) + table + extra.join(QLatin1Char('\n'))).toUtf8());
        file.close();
        // The whole matrix as far as the runs so far wrote it, replaced whole (runs go side by side).
        QByteArray all = "# Fault matrix of the whole-wizard runs\n\n";
        const QDir parts(dir);
        for (const QString& name : parts.entryList({ QStringLiteral("*.md") }, QDir::Files, QDir::Name)) {
            QFile part(parts.filePath(name));
            if (part.open(QIODevice::ReadOnly))
                all += part.readAll() + "\n";
        }
        const QString matrix
            = qEnvironmentVariable("HXT_BINARY_DIR", QDir::currentPath()) + QStringLiteral("/wizard-fault-matrix.md");
        QFile out(matrix + QStringLiteral(".") + QString::number(QCoreApplication::applicationPid()));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(all) == all.size()) {
            out.close();
            ::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(matrix).constData());
        }
    }

    static void expectRows(const QList<RowOutcome>& rows)
    {
        for (const RowOutcome& row : rows) {
            if (!row.knownFault.isEmpty()) {
                if (!row.passed)
                    QEXPECT_FAIL("", qPrintable(row.id + QStringLiteral(": ") + row.knownFault), Continue);
                QVERIFY2(row.passed, qPrintable(row.id + QStringLiteral(" ") + row.note));
                continue;
            }
            QVERIFY2(row.passed,
                qPrintable(QStringLiteral("%1 (%2, page %3): %4; seen \"%5\" after %6 ms")
                               .arg(row.id, row.fault)
                               .arg(row.page)
                               .arg(row.note, row.message)
                               .arg(row.ms)));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(SimLink().Ready(), "runs in the lab only (LAB_SIM_STATE, LAB_DIR)");
        QVERIFY(!qEnvironmentVariable("HXT_WIZARD_ROW").isEmpty());
    }

    // A scenario of the table walked to FINISH with its fault rows.
    void scenarioToFinish()
    {
        const QString name = qEnvironmentVariable("HXT_WIZARD_ROW");
        if (name == QLatin1String("close-during-waits"))
            QSKIP("the row runs in closeDuringEveryWaitingBox");
        const std::optional<ScenarioRow> row = ScenarioTable::Row(name);
        QVERIFY2(row.has_value(), qPrintable(QStringLiteral("no scenario row ") + name));
        QList<RowOutcome> outcomes;
        // Every widget of the wizard looked at while it runs (the interface thread's timer): what the devices sent
        // never shows as rich text, never with its direction controls or control characters.
        QStringList effects;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&effects] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                for (const QString& effect : RichTextEffects(window)) {
                    if (!effects.contains(effect))
                        effects << effect;
                }
            }
        });
        if (name == QLatin1String(kDeviceTextsRow))
            watch.start(100);
        const WalkResult result = RunWizard(
            [&](WizardDriver& driver) {
                ScenarioWalk walk(driver, row->scenario, row->faults);
                return walk.Run();
            },
            row->limitMs);
        watch.stop();
        std::fprintf(stdout, "%s: %s after %lld ms\n", qPrintable(name), result.finished ? "finished" : "stopped",
            static_cast<long long>(result.ms));
        if (!result.failure.isEmpty())
            std::fprintf(stdout, "log:\n%s\n", qPrintable(result.log.join(QLatin1Char('\n'))));
        report(name, result.rows);
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
        QVERIFY(result.finished);
        expectRows(result.rows);
        QVERIFY2(effects.isEmpty(), qPrintable(effects.join(QLatin1Char('\n'))));
    }

    // The window closed under each page's waiting box: the wizard ends within its limit, nothing is reported
    // done; a new wizard then starts from page 1 against the same devices.
    void closeDuringEveryWaitingBox()
    {
        if (qEnvironmentVariable("HXT_WIZARD_ROW") != QLatin1String("close-during-waits"))
            QSKIP("another row");
        QList<RowOutcome> outcomes;
        QStringList log;
        for (const CloseRow& row : ScenarioTable::CloseRows()) {
            RowOutcome outcome;
            const WalkResult result = RunWizard(
                [&](WizardDriver& driver) {
                    outcome = RunCloseRow(driver, row);
                    WalkResult walked;
                    walked.failure = driver.failure();
                    walked.log = driver.log();
                    return walked;
                },
                120000);
            if (!result.failure.isEmpty() && outcome.note.isEmpty())
                outcome.note = result.failure;
            if (!result.failure.isEmpty())
                outcome.passed = false;
            if (!outcome.passed)
                log << QStringLiteral("%1:\n%2").arg(row.id, result.log.join(QLatin1Char('\n')));
            outcomes << outcome;
        }
        report(QStringLiteral("close-during-waits"), outcomes);
        if (!log.isEmpty())
            std::fprintf(stdout, "logs of failed rows:\n%s\n", qPrintable(log.join(QLatin1Char('\n'))));
        expectRows(outcomes);
    }
};

QTEST_MAIN(WizardE2e)
#include "wizard_e2e.moc"
