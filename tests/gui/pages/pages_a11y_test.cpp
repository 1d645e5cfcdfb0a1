// The pages without a mouse: the lists' rows and cells through QAccessible doing what clicks do, Tab in reading
// order on the password and camera pages, Space on a list, names in the chosen language, and an overlay that is
// a dialog keeping the keyboard inside it.

#include "PagesTestSupport.h"

#include "i18n/Localization.h"
#include "overlays/ErrorAlert.h"
#include "pages/CameraList.h"
#include "pages/CameraPage.h"
#include "pages/RecorderListHeader.h"
#include "pages/RecorderList.h"
#include "pages/RecorderPasswordPage.h"
#include "pages/TimeZonePage.h"
#include "pages/TermsHelp.h"
#include "pages/ZoneListBox.h"
#include "session/WizardContext.h"
#include "ui/AccessibleControls.h"
#include "ui/PlainLineEdit.h"
#include "ui/LayeredPictureButton.h"
#include "ui/ProgressDots.h"
#include "ui/RoundedFrame.h"
#include "ui/FocusSpot.h"
#include "ui/Messages.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <memory>

namespace {

QAccessibleInterface* Of(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

bool Act(QAccessibleInterface* face, const QString& action)
{
    if (face == nullptr || face->actionInterface() == nullptr
        || !face->actionInterface()->actionNames().contains(action))
        return false;
    face->actionInterface()->doAction(action);
    return true;
}

// The object names Tab visits from the page's own focus, count presses long.
QStringList TabWalk(QWidget* start, int count, bool forward = true)
{
    start->setFocus(Qt::OtherFocusReason);
    QStringList visited;
    for (int i = 0; i < count; ++i) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : start, forward ? Qt::Key_Tab : Qt::Key_Backtab,
            forward ? Qt::NoModifier : Qt::ShiftModifier);
        focused = QApplication::focusWidget();
        visited << (focused != nullptr ? focused->objectName() : QStringLiteral("<none>"));
    }
    return visited;
}

// The test host is never on screen: it is made the active window by hand, so the focus can move in it.
bool Activate(QWidget* host)
{
    QApplication::setActiveWindow(host);
    return QApplication::activeWindow() == host;
}

} // namespace

