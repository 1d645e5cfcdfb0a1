#pragma once
// Page 1: the welcome text, the language list and START. Choosing a language makes its pack current and
// sets the page's texts again at once.

#include "pages/WizardPage.h"

class MarkupText;
class LayeredPictureButton;
class LanguageCombo;
class TextLabel;
struct WizardSession;

class HomePage : public WizardPage
{
    Q_OBJECT
public:
    HomePage(QWidget* host, WizardSession& session);

    LanguageCombo* languageList() const { return languages; }
    LayeredPictureButton* startButton() const { return start; }

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;

private:
    // Looks every text of the page up in the current language and lays the page out again.
    void SetTexts();

    MarkupText* welcome = nullptr;
    TextLabel* languageLabel = nullptr;
    LanguageCombo* languages = nullptr;
    MarkupText* note = nullptr;
    LayeredPictureButton* start = nullptr;
};
