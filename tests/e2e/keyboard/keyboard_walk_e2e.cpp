// The whole wizard without a mouse, in the lab against the simulator: a user who hears what a screen reader says
// (the focused control's role, name and state) walks from the welcome page to FINISH with Tab, Shift+Tab, Space,
// the arrows, Page Down and typed text only, in Spanish. The simulator's state and the desktop entry say the
// set-up was done.
//
// Pages run their overlays in local event loops from inside a key press, so the user is a timer-driven list of
// steps: each waits for what the user would wait for (a page, an overlay, rows in a list), then presses keys.

#include "app/MainWindow.h"
#include "app/WizardPages.h"
#include "i18n/Localization.h"
#include "overlays/ModalLayer.h"
#include "pages/WizardPage.h"
#include "support/SimLink.h"
#include "ui/AccessibleControls.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr const char* kRecorderPassword = "Garden2024";
constexpr const char* kCameraPassword = "Porch2024";
constexpr const char* kCloudEmail = "owner@example.lab";
constexpr const char* kCloudPassword = "Cloud123";

QString Pack(const char* key, const char* fallback)
{
    return QString::fromStdString(Text(key, fallback)).trimmed();
}

// The label's text as a control's name: without its colon.
QString Label(const char* key, const char* fallback)
{
    QString name = Pack(key, fallback);
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    return name.trimmed();
}

QJsonObject Find(const QJsonArray& list, const char* field, const QString& value)
{
    for (const QJsonValue& entry : list) {
        if (entry.toObject().value(QLatin1String(field)).toString() == value)
            return entry.toObject();
    }
    return {};
}

} // namespace

class KeyboardWalk : public QObject
{
    Q_OBJECT

    struct Step
    {
        QString what;
        std::function<bool()> ready;
        std::function<bool()> act; // false: it failed and said why
        int timeoutMs;
    };

    std::unique_ptr<MainWindow> frame;
    std::vector<Step> steps;
    size_t nextStep = 0;
    int acting = 0;
    bool starting = false;
    QElapsedTimer stepClock;
    QElapsedTimer walkClock;
    static constexpr qint64 kWalkLimitMs = 240000;
    QString failure;
    QStringList log;
    QString chosenZone;
    int chosenZoneIndex = -1;
    int scrolledFrom = -1;

    // ---- What the user perceives -------------------------------------------------------------------------------

    int Page() const
    {
        if (!frame)
            return 0;
        for (WizardPage* page : frame->findChildren<WizardPage*>()) {
            if (page->isVisible())
                return page->pageNumber();
        }
        return 0;
    }

    static QWidget* Focus() { return QApplication::focusWidget(); }

    // What a screen reader says is focused: the focused control, or inside it the focused row or cell.
    static QAccessibleInterface* Heard()
    {
        QWidget* focus = Focus();
        QAccessibleInterface* face = focus != nullptr ? QAccessible::queryAccessibleInterface(focus) : nullptr;
        if (face != nullptr && face->focusChild() != nullptr)
            face = face->focusChild();
        return face;
    }

    static QString Say(QAccessibleInterface* face)
    {
        if (face == nullptr)
            return QStringLiteral("nothing");
        return QStringLiteral("%1 \"%2\"%3")
            .arg(QString::number(face->role(), 16), face->text(QAccessible::Name),
                face->state().checked ? QStringLiteral(" checked") : QString());
    }

    static bool Is(QAccessibleInterface* face, QAccessible::Role role, const QString& name)
    {
        return face != nullptr && face->role() == role && (name.isEmpty() || face->text(QAccessible::Name) == name);
    }

    QString Where() const
    {
        QWidget* focus = Focus();
        return QStringLiteral("page %1, focus on %2 (%3)")
            .arg(Page())
            .arg(focus != nullptr ? focus->objectName() : QStringLiteral("-"), Say(Heard()));
    }

    static bool NoOverlay() { return ModalLayer::Top() == nullptr; }
    static bool InOverlay()
    {
        ModalLayer* top = ModalLayer::Top();
        return top != nullptr && Focus() != nullptr && top->isAncestorOf(Focus());
    }
    bool OnPage(int number) const { return Page() == number && NoOverlay() && Focus() != nullptr; }

    // ---- What the user does ------------------------------------------------------------------------------------

