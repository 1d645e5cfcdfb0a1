#pragma once
// The device label: where the MAC address is printed, a picture of the label on the recorder's bottom with
// the MAC handed over written after "MAC:". The close cross ends it.

#include "pages/GuideBox.h"

#include <string>

class MacLabelHelp : public GuideBox
{
    Q_OBJECT
public:
    MacLabelHelp(QWidget* inside, QPoint pagePosition, const std::string& mac);

    // The MAC as the label shows it for a search list row's MAC text: upper case without colons, or 16 letters
    // x when no row is selected.
    static std::string LabelMac(const std::string& rowMac, bool rowSelected);

    // The label's MAC line: "MAC: " and the MAC handed over.
    QString macLine() const { return QStringLiteral("MAC: ") + macText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString macText;
    QRect labelRect; // box coordinates
};