class PagesA11yTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InstallAccessibleControls(); }
    void init() { SelectLanguage(0); }
    void cleanup()
    {
        while (ModalLayer* layer = ModalLayer::Top())
            layer->End(ModalLayer::IDCANCEL);
    }

    // Rows named by their texts, radio cells that check as a click does, and Space on the current row.
    void recorderListRowsAndRadioCells()
    {
        RecordingHost host;
        RecorderList list(&host);
        list.setGeometry(0, 0, 688, 220);
        list.show();
        FillRecorderList(list, 3);
        QAccessibleInterface* table = Of(&list);
        QCOMPARE(table->role(), QAccessible::Table);
        QCOMPARE(table->childCount(), 3);
        QAccessibleInterface* row = table->child(1);
        QCOMPARE(row->role(), QAccessible::Row);
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("2 10.77.0.11 00:1a:2b:3c:4d:01"));
        QCOMPARE(table->indexOfChild(row), 1);
        QCOMPARE(row->childCount(), 1);
        QAccessibleInterface* radio = row->child(0);
        QCOMPARE(radio->role(), QAccessible::RadioButton);
        QCOMPARE(radio->parent(), row);
        QVERIFY(radio->state().checkable && !radio->state().checked);
        QVERIFY(row->rect().contains(radio->rect()));

        QVERIFY(Act(radio, QAccessibleActionInterface::toggleAction()));
        QVERIFY(radio->state().checked && row->state().selected);
        QCOMPARE(list.CheckedRow(), 1);
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_ROW_SELECTED, 0, 0 } }));
        QVERIFY(Act(table->child(2), QAccessibleActionInterface::pressAction()));
        QCOMPARE(list.CheckedRow(), 2);
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_ROW_SELECTED, 0, 0 } }));

        // The keyboard: the focus lands on the checked row, Up moves, Space checks.
        QVERIFY(Activate(&host));
        list.setFocus(Qt::TabFocusReason);
        QCOMPARE(list.currentIndex().row(), 2);
        QTest::keyClick(&list, Qt::Key_Up);
        QTest::keyClick(&list, Qt::Key_Up);
        QTest::keyClick(&list, Qt::Key_Space);
        QCOMPARE(list.CheckedRow(), 0);
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_ROW_SELECTED, 0, 0 } }));
        QCOMPARE(table->focusChild(), table->child(0));

        // The header's help icon is a stop of its own, just before the rows, named in the pack's words.
        list.SetTitles(QStringLiteral("IP"), QStringLiteral("MAC"));
        FocusSpot* help = list.HelpSpot();
        QVERIFY(help != nullptr && help->isVisible());
        QVERIFY(list.Header()->viewport()->rect().contains(
            list.Header()->viewport()->mapFrom(&host, help->geometry().center())));
        QCOMPARE(TabWalk(help, 1), QStringList { list.objectName() });
        QCOMPARE(Of(help)->role(), QAccessible::PushButton);
        QCOMPARE(Of(help)->text(QAccessible::Name), QStringLiteral("Where to find the MAC address"));
        help->setFocus(Qt::TabFocusReason);
        QTest::keyClick(help, Qt::Key_Space);
        std::vector<RecordedMessage> got = host.take(); // the list hands the help's request on to its page
        for (const RecordedMessage& later : host.take())
            got.push_back(later);
        QCOMPARE(got, (std::vector<RecordedMessage> { { WM_OPEN_OVERLAY, 4, 0 } }));
    }

    // Check cells ask the page as a click does, a full list greys the others, a verified row has a preview button.
    void cameraListChecksAndPreview()
    {
        RecordingHost host;
        CameraList list(&host);
        list.setGeometry(0, 0, 700, 300);
        list.show();
        for (int i = 0; i < 6; ++i) {
            list.AppendRow({ QStringLiteral("QC-%1").arg(QChar('A' + i)), QStringLiteral("10.77.0.%1").arg(30 + i) });
        }
        list.SetVerified(5, true);
        QAccessibleInterface* table = Of(&list);
        QCOMPARE(table->childCount(), 6);
        QAccessibleInterface* row = table->child(0);
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("1 QC-A 10.77.0.30"));
        QAccessibleInterface* box = row->child(0);
        QCOMPARE(box->role(), QAccessible::CheckBox);
        QCOMPARE(row->childCount(), 1);

        const intptr_t generation = static_cast<intptr_t>(list.generation() & 0x7FFFFFFF);
        QVERIFY(Act(box, QAccessibleActionInterface::toggleAction()));
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_CAMERA_CHECK_REQUEST, 0, generation } }));
        list.CheckRequestHandled();
        for (int i = 0; i < 4; ++i)
            list.CheckRow(i);
        QVERIFY(box->state().checked);
        QVERIFY(table->child(4)->child(0)->state().disabled);
        QVERIFY(!box->state().disabled);
        QVERIFY(Act(box, QAccessibleActionInterface::toggleAction())); // a checked box unchecks at once
        QVERIFY(!list.IsChecked(0));
        QVERIFY(!table->child(4)->child(0)->state().disabled);

        QAccessibleInterface* verified = table->child(5);
        QCOMPARE(verified->childCount(), 2);
        QAccessibleInterface* preview = verified->child(1);
        QCOMPARE(preview->role(), QAccessible::PushButton);
        QCOMPARE(preview->text(QAccessible::Name), QStringLiteral("Live preview"));
        QVERIFY(Act(preview, QAccessibleActionInterface::pressAction()));
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_OPEN_OVERLAY, 8, 5 } }));
        SelectLanguage(3);
        QCOMPARE(preview->text(QAccessible::Name), QStringLiteral("Vista en directo"));
        SelectLanguage(0);

        // By keyboard: Right moves to the camera icon of a row that has one (never of one without), Space there
        // asks for the preview, Left goes back to the check box, where Space asks for the check.
        QVERIFY(Activate(&host));
        list.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&list, Qt::Key_End);
        QCOMPARE(list.currentIndex().row(), 5);
        QTest::keyClick(&list, Qt::Key_Right);
        QCOMPARE(list.currentIndex().column(), int(CameraList::kIconColumn));
        QCOMPARE(table->focusChild(), preview);
        QVERIFY(preview->state().focused && !verified->state().focused);
        QTest::keyClick(&list, Qt::Key_Space);
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_OPEN_OVERLAY, 8, 5 } }));
        QTest::keyClick(&list, Qt::Key_Up); // row 4 has no icon: back on its box
        QCOMPARE(list.currentIndex().column(), int(CameraList::kCheckColumn));
        QTest::keyClick(&list, Qt::Key_Right);
        QCOMPARE(list.currentIndex().column(), int(CameraList::kCheckColumn));
        QTest::keyClick(&list, Qt::Key_Home);
        QCOMPARE(list.currentIndex().row(), 0);
        QTest::keyClick(&list, Qt::Key_Space);
        QCOMPARE(host.take(), (std::vector<RecordedMessage> { { WM_CAMERA_CHECK_REQUEST, 0, generation } }));
    }

    // The password page: Tab goes down the page and along its rows, Shift+Tab back; the entries are named by
    // their labels in the page's language, and the password never shows.
    void passwordPageTabOrderAndEntries()
    {
        SelectLanguage(2);
        RecordingHost host;
        WizardContext context { {}, {} };
        context.Probe().probeBusy.store(0);
        context.Probe().defaultLoginAccepted.store(1);
        RecorderPasswordPage page(&host, context);
        page.show();
        QVERIFY(Activate(&host));

        const QStringList order { "minimise", "close", "password", "confirm", "back", "next" };
        QCOMPARE(TabWalk(&page, 7), order + QStringList { "minimise" });
        QCOMPARE(TabWalk(&page, 3, false), (QStringList { "next", "back", "confirm" }));

        auto* password = page.findChild<PlainLineEdit*>(QStringLiteral("password"));
        QAccessibleInterface* entry = Of(password);
        QCOMPARE(entry->text(QAccessible::Name), QString::fromStdString(Text("Password", "Password")));
        QCOMPARE(entry->text(QAccessible::Name), QStringLiteral("Пароль"));
        entry->setText(QAccessible::Value, QStringLiteral("Secret123"));
        QCOMPARE(password->text(), QStringLiteral("Secret123"));
        QVERIFY(!entry->text(QAccessible::Value).contains(QStringLiteral("Secret")));
        QCOMPARE(Of(page.closeButton())->text(QAccessible::Name), QStringLiteral("Закрыть"));
        QCOMPARE(Of(page.nextButton())->text(QAccessible::Name), QString::fromStdString(Text("Next", "NEXT")));
        QCOMPARE(Of(page.indicator())->text(QAccessible::Value), QStringLiteral("Шаг 6 из 11"));
    }

    // The camera page: the list takes its place in the reading order, and Space on it asks for the row.
    void cameraPageTabOrderReachesTheList()
    {
        WizardContext context { {}, {} };
        RecordingHost host;
        const std::unique_ptr<CameraPage> settled = SettledCameraPage(&host, context);
        CameraPage& page = *settled;
        page.ShowCameraLines({ "0;10.77.0.30;00:00:00:00:00:01;Veskor;QC-A;admin;pa;;1",
            "0;10.77.0.31;00:00:00:00:00:02;Veskor;QC-B;admin;pb;;1" });
        QVERIFY(Activate(&host));

        const QStringList walk = TabWalk(&page, 7);
        const qsizetype rescan = walk.indexOf(QStringLiteral("rescan"));
        const qsizetype list = walk.indexOf(page.list()->objectName());
        QVERIFY2(
            rescan >= 0 && list > rescan && walk.indexOf(QStringLiteral("next")) > list, qPrintable(walk.join(',')));
        page.list()->setFocus(Qt::TabFocusReason);
        QCOMPARE(page.list()->currentIndex().row(), 0);
        QTest::keyClick(page.list(), Qt::Key_Down);
        QTest::keyClick(page.list(), Qt::Key_Space);
        QVERIFY(page.list()->checkRequestPending());
    }

    // The time-zone box is a combo named by its label; by keyboard Space opens the list, the arrows choose,
    // Space closes it with the focus back on the box; through the list's items a press chooses.
    void zoneBoxByKeyboardAndByItems()
    {
        RecordingHost host;
        WizardContext context { {}, {} };
        TimeZonePage page(&host, context, false);
        page.ShowZones({ "(GMT-05:00) New York", "(GMT+00:00) London", "(GMT+01:00) Paris" }, 1);
        page.show();
        QVERIFY(Activate(&host));
        RoundedFrame* box = page.zoneBox();
        QAccessibleInterface* combo = Of(box);
        QCOMPARE(combo->role(), QAccessible::ComboBox);
        QCOMPARE(combo->text(QAccessible::Name), QStringLiteral("Time zone"));
        QCOMPARE(combo->text(QAccessible::Value), QStringLiteral("(GMT-05:00) New York"));

        QVERIFY(TabWalk(&page, 3).contains(QStringLiteral("zoneBox")));
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
        ZoneListBox* list = page.zoneList();
        QVERIFY(list->isVisible() && list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(!list->isVisible());
        QVERIFY(box->hasFocus());
        QCOMPARE(combo->text(QAccessible::Value), QStringLiteral("(GMT+00:00) London"));

        QAccessibleInterface* zones = Of(list);
        QCOMPARE(zones->role(), QAccessible::List);
        QAccessibleInterface* paris = zones->child(2);
        QCOMPARE(paris->role(), QAccessible::ListItem);
        QVERIFY(Act(paris, QAccessibleActionInterface::pressAction()));
        QVERIFY(paris->state().selected);
        QCOMPARE(combo->text(QAccessible::Value), QStringLiteral("(GMT+01:00) Paris"));
    }

    // An alert is a dialog named by its text, its message a static text; Tab stays among its buttons, and the
    // focus goes back where it was once it closes.
    void overlayIsADialogThatKeepsTheKeyboard()
    {
        RecordingHost host;
        WizardContext context { {}, {} };
        context.Probe().defaultLoginAccepted.store(1);
        RecorderPasswordPage page(&host, context);
        page.show();
        QVERIFY(Activate(&host));
        auto* password = page.findChild<PlainLineEdit*>(QStringLiteral("password"));
        password->setFocus(Qt::TabFocusReason);

        QString name;
        QStringList walk;
        QAccessible::Role messageRole = QAccessible::NoRole;
        WhenShown<ErrorAlert>(this, [&](ErrorAlert* box) {
            QAccessibleInterface* dialog = Of(box);
            name = dialog->role() == QAccessible::Dialog ? dialog->text(QAccessible::Name) : QString();
            messageRole = dialog->child(dialog->childCount() - 1)->role();
            walk = TabWalk(box, 4);
            Act(Of(box->findChild<QWidget*>(QStringLiteral("closeButton"))), QAccessibleActionInterface::pressAction());
        });
        ErrorAlert box(&page, QPoint(0, 0), "Disk check failed");
        QCOMPARE(box.Run(), int(ModalLayer::IDOK));
        QCOMPARE(name, QStringLiteral("Disk check failed"));
        QCOMPARE(messageRole, QAccessible::StaticText);
        QCOMPARE(walk, (QStringList { "closeCross", "closeButton", "closeCross", "closeButton" }));
        QCOMPARE(QApplication::focusWidget(), password);
    }

    // Overlays open where the keyboard is wanted: a box with one answer on it, a choice of two on neither (a
    // stray Space chooses nothing), the terms on their text, which the keys scroll.
    void overlaysOpenOnTheirFirstControl()
    {
        RecordingHost host;
        QVERIFY(Activate(&host));
        const auto opened = [this, &host](auto make) {
            QString focused;
            WhenShown<ModalLayer>(this, [&focused](ModalLayer* box) {
                QWidget* focus = QApplication::focusWidget();
                focused = focus == box ? QStringLiteral("<box>") : focus->objectName();
                box->End(ModalLayer::IDCANCEL);
            });
            make(&host);
            return focused;
        };
        QCOMPARE(opened([](QWidget* in) { ErrorAlert(in, QPoint(0, 0), "Disk check failed").Run(); }),
            QStringLiteral("closeButton"));
        QCOMPARE(opened([](QWidget* in) { ErrorAlert(in, QPoint(0, 0), "Failed", 3).Run(); }), QStringLiteral("<box>"));

        int scrolled = -1;
        QString focused;
        WhenShown<TermsHelp>(this, [&](TermsHelp* terms) {
            focused = QApplication::focusWidget()->objectName();
            QScrollBar* bar = terms->agreement()->verticalScrollBar();
            QTest::keyClick(terms->agreement(), Qt::Key_PageDown);
            QTest::keyClick(terms->agreement(), Qt::Key_Space);
            scrolled = bar->value();
            QTest::keyClick(terms->agreement(), Qt::Key_End);
            scrolled = bar->value() == bar->maximum() ? scrolled : -1;
            terms->End(ModalLayer::IDOK);
        });
        TermsHelp terms(&host, QPoint(0, 0));
        terms.Run();
        QCOMPARE(focused, QStringLiteral("agreement"));
        QVERIFY(scrolled > 0);
    }
};

QTEST_MAIN(PagesA11yTest)
#include "pages_a11y_test.moc"