    bool Fail(const QString& why)
    {
        if (!failure.isEmpty())
            return false;
        failure = why + QStringLiteral(" [") + Where() + QStringLiteral("]");
        // The host runs its own loop under the test: end the wizard so the test gets control back.
        QTimer::singleShot(0, this, [this] {
            if (frame) {
                ModalLayer::CloseAll(frame.get());
                frame->close();
            }
        });
        // A wizard that does not end even so must not leave the test to the test library's watchdog.
        QTimer::singleShot(30000, this, [this] {
            qFatal("%s\nand the wizard did not end within 30 s of it; steps done:\n  %s", qPrintable(failure),
                qPrintable(log.join(QStringLiteral("\n  "))));
        });
        return false;
    }

    bool Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = Focus();
        if (focus == nullptr)
            return Fail(QStringLiteral("no control has the keyboard"));
        QTest::keyClick(focus, key, modifiers);
        return true;
    }

    bool Type(const QString& text)
    {
        QWidget* focus = Focus();
        if (focus == nullptr)
            return Fail(QStringLiteral("no control to type into"));
        QTest::keyClicks(focus, text);
        return true;
    }

    // Tab (or Shift+Tab) until the screen reader says what is wanted; once round the controls at most.
    bool TabTo(const std::function<bool(QAccessibleInterface*)>& wanted, const QString& what, bool back = false)
    {
        QStringList heard;
        for (int i = 0; i < 40; ++i) {
            if (wanted(Heard()))
                return true;
            heard << Say(Heard());
            if (!Key(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier))
                return false;
        }
        return Fail(QStringLiteral("Tab never reached %1; heard: %2").arg(what, heard.join(QStringLiteral(", "))));
    }
    bool TabTo(QAccessible::Role role, const QString& name)
    {
        return TabTo([&](QAccessibleInterface* face) { return Is(face, role, name); },
            QStringLiteral("%1 \"%2\"").arg(QString::number(role, 16), name));
    }
    // Tab to the control itself (a list, whatever row the reader names inside it).
    bool TabToControl(QAccessible::Role role)
    {
        return TabTo([role](QAccessibleInterface*) { return FocusIs(role); },
            QStringLiteral("a control of role %1").arg(QString::number(role, 16)));
    }
    bool TabToNext() { return TabTo(QAccessible::PushButton, Pack("Next", "NEXT")); }

    // In a focused list: Down, then Up, until the row the reader names holds text.
    bool RowTo(const QString& text)
    {
        for (Qt::Key key : { Qt::Key_Down, Qt::Key_Up }) {
            for (int i = 0; i < 300; ++i) {
                QAccessibleInterface* row = Heard();
                const QString name = row != nullptr ? row->text(QAccessible::Name) : QString();
                if (name.contains(text))
                    return true;
                if (!Key(key))
                    return false;
                if (Heard() == row)
                    break; // the list's end
            }
        }
        return Fail(QStringLiteral("no row holds %1").arg(text));
    }

    // The open overlay offers a control the reader names so.
    static bool OverlayOffers(QAccessible::Role role, const QString& name)
    {
        ModalLayer* top = ModalLayer::Top();
        if (top == nullptr)
            return false;
        for (QWidget* widget : top->findChildren<QWidget*>()) {
            if (widget->isVisible() && Is(QAccessible::queryAccessibleInterface(widget), role, name))
                return true;
        }
        return false;
    }

    // The page shows an available control the reader names so.
    bool PageOffers(QAccessible::Role role, const QString& name) const
    {
        for (QWidget* widget : frame->findChildren<QWidget*>()) {
            QAccessibleInterface* face = widget->isVisible() ? QAccessible::queryAccessibleInterface(widget) : nullptr;
            if (Is(face, role, name) && !face->state().disabled)
                return true;
        }
        return false;
    }

    static bool FocusIs(QAccessible::Role role)
    {
        QAccessibleInterface* face = Focus() != nullptr ? QAccessible::queryAccessibleInterface(Focus()) : nullptr;
        return face != nullptr && face->role() == role;
    }

    // The rows the focused-or-not list of the page has, by its role.
    QAccessibleInterface* ListOnPage(QAccessible::Role role) const
    {
        if (!frame)
            return nullptr;
        for (QWidget* widget : frame->findChildren<QWidget*>()) {
            if (!widget->isVisible())
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            if (face != nullptr && face->role() == role && face->childCount() > 0
                && dynamic_cast<AccessibleRows*>(widget) != nullptr)
                return face;
        }
        return nullptr;
    }
    bool ListHasRow(QAccessible::Role role, const QString& text, bool checked = false) const
    {
        QAccessibleInterface* list = ListOnPage(role);
        for (int i = 0; list != nullptr && i < list->childCount(); ++i) {
            QAccessibleInterface* row = list->child(i);
            if (row->text(QAccessible::Name).contains(text) && (!checked || row->state().checked))
                return true;
        }
        return false;
    }

    void Add(const QString& what, std::function<bool()> ready, std::function<bool()> act, int timeoutMs = 20000)
    {
        steps.push_back({ what, std::move(ready), std::move(act), timeoutMs });
    }

    // One turn of the user: the next step once it is ready. Its keys may open a box whose loop runs the next turns.
    void Turn()
    {
        if (!failure.isEmpty() || nextStep >= steps.size() || starting)
            return;
        const Step& step = steps[nextStep];
        if (walkClock.elapsed() > kWalkLimitMs) {
            Fail(QStringLiteral("the walk took too long, at: ") + step.what);
            return;
        }
        if (!step.ready()) {
            if (stepClock.elapsed() > step.timeoutMs)
                Fail(QStringLiteral("waited %1 s for: %2").arg(step.timeoutMs / 1000).arg(step.what));
            return;
        }
        ++nextStep;
        log << QStringLiteral("%1 ms: %2").arg(stepClock.elapsed()).arg(step.what);
        qInfo("%s", qPrintable(log.last()));
        stepClock.restart();
        // The keys are pressed from a timer of their own: a timer does not fire again while its handler runs, and
        // this handler must go on firing inside the box those keys may open.
        ++acting;
        starting = true;
        QTimer::singleShot(0, this, [this, act = step.act, what = step.what] {
            starting = false;
            if (!act())
                Fail(QStringLiteral("step \"%1\" failed").arg(what));
            --acting;
        });
    }

    void PlanTheWalk();

