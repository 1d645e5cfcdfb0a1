#pragma once
// Page 12: what the user must remember (recorder password, cloud account, cameras added) in one of four tables,
// GO TO NVR (the recorder's web page in the default browser) and FINISH (the desktop shortcut, then the end).

#include "pages/WizardPage.h"

#include <QString>
#include <array>
#include <functional>
#include <string>

class MarkupText;
class SmallLink;
class WrappedText;
class LayeredPictureButton;
class SummaryTable;
struct CloudPortalInfo;
struct WizardSession;

class SummaryPage : public WizardPage
{
    Q_OBJECT
public:
    SummaryPage(QWidget* host, WizardSession& session, const CloudPortalInfo& portal);

    // Which table shows: 1 (recorder, cloud, cameras), 2 (recorder), 3 (recorder, cloud), 4 (recorder, cameras).
    static int TableFor(int addedCameras, bool cloudEmailEmpty);

    // The table shown, and all four kinds (0: recorder, cloud and cameras; 1: recorder; 2: with cloud; 3: with cameras).
    SummaryTable* shownTable() const;
    SummaryTable* table(int index) const { return tables[static_cast<size_t>(index)]; }
    LayeredPictureButton* goToNvrButton() const { return goToNvr; }
    LayeredPictureButton* finishButton() const { return finish; }
    // The address GO TO NVR opens.
    QString RecorderUrl() const;
    // The path of the desktop entry FINISH wrote (empty before, or when it could not be written).
    std::string shortcutPath() const { return writtenShortcut; }

    SmallLink* reportLink() const { return saveReportLink; }
    // Under the table when the cloud step was skipped: that it was not done; nullptr otherwise.
    WrappedText* cloudSkippedNote() const { return cloudNote; }
    // Asked for the report's path with the suggested one (the desktop and today's name); an empty answer cancels.
    // The save dialog by default; tests answer themselves.
    std::function<QString(const QString& suggested)> askReportPath;
    // Writes the report in the pack's language: the text form at `textPath`, the HTML form beside it. False when
    // either could not be written.
    bool SaveReport(const QString& textPath);

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;

private:
    void OfferReport();
    void GoToNvr();
    void Finish();

    WizardSession& session;
    std::string recorderAddress;
    std::string access;
    std::string portalAddress;
    std::string deviceNumber;
    std::string localLink;
    std::string writtenShortcut;
    MarkupText* explanation = nullptr;
    std::array<SummaryTable*, 4> tables {};
    int shown = 0;
    LayeredPictureButton* goToNvr = nullptr;
    LayeredPictureButton* finish = nullptr;
    SmallLink* saveReportLink = nullptr;
    WrappedText* cloudNote = nullptr;
};
