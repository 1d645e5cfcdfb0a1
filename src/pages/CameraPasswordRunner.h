#pragma once
// The camera page's password jobs: opens the enter- or create-password overlay for a camera, runs one worker at a
// time for the password handed on (a password handed on while the previous worker waits out its last second starts
// when that second is over), and hands every accepted password to the page with the job it belongs to.

#include "session/CameraPasswordJob.h"

#include <QBasicTimer>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
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
    // returns when the user closed it or the password was accepted (PasswordAccepted has then been emitted). An OK
    // while a job waits for its answer is refused at once; an OK while the previous worker only waits out its last
    // second starts its job when that second is over.
    void Open(QWidget* page, const CameraPasswordJob& camera);
    bool Busy() const; // a worker is running (incl. its one-second tail), or a job waits for it
    // Clears the run flag, cancels, joins; a job not decided by then (a waiting one too) reports refused. A job
    // accepted before it was stopped is handed on from within Stop (PasswordAccepted), so the caller sees it before
    // it goes on.
    void Stop();

signals:
    // Queued onto the interface thread; carries the job's own copy (mac, address, row, generation, password).
    // Emitted also when the overlay was closed by its cross before the answer came.
    void PasswordAccepted(const CameraPasswordJob& job);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    using Answer = std::shared_ptr<std::atomic<int32_t>>;
    struct WaitingJob
    {
        CameraPasswordJob job;
        Answer answer;
    };

    // Starts a worker for job; it writes its outcome into answer.
    void start(CameraPasswordJob job, const Answer& answer);
    void deliver();
    void endWorker();
    void dropWaiting(); // a job that waits is refused

    WizardContext& context;
    std::unique_ptr<CameraPasswordWorker> worker;
    std::mutex acceptedLock;
    std::vector<CameraPasswordJob> accepted; // reported by a worker, not yet handed on
    QPointer<QWidget> overlay; // the overlay that runs, if any
    std::optional<WaitingJob> waiting; // handed on during the previous worker's last second
    QBasicTimer waitingTimer; // looks for that worker's end
};

Q_DECLARE_METATYPE(CameraPasswordJob)
