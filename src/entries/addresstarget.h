#pragma once

#include <QString>
#include <QUrl>

// What an entry's address opens. An address with a scheme ("https://…", "mailto:…", "file:///…") opens as it is. A
// path from the root or "~/…" under the home folder opens as that file or folder, and so does a relative name of one
// that exists in the data folder beside the vault. Anything else is taken as a web address ("banco.example" becomes
// "http://banco.example"). A blank address opens nothing (an empty URL).
class AddressTarget
{
public:
    AddressTarget(const QString& dataFolder, const QString& homeFolder);

    QUrl urlFor(const QString& address) const;

private:
    static bool hasScheme(const QString& address);

    QString m_dataFolder;
    QString m_homeFolder;
};
