#pragma once
// The recorder-not-found help, 600 x 380: what to check, with a picture of the unplugged cable; a close cross.
// Given what the search tried (one line per interface and address searched from), the box grows to show that
// beside the usual causes: another network, an unplugged cable, a firewall that drops the search's replies.

#include "overlays/AlertBox.h"

#include <QStringList>
#include <string>

class RecorderNotFoundHelp : public AlertBox
{
    Q_OBJECT
public:
    // searched: the interfaces searched from, one per line ("\n"); empty: the plain help.
    RecorderNotFoundHelp(QWidget* inside, QPoint pagePosition, const std::string& searched = {});

    QStringList searchedLines() const { return searched; }
    QStringList causeLines() const { return causes; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList searched;
    QStringList causes;
};
