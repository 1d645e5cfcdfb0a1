// The controls as assistive tools and the keyboard reach them: role, name, state and value through
// QAccessible, actions that do what a click does, Space, and the focus mark.

#include "UiTestSupport.h"

#include "i18n/Localization.h"
#include "ui/AccessibleControls.h"
#include "ui/MarkupText.h"
#include "ui/ErrorLine.h"
#include "ui/SmallLink.h"
#include "ui/OverlayPictureButton.h"
#include "ui/HelpLink.h"
#include "ui/PlainLineEdit.h"
#include "ui/LayeredPictureButton.h"
#include "ui/LanguageCombo.h"
#include "ui/LanguageDropDown.h"
#include "ui/TextLabel.h"
#include "ui/ProgressDots.h"
#include "ui/Messages.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

namespace {

QAccessibleInterface* Of(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (face == nullptr)
        qFatal("no accessible interface");
    return face;
}

void Do(QAccessibleInterface* face, const QString& action)
{
    QVERIFY(face->actionInterface() != nullptr);
    QVERIFY2(face->actionInterface()->actionNames().contains(action), qPrintable(action));
    face->actionInterface()->doAction(action);
}

LayeredPictureButton* MakeButton(QWidget* page, const QString& caption)
{
    auto* button = new LayeredPictureButton(page);
    button->setGeometry(20, 20, 120, 43);
    button->SetImage(0, 3094);
    button->SetImage(1, 3094);
    button->SetImage(2, 3094);
    button->SetImage(3, 3094);
    button->setText(caption);
    return button;
}

const QColor kMark(0x15, 0x6E, 0x94);

int CountNear(const QImage& image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += Near(image.pixelColor(x, y), colour, 24) ? 1 : 0;
    return count;
}

} // namespace

class AccessibleTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InstallAccessibleControls();
        SelectLanguage(0);
    }
    void cleanup() { SelectLanguage(0); }

    // A press through the interface and a mouse click end in the same clicked signals; a disabled button (or
    // one only drawn disabled) says so and presses nothing.
    void buttonPressEqualsClick()
    {
        MessagePage page;
        LayeredPictureButton* button = MakeButton(&page, QStringLiteral("NEXT   >"));
        page.show();
        QSignalSpy clicks(button, &QAbstractButton::clicked);
        QAccessibleInterface* face = Of(button);
        QCOMPARE(face->role(), QAccessible::PushButton);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("NEXT"));
        QVERIFY(face->state().focusable);
        QVERIFY(!face->state().disabled);
        Do(face, QAccessibleActionInterface::pressAction());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 2);

        button->setDisabledLook(true);
        QVERIFY(face->state().disabled);
        button->setDisabledLook(false);
        button->setEnabled(false);
        QVERIFY(face->state().disabled);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicks.count(), 2);
    }

    // Toggles are check boxes and choice-group members radio buttons: checkable, checked as latched, and the
    // toggle action posts what the click posts.
    void choiceButtonsAreChecksAndRadios()
    {
        MessagePage page;
        LayeredPictureButton* toggle = MakeButton(&page, QString());
        toggle->setChoiceMode(true);
        toggle->setNotifyToggle(true);
        LayeredPictureButton* radio = MakeButton(&page, QString());
        radio->setChoiceMode(true, true, 2);
        page.show();

        QAccessibleInterface* check = Of(toggle);
        QCOMPARE(check->role(), QAccessible::CheckBox);
        QVERIFY(check->state().checkable);
        QVERIFY(!check->state().checked);
        Do(check, QAccessibleActionInterface::toggleAction());
        QVERIFY(check->state().checked);
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(!check->state().checked);
        const std::vector<RecordedMessage> toggled { { WM_CHOICE_CHANGED, CHOICE_TOGGLED, 0 },
            { WM_CHOICE_CHANGED, CHOICE_TOGGLED, 0 } };
        QCOMPARE(page.take(), toggled);

        QAccessibleInterface* choice = Of(radio);
        QCOMPARE(choice->role(), QAccessible::RadioButton);
        Do(choice, QAccessibleActionInterface::pressAction());
        QVERIFY(choice->state().checked);
        const std::vector<RecordedMessage> chosen { { WM_CHOICE_CHANGED, 2, 0 } };
        QCOMPARE(page.take(), chosen);
    }

    // Picture buttons and links press as a click does: the same message to the page.
    void pictureButtonsAndLinksPostWhatAClickPosts()
    {
        MessagePage page;
        auto* picture = new OverlayPictureButton(&page);
        picture->setGeometry(10, 10, 26, 26);
        picture->setOverlayKind(3);
        SetAccessibleText(picture, "a11y_reset_help", "How to reset the password");
        auto* hyper = new SmallLink(&page);
        hyper->setGeometry(10, 50, 200, 20);
        hyper->SetText(QStringLiteral("Terms and Conditions"));
        hyper->MakeLink();
        auto* link = new HelpLink(&page);
        link->setGeometry(10, 80, 300, 30);
        link->SetText(QStringLiteral("Can't find your NVR?"));
        link->setOverlayKind(4);
        page.show();

        QAccessibleInterface* face = Of(picture);
        QCOMPARE(face->role(), QAccessible::PushButton);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("How to reset the password"));
        Do(face, QAccessibleActionInterface::pressAction());
        QTest::mouseClick(picture, Qt::LeftButton);
        const std::vector<RecordedMessage> overlay { { WM_OPEN_OVERLAY, 3, 0 }, { WM_OPEN_OVERLAY, 3, 0 } };
        QCOMPARE(page.take(), overlay);

        face = Of(hyper);
        QCOMPARE(face->role(), QAccessible::Link);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Terms and Conditions"));
        Do(face, QAccessibleActionInterface::pressAction());
        const std::vector<RecordedMessage> linked { { WM_LINK_CLICKED, 0, 0 } };
        QCOMPARE(page.take(), linked);

        face = Of(link);
        QCOMPARE(face->role(), QAccessible::Link);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Can't find your NVR?"));
        Do(face, QAccessibleActionInterface::pressAction());
        const std::vector<RecordedMessage> opened { { WM_OPEN_OVERLAY, 4, 0 } };
        QCOMPARE(page.take(), opened);
    }

    // Texts that carry messages are static texts named by what they show (markup left out).
    void staticTextsCarryTheirText()
    {
        MessagePage page;
        auto* label = new TextLabel(&page);
        label->SetText(QStringLiteral("Secure your NVR"));
        auto* error = new ErrorLine(&page);
        error->SetText(QStringLiteral("Error: Incorrect password."));
        auto* marked = new MarkupText(&page);
        marked->SetText(QStringLiteral("Press <br>NEXT</br> to go on."));
        for (auto [widget, text] : { std::pair<QWidget*, QString> { label, QStringLiteral("Secure your NVR") },
                 { error, QStringLiteral("Error: Incorrect password.") },
                 { marked, QStringLiteral("Press NEXT to go on.") } }) {
            QAccessibleInterface* face = Of(widget);
            QCOMPARE(face->role(), QAccessible::StaticText);
            QCOMPARE(face->text(QAccessible::Name), text);
        }
    }

    // Pack names are looked up when asked for: a language switch renames the control at once.
    void namesFollowTheLanguage()
    {
        MessagePage page;
        LayeredPictureButton* close = MakeButton(&page, QString());
        SetAccessibleText(close, "Close", "Close");
        auto* indicator = new ProgressDots(&page);
        indicator->setTotal(11);
        indicator->setFilled(6);
        QAccessibleInterface* button = Of(close);
        QAccessibleInterface* progress = Of(indicator);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Close"));
        QCOMPARE(progress->role(), QAccessible::ProgressBar);
        QCOMPARE(progress->text(QAccessible::Value), QStringLiteral("Step 6 of 11"));
        QCOMPARE(progress->valueInterface()->currentValue().toInt(), 6);
        SelectLanguage(2);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Закрыть"));
        QCOMPARE(progress->text(QAccessible::Value), QStringLiteral("Шаг 6 из 11"));
        SelectLanguage(5);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("关闭"));
    }

    // Entries are named by their label, show a password only masked, and take text as typing does (the
    // validator applies and textEdited is emitted).
    void editsAreNamedMaskedAndTypable()
    {
        MessagePage page;
        auto* label = new TextLabel(&page);
        label->SetText(QStringLiteral("Password:"));
        auto* edit = new PlainLineEdit(&page);
        edit->setGeometry(100, 10, 150, 20);
        edit->setPasswordMode(true);
        edit->setMaxLength(8);
        SetAccessibleLabel(edit, label);
        page.show();
        QSignalSpy edited(edit, &QLineEdit::textEdited);

        QAccessibleInterface* face = Of(edit);
        QCOMPARE(face->role(), QAccessible::EditableText);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Password"));
        QVERIFY(face->state().passwordEdit);
        QVERIFY(face->state().editable);
        face->setText(QAccessible::Value, QStringLiteral("secret12345"));
        QCOMPARE(edit->text(), QStringLiteral("secret12"));
        QCOMPARE(edited.count(), 1);
        const QString masked(8, QChar(PlainLineEdit::kMaskCharacter));
        QCOMPARE(face->text(QAccessible::Value), masked);
        QCOMPARE(face->textInterface()->text(0, 8), masked);
        face->editableTextInterface()->replaceText(0, 8, QStringLiteral("abc"));
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        face->editableTextInterface()->insertText(3, QStringLiteral("d"));
        QCOMPARE(edit->text(), QStringLiteral("abcd"));
        edit->setPasswordMode(false);
        QCOMPARE(face->text(QAccessible::Value), QStringLiteral("abcd"));
    }

    // The combo's value is its current item; an item's press chooses it as a click in the open list does.
    void comboItemsChooseAsAClickDoes()
    {
        MessagePage page;
        auto* combo = new LanguageCombo(&page);
        combo->setGeometry(50, 100, 200, 36);
        for (const char* name : { "English", "Português", "Русский" })
            combo->AddItem(QString::fromUtf8(name));
        SetAccessibleText(combo, "a11y_language", "Language");
        page.show();

        QAccessibleInterface* face = Of(combo);
        QCOMPARE(face->role(), QAccessible::ComboBox);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Language"));
        QCOMPARE(face->text(QAccessible::Value), QStringLiteral("English"));
        QCOMPARE(face->childCount(), 3);
        QAccessibleInterface* item = face->child(2);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("Русский"));
        QCOMPARE(face->indexOfChild(item), 2);
        QCOMPARE(item->parent(), face);
        Do(face, QAccessibleActionInterface::pressAction());
        QVERIFY(combo->list() != nullptr);
        // The open list is a list named as its combo is, though the combo never names it.
        QAccessibleInterface* list = Of(combo->list());
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Language"));
        QCOMPARE(list->childCount(), 3);
        Do(item, QAccessibleActionInterface::pressAction());
        const std::vector<RecordedMessage> chosen { { WM_LANGUAGE_SELECTED, 2, 0 } };
        QCOMPARE(page.take(), chosen);
        QCOMPARE(combo->current(), 2);
        QVERIFY(combo->list() == nullptr);
        QVERIFY(item->state().selected);
        QCOMPARE(face->text(QAccessible::Value), QStringLiteral("Русский"));
    }

    // Space on the focused control does what a click does.
    void spaceActivatesTheFocusedControl()
    {
        MessagePage page;
        LayeredPictureButton* button = MakeButton(&page, QStringLiteral("OK"));
        LayeredPictureButton* toggle = MakeButton(&page, QString());
        toggle->move(20, 80);
        toggle->setChoiceMode(true);
        auto* picture = new OverlayPictureButton(&page);
        picture->setGeometry(200, 10, 26, 26);
        picture->setOverlayKind(5);
        page.show();
        QSignalSpy clicks(button, &QAbstractButton::clicked);

        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(clicks.count(), 1);
        toggle->setFocus(Qt::TabFocusReason);
        QTest::keyClick(toggle, Qt::Key_Space);
        QVERIFY(toggle->latched());
        picture->setFocus(Qt::TabFocusReason);
        QTest::keyClick(picture, Qt::Key_Space);
        const std::vector<RecordedMessage> overlay { { WM_OPEN_OVERLAY, 5, 0 } };
        QCOMPARE(page.take(), overlay);
    }

    // A control the keyboard is on draws a mark; the same control without the focus does not.
    void focusedControlsDrawTheMark()
    {
        MessagePage page;
        LayeredPictureButton* button = MakeButton(&page, QStringLiteral("NEXT"));
        auto* picture = new OverlayPictureButton(&page);
        picture->setGeometry(200, 10, 26, 26);
        picture->setOverlayKind(3);
        auto* link = new SmallLink(&page);
        link->setGeometry(10, 100, 200, 20);
        link->SetText(QStringLiteral("Terms"));
        link->MakeLink();
        page.show();
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        for (QWidget* control : std::initializer_list<QWidget*> { button, picture, link }) {
            page.setFocus();
            const QImage plain = control->grab().toImage();
            control->setFocus(Qt::TabFocusReason);
            QVERIFY(control->hasFocus());
            const QImage marked = control->grab().toImage();
            QVERIFY2(plain != marked, control->metaObject()->className());
            // The mark is a deep blue ring: a line of it at least as long as the control is high.
            QVERIFY2(CountNear(marked, kMark) >= control->height() && CountNear(plain, kMark) == 0,
                control->metaObject()->className());
        }
    }
};

QTEST_MAIN(AccessibleTest)
#include "ui_accessible_test.moc"
