#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <chrono>

class QTimer;

// Tells when the program's windows have had no keyboard or mouse input for a while. It watches every event the
// application receives, so input in any of its windows counts, and input elsewhere on the desktop does not.
class IdleWatcher : public QObject
{
    Q_OBJECT

public:
    // A zero limit never tells.
    explicit IdleWatcher(std::chrono::milliseconds limit, QObject* parent = nullptr);

signals:
    // The limit has passed since the last input; told once until there is input again.
    void idle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void check();

    std::chrono::milliseconds m_limit;
    QElapsedTimer m_sinceInput;
    QTimer* m_timer;
};