private slots:
    void initTestCase()
    {
        QVERIFY2(SimLink().Ready(), "runs in the lab only");
        RegisterWizardOverlays();
        InstallAccessibleControls();
    }

    void aUserWithoutAMouseFinishesTheWizard()
    {
        QElapsedTimer& total = walkClock;
        total.start();
        // The user is ready before the window shows: the frame starts the host's own loop 50 ms after it first
        // appears, and from then on only timers reach the test.
        frame = std::make_unique<MainWindow>();
        PlanTheWalk();
        QTimer user;
        connect(&user, &QTimer::timeout, this, [this] { Turn(); });
        user.start(25);
        stepClock.start();
        frame->show();
        while (failure.isEmpty() && (nextStep < steps.size() || acting > 0) && total.elapsed() < kWalkLimitMs + 5000)
            QTest::qWait(25);
        user.stop();
        if (failure.isEmpty() && nextStep < steps.size())
            failure = QStringLiteral("the walk did not end in time at: ") + steps[nextStep].what;
        if (!failure.isEmpty()) {
            ModalLayer::CloseAll(frame.get());
            QTest::qWait(100);
        }
        QVERIFY2(failure.isEmpty(), qPrintable(failure + QStringLiteral("\nsteps done:\n  ") + log.join("\n  ")));
        qInfo("keyboard walk: %d steps in %.1f s", int(steps.size()), double(total.elapsed()) / 1000.0);

        // What the simulator holds now.
        QJsonObject state;
        QTRY_VERIFY_WITH_TIMEOUT(!(state = SimLink().State()).isEmpty(), 5000);
        const QJsonObject recorder = Find(state.value("recorders").toArray(), "ip", QStringLiteral("10.77.0.10"));
        QCOMPARE(recorder.value("password").toString(), QString::fromLatin1(kRecorderPassword));
        QCOMPARE(recorder.value("zone").toInt(), chosenZoneIndex + 1);
        for (const QJsonValue& disk : recorder.value("disks").toArray()) {
            const QJsonObject d = disk.toObject();
            if (d.value("plugged").toBool())
                QVERIFY2(d.value("formatCount").toInt() >= 1,
                    qPrintable(QStringLiteral("disk %1 not formatted").arg(d.value("port").toInt())));
        }
        const QJsonArray registered = recorder.value("cameras").toArray();
        const QJsonObject known = Find(registered, "host", QStringLiteral("10.77.0.28"));
        const QJsonObject fresh = Find(registered, "host", QStringLiteral("10.77.0.20"));
        QVERIFY2(!known.isEmpty() && !fresh.isEmpty(), qPrintable(QJsonDocument(registered).toJson()));
        QCOMPARE(known.value("password").toString(), QStringLiteral("Camera05"));
        QCOMPARE(fresh.value("password").toString(), QString::fromLatin1(kCameraPassword));
        const QJsonObject camera = Find(state.value("cameras").toArray(), "ip", QStringLiteral("10.77.0.20"));
        QCOMPARE(camera.value("password").toString(), QString::fromLatin1(kCameraPassword));
        const QJsonObject cloud = recorder.value("cloud").toObject();
        QCOMPARE(cloud.value("email").toString(), QString::fromLatin1(kCloudEmail));
        QCOMPARE(cloud.value("status").toInt(), 1);
        const QJsonObject account
            = Find(state.value("portal").toObject().value("accounts").toArray(), "email", kCloudEmail);
        QVERIFY2(!account.value("bindings").toArray().isEmpty(), qPrintable(QJsonDocument(account).toJson()));

        // FINISH left the desktop entry in the private HOME.
        const QStringList entries = QDir(QDir::homePath() + QStringLiteral("/Desktop"))
                                        .entryList({ QStringLiteral("*.desktop") }, QDir::Files);
        QCOMPARE(entries.size(), 1);
        frame.reset();
    }
};

