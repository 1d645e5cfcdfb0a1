#pragma once
// A widget that records the window messages posted to it: the tests' stand-in for whatever a control, a
// page or an overlay posts to.

#include "ui/WindowMessage.h"

#include <QCoreApplication>
#include <QWidget>
#include <vector>

struct RecordedMessage
{
    int message;
    intptr_t wParam;
    intptr_t lParam;
    bool operator==(const RecordedMessage&) const = default;
};

class MessageRecorder : public QWidget
{
public:
    explicit MessageRecorder(QWidget* parent = nullptr)
        : QWidget(parent)
    {
    }

    std::vector<RecordedMessage> messages;

    // Delivers what is posted and hands the messages received so far over, clearing the record.
    std::vector<RecordedMessage> take()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        std::vector<RecordedMessage> out;
        out.swap(messages);
        return out;
    }

protected:
    bool event(QEvent* event) override
    {
        if (const WindowMessage* m = AsWindowMessage(event)) {
            messages.push_back({ m->message(), m->wParam(), m->lParam() });
            return true;
        }
        return QWidget::event(event);
    }
};
