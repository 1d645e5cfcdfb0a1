#pragma once
// Runs the camera password overlays for the camera page: opens the enter- or create-password overlay for one
// camera, runs its worker, and reports an accepted password with the job it belongs to.

#include "session/CameraPasswordJob.h"

#include <QObject>

class QWidget;
class WizardContext;

class CameraPasswordRunner : public QObject
{
    Q_OBJECT
public:
    CameraPasswordRunner(WizardContext& context, QObject* parent);
    ~CameraPasswordRunner() override; // Stop()s
    // Opens the enter- (Verify) or create- (Create) overlay over `page` for this camera and runs it modally;
    // returns when the user closed it or the password was accepted. A job already running: OK is refused at once.
    void Open(QWidget* page, const CameraPasswordJob& camera);
    bool Busy() const; // a worker is running (incl. its one-second tail)
    void Stop(); // clear the run flag, cancel, join; the job reports refused
signals:
    // Queued onto the interface thread; carries the job's own copy (mac, address, row, generation, password).
    // Emitted also when the overlay was closed by its cross before the answer came.
    void PasswordAccepted(const CameraPasswordJob& job);

private:
    WizardContext& context;
};
