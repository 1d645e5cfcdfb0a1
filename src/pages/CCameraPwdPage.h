#pragma once
// The enter-password overlay of the camera page: "Please enter the password for the camera [Camera Name]". The
// password typed is handed on unchanged (an empty one too) and tried on the camera.

#include "pages/CameraPasswordOverlay.h"

class CCameraPwdPage : public CameraPasswordOverlay
{
    Q_OBJECT
public:
    CCameraPwdPage(QWidget* page, const std::string& cameraName, Submit submit);

    CMyEditCtrl2* passwordEntry() const { return password; }

protected:
    void OnOk() override;
    CMyEditCtrl2* firstEntry() const override { return password; }

private:
    CMyEditCtrl2* password = nullptr;
};
