#include "pages/CreateCameraPasswordOverlay.h"

#include "i18n/Localization.h"
#include "overlays/AlertBox.h"
#include "ui/AccessibleControls.h"
#include "ui/PlainLineEdit.h"
#include "ui/TextLabel.h"

CreateCameraPasswordOverlay::CreateCameraPasswordOverlay(QWidget* page, const std::string& cameraName, Submit submit)
    : CameraPasswordOverlay(page, std::move(submit),
        TitleFor("camsearch_06", "Please create a password for the camera [Camera Name]", cameraName),
        Text("nvrpwd_06", "Failed to set account password"))
{
    setObjectName(QStringLiteral("cameraPasswordCreate"));
    auto* newLabel = addLabel(
        "newLabel", FromUtf8(Text("New Password", "New Password")) + QLatin1Char(':'), 12, QRect(0, 110, 215, 60));
    auto* confirmLabel = addLabel("confirmLabel",
        FromUtf8(Text("Confirm New Password", "Confirm Password")) + QLatin1Char(':'), 12, QRect(0, 150, 215, 60));
    newPassword = addEntry("newPassword", 5001, QRect(230, 105, 160, 30), QRect(235, 111, 150, 20));
    confirmation = addEntry("confirmation", 5002, QRect(230, 145, 160, 30), QRect(235, 151, 150, 20));
    SetAccessibleLabel(newPassword, newLabel);
    SetAccessibleLabel(confirmation, confirmLabel);
}

bool CreateCameraPasswordOverlay::KeepsCameraRule(const QString& password)
{
    return KeepsCameraPasswordRule(password.toUtf8().toStdString());
}

void CreateCameraPasswordOverlay::OnOk()
{
    const QString typed = newPassword->text();
    // A mismatch is said first, whatever the rule would say of either text.
    if (typed != confirmation->text()) {
        showError(Text("nvrpwd_03", "The passwords don't match. Please try again."));
        return;
    }
    if (!KeepsCameraRule(typed)) {
        showError(Text("camsearch_09",
            "The password must be between 6-30 characters; not contain special characters: (/), (:), (&),(space)."));
        return;
    }
    submitPassword(typed);
}
