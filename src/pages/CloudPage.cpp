#include "pages/CloudPage.h"

#include "device/PortalForms.h"
#include "device/PortalHosts.h"
#include "discovery/SearchDevice.h"
#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "pages/PortalRefusal.h"
#include "session/WizardContext.h"
#include "ui/AccessibleControls.h"
#include "ui/DeviceText.h"
#include "ui/WrappedText.h"
#include "ui/ErrorLine.h"
#include "ui/SmallLink.h"
#include "ui/PictureBox.h"
#include "ui/PlainLineEdit.h"
#include "ui/FilledLayeredPictureButton.h"
#include "ui/TextLabel.h"
#include "ui/RoundedFrame.h"
#include "ui/Messages.h"
#include "ui/WindowMessage.h"
#include "platform/ProgramVersion.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kLeft = 80;
constexpr int kContentWidth = 700;
constexpr int kBottom = 502; // above the footer band with NEXT and BACK
constexpr int kHostLineHeight = 18;
constexpr int kMessageBottom = kBottom - kHostLineHeight - 4; // the portal host line below the message
constexpr int kTextSize = 13;
constexpr int kCodeHeight = 18; // the line of the portal's code under the message
constexpr Argb kTextColour = 0xFF484848u;
constexpr Argb kMessageColour = 0xFFC62F35u;
constexpr int kRowPitch = 38;
constexpr int kRowHeight = 30;
constexpr int kMarkerSize = 20;

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

QString Looked(const char* key, const char* fallback)
{
    return FromUtf8(Text(key, fallback));
}

QString ErrorText(const char* key, const char* fallback)
{
    return Looked("Error", "Error") + QStringLiteral(": ") + Looked(key, fallback);
}

} // namespace