void KeyboardWalk::PlanTheWalk()
{
    // Page 1: the language combo opens with Space, Down to Spanish as the reader names it, Space; then START.
    Add(
        "page 1: the language combo", [this] { return OnPage(1); },
        [this] { return TabToControl(QAccessible::ComboBox) && Key(Qt::Key_Space); });
    Add(
        "page 1: Spanish in the open list", [this] { return Is(Heard(), QAccessible::ListItem, QString()); },
        [this] {
            for (int i = 0;
                 i < 10 && Heard() != nullptr && Heard()->text(QAccessible::Name) != QStringLiteral("Español"); ++i)
                Key(Qt::Key_Down);
            if (!Is(Heard(), QAccessible::ListItem, QStringLiteral("Español")))
                return Fail(QStringLiteral("the language list has no Español"));
            return Key(Qt::Key_Space);
        });
    Add(
        "page 1: START in Spanish",
        [this] {
            QAccessibleInterface* face = Heard();
            return Page() == 1 && face != nullptr && face->role() == QAccessible::ComboBox
                && face->text(QAccessible::Value) == QStringLiteral("Español");
        },
        [this] {
            if (Pack("START", "START") != QStringLiteral("INICIAR"))
                return Fail(QStringLiteral("the wizard did not switch to Spanish"));
            return TabTo(QAccessible::PushButton, Pack("START", "START")) && Key(Qt::Key_Space);
        });

    // Pages 2 to 5: NEXT.
    for (int page = 2; page <= 5; ++page)
        Add(
            QStringLiteral("page %1: NEXT").arg(page), [this, page] { return OnPage(page); },
            [this] { return TabToNext() && Key(Qt::Key_Space); });

    // Page 6: once the search lists the new recorder, the help on the MAC address (its box closes with Space on
    // its cross), then the new recorder's row, Space, NEXT.
    Add(
        "page 6: the MAC help", [this] { return OnPage(6) && ListHasRow(QAccessible::Table, "10.77.0.10"); },
        [this] {
            return TabTo(QAccessible::PushButton, Pack("a11y_mac_help", "Where to find the MAC address"))
                && Key(Qt::Key_Space);
        },
        30000);
    Add(
        "page 6: the MAC help's box opens on its close cross",
        [this] { return InOverlay() && Is(Heard(), QAccessible::PushButton, Pack("Close", "Close")); },
        [this] { return Key(Qt::Key_Space); });
    Add(
        "page 6: the new recorder, once the search has ended (Rescan is available again)",
        [this] { return OnPage(6) && PageOffers(QAccessible::PushButton, Pack("Rescan", "Rescan")); },
        [this] {
            if (!TabToControl(QAccessible::Table) || !RowTo(QStringLiteral("10.77.0.10")))
                return false;
            if (Heard()->childCount() < 1 || !Heard()->child(0)->state().checked)
                Key(Qt::Key_Space);
            if (!Heard()->child(0)->state().checked)
                return Fail(QStringLiteral("Space did not choose the row"));
            return TabToNext() && Key(Qt::Key_Space);
        });

    // Page 7: the new password, twice.
    Add(
        "page 7: the password entries, once the recorder was asked",
        [this] { return OnPage(7) && PageOffers(QAccessible::EditableText, Label("Password", "Password")); },
        [this] {
            if (!TabTo(QAccessible::EditableText, Label("Password", "Password")) || !Type(kRecorderPassword))
                return false;
            if (!TabTo(QAccessible::EditableText, Label("Confirm Password", "Confirm Password"))
                || !Type(kRecorderPassword))
                return false;
            return TabToNext() && Key(Qt::Key_Space);
        });

    // Page 8: the zone box opens with Space, three rows down, Space; NEXT.
    Add(
        "page 8: the zone box",
        [this] {
            if (!OnPage(8))
                return false;
            QWidget* box = frame->findChild<QWidget*>(QStringLiteral("zoneBox"));
            QAccessibleInterface* combo = box != nullptr ? QAccessible::queryAccessibleInterface(box) : nullptr;
            return combo != nullptr && !combo->text(QAccessible::Value).isEmpty();
        },
        [this] { return TabToControl(QAccessible::ComboBox) && Key(Qt::Key_Space); });
    Add(
        "page 8: a zone in the open list", [this] { return Is(Heard(), QAccessible::ListItem, QString()); },
        [this] {
            for (int i = 0; i < 3; ++i)
                Key(Qt::Key_Down);
            QAccessibleInterface* item = Heard();
            chosenZone = item->text(QAccessible::Name);
            chosenZoneIndex = item->parent()->indexOfChild(item);
            return Key(Qt::Key_Space);
        });
    Add(
        "page 8: NEXT with the zone chosen",
        [this] {
            QAccessibleInterface* face = Heard();
            return OnPage(8) && face != nullptr && face->role() == QAccessible::ComboBox
                && face->text(QAccessible::Value) == chosenZone;
        },
        [this] { return TabToNext() && Key(Qt::Key_Space); });

    // Page 9: NEXT, then OK in the confirmation (a choice of two: the keyboard starts on neither).
    Add(
        "page 9: NEXT", [this] { return OnPage(9); }, [this] { return TabToNext() && Key(Qt::Key_Space); });
    Add(
        "page 9: OK to format",
        [this] {
            return Page() == 9 && Focus() != nullptr && OverlayOffers(QAccessible::PushButton, Pack("OK", "OK"));
        },
        [this] { return TabTo(QAccessible::PushButton, Pack("OK", "OK")) && Key(Qt::Key_Space); }, 40000);

    // Page 10: the camera whose password the recorder knows, a look at its live picture (Right to its icon,
    // Space; the preview closes on its cross), then a new camera with a password typed into the overlay; NEXT.
    Add(
        "page 10: the known camera",
        [this] {
            return OnPage(10) && ListHasRow(QAccessible::Table, "10.77.0.28")
                && ListHasRow(QAccessible::Table, "10.77.0.20");
        },
        [this] {
            return TabToControl(QAccessible::Table) && RowTo(QStringLiteral("10.77.0.28")) && Key(Qt::Key_Space);
        },
        90000);
    Add(
        "page 10: its live preview",
        [this] { return OnPage(10) && ListHasRow(QAccessible::Table, "10.77.0.28", true); },
        [this] {
            Key(Qt::Key_Right);
            if (!Is(Heard(), QAccessible::PushButton, Pack("a11y_preview", "Live preview")))
                return Fail(QStringLiteral("Right did not reach the camera icon"));
            return Key(Qt::Key_Space);
        });
    Add(
        "page 10: the preview closes",
        [this] { return InOverlay() && OverlayOffers(QAccessible::PushButton, Pack("Close", "Close")); },
        [this] { return TabTo(QAccessible::PushButton, Pack("Close", "Close")) && Key(Qt::Key_Space); });
    Add(
        "page 10: the new camera", [this] { return OnPage(10) && FocusIs(QAccessible::Table); },
        [this] {
            Key(Qt::Key_Left);
            return RowTo(QStringLiteral("10.77.0.20")) && Key(Qt::Key_Space);
        });
    Add(
        "page 10: its password, typed",
        [this] { return InOverlay() && Is(Heard(), QAccessible::EditableText, QString()); },
        [this] {
            const QString first = Heard()->text(QAccessible::Name);
            if (!Type(kCameraPassword) || !Key(Qt::Key_Tab))
                return false;
            if (!Is(Heard(), QAccessible::EditableText, QString()) || Heard()->text(QAccessible::Name) == first)
                return Fail(QStringLiteral("Tab did not reach the confirmation"));
            return Type(kCameraPassword) && TabTo(QAccessible::PushButton, Pack("OK", "OK")) && Key(Qt::Key_Space);
        });
    Add(
        "page 10: NEXT", [this] { return OnPage(10) && ListHasRow(QAccessible::Table, "10.77.0.20", true); },
        [this] { return TabToNext() && Key(Qt::Key_Space); }, 30000);

    // Page 11: the sign-up choice shows the terms; the link opens them on the text, which Page Down and Space
    // scroll to the end; Close; the terms box checks; back to the sign-in choice, the account typed, NEXT.
    Add(
        "page 11: the sign-up choice", [this] { return OnPage(11); },
        [this] {
            return TabTo(QAccessible::RadioButton, Pack("veskor_03", "I want to sign up for a new account."))
                && Key(Qt::Key_Space);
        },
        60000);
    Add(
        "page 11: the terms link", [this] { return OnPage(11) && Heard() != nullptr && Heard()->state().checked; },
        [this] { return TabTo(QAccessible::Link, Pack("veskor_11", "Terms and Conditions")) && Key(Qt::Key_Space); });
    Add(
        "page 11: the terms, read to the end",
        [this] { return InOverlay() && Is(Heard(), QAccessible::EditableText, Pack("veskor_11", "")); },
        [this] {
            auto* text = qobject_cast<QAbstractScrollArea*>(Focus());
            if (text == nullptr)
                return Fail(QStringLiteral("the terms are no scrolled text"));
            QScrollBar* bar = text->verticalScrollBar();
            const int top = bar->value();
            Key(Qt::Key_PageDown);
            if (bar->value() <= top)
                return Fail(QStringLiteral("Page Down did not scroll the terms"));
            Key(Qt::Key_Down);
            for (int i = 0; i < 200 && bar->value() < bar->maximum(); ++i)
                Key(Qt::Key_Space);
            if (bar->value() != bar->maximum())
                return Fail(QStringLiteral("Space did not scroll the terms to their end"));
            return TabTo(QAccessible::PushButton, Pack("Close", "Close")) && Key(Qt::Key_Space);
        });
    Add(
        "page 11: the terms box", [this] { return OnPage(11); },
        [this] {
            if (!TabTo(QAccessible::CheckBox, Pack("veskor_11", "Terms and Conditions")) || !Key(Qt::Key_Space))
                return false;
            if (!Heard()->state().checked)
                return Fail(QStringLiteral("Space did not check the terms box"));
            return TabTo(
                       [](QAccessibleInterface* face) {
                           return Is(
                               face, QAccessible::RadioButton, Pack("veskor_02", "I already have a Quelmo accoount."));
                       },
                       QStringLiteral("the sign-in choice"), true)
                && Key(Qt::Key_Space);
        });
    Add(
        "page 11: the account", [this] { return OnPage(11) && Heard() != nullptr && Heard()->state().checked; },
        [this] {
            if (!TabTo(QAccessible::EditableText, Label("E-mail", "Email")) || !Type(kCloudEmail))
                return false;
            if (!TabTo(QAccessible::EditableText, Label("Password", "Password")) || !Type(kCloudPassword))
                return false;
            return TabToNext() && Key(Qt::Key_Space);
        });

    // Page 12: FINISH.
    Add(
        "page 12: FINISH", [this] { return OnPage(12); },
        [this] { return TabTo(QAccessible::PushButton, Pack("FINISH", "FINISH")) && Key(Qt::Key_Space); }, 60000);
    Add(
        "the wizard ends", [this] { return frame->hostResult() != 0 || !frame->isVisible(); }, [] { return true; });
}

int main(int argc, char* argv[])
{
    // The walk takes its time (searches, formatting, the cloud): more than the test library's default limit.
    qputenv("QTEST_FUNCTION_TIMEOUT", "330000");
    QApplication application(argc, argv);
    KeyboardWalk walk;
    return QTest::qExec(&walk, argc, argv);
}
#include "keyboard_walk_e2e.moc"
