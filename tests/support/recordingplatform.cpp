#include "support/recordingplatform.h"

void RecordingPlatform::showMessage(QWidget*, const QString& text, const QString& title, MessageIcon icon)
{
    messages.append({text, title, icon});
    if (onMessage) {
        onMessage(messages.last());
    }
}

void RecordingPlatform::showTrayIcon(const QIcon&, const QString& tip)
{
    trayIconShown = true;
    trayTip = tip;
}

bool RecordingPlatform::askYesNo(QWidget*, const QString& text, const QString&)
{
    questions.append(text);
    return answer;
}