CloudPage::CloudPage(QWidget* host, WizardContext& wizardContext)
    : WizardPage(host, 11, 3001)
    , context(wizardContext)
    , chain(std::make_unique<CloudStep>(wizardContext.Client()))
{
    SetTitle(Looked("veskor_01", "Quelmo Service"));
    ShowNavButtons(true, true);

    const CloudPortalInfo& portal = context.Portal();
    recorder.portalHost = portal.portal_url;
    recorder.portalNumber = portal.portal_number;
    recorder.portalDfp = portal.portal_dfp;
    recorder.wizardVersion = std::string("HXT-914Q_") + kProgramVersion;
    const WizardSession& session = context.Session();
    recorder.nvrIp = session.NvrIp();
    recorder.nvrUser = session.NvrUser().empty() ? std::string("admin") : session.NvrUser();
    recorder.nvrPassword = session.NvrPassword();
    const SearchDevice& search = context.DiscoveryEngine();
    recorder.nvrWebPort = search.WebPort(search.FindByMac(session.NvrMac())); // 0 (port 80) when not found

    const bool chinese = ChineseText();
    intro = new WrappedText(this);
    intro->setObjectName(QStringLiteral("intro"));
    intro->SetFont(kTextSize, kTextColour);
    intro->setLineHeight(19);
    intro->setCharWrap(chinese);
    intro->setGeometry(kLeft, 118, kContentWidth, 20);
    intro->SetText(Looked("veskor_05",
        "Sign up for a Quelmo account and access your NVR remotely from wherever you are. View live video of "
        "connected cameras or access recorded video clips using an internet-connected PC, smartphone, or tablet."));
    intro->resize(kContentWidth, intro->MeasureHeight());

    static const char* const choiceNames[3] = { "signInChoice", "signUpChoice", "declineChoice" };
    const QString choiceTextValues[3] = {
        Looked("veskor_02", "I already have a Quelmo accoount."),
        Looked("veskor_03", "I want to sign up for a new account."),
        Looked("veskor_04",
            "I don't want to use Quelmo service.(You will not be able to access your NVR remotely if you choose this "
            "option)."),
    };
    int y = intro->geometry().bottom() + 14;
    for (int i = 0; i < 3; ++i) {
        auto* button = new FilledLayeredPictureButton(this);
        button->setObjectName(QString::fromLatin1(choiceNames[i]));
        button->SetImage(0, 4082);
        button->SetImage(1, 4082);
        button->SetImage(2, 4013);
        button->SetImage(3, 4014);
        button->setChoiceMode(true, true, i + 1);
        button->setGeometry(kLeft, y, 22, 22);
        choices[static_cast<size_t>(i)] = button;
        if (i < 2) {
            const int id = i == 0 ? kIdSignInChoice : kIdSignUpChoice;
            connect(button, &QAbstractButton::clicked, this, [this, id] { PostWindowMessage(this, WM_COMMAND, id); });
        }

        auto* text = new WrappedText(this);
        text->setObjectName(QString::fromLatin1(choiceNames[i]) + QStringLiteral("Text"));
        text->SetFont(kTextSize, kTextColour);
        text->setLineHeight(19);
        text->setCharWrap(chinese);
        text->setGeometry(kLeft + 32, y + 2, kContentWidth - 32, 20);
        text->SetText(choiceTextValues[i]);
        text->resize(kContentWidth - 32, text->MeasureHeight());
        text->setCursor(Qt::PointingHandCursor);
        text->installEventFilter(this);
        choiceTexts[static_cast<size_t>(i)] = text;
        SetAccessibleLabel(button, text);
        y += std::max(26, text->height() + 6);
    }
    rowsTop = y + 10;

    buildRow(EmailRow, "email", Looked("E-mail", "Email"), false);
    buildRow(PasswordRow, "password", Looked("Password", "Password"), true);
    buildRow(ConfirmRow, "confirm", Looked("Confirm Password", "Confirm Password"), true);
    buildRow(FirstNameRow, "firstName", Looked("First Name", "First Name"), false);
    buildRow(LastNameRow, "lastName", Looked("Last Name", "Last Name"), false);
    connect(rows[EmailRow].edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        // A marked address that has become valid loses its marker at once.
        if (emailMarker && IsValidEmailAddress(Utf8(text))) {
            emailMarker = false;
            layOut();
        }
    });

    termsBox = new FilledLayeredPictureButton(this);
    termsBox->setObjectName(QStringLiteral("termsBox"));
    termsBox->SetImage(0, 4009);
    termsBox->SetImage(1, 4009);
    termsBox->SetImage(2, 4010);
    termsBox->SetImage(3, 4009);
    termsBox->setChoiceMode(true, false);
    termsBox->setNotifyToggle(true);

    termsLink = new SmallLink(this);
    termsLink->setObjectName(QStringLiteral("termsLink"));
    termsLink->SetStyle();
    termsLink->SetText(Looked("veskor_11", "Terms and Conditions"));
    SetAccessibleLabel(termsBox, termsLink);

    message = new ErrorLine(this);
    message->setObjectName(QStringLiteral("message"));
    message->setIndent(6, 2);
    message->setBox(true, 0xFFFDECECu, 4);
    message->setCharWrap(chinese);
    message->hide();
    answerCode = new TextLabel(this);
    answerCode->setObjectName(QStringLiteral("answerCode"));
    answerCode->SetFont(11, MakeRgb(128, 128, 128), false);
    answerCode->hide();

    // Where the account would go, always named: the recorder chooses the portal host.
    portalHostLine = new TextLabel(this);
    portalHostLine->setObjectName(QStringLiteral("portalHost"));
    portalHostLine->SetFont(12, MakeRgb(110, 110, 110), false);
    const QString hostName = ShownDeviceText(recorder.portalHost);
    const QFontMetrics hostMetrics(portalHostLine->DrawingFont());
    portalHostLine->SetText(hostName.isEmpty() ? QString()
                                               : hostMetrics.elidedText(FromUtf8(Text("veskor_host_04", "Quelmo portal: {0}",
                                                                            Utf8(hostName))),
                                                   Qt::ElideMiddle, kContentWidth));
    portalHostLine->setGeometry(kLeft, kBottom - kHostLineHeight, kContentWidth, kHostLineHeight);
    portalHostLine->setVisible(!hostName.isEmpty());

    setMode(SignIn);
}

CloudPage::~CloudPage()
{
    leaving = true;
    chain->Stop();
}

void CloudPage::buildRow(RowIndex index, const char* name, const QString& label, bool password)
{
    Row& row = rows[index];
    row.label = new TextLabel(this);
    row.label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    row.label->SetFont(kTextSize, MakeRgb(72, 72, 72), false);
    row.label->SetText(label);

    row.frame = new RoundedFrame(this);
    row.frame->setObjectName(QString::fromLatin1(name) + QStringLiteral("Frame"));
    row.frame->setFill(0xFFFFFFFFu);
    row.frame->setBorder(0xFFCFCFCFu, 1);
    row.frame->setRadius(4);

    row.edit = new PlainLineEdit(row.frame);
    row.edit->setObjectName(QString::fromLatin1(name) + QStringLiteral("Edit"));
    row.edit->SetFont(14);
    row.edit->setPasswordMode(password);
    row.edit->installEventFilter(this);
    SetAccessibleLabel(row.edit, row.label);

    row.marker = new PictureBox(this);
    row.marker->setObjectName(QString::fromLatin1(name) + QStringLiteral("Marker"));
    row.marker->SetImage(3064);
    row.marker->hide();
}

