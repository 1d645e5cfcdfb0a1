#include "pages/EnterCameraPasswordOverlay.h"

#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "ui/AccessibleControls.h"
#include "ui/PlainLineEdit.h"
#include "ui/TextLabel.h"

EnterCameraPasswordOverlay::EnterCameraPasswordOverlay(QWidget* page, const std::string& cameraName, Submit submit)
    : CameraPasswordOverlay(page, std::move(submit),
        TitleFor("camsearch_05", "Please enter the password for the camera [Camera Name]", cameraName),
        Text("nvrpwd_05", "Incorrect password. Please try again."))
{
    setObjectName(QStringLiteral("cameraPasswordEnter"));
    auto* label = addLabel(
        "passwordLabel", FromUtf8(Text("Password", "Password")) + QLatin1Char(':'), 14, QRect(0, 125, 165, 55));
    password = addEntry("password", 5001, QRect(180, 120, 160, 30), QRect(185, 126, 150, 20));
    SetAccessibleLabel(password, label);
}

void EnterCameraPasswordOverlay::OnOk()
{
    submitPassword(password->text());
}
