#pragma once
// The red-LED help: what to do when the recorder's LED stays red, three points to check and a link to the reset
// help. RESET there ends this help with OK too; the close cross ends it with Cancel.

#include "pages/GuideBox.h"

#include <cstdint>

class SmallLink;

class RedLedHelp : public GuideBox
{
    Q_OBJECT
public:
    RedLedHelp(QWidget* inside, QPoint pagePosition);

    SmallLink* resetLink() const { return link; }

protected:
    bool event(QEvent* event) override;

private:
    // Runs the reset help over this box, at its client origin.
    void OpenResetHelp();

    SmallLink* link = nullptr;
};
