#pragma once
// Pages 2 to 5: a title, a body text under it and an illustration on the background's stage, with BACK and
// NEXT. Page 5's body is a link whose icon opens the red-LED help; its OK returns the wizard to page 1.

#include "pages/WizardPage.h"
#include "ui/Colours.h"

class MarkupText;
class PictureBox;
class HelpLink;
struct WizardSession;

class GuidePage : public WizardPage
{
    Q_OBJECT
public:
    MarkupText* body() const { return bodyText; }

protected:
    // Page number, background, title and body (key and fallback), body size and colour, illustration (0: none).
    GuidePage(QWidget* host, int pageNumber, int backgroundId, const QString& title, const QString& body, int bodySize,
        Argb bodyColour, int pictureId);

private:
    MarkupText* bodyText = nullptr;
    PictureBox* picture = nullptr;
};
