#include "pages/RecorderPasswordPage.h"

#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "overlays/Dimmer.h"
#include "overlays/WaitingBox.h"
#include "pages/NetworkFailure.h"
#include "pages/PasswordRule.h"
#include "platform/WaitTimeline.h"
#include "session/WizardContext.h"
#include "ui/AccessibleControls.h"
#include "ui/ErrorLine.h"
#include "ui/PictureBox.h"
#include "ui/OverlayPictureButton.h"
#include "ui/PlainLineEdit.h"
#include "ui/TextLabel.h"
#include "ui/RoundedFrame.h"
#include "ui/SmallLink.h"
#include "ui/Drawing.h"
#include "ui/Messages.h"

#include <QFocusEvent>
#include <QPointer>
#include <QTimerEvent>
#include <QValidator>

namespace {

constexpr Argb kGrey = 0xFFC0C0C0u;
constexpr Argb kRed = 0xFFFF0000u;
constexpr Rgb kLabelColour = MakeRgb(72, 72, 72);

QString Qt8(const std::string& text)
{
    return FromUtf8(text);
}

// A password is one line: line breaks that come with pasted text are dropped.
class OneLineValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override
    {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            const QChar c = input.at(i);
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x2028) || c == QChar(0x2029)) {
                input.remove(i, 1);
                if (i < position)
                    --position;
            }
        }
        return Acceptable;
    }
};

QString ErrorPrefixed(const std::string& message)
{
    return Qt8(Text("Error", "Error")) + QStringLiteral(": ") + Qt8(message);
}

QString RuleError()
{
    return ErrorPrefixed(Text("nvrpwd_04", "Must be 6-31 characters, case-sensitive, no spaces."));
}

QString MismatchError()
{
    return ErrorPrefixed(Text("nvrpwd_03", "The password don't match. Please try again."));
}

QString LoginError()
{
    return ErrorPrefixed(Text("nvrpwd_07", "Incorrect password. Please try again."));
}

void Place(QWidget* widget, int x, int y, int w, int h)
{
    widget->setGeometry(x, y, w, h);
}

} // namespace

