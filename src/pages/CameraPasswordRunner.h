#pragma once
// The camera page's password jobs: opens the enter- or create-password overlay for a camera, runs one worker at a
// time for the password handed on, and hands every accepted password to the page with the job it belongs to.

#include "session/CameraPasswordJob.h"

#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <memory>
#include <mutex>
#include <vector>

class CameraPasswordWorker;
class QWidget;
class WizardContext;

class CameraPasswordRunner : public QObject
{
    Q_OBJECT
public:
    CameraPasswordRunner(WizardContext& context, QObject* parent);
    ~CameraPasswordRunner() override; // Stop()s; a result not handed on by then is dropped

    // Opens the enter- (Verify) or create- (Create) overlay over `page` for this camera and runs it modally;
    // returns when the user closed it or the password was accepted (PasswordAccepted has then been emitted). A job
    // already running: OK is refused at once.
    void Open(QWidget* page, const CameraPasswordJob& camera);
    bool Busy() const; // a worker is running (incl. its one-second tail)
    // Clears the run flag, cancels, joins; a job not decided by then reports refused. A job accepted before it was
    // stopped is handed on from within Stop (PasswordAccepted), so the caller sees it before it goes on.
    void Stop();

signals:
    // Queued onto the interface thread; carries the job's own copy (mac, address, row, generation, password).
    // Emitted also when the overlay was closed by its cross before the answer came.
    void PasswordAccepted(const CameraPasswordJob& job);

private:
    void deliver();
    void endWorker();

    WizardContext& context;
    std::unique_ptr<CameraPasswordWorker> worker;
    std::mutex acceptedLock;
    std::vector<CameraPasswordJob> accepted; // reported by a worker, not yet handed on
    QPointer<QWidget> overlay; // the overlay that runs, if any
};

Q_DECLARE_METATYPE(CameraPasswordJob)
