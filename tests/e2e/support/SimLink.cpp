#include "SimLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonValue>
#include <QThread>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

SimLink::SimLink()
    : stateFile(qEnvironmentVariable("LAB_SIM_STATE"))
{
    const QString dir = qEnvironmentVariable("LAB_DIR");
    if (!dir.isEmpty())
        controlPipe = dir + QStringLiteral("/sim-control");
}

QJsonObject SimLink::State() const
{
    QFile file(stateFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

namespace {

QJsonObject Named(const QJsonArray& list, const char* key, const QString& wanted)
{
    for (const QJsonValue item : list) {
        if (item.toObject().value(QLatin1String(key)).toString() == wanted)
            return item.toObject();
    }
    return {};
}

} // namespace

QJsonObject SimLink::Recorder(const QString& name) const
{
    return Named(State().value("recorders").toArray(), "name", name);
}

QJsonObject SimLink::Camera(const QString& name) const
{
    return Named(State().value("cameras").toArray(), "name", name);
}

QJsonObject SimLink::Account(const QString& email) const
{
    return Named(State().value("portal").toObject().value("accounts").toArray(), "email", email);
}

QList<QJsonObject> SimLink::Events(const QString& device) const
{
    QList<QJsonObject> events;
    for (const QJsonValue item : State().value("events").toArray()) {
        if (device.isEmpty() || item.toObject().value("device").toString() == device)
            events << item.toObject();
    }
    return events;
}

int SimLink::CountEvents(const QString& device, const QString& kind, const QString& text) const
{
    int count = 0;
    for (const QJsonValue item : State().value("events").toArray()) {
        const QJsonObject event = item.toObject();
        if (event.value("device").toString() == device && event.value("kind").toString() == kind
            && (text.isEmpty() || event.value("detail").toString().contains(text)))
            ++count;
    }
    return count;
}

bool SimLink::Control(const QByteArray& line, int limitMs, QString* answer) const
{
    if (!Ready())
        return false;
    // The pipe is opened without blocking on a reader that is not there (the simulator gone): a write then fails.
    const int fd = ::open(controlPipe.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Only an entry logged after this write answers it (the same line may have been sent before). The events kept
    // are the latest ones: event i of n is number eventCount - n + i of all.
    const qint64 before = State().value("eventCount").toInteger();
    const QByteArray text = line + '\n';
    const bool written = ::write(fd, text.constData(), static_cast<size_t>(text.size())) == text.size();
    ::close(fd);
    if (!written)
        return false;
    const bool pumpEvents
        = QCoreApplication::instance() != nullptr && QThread::currentThread() == QCoreApplication::instance()->thread();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < limitMs) {
        const QJsonObject state = State();
        const QJsonArray events = state.value("events").toArray();
        const qint64 first = state.value("eventCount").toInteger() - events.size();
        for (qsizetype i = 0; i < events.size(); ++i) {
            const QJsonObject event = events[i].toObject();
            if (first + i >= before && event.value("kind").toString() == QLatin1String("control")
                && event.value("detail").toString() == QString::fromUtf8(line)) {
                const QString result = event.value("result").toString();
                if (answer != nullptr)
                    *answer = result;
                return result == QLatin1String("ok");
            }
        }
        if (pumpEvents)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (answer != nullptr)
        *answer = QStringLiteral("no answer within %1 ms").arg(limitMs);
    return false;
}
