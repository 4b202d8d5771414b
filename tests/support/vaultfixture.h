#pragma once

#include "platform/recordingplatform.h"
#include "storage/entryrecord.h"
#include "storage/linecodec.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "support/datafolder.h"
#include "support/filesizelimit.h"

#include <QTest>

#include <optional>

// A vault in a fresh data folder, a recording platform, and pswd.tab read back line by line.
struct VaultFixture
{
    VaultFixture() { vault.open(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))); }

    QByteArray file() const { return folder.read(QStringLiteral("pswd.tab")); }

    // The record of every physical line between the quotes, an empty line giving an empty record. Every line but the
    // last ends in CR LF, so a body ending in CR LF gives an empty last piece.
    QList<QByteArray> fileLines() const
    {
        const QByteArray bytes = file();
        if (!bytes.startsWith('"') || !bytes.endsWith("\"\r\n")) {
            return {"<not a vault file>"};
        }
        QList<QByteArray> lines = bytes.mid(1, bytes.size() - 4).split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].endsWith('\r') != (i + 1 < lines.size())) {
                return {"<wrong line end>"};
            }
            const QByteArray encoded = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
            lines[i] = LineCodec::decode(encoded, vault.settings().installationKey);
            if (encoded.size() != lines[i].size() * 8 ||
                encoded.count(LineCodec::zeroBit) + encoded.count(LineCodec::oneBit) != encoded.size()) {
                return {"<not eight markers a character>"};
            }
        }
        return lines;
    }

    // The vault's entries in their sorted order.
    QList<QByteArray> entries() const
    {
        QList<QByteArray> records;
        for (qsizetype i = 0; i < vault.entries().size(); ++i) {
            records.append(vault.entries().at(i));
        }
        return records;
    }
    void addRecords(const QList<QByteArray>& records)
    {
        for (const QByteArray& record : records) {
            QVERIFY(vault.addEntry(record).ok());
        }
    }

    DataFolder folder;
    Vault vault{folder.path()};
    RecordingPlatform platform;
};

// A record from texts written in this file's UTF-8.
inline QByteArray entryRecord(const char* title, const char* expiry, const char* stamp, const char* login = "",
                              const char* password = "", const char* address = "", const char* description = "")
{
    QList<QByteArray> fields;
    for (const char* field : {title, expiry, stamp, login, password, address, description}) {
        fields.append(Windows1252::fromUnicode(QString::fromUtf8(field)));
    }
    return EntryRecord::join(fields);
}

// Types the text key by key, as a keyboard would deliver it, a line feed as Enter; unlike QTest::keyClicks it also
// types characters beyond Latin-1.
inline void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        const bool enter = c == QLatin1Char('\n');
        const auto key = enter ? Qt::Key_Return : c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        const QString typed = enter ? QStringLiteral("\r") : QString(c);
        QTest::sendKeyEvent(QTest::Press, widget, key, typed, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, typed, Qt::NoModifier);
    }
}

inline QWidget* childOf(const QWidget* window, const char* name)
{
    return window->findChild<QWidget*>(QString::fromLatin1(name));
}
inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}
// Selects all the box holds and types the text over it.
inline void retype(QWidget* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    typeText(box, text);
}

// The text of a box, the description box or a label.
inline QString textOf(const QWidget* box)
{
    return box->property(box->inherits("QPlainTextEdit") ? "plainText" : "text").toString();
}
