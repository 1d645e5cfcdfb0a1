#pragma once
// Page 11: the cloud service. Sign in with an existing account or sign up for a new one, and the recorder is
// bound to that account and registered; or decline the service. Next advances only after the whole chain worked.

#include "pages/WizardPage.h"
#include "setup/steps/CloudStep.h"

#include <QString>
#include <array>
#include <memory>
#include <string>

class WrappedText;
class ErrorLine;
class SmallLink;
class PictureBox;
class PlainLineEdit;
class FilledLayeredPictureButton;
class TextLabel;
class RoundedFrame;
class WizardContext;

class CloudPage : public WizardPage
{
    Q_OBJECT
public:
    enum Mode { SignIn = 1, SignUp = 2, Decline = 3 };

    // A control's command (wParam: the control's identifier), as the choice buttons send it when clicked.
    static constexpr int WM_COMMAND = 0x0111;
    static constexpr int kIdNext = 1002;
    static constexpr int kIdSignInChoice = 1036;
    static constexpr int kIdSignUpChoice = 1042;
    static constexpr int kIdEmail = 5008;
    static constexpr int kIdPassword = 5009;
    static constexpr int kIdConfirm = 5010;
    // The waiting box stays as long as a chain runs; each box lasts at most this many ticks before the next.
    static constexpr int kWaitTicks = 1200;
    // The error box's RETRY after a chain failed on the network ends the box with this result.
    static constexpr int kRetryResult = 4;

    // Takes the recorder (address, user, password, web port) and the portal values from context when it is built.
    CloudPage(QWidget* host, WizardContext& context);
    ~CloudPage() override;

    int mode() const { return currentMode; }
    bool termsAccepted() const { return terms; }
    // What the message area shows now (empty: it is hidden).
    QString messageText() const { return shownMessage; }
    // The portal's code shown under the message (empty: none).
    QString answerCodeText() const { return shownCode; }
    bool emailMarkerOn() const { return emailMarker; }
    bool passwordMarkerOn() const { return passwordMarker; }
    std::string signInAnswer() const { return signInText; }
    std::string signUpAnswer() const { return signUpText; }
    bool chainBusy() const { return chain->Busy().load() != 0; }
    // The line that names the portal host the account would go to (empty when the recorder names none).
    QString portalHostText() const;

    // The checks the page runs before it sends anything; each shows its message and sets its marker when it
    // fails, and takes both back when it passes.
    bool CheckEmail();
    bool CheckPasswords();

    // What the page does once a chain has ended: on success the account goes to the session and the wizard moves
    // on; otherwise the page shows the portal's answer and, for a network failure, the error box.
    void ShowOutcome(const CloudStep::Outcome& outcome);

    void Leave() override;

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void OnNext() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row
    {
        TextLabel* label = nullptr;
        RoundedFrame* frame = nullptr;
        PlainLineEdit* edit = nullptr;
        PictureBox* marker = nullptr;
    };
    enum RowIndex { EmailRow, PasswordRow, ConfirmRow, FirstNameRow, LastNameRow, RowCount };

    void buildRow(RowIndex index, const char* name, const QString& label, bool password);
    void placeRow(RowIndex index, int x, int y, int labelWidth, int editWidth);
    void setMode(int mode);
    void layOut();
    void updateNext();
    void clearInputs();
    void showMessage(const QString& text, const QString& code = QString());
    void choose(int choice);
    // Whether the account may go to the portal host: a host of the maker's, one the user already agreed to, or
    // (asked now) one the user agrees to. A text that is no host name is left to the chain, which refuses it.
    bool portalHostAgreed();
    void startChain(CloudStep::Kind kind);
    void waitForChain();

    WizardContext& context;
    CloudStep::Inputs recorder; // the portal and recorder values, taken when the page is built
    int currentMode = SignIn;
    bool terms = false;
    std::string signInText;
    std::string signUpText;
    QString shownMessage;
    QString shownCode; // the portal's code of a known refusal, shown small under its message
    QString checkMessage; // the message of the last failed check, while it shows
    bool emailMarker = false;
    bool passwordMarker = false;
    bool leaving = false;
    bool layingOut = false;
    bool portalHostAccepted = false; // the user agreed to send the account to a host outside the maker's domains
    std::string chainEmail;
    std::string chainPassword;
    std::unique_ptr<CloudStep> chain; // the account chain

    WrappedText* intro = nullptr;
    std::array<FilledLayeredPictureButton*, 3> choices {};
    std::array<WrappedText*, 3> choiceTexts {};
    std::array<Row, RowCount> rows {};
    FilledLayeredPictureButton* termsBox = nullptr;
    SmallLink* termsLink = nullptr;
    ErrorLine* message = nullptr;
    TextLabel* answerCode = nullptr;
    TextLabel* portalHostLine = nullptr;
    int rowsTop = 0;
};
