#pragma once

#include "platform/recordingplatform.h"
#include "storage/atomicfile.h"
#include "storage/entryrecord.h"
#include "storage/linecodec.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"
#include "storage/windows1252.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

// A vault in a fresh data folder, a recording platform, and ways to look at the bytes of pswd.tab.
struct VaultFixture
{
    VaultFixture() { vault.open(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))); }
    ~VaultFixture() { AtomicFile::setChunkCheckForTesting({}); }

    QByteArray file() const { return folder.read(QStringLiteral("pswd.tab")); }
    QByteArray key() const { return vault.settings().installationKey; }
    QList<QByteArray> records() const { return VaultFile::decode(file(), key()); }

    // The record lines between the opening and the closing quote, split at CR LF. A body that ends with CR LF gives
    // an empty last piece.
    QList<QByteArray> bodyLines() const
    {
        const QByteArray bytes = file();
        if (!bytes.startsWith('"') || !bytes.endsWith("\"\r\n")) {
            return {QByteArrayLiteral("<not a vault file>")};
        }
        return bytes.mid(1, bytes.size() - 4).split('\n');
    }

    // The record that one physical line of the body holds.
    QByteArray recordOfLine(QByteArray line) const
    {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        return LineCodec::decode(line, key());
    }

    void addRecords(const QList<QByteArray>& records)
    {
        for (const QByteArray& record : records) {
            QVERIFY(vault.addEntry(record).ok());
        }
    }

    // Two ways a write fails that work for any user, root included.
    void makeVaultPathADirectory() const
    {
        QFile::remove(folder.filePath(QStringLiteral("pswd.tab")));
        QDir(folder.path()).mkdir(QStringLiteral("pswd.tab"));
    }
    static void failEveryWrite()
    {
        AtomicFile::setChunkCheckForTesting([](qint64) { return false; });
    }

    DataFolder folder;
    Vault vault{folder.path()};
    RecordingPlatform platform;
};

// Windows-1252 bytes of a text written in this file's UTF-8.
inline QByteArray cp1252(const char* text)
{
    return Windows1252::fromUnicode(QString::fromUtf8(text));
}

inline QByteArray entryRecord(const char* title, const char* expiry, const char* stamp, const char* login,
                              const char* password, const char* address, const char* description)
{
    return EntryRecord::join({cp1252(title), cp1252(expiry), cp1252(stamp), cp1252(login), cp1252(password),
                              cp1252(address), cp1252(description)});
}

// Every byte of an encoded line is one of the two bit markers, eight per character of its record.
inline bool isEncodedLineOf(const QByteArray& line, const QByteArray& record)
{
    const bool markersOnly =
        std::all_of(line.begin(), line.end(), [](char c) { return c == LineCodec::zeroBit || c == LineCodec::oneBit; });
    return markersOnly && line.size() == record.size() * 8;
}

// Types the text key by key, as a keyboard would deliver it; unlike QTest::keyClicks it also types characters
// beyond Latin-1.
inline void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        const auto key = c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}
