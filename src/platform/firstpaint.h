#pragma once

#include <QObject>

#include <functional>

// Work that the first window does not need, held back until it has painted: a start then waits for nothing else.
class FirstPaint : public QObject
{
public:
    // Runs the work from the event loop once any window of the application has painted for the first time.
    static void then(std::function<void()> work);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FirstPaint(std::function<void()> work);

    std::function<void()> m_work;
};
