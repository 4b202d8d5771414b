#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// cnfg.tab holds one record of three fields: the installation key that enciphers the vault, the master password
// and the answer to "ask the master password at start?" (Settings::answerYes or answerNo). It is enciphered under a key
// that is the same in every installation.
struct Settings
{
    QByteArray installationKey;
    QByteArray masterPassword;
    QByteArray askAtStart;

    bool asksPasswordAtStart() const { return askAtStart == answerYes; }

    static constexpr char answerYes[] = "Sim";
    static constexpr char answerNo[] = "N\xE3o";
    static constexpr char factoryPassword[] = "8046";
};

namespace SettingsFile {

inline constexpr char fileName[] = "cnfg.tab";
inline constexpr char settingsKey[] = "7305";

// Day and month without leading zeros and the last two digits of the year, then hour, minute and second without
// leading zeros, read as two numbers and added: 6/3/26 at 0:00:07 gives 6326 + 7, 1/1/05 at 10:00:00 gives 1105 + 1000.
QByteArray makeInstallationKey(const QDateTime& now);

// The whole file for the record.
QByteArray encode(const Settings& settings);
// The settings of a file's contents: the record of the last line that holds one, split into at most three fields.
// Missing fields stay empty.
Settings decode(QByteArrayView contents);

} // namespace SettingsFile