void CloudPage::placeRow(RowIndex index, int x, int y, int labelWidth, int editWidth)
{
    Row& row = rows[index];
    row.label->setGeometry(x, y + 7, labelWidth, 20);
    row.frame->setGeometry(x + labelWidth, y, editWidth, kRowHeight);
    row.edit->setGeometry(8, 3, editWidth - 16, kRowHeight - 6);
    row.marker->setGeometry(
        x + labelWidth + editWidth + 8, y + (kRowHeight - kMarkerSize) / 2, kMarkerSize, kMarkerSize);
}

void CloudPage::layOut()
{
    layingOut = true;
    for (size_t i = 0; i < choices.size(); ++i)
        choices[i]->setLatched(static_cast<int>(i) + 1 == currentMode);

    const bool input = currentMode != Decline;
    const bool signUp = currentMode == SignUp;
    const QFontMetrics metrics(rows[EmailRow].label->DrawingFont());
    auto labelWidth = [&](std::initializer_list<RowIndex> indices) {
        int widest = 0;
        for (RowIndex i : indices)
            widest = std::max(widest, metrics.horizontalAdvance(rows[i].label->text()));
        return widest + 14;
    };

    // Sign-in: e-mail and password across the page. Sign-up: the account on the left, the names on the right.
    int bottom = rowsTop;
    if (signUp) {
        const int leftLabel = labelWidth({ EmailRow, PasswordRow, ConfirmRow });
        const int rightLabel = labelWidth({ FirstNameRow, LastNameRow });
        const int leftEdit = 232;
        const int rightX = kLeft + leftLabel + leftEdit + kMarkerSize + 24;
        const int rightEdit = kLeft + kContentWidth - rightX - rightLabel;
        for (RowIndex i : { EmailRow, PasswordRow, ConfirmRow })
            placeRow(i, kLeft, rowsTop + i * kRowPitch, leftLabel, leftEdit);
        placeRow(FirstNameRow, rightX, rowsTop, rightLabel, rightEdit);
        placeRow(LastNameRow, rightX, rowsTop + kRowPitch, rightLabel, rightEdit);
        // The terms under the names, beside the confirmation.
        const int termsY = rowsTop + 2 * kRowPitch + (kRowHeight - 25) / 2;
        termsBox->setGeometry(rightX, termsY, 30, 25);
        const int linkWidth = QFontMetrics(termsLink->DrawingFont()).horizontalAdvance(termsLink->text()) + 4;
        termsLink->setGeometry(rightX + 38, termsY + 4, std::min(linkWidth, kLeft + kContentWidth - rightX - 38), 20);
        termsLink->MakeLink();
        bottom = rowsTop + 2 * kRowPitch + kRowHeight;
    } else if (input) {
        const int label = labelWidth({ EmailRow, PasswordRow });
        for (RowIndex i : { EmailRow, PasswordRow })
            placeRow(i, kLeft, rowsTop + i * kRowPitch, label, 320);
        bottom = rowsTop + kRowPitch + kRowHeight;
    }
    for (int i = 0; i < RowCount; ++i) {
        const bool shown = i <= PasswordRow ? input : signUp;
        Row& row = rows[static_cast<size_t>(i)];
        row.label->setVisible(shown);
        row.frame->setVisible(shown);
    }
    termsBox->setVisible(signUp);
    termsLink->setVisible(signUp);
    rows[EmailRow].marker->setVisible(input && emailMarker);
    rows[PasswordRow].marker->setVisible(input && passwordMarker);
    rows[ConfirmRow].marker->setVisible(signUp && passwordMarker);
    rows[FirstNameRow].marker->hide();
    rows[LastNameRow].marker->hide();

    // The message area under the rows, as many lines as the text needs, never over the buttons.
    message->SetText(shownMessage);
    // A text too long for the room left is set smaller, down to 10 pixels, before it is cut. The portal's code, when
    // shown, takes a small line under it.
    const bool codeShown = !shownMessage.isEmpty() && !shownCode.isEmpty();
    const int messageBottom = codeShown ? kMessageBottom - kCodeHeight : kMessageBottom;
    const int top = bottom + 14;
    int height = 0;
    for (int size = kTextSize; size >= 10; --size) {
        message->SetFont(size, kMessageColour);
        message->setLineHeight(size + 6);
        message->setGeometry(kLeft, top, kContentWidth, 20);
        height = message->MeasureHeight() + 2 * 6 + 6;
        if (top + height <= messageBottom)
            break;
    }
    message->setGeometry(kLeft, top, kContentWidth, std::min(height, messageBottom - top));
    message->setVisible(!shownMessage.isEmpty());
    answerCode->SetText(shownCode);
    answerCode->setGeometry(kLeft + 2, message->geometry().bottom() + 2, kContentWidth - 2, kCodeHeight - 2);
    answerCode->setVisible(codeShown);

    updateNext();
    layingOut = false;
}

