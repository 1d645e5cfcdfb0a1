#pragma once
// Page 12: what the user must remember (recorder password, cloud account, cameras added) in one of four tables,
// GO TO NVR (the recorder's web page in the default browser) and FINISH (the desktop shortcut, then the end).

#include "pages/WizardPage.h"

#include <array>
#include <string>

class CBaseStatic2;
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

private:
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
};
