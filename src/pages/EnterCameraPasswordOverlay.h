#pragma once
// The enter-password overlay of the camera page: "Please enter the password for the camera [Camera Name]". The
// password typed is handed on unchanged (an empty one too) and tried on the camera.

#include "pages/CameraPasswordOverlay.h"

class EnterCameraPasswordOverlay : public CameraPasswordOverlay
{
    Q_OBJECT
public:
    EnterCameraPasswordOverlay(QWidget* page, const std::string& cameraName, Submit submit);

    PlainLineEdit* passwordEntry() const { return password; }

protected:
    void OnOk() override;
    PlainLineEdit* firstEntry() const override { return password; }

private:
    PlainLineEdit* password = nullptr;
};
