#pragma once
// Page 12: what the user must remember (recorder password, cloud account, cameras added) in one of four tables,
// GO TO NVR (the recorder's web page in the default browser) and FINISH (the desktop shortcut, then the end).

#include "pages/WizardPage.h"

#include <QString>
#include <array>
#include <functional>
#include <string>

class CBaseStatic2;
class CHyperLink;
class COrselButton2;
class SummaryTableView;
struct CloudPortalInfo;
struct WizardSession;

class CSummaryDlg : public WizardPage
{
    Q_OBJECT
public:
    CSummaryDlg(QWidget* host, WizardSession& session, const CloudPortalInfo& portal);

    // Which table shows: 1 (recorder, cloud, cameras), 2 (recorder), 3 (recorder, cloud), 4 (recorder, cameras).
    static int TableFor(int addedCameras, bool cloudEmailEmpty);

    // The table shown, and all four (index 0 is CSummaryTable, 3 is CSummaryTable4).
    SummaryTableView* shownTable() const;
    SummaryTableView* table(int index) const { return tables[static_cast<size_t>(index)]; }
    COrselButton2* goToNvrButton() const { return goToNvr; }
    COrselButton2* finishButton() const { return finish; }
    // The address GO TO NVR opens.
    QString RecorderUrl() const;
    // The path of the desktop entry FINISH wrote (empty before, or when it could not be written).
    std::string shortcutPath() const { return writtenShortcut; }

    CHyperLink* reportLink() const { return saveReportLink; }
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
    CBaseStatic2* explanation = nullptr;
    std::array<SummaryTableView*, 4> tables {};
    int shown = 0;
    COrselButton2* goToNvr = nullptr;
    COrselButton2* finish = nullptr;
    CHyperLink* saveReportLink = nullptr;
};