void CloudPage::setMode(int mode)
{
    currentMode = mode;
    layOut();
}

void CloudPage::updateNext()
{
    const bool enabled = currentMode != SignUp || terms;
    nextButton()->setEnabled(enabled);
    nextButton()->setDisabledLook(!enabled);
}

void CloudPage::clearInputs()
{
    layingOut = true; // clearing is not leaving an edit
    for (RowIndex i : { EmailRow, PasswordRow, ConfirmRow })
        rows[i].edit->clear();
    layingOut = false;
    emailMarker = false;
    passwordMarker = false;
    checkMessage.clear();
}

void CloudPage::showMessage(const QString& text, const QString& code)
{
    shownMessage = text;
    shownCode = code;
    layOut();
}

bool CloudPage::CheckEmail()
{
    const QString invalid = ErrorText("veskor_07", "Invalid email address!");
    if (IsValidEmailAddress(Utf8(rows[EmailRow].edit->text()))) {
        emailMarker = false;
        showMessage(shownMessage == invalid && checkMessage == invalid ? QString() : shownMessage);
        return true;
    }
    emailMarker = true;
    checkMessage = invalid;
    showMessage(invalid);
    return false;
}

bool CloudPage::CheckPasswords()
{
    // Exact and case-sensitive: an empty confirmation differs from any password that is not empty.
    const QString mismatch = ErrorText("veskor_08", "The passwords doesn't match!");
    if (rows[PasswordRow].edit->text() == rows[ConfirmRow].edit->text()) {
        passwordMarker = false;
        showMessage(shownMessage == mismatch && checkMessage == mismatch ? QString() : shownMessage);
        return true;
    }
    passwordMarker = true;
    checkMessage = mismatch;
    showMessage(mismatch);
    return false;
}

void CloudPage::choose(int choice)
{
    // A click on a choice's text does what a click on its button does.
    FilledLayeredPictureButton* button = choices[static_cast<size_t>(choice - 1)];
    if (!button->latched()) {
        button->setLatched(true);
        PostWindowMessage(this, WM_CHOICE_CHANGED, choice);
    }
    if (choice < 3)
        PostWindowMessage(this, WM_COMMAND, choice == 1 ? kIdSignInChoice : kIdSignUpChoice);
}

void CloudPage::onMessage(int msg, intptr_t wParam, intptr_t lParam)
{
    switch (msg) {
    case WM_CHOICE_CHANGED:
        if (wParam >= SignIn && wParam <= Decline) {
            signInText.clear();
            signUpText.clear();
            clearInputs();
            shownMessage.clear();
            setMode(static_cast<int>(wParam));
        } else if (wParam == CHOICE_TOGGLED) {
            terms = termsBox->latched();
            updateNext();
        }
        return;
    case WM_LINK_CLICKED:
        OpenOverlay(Dimmer::KindTerms);
        return;
    case WM_COMMAND:
        if (wParam == kIdSignInChoice || wParam == kIdSignUpChoice) {
            signInText.clear();
            signUpText.clear();
            clearInputs();
            showMessage(QString());
        }
        return;
    default:
        WizardPage::onMessage(msg, wParam, lParam);
    }
}

bool CloudPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (size_t i = 0; i < choiceTexts.size(); ++i) {
            if (watched == choiceTexts[i]) {
                choose(static_cast<int>(i) + 1);
                return true;
            }
        }
    }
    if (event->type() == QEvent::FocusOut && !layingOut && !leaving) {
        // Leaving an edit runs its check; the window losing the focus is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* edit = qobject_cast<PlainLineEdit*>(watched);
        if (edit != nullptr && edit->isVisible() && reason != Qt::ActiveWindowFocusReason
            && reason != Qt::PopupFocusReason) {
            if (edit == rows[EmailRow].edit)
                CheckEmail();
            else if (currentMode == SignUp && (edit == rows[PasswordRow].edit || edit == rows[ConfirmRow].edit))
                CheckPasswords();
        }
    }
    return WizardPage::eventFilter(watched, event);
}

