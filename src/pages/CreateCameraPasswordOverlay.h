#pragma once
// The create-password overlay of the camera page: "Please create a password for the camera [Camera Name]". The new
// password, typed twice, must match and keep the camera's rule before it is handed on and set on the camera.

#include "pages/CameraPasswordOverlay.h"
#include "session/CameraRules.h"

class CreateCameraPasswordOverlay : public CameraPasswordOverlay
{
    Q_OBJECT
public:
    static constexpr int kMinLength = kCameraPasswordMinLength;
    static constexpr int kMaxLength = kCameraPasswordMaxLength;

    CreateCameraPasswordOverlay(QWidget* page, const std::string& cameraName, Submit submit);

    // 6 to 30 characters, none of them "/", ":", "&" or a space.
    static bool KeepsCameraRule(const QString& password);

    PlainLineEdit* newEntry() const { return newPassword; }
    PlainLineEdit* confirmEntry() const { return confirmation; }

protected:
    void OnOk() override;
    PlainLineEdit* firstEntry() const override { return newPassword; }

private:
    PlainLineEdit* newPassword = nullptr;
    PlainLineEdit* confirmation = nullptr;
};
