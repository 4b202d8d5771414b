#pragma once

#include "storage/entryrecord.h"
#include "storage/linecodec.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "support/datafolder.h"
#include "support/filesizelimit.h"

#include <QTest>

// The records of a list in its sorted order.
inline QList<QByteArray> recordsOf(const EntryList& list)
{
    QList<QByteArray> records;
    for (qsizetype i = 0; i < list.size(); ++i) {
        records.append(list.at(i));
    }
    return records;
}

// Records as texts sorted by their bytes, to compare sets of records whatever their order.
inline QStringList sortedTexts(const QList<QByteArray>& records)
{
    QStringList texts(records.begin(), records.end());
    texts.sort();
    return texts;
}

// A vault in a fresh data folder, and pswd.tab read back line by line.
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
    QList<QByteArray> entries() const { return recordsOf(vault.entries()); }
    void addRecords(const QList<QByteArray>& records)
    {
        for (const QByteArray& record : records) {
            QVERIFY(vault.addEntry(record).ok());
        }
    }

    DataFolder folder;
    Vault vault{folder.path()};
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