RecorderPasswordPage::RecorderPasswordPage(QWidget* host, WizardContext& wizardContext)
    : WizardPage(host, 7, 3001)
    , context(wizardContext)
    , request(std::make_unique<AdminPasswordStep>(wizardContext.DiscoveryEngine(), wizardContext.Client()))
{
    SetTitle(Qt8(Text("nvrpwd_01", "Secure your NVR")));
    ShowNavButtons(true, true);
    const WizardSession& session = context.Session();
    nvrIp = session.NvrIp();
    nvrMac = session.NvrMac();
    nvrUser = session.NvrUser();

    subtitle = new TextLabel(this);
    subtitle->setObjectName(QStringLiteral("subtitle"));
    subtitle->SetFont(14, MakeRgb(99, 101, 102), false);
    Place(subtitle, 77, 122, 700, 40);

    auto makeLabel = [this](const char* name, const QString& text) {
        auto* label = new TextLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->SetFont(15, kLabelColour, false);
        label->setRightAlign(true);
        label->SetText(text);
        return label;
    };
    auto makeFrame = [this](const char* name) {
        auto* frame = new RoundedFrame(this);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setBorder(kGrey);
        frame->setRadius(4);
        return frame;
    };

    userLabel = makeLabel("userLabel", Qt8(Text("Admin", "Admin")));
    userBox = makeFrame("userBox");
    userEntry = new PlainLineEdit(userBox);
    userEntry->setObjectName(QStringLiteral("user"));
    userEntry->SetFont(14);
    userEntry->setText(QStringLiteral("admin"));
    userEntry->setEnabled(false);
    SetAccessibleLabel(userEntry, userLabel);

    passwordLabel = makeLabel("passwordLabel", Qt8(Text("Password", "Password")));
    passwordFrame = makeFrame("passwordFrame");
    password = makeEntry("password");
    passwordFrame->setFramedControl(password);
    SetAccessibleLabel(password, passwordLabel);

    ruleHint = new TextLabel(this);
    ruleHint->setObjectName(QStringLiteral("ruleHint"));
    ruleHint->SetFont(13, MakeRgb(120, 120, 120), false);
    ruleHint->SetText(Qt8(Text("nvrpwd_09", "6-31 characters, case-sensitive, no spaces")));
    Place(ruleHint, 350, 283, 450, 20);

    strength = new TextLabel(this);
    strength->setObjectName(QStringLiteral("strength"));
    strength->SetFont(13, kLabelColour, false);
    strength->setToolTip(
        Qt8(Text("nvrpwd_13", "Use 10 or more characters and mix upper-case letters, lower-case letters and digits.")));
    Place(strength, 604, 256, 196, 20);

    confirmLabel = makeLabel("confirmLabel", Qt8(Text("Confirm Password", "Confirm Password")));
    confirmFrame = makeFrame("confirmFrame");
    confirm = makeEntry("confirm");
    confirmFrame->setFramedControl(confirm);
    SetAccessibleLabel(confirm, confirmLabel);

    passwordErrorIcon = new PictureBox(this);
    passwordErrorIcon->setObjectName(QStringLiteral("passwordErrorIcon"));
    passwordErrorIcon->SetImage(3064);
    confirmErrorIcon = new PictureBox(this);
    confirmErrorIcon->setObjectName(QStringLiteral("confirmErrorIcon"));
    confirmErrorIcon->SetImage(3064);
    Place(confirmErrorIcon, 572, 320, 26, 26);

    resetHelpButton = new OverlayPictureButton(this);
    resetHelpButton->setObjectName(QStringLiteral("resetHelpButton"));
    resetHelpButton->SetImage(4084);
    resetHelpButton->setOverlayKind(Dimmer::KindReset);
    SetAccessibleText(resetHelpButton, "a11y_reset_help", "How to reset the password");
    Place(resetHelpButton, 536, 320, 26, 26);

    errorLine = new ErrorLine(this);
    errorLine->setObjectName(QStringLiteral("errorLine"));
    errorLine->SetFont(13, kRed);
    errorLine->setCharWrap(ChineseText());
    Place(errorLine, 350, 379, 778 - 350, 44);

    // After an unanswered default login the page cannot tell a new NVR from one with a password: this link switches
    // between creating a password and logging in with the existing one.
    modeSwitch = new SmallLink(this);
    modeSwitch->setObjectName(QStringLiteral("modeSwitch"));
    modeSwitch->SetStyle();
    Place(modeSwitch, 350, 428, 778 - 350, 22);
    modeSwitch->hide();

    // Nothing of the form shows until the mode is known.
    for (QWidget* widget :
        std::initializer_list<QWidget*> { userLabel, userBox, passwordLabel, passwordFrame, password, ruleHint,
            strength, confirmLabel, confirmFrame, confirm, passwordErrorIcon, confirmErrorIcon, resetHelpButton, errorLine })
        widget->hide();

    connect(password, &QLineEdit::textChanged, this, [this] { passwordChanged(); });
    connect(confirm, &QLineEdit::textChanged, this, [this] { confirmChanged(); });

    DefaultLoginProbe& probe = context.Probe();
    if (probe.probeBusy.load() != 0) {
        probeWaitStart.start(kProbeWaitStartMs, this);
        WaitTimeline::Note("probe wait start", kProbeWaitStartMs);
    } else {
        newRecorder = probe.defaultLoginAccepted.load() != 0;
        loginModeOn = probe.defaultLoginRefused.load() != 0;
        context.Session().SetNvrUser("admin");
        applyMode();
    }
}

RecorderPasswordPage::~RecorderPasswordPage()
{
    Leave();
}

PlainLineEdit* RecorderPasswordPage::makeEntry(const char* name)
{
    auto* entry = new PlainLineEdit(this);
    entry->setObjectName(QString::fromLatin1(name));
    entry->SetFont(14);
    entry->setPasswordMode(true);
    // No input method composes into a password, and no menu offers texts in another language than the pack's.
    entry->setAttribute(Qt::WA_InputMethodEnabled, false);
    entry->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    entry->setContextMenuPolicy(Qt::NoContextMenu);
    entry->setValidator(new OneLineValidator(entry));
    entry->installEventFilter(this);
    return entry;
}