void CloudPage::OnNext()
{
    if (chainBusy()) {
        waitForChain(); // a chain runs: only the waiting box again
        return;
    }
    switch (currentMode) {
    case Decline:
        context.Portal().access.clear();
        PostToHost(WM_WIZARD_NAV, NAV_NEXT);
        return;
    case SignIn:
        if (CheckEmail() && portalHostAgreed())
            startChain(CloudStep::Kind::SignIn);
        return;
    case SignUp:
        if (terms && CheckEmail() && CheckPasswords() && portalHostAgreed())
            startChain(CloudStep::Kind::SignUp);
        return;
    default:
        return;
    }
}

QString CloudPage::portalHostText() const
{
    return portalHostLine->isVisibleTo(this) ? portalHostLine->text() : QString();
}

bool CloudPage::portalHostAgreed()
{
    if (portalHostAccepted || !IsPortalHostName(recorder.portalHost) || IsMakerPortalHost(recorder.portalHost))
        return true;
    QPointer<CloudPage> alive(this);
    OverlayValues question;
    question.text = recorder.portalHost;
    const int answer = OpenOverlay(Dimmer::KindPortalHost, question);
    if (!alive || leaving)
        return false;
    portalHostAccepted = answer == ModalLayer::IDOK;
    return portalHostAccepted;
}

void CloudPage::startChain(CloudStep::Kind kind)
{
    CloudStep::Inputs in = recorder;
    in.email = Utf8(rows[EmailRow].edit->text());
    in.password = Utf8(rows[PasswordRow].edit->text());
    if (kind == CloudStep::Kind::SignUp) {
        in.passwordVerify = Utf8(rows[ConfirmRow].edit->text());
        in.nameFirst = Utf8(rows[FirstNameRow].edit->text());
        in.nameLast = Utf8(rows[LastNameRow].edit->text());
    }
    signInText.clear();
    signUpText.clear();
    showMessage(QString());
    chainEmail = in.email;
    chainPassword = in.password;
    if (chain->StartAccount(kind, std::move(in)))
        waitForChain();
}

void CloudPage::waitForChain()
{
    // The box stays as long as the chain runs, however long its requests take.
    QPointer<CloudPage> alive(this);
    while (chain->Busy().load() != 0) {
        WaitingBox box(this, &chain->Busy(), kWaitTicks);
        const int result = box.DoModal();
        if (!alive || leaving)
            return;
        // A box that ended neither because the chain did nor at its tick limit was ended from outside: the wizard
        // is closing, and the host stops the chain in Leave.
        if (result != ModalLayer::IDOK || (chain->Busy().load() != 0 && box.ticks() < box.tickLimit()))
            return;
    }
    ShowOutcome(chain->ChainResult());
}

void CloudPage::ShowOutcome(const CloudStep::Outcome& outcome)
{
    if (outcome.success) {
        context.Session().SetCloudAccount(chainEmail, chainPassword);
        context.Session().cloudNumber = recorder.portalNumber; // the chain bound the recorder under this number
        PostToHost(WM_WIZARD_NAV, NAV_NEXT);
        return;
    }
    (currentMode == SignUp ? signUpText : signInText) = outcome.answer;
    if (!outcome.answer.empty()) {
        emailMarker = AnswerMarksEmail(signInText) || AnswerMarksEmail(signUpText);
        passwordMarker = AnswerMarksPassword(signInText) || AnswerMarksPassword(signUpText);
    }
    // A known refusal in the user's language with what to do next, its code in small text; any other answer in the
    // portal's own words, as plain text.
    const std::string& answer = currentMode == SignUp ? signUpText : signInText;
    if (const std::optional<PortalRefusal> known = KnownPortalRefusal(answer))
        showMessage(FromUtf8(known->text), FromUtf8(known->code));
    else
        showMessage(answer.empty() ? QString() : ShownDeviceText(PortalAnswerAsPlainText(answer)));
    if (outcome.networkFailure) {
        // Why, and RETRY: the account is tried again as NEXT would.
        QPointer<CloudPage> alive(this);
        Dimmer dimmer(this, Dimmer::KindError);
        dimmer.values.text = PortalFailureText(outcome.failure);
        dimmer.values.retryResult = kRetryResult;
        dimmer.DoModal();
        if (alive && !leaving && dimmer.overlayResult() == kRetryResult)
            QTimer::singleShot(0, this, [this] {
                if (!leaving)
                    OnNext();
            });
    }
}

void CloudPage::Leave()
{
    leaving = true;
    chain->Stop();
}
