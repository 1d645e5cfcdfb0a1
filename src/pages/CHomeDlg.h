#pragma once
// Page 1: the welcome text, the language list and START. Choosing a language makes its pack current and
// sets the page's texts again at once.

#include "pages/WizardPage.h"

class CBaseStatic2;
class COrselButton2;
class COrselComboBox;
class COrselStatic;
struct WizardSession;

class CHomeDlg : public WizardPage
{
    Q_OBJECT
public:
    CHomeDlg(QWidget* host, WizardSession& session);

    COrselComboBox* languageList() const { return languages; }
    COrselButton2* startButton() const { return start; }

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;

private:
    // Looks every text of the page up in the current language and lays the page out again.
    void SetTexts();

    CBaseStatic2* welcome = nullptr;
    COrselStatic* languageLabel = nullptr;
    COrselComboBox* languages = nullptr;
    CBaseStatic2* note = nullptr;
    COrselButton2* start = nullptr;
};