void RecorderPasswordPage::Leave()
{
    left = true;
    probeWaitStart.stop();
    probeWaitStep.stop();
    probeWaitRunning = false;
    joinRequest();
    waiting.store(0); // a waiting box still up ends at its next tick
}

void RecorderPasswordPage::joinRequest()
{
    request->Stop();
    requestPending = false;
}

void RecorderPasswordPage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == probeWaitStart.timerId()) {
        probeWaitStart.stop();
        waitForProbe();
    } else if (event->timerId() == probeWaitStep.timerId()) {
        probeWaitTick();
    } else {
        WizardPage::timerEvent(event);
    }
}

void RecorderPasswordPage::waitForProbe()
{
    waiting.store(1);
    probeWaitRunning = true;
    probeWaitSteps = 0;
    probeWaitStep.start(kProbeWaitStepMs, this);
    WaitTimeline::Note("probe wait period", kProbeWaitStepMs);
    QPointer<RecorderPasswordPage> alive(this);
    WaitingBox box(this, &waiting, kWaitingTicks);
    box.DoModal();
    if (!alive || left)
        return;
    if (probeWaitRunning) {
        // The box gave up first: the flags are read as they are now.
        probeWaitSteps = kProbeWaitSteps;
        probeWaitTick();
    }
    context.Session().SetNvrUser("admin");
    applyMode();
    if (probeFailedPending) {
        probeFailedPending = false;
        showProbeFailed();
    }
}

void RecorderPasswordPage::probeWaitTick()
{
    const DefaultLoginProbe& probe = context.Probe();
    if (probeWaitRunning && probe.probeBusy.load() != 0 && probeWaitSteps < kProbeWaitSteps) {
        ++probeWaitSteps;
        WaitTimeline::Note("probe wait period", kProbeWaitStepMs);
        return;
    }
    probeWaitStep.stop();
    newRecorder = probe.defaultLoginAccepted.load() != 0;
    loginModeOn = probe.defaultLoginRefused.load() != 0;
    probeWaitRunning = false;
    waiting.store(0);
}

void RecorderPasswordPage::applyMode()
{
    modeKnown = true;
    const bool create = unanswered ? !loginModeOn : newRecorder;
    subtitle->SetText(create ? Qt8(Text("nvrpwd_02", "Create and confirm a password for your device"))
                             : Qt8(Text("nvrpwd_08", "Please enter the password for your device.")));
    modeSwitch->SetText(loginModeOn
            ? Qt8(Text("nvrpwd_switch_create", "This NVR has no password yet? Create one instead."))
            : Qt8(Text("nvrpwd_switch_login", "This NVR already has a password? Log in with it.")));
    modeSwitch->MakeLink();
    modeSwitch->setVisible(unanswered);
    if (loginModeOn) {
        Place(userLabel, 10, 280, 325, 32);
        Place(userBox, 350, 272, 220, 32);
        Place(userEntry, 3, 3, 210, 26);
        Place(passwordLabel, 10, 324, 325, 32);
        Place(passwordFrame, 350, 316, 221, 32);
        Place(password, 360, 325, 176, 16);
        Place(passwordErrorIcon, 572, 320, 26, 26);
        for (QWidget* widget :
            std::initializer_list<QWidget*> { userLabel, userBox, passwordLabel, passwordFrame, password, resetHelpButton })
            widget->show();
        for (QWidget* widget :
            std::initializer_list<QWidget*> { ruleHint, strength, confirmLabel, confirmFrame, confirm })
            widget->hide();
    } else {
        Place(passwordLabel, 10, 255, 325, 32);
        Place(passwordFrame, 350, 247, 214, 32);
        Place(password, 360, 254, 200, 23);
        Place(passwordErrorIcon, 572, 251, 26, 26);
        Place(confirmLabel, 10, 324, 325, 32);
        Place(confirmFrame, 350, 316, 214, 32);
        Place(confirm, 363, 325, 200, 20);
        for (QWidget* widget : std::initializer_list<QWidget*> {
                 passwordLabel, passwordFrame, password, ruleHint, confirmLabel, confirmFrame, confirm })
            widget->show();
        for (QWidget* widget : std::initializer_list<QWidget*> { userLabel, userBox, resetHelpButton })
            widget->hide();
    }
    // The entries lie over their frames.
    password->raise();
    confirm->raise();
    resetHelpButton->raise();
    applyLayout();
    password->setFocus(Qt::OtherFocusReason);
}

