#pragma once

#include <QObject>

// Everything that tells the user has gone away from this desktop: no input in the program's windows for the time
// the user's preferences give, the session locked, the machine about to suspend, the screen saver turned on.
class AwayWatch : public QObject
{
    Q_OBJECT

public:
    explicit AwayWatch(QObject* parent = nullptr);

signals:
    void userAway();
};
