#include "secrets/memorywipe.h"
#include "transfer/kdbx/innerstream.h"
#include "transfer/kdbx/kdbxcrypto.h"
#include "transfer/kdbx/kdbxxml.h"

#include <QXmlStreamWriter>

#include <algorithm>

namespace {

const QDateTime firstDay(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);

QString uuidText()
{
    return QString::fromLatin1(KdbxCrypto::randomBytes(16).toBase64());
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Characters that XML 1.0 cannot hold as text, which a protected value can.
bool fitsXml(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t code = c.unicode();
        return code >= 0x20 ? code != 0xFFFE && code != 0xFFFF : code == 0x9 || code == 0xA || code == 0xD;
    });
}

class DocumentWriter
{
public:
    DocumentWriter(QByteArray* out, InnerStream& stream) : m_xml(out), m_stream(stream)
    {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(-1);
    }

    void write(const QList<KdbxEntry>& entries, const QDateTime& now)
    {
        m_xml.writeStartDocument(QStringLiteral("1.0"), true);
        m_xml.writeStartElement(QStringLiteral("KeePassFile"));
        writeMeta();
        m_xml.writeStartElement(QStringLiteral("Root"));
        m_xml.writeStartElement(QStringLiteral("Group"));
        m_xml.writeTextElement(QStringLiteral("UUID"), uuidText());
        m_xml.writeTextElement(QStringLiteral("Name"), QStringLiteral("KeyHound"));
        writeTimes(now, {});
        m_xml.writeTextElement(QStringLiteral("IsExpanded"), boolText(true));
        for (const KdbxEntry& entry : entries) {
            writeEntry(entry);
        }
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndDocument();
    }

private:
    void writeMeta()
    {
        m_xml.writeStartElement(QStringLiteral("Meta"));
        m_xml.writeTextElement(QStringLiteral("Generator"), QStringLiteral("KeyHound"));
        m_xml.writeTextElement(QStringLiteral("DatabaseName"), QStringLiteral("KeyHound"));
        m_xml.writeStartElement(QStringLiteral("MemoryProtection"));
        for (const char* name : {"ProtectTitle", "ProtectUserName", "ProtectPassword", "ProtectURL", "ProtectNotes"}) {
            m_xml.writeTextElement(QString::fromLatin1(name), boolText(qstrcmp(name, "ProtectPassword") == 0));
        }
        m_xml.writeEndElement();
        m_xml.writeTextElement(QStringLiteral("RecycleBinEnabled"), boolText(true));
        m_xml.writeTextElement(QStringLiteral("RecycleBinUUID"), QString::fromLatin1(QByteArray(16, '\0').toBase64()));
        m_xml.writeEndElement();
    }

    void writeTimes(const QDateTime& modified, const QDateTime& expiry)
    {
        m_xml.writeStartElement(QStringLiteral("Times"));
        for (const char* name : {"CreationTime", "LastModificationTime", "LastAccessTime"}) {
            m_xml.writeTextElement(QString::fromLatin1(name), KdbxXml::timeText(modified));
        }
        m_xml.writeTextElement(QStringLiteral("ExpiryTime"), KdbxXml::timeText(expiry.isValid() ? expiry : modified));
        m_xml.writeTextElement(QStringLiteral("Expires"), boolText(expiry.isValid()));
        m_xml.writeTextElement(QStringLiteral("UsageCount"), QStringLiteral("0"));
        m_xml.writeTextElement(QStringLiteral("LocationChanged"), KdbxXml::timeText(modified));
        m_xml.writeEndElement();
    }

    void writeEntry(const KdbxEntry& entry)
    {
        m_xml.writeStartElement(QStringLiteral("Entry"));
        m_xml.writeTextElement(QStringLiteral("UUID"), uuidText());
        m_xml.writeTextElement(QStringLiteral("IconID"), QStringLiteral("0"));
        writeTimes(entry.lastModification, entry.expiry);
        writeString(QStringLiteral("Notes"), entry.notes, false);
        writeString(QStringLiteral("Password"), entry.password, true);
        writeString(QStringLiteral("Title"), entry.title, false);
        writeString(QStringLiteral("URL"), entry.url, false);
        writeString(QStringLiteral("UserName"), entry.userName, false);
        m_xml.writeEndElement();
    }

    void writeString(const QString& key, const QString& value, bool protect)
    {
        m_xml.writeStartElement(QStringLiteral("String"));
        m_xml.writeTextElement(QStringLiteral("Key"), key);
        m_xml.writeStartElement(QStringLiteral("Value"));
        if (protect || !fitsXml(value)) {
            m_xml.writeAttribute(QStringLiteral("Protected"), boolText(true));
            QByteArray plain = value.toUtf8();
            m_xml.writeCharacters(QString::fromLatin1(m_stream.apply(plain).toBase64()));
            MemoryWipe::wipe(plain);
        } else {
            m_xml.writeCharacters(value);
        }
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    QXmlStreamWriter m_xml;
    InnerStream& m_stream;
};

} // namespace

namespace KdbxXml {

QByteArray write(const QList<KdbxEntry>& entries, InnerStream& stream, const QDateTime& now)
{
    QByteArray out;
    DocumentWriter(&out, stream).write(entries, now);
    return out;
}

QString timeText(const QDateTime& time)
{
    return QString::fromLatin1(KdbxBytes::littleEndian(qint64(firstDay.secsTo(time))).toBase64());
}

QDateTime timeOf(const QString& text)
{
    const QDateTime iso = QDateTime::fromString(text, Qt::ISODate);
    if (iso.isValid()) {
        return iso.toUTC();
    }
    const QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
    return bytes.size() == 8 ? firstDay.addSecs(KdbxBytes::readLittleEndian<qint64>(bytes.constData())) : QDateTime();
}

} // namespace KdbxXml