void RecorderPasswordPage::switchMode()
{
    if (!modeKnown || !unanswered || requestPending || left)
        return;
    loginModeOn = !loginModeOn;
    newRecorder = !loginModeOn;
    password->clear();
    confirm->clear();
    errorEntry = -1;
    clearError();
    applyMode();
}

void RecorderPasswordPage::applyLayout()
{
    const bool faulty = !error.isEmpty();
    passwordFrame->setBorder(faulty && errorEntry == 1 ? kRed : kGrey);
    confirmFrame->setBorder(faulty && errorEntry == 2 ? kRed : kGrey);
    passwordErrorIcon->setVisible(modeKnown && faulty && errorEntry == 1);
    confirmErrorIcon->setVisible(modeKnown && !loginModeOn && faulty && errorEntry == 2);
    errorLine->SetText(error);
    errorLine->setVisible(modeKnown && faulty);
    updateStrength();
}

void RecorderPasswordPage::updateStrength()
{
    const QString text = password->text();
    if (!modeKnown || loginModeOn || !PasswordPassesRule(text)) {
        strength->hide();
        return;
    }
    // A hint only: a weak password that passes the rule is still taken.
    switch (StrengthOf(text)) {
    case PasswordStrength::Weak:
        strength->SetFont(13, MakeRgb(214, 96, 0), false);
        strength->SetText(Qt8(Text("nvrpwd_10", "Strength: weak")));
        break;
    case PasswordStrength::Medium:
        strength->SetFont(13, MakeRgb(160, 130, 0), false);
        strength->SetText(Qt8(Text("nvrpwd_11", "Strength: medium")));
        break;
    case PasswordStrength::Strong:
        strength->SetFont(13, MakeRgb(40, 150, 60), false);
        strength->SetText(Qt8(Text("nvrpwd_12", "Strength: strong")));
        break;
    }
    strength->show();
}

void RecorderPasswordPage::setError(int field, const QString& text)
{
    errorEntry = field;
    error = text;
    applyLayout();
}

void RecorderPasswordPage::clearError()
{
    error.clear();
    applyLayout();
}

bool RecorderPasswordPage::ruleBroken()
{
    if (PasswordPassesRule(password->text()))
        return false;
    setError(1, RuleError());
    return true;
}

void RecorderPasswordPage::passwordChanged()
{
    if (!modeKnown)
        return;
    if (loginModeOn) {
        if (!error.isEmpty())
            clearError();
        return;
    }
    if (!ruleBroken())
        clearError();
}

void RecorderPasswordPage::confirmChanged()
{
    if (modeKnown && !loginModeOn && PasswordPassesRule(password->text()))
        clearError();
}

void RecorderPasswordPage::passwordFocusLost()
{
    if (ruleBroken())
        return;
    if (!confirm->text().isEmpty() && confirm->text() != password->text())
        setError(2, MismatchError());
}

void RecorderPasswordPage::confirmFocusLost()
{
    if (ruleBroken())
        return;
    if (confirm->text() != password->text())
        setError(2, MismatchError());
}

bool RecorderPasswordPage::eventFilter(QObject* watched, QEvent* event)
{
    // Only the user moving on (Tab, Backtab, a click) checks an entry: not an overlay or another window taking
    // the focus.
    if (event->type() == QEvent::FocusOut && modeKnown && !loginModeOn && !left) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason) {
            if (watched == password)
                passwordFocusLost();
            else if (watched == confirm)
                confirmFocusLost();
        }
    }
    return WizardPage::eventFilter(watched, event);
}

