#include "platform/secretmimedata.h"

#include <QMimeData>

QMimeData* makeSecretMimeData(const QString& text)
{
    auto* data = new QMimeData;
    data->setText(text);
    // KDE's Klipper and most X11/Wayland clipboard managers skip data carrying this hint.
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
#ifdef Q_OS_WIN
    // Windows clipboard history, cloud clipboard and monitoring programs honour these registered formats.
    const QByteArray no(4, '\0');
    data->setData(
        QStringLiteral("application/x-qt-windows-mime;value=\"ExcludeClipboardContentFromMonitorProcessing\""),
        QByteArray(1, '\0'));
    data->setData(QStringLiteral("application/x-qt-windows-mime;value=\"CanIncludeInClipboardHistory\""), no);
    data->setData(QStringLiteral("application/x-qt-windows-mime;value=\"CanUploadToCloudClipboard\""), no);
#endif
    return data;
}
