#pragma once
// Page 7: secures the chosen recorder. The host's default-login probe decides the mode: a new recorder gets a
// password created (typed twice, checked against the rule, set with the set-password datagram); a recorder that
// has one asks for it (tested with the login datagram). On success the password goes to the session.

#include "pages/WizardPage.h"
#include "setup/steps/AdminPasswordStep.h"

#include <QBasicTimer>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class ErrorLine;
class PictureBox;
class OverlayPictureButton;
class PlainLineEdit;
class TextLabel;
class SmallLink;
class RoundedFrame;
class WizardContext;

class RecorderPasswordPage : public WizardPage
{
    Q_OBJECT
public:
    static constexpr uint16_t kRecorderPort = AdminPasswordStep::kRecorderPort;
    static constexpr int kProbeWaitStartMs = 50;
    static constexpr int kProbeWaitStepMs = 50;
    static constexpr int kProbeWaitSteps = 100; // the page waits 5 s for the probe at most
    static constexpr int kWaitingTicks = 120; // the waiting box's limit (12 s)

    RecorderPasswordPage(QWidget* host, WizardContext& context);
    ~RecorderPasswordPage() override;

    void Leave() override;

    // The error box's RETRY after the default login went unanswered ends the box with this result.
    static constexpr int kRetryResult = 4;

    bool loginMode() const { return loginModeOn; }
    // The default login got no answer: the page offers both ways, creating a password and logging in.
    bool probeUnanswered() const { return unanswered; }
    SmallLink* modeSwitchLink() const { return modeSwitch; }
    bool modeApplied() const { return modeKnown; }
    QString errorText() const { return error; }
    int errorField() const { return errorEntry; }
    // Whether the password request was started and has not been taken in yet.
    bool requestBusy() const { return requestPending; }

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void OnNext() override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PlainLineEdit* makeEntry(const char* name);
    void waitForProbe();
    void probeWaitTick();
    void applyMode();
    // Between creating a password and logging in with the existing one (offered after an unanswered probe).
    void switchMode();
    void applyLayout();
    void setError(int field, const QString& text);
    void clearError();
    void updateStrength();
    void passwordChanged();
    void confirmChanged();
    void passwordFocusLost();
    void confirmFocusLost();
    bool ruleBroken();
    void showProbeFailed();
    void openOverlay(int kind);
    void joinRequest();

    WizardContext& context;
    std::string nvrIp;
    std::string nvrMac;
    std::string nvrUser;

    TextLabel* subtitle = nullptr;
    TextLabel* userLabel = nullptr;
    RoundedFrame* userBox = nullptr;
    PlainLineEdit* userEntry = nullptr;
    TextLabel* passwordLabel = nullptr;
    RoundedFrame* passwordFrame = nullptr;
    PlainLineEdit* password = nullptr;
    TextLabel* ruleHint = nullptr;
    SmallLink* modeSwitch = nullptr;
    TextLabel* strength = nullptr;
    TextLabel* confirmLabel = nullptr;
    RoundedFrame* confirmFrame = nullptr;
    PlainLineEdit* confirm = nullptr;
    PictureBox* passwordErrorIcon = nullptr;
    PictureBox* confirmErrorIcon = nullptr;
    OverlayPictureButton* resetHelpButton = nullptr;
    ErrorLine* errorLine = nullptr;

    bool loginModeOn = false;
    bool newRecorder = true;
    bool modeKnown = false;
    bool left = false;
    bool probeFailedPending = false;
    bool unanswered = false;
    QString error;
    int errorEntry = -1; // 1 the password entry, 2 the confirmation, -1 none

    QBasicTimer probeWaitStart; // timer 1: once, 50 ms after the page opened
    QBasicTimer probeWaitStep;
    int probeWaitSteps = 0;
    bool probeWaitRunning = false;
    std::atomic<int32_t> waiting { 0 }; // the waiting box stays while it is 1

    // The password request: the set-password or login datagram, on the step's own thread.
    std::unique_ptr<AdminPasswordStep> request;
    bool requestPending = false;
};