void RecorderPasswordPage::OnNext()
{
    if (!modeKnown || requestPending)
        return;
    const QString passwordText = password->text();
    const QString confirmText = confirm->text();
    if (!loginModeOn) {
        if (!PasswordPassesRule(passwordText)) {
            setError(1,
                ErrorPrefixed(Text("nvrpwd_04 ",
                    "(Must be 6-31 characters, must contain at least 2 letters, case-sensitive, no spaces.)")));
            return;
        }
        if (confirmText != passwordText) {
            setError(2, MismatchError());
            return;
        }
    } else if (!FitsLoginDatagram(passwordText)) {
        // The login datagram cannot carry it, so no recorder could accept it: said before anything is sent.
        setError(1, LoginError());
        return;
    }
    errorEntry = -1;
    clearError();

    RecorderAccess recorder;
    recorder.ip = nvrIp;
    recorder.mac = nvrMac;
    recorder.user = nvrUser.empty() ? "admin" : nvrUser;
    requestPending = true;
    // The probe may still wait for its own login (it can take 6.4 s, the page waited 5 s at most): it must be done
    // before the channel is opened again, or it would read this request's state.
    request->Start(loginModeOn ? AdminPasswordStep::Mode::Login : AdminPasswordStep::Mode::Create, recorder,
        passwordText.toStdString(), [this] { context.Probe().Stop(); });
    QPointer<RecorderPasswordPage> alive(this);
    // The page acts on what the request found, never on a value read before it ended: should the box give up
    // first, it waits on.
    do {
        WaitingBox box(this, &request->Busy(), kWaitingTicks);
        box.DoModal();
        if (!alive || left)
            return;
    } while (request->Poll() == StepPhase::Running);
    joinRequest();

    const AdminPasswordResult found = request->Result();
    if (!found.sent)
        return; // the recorder is not in the discovery table or the channel did not open: no text
    if (found.outcome != StepOutcome::Done) {
        if (loginModeOn)
            setError(1, LoginError());
        else
            setError(-1, Qt8(Text("nvrpwd_06", "Failed to set account password")));
        return;
    }
    context.Session().SetNvrPassword(passwordText.toStdString());
    PostToHost(WM_WIZARD_NAV, NAV_NEXT);
}

// The default login got no answer: the box says so and offers RETRY, which probes again while the waiting box
// shows; closed, the page offers both creating a password and logging in.
void RecorderPasswordPage::showProbeFailed()
{
    QPointer<RecorderPasswordPage> alive(this);
    Dimmer dimmer(this, Dimmer::KindError);
    dimmer.values.text = RecorderFailureText(NetworkFailure::NoAnswer);
    dimmer.values.retryResult = kRetryResult;
    dimmer.DoModal();
    if (!alive || left || dimmer.overlayResult() != kRetryResult)
        return;
    unanswered = false;
    modeKnown = false;
    modeSwitch->hide();
    PostToHost(WM_START_LOGIN_PROBE);
    probeWaitStart.start(kProbeWaitStartMs, this);
    WaitTimeline::Note("probe wait start", kProbeWaitStartMs);
}

void RecorderPasswordPage::openOverlay(int kind)
{
    QPointer<RecorderPasswordPage> alive(this);
    const int result = OpenOverlay(kind);
    if (!alive || left)
        return;
    if (result == ModalLayer::IDOK)
        PostToHost(WM_WIZARD_NAV, NAV_HOME); // the recorder was reset: start again
}

void RecorderPasswordPage::onMessage(int message, intptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_PROBE_FAILED:
        unanswered = true;
        if (!modeKnown)
            probeFailedPending = true; // shown over the page once its mode is applied
        else {
            applyMode(); // the link to the other way shows
            showProbeFailed();
        }
        return;
    case WM_LINK_CLICKED:
        switchMode();
        return;
    case WM_OPEN_OVERLAY:
        openOverlay(static_cast<int>(wParam));
        return;
    default:
        WizardPage::onMessage(message, wParam, lParam);
    }
}
