#include "pages/CSummaryDlg.h"

#include "overlays/AlertBox.h"
#include "session/CloudPortalInfo.h"
#include "session/WizardSession.h"
#include "i18n/Localization.h"
#include "pages/CSummaryTable.h"
#include "pages/CSummaryTable2.h"
#include "pages/CSummaryTable3.h"
#include "pages/CSummaryTable4.h"
#include "platform/DesktopShortcut.h"
#include "ui/CBaseStatic2.h"
#include "ui/COrselButton2.h"
#include "ui/Messages.h"

#include <QDesktopServices>
#include <QUrl>
#include <algorithm>

CSummaryDlg::CSummaryDlg(QWidget* host, WizardSession& wizardSession, const CloudPortalInfo& portal)
    : WizardPage(host, 12, 3001)
    , session(wizardSession)
    , recorderAddress(wizardSession.NvrIp())
    , access(portal.access)
    , portalAddress(portal.portal_url)
    , deviceNumber(portal.portal_number)
    , localLink(portal.localhyperlink)
{
    SetTitle(FromUtf8(Text("Summary_01", "Summary")));

    explanation = new CBaseStatic2(this);
    explanation->setObjectName(QStringLiteral("explanation"));
    explanation->setGeometry(80, 122, 700, 10);
    explanation->SetFont(14, 0xFF484848u);
    explanation->setCharWrap(ChineseText());
    explanation->SetText(FromUtf8(Text("Summary_02",
        "Your NVR now is ready to go! Please remember the following information for future use and click on "
        "<br>\"GO TO NVR\"</br> to log in to the NVR for further configuration or click <br>\"FINISH\".</br>")));
    explanation->setLineHeight(22);
    const int explanationHeight = explanation->MeasureHeight();
    explanation->resize(700, explanationHeight + 4);

    QStringList cameraNames;
    for (int i = 0; i < session.CameraCount(); ++i) {
        const CameraRecord* camera = session.Camera(i);
        if (camera != nullptr && camera->selected == 1)
            cameraNames << FromUtf8(camera->model);
    }
    const QString email = FromUtf8(session.CloudEmail());
    tables = { new CSummaryTable(this), new CSummaryTable2(this), new CSummaryTable3(this), new CSummaryTable4(this) };
    shown = TableFor(static_cast<int>(cameraNames.size()), email.isEmpty());
    const int top = 140 + explanationHeight;
    for (size_t i = 0; i < tables.size(); ++i) {
        tables[i]->setGeometry(80, top, 700, 10);
        tables[i]->SetValues(FromUtf8(session.NvrPassword()), email, FromUtf8(session.CloudPassword()), cameraNames);
        tables[i]->setVisible(static_cast<int>(i) + 1 == shown);
    }

    goToNvr = new COrselButton2(this);
    goToNvr->setObjectName(QStringLiteral("goToNvr"));
    goToNvr->SetImage(0, 3050);
    goToNvr->SetImage(1, 3046);
    goToNvr->SetImage(2, 3049);
    goToNvr->SetImage(3, 3047);
    goToNvr->setText(FromUtf8(Text("GO TO NVR", "GO TO NVR")));
    connect(goToNvr, &QAbstractButton::clicked, this, [this] { GoToNvr(); });

    finish = new COrselButton2(this);
    finish->setObjectName(QStringLiteral("finish"));
    finish->SetImage(0, 3045);
    finish->SetImage(1, 3042);
    finish->SetImage(2, 3044);
    finish->SetImage(3, 3043);
    finish->setText(FromUtf8(Text("FINISH", "FINISH")));
    connect(finish, &QAbstractButton::clicked, this, [this] { Finish(); });

    // Where BACK and NEXT stand on the other pages, both as wide as the wider text + 40.
    const int w = std::max(goToNvr->CaptionWidth(), finish->CaptionWidth());
    goToNvr->setGeometry(370 - w, 536, w + 40, 43);
    finish->setGeometry(448, 536, w + 40, 43);
}

int CSummaryDlg::TableFor(int addedCameras, bool cloudEmailEmpty)
{
    if (addedCameras > 0)
        return cloudEmailEmpty ? 4 : 1;
    return cloudEmailEmpty ? 2 : 3;
}

SummaryTableView* CSummaryDlg::shownTable() const
{
    return shown >= 1 && shown <= 4 ? tables[static_cast<size_t>(shown - 1)] : nullptr;
}

QString CSummaryDlg::RecorderUrl() const
{
    return QStringLiteral("http://") + FromUtf8(recorderAddress);
}

void CSummaryDlg::GoToNvr()
{
    QDesktopServices::openUrl(QUrl(RecorderUrl())); // a browser that does not start changes nothing here
}

void CSummaryDlg::Finish()
{
    writtenShortcut = MakeDesktopShortcut(access, deviceNumber, portalAddress, localLink);
    PostToHost(WM_WIZARD_NAV, NAV_FINISH);
}
