#pragma once
// The test's side of the device simulator: its state file (LAB_SIM_STATE, JSON) and its control pipe
// ($LAB_DIR/sim-control). Safe to use from any thread. Programs without Qt use SimTextLink.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

class SimLink
{
public:
    // From the lab's environment; Ready() is false outside a lab.
    SimLink();
    bool Ready() const { return !stateFile.isEmpty() && !controlPipe.isEmpty(); }

    // The state as the simulator last wrote it (empty when unreadable).
    QJsonObject State() const;
    // One recorder / camera / portal account of the state by name or e-mail (empty when absent).
    QJsonObject Recorder(const QString& name) const;
    QJsonObject Camera(const QString& name) const;
    QJsonObject Account(const QString& email) const;
    // The latest events the simulator keeps, oldest first: all of them, or those of one device.
    QList<QJsonObject> Events(const QString& device = QString()) const;
    // Requests of kind ("http", "udp-login", ...) to device whose detail holds text, among the latest events.
    int CountEvents(const QString& device, const QString& kind, const QString& text = QString()) const;

    // Sends a control line and waits (at most limitMs) until the simulator has logged it; true when it said "ok".
    // On the application's own thread the wait keeps its events flowing, so pages at work go on meanwhile.
    bool Control(const QByteArray& line, int limitMs = 4000, QString* answer = nullptr) const;

private:
    QString stateFile;
    QString controlPipe;
};
