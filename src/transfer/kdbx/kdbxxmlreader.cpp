#include "secrets/memorywipe.h"
#include "transfer/kdbx/innerstream.h"
#include "transfer/kdbx/kdbxxml.h"

#include <QXmlStreamReader>

namespace {

// Deeper documents are refused rather than read by ever deeper calls.
constexpr int maximumDepth = 200;

class DocumentReader
{
public:
    DocumentReader(const QByteArray& xml, InnerStream& stream) : m_xml(xml), m_stream(stream) {}

    std::optional<QList<KdbxEntry>> read()
    {
        if (!m_xml.readNextStartElement() || m_xml.name() != QLatin1String("KeePassFile")) {
            return std::nullopt;
        }
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("Meta")) {
                readMeta();
            } else if (m_xml.name() == QLatin1String("Root")) {
                readRoot();
            } else {
                skip(1);
            }
        }
        if (m_xml.hasError() || !m_rootRead) {
            return std::nullopt;
        }
        QList<KdbxEntry> entries;
        for (const Found& found : m_found) {
            if (m_recycleBin.isEmpty() || !found.groups.contains(m_recycleBin)) {
                entries.append(found.entry);
            }
        }
        return entries;
    }

private:
    struct Found
    {
        KdbxEntry entry;
        QList<QByteArray> groups;
    };

    bool isProtected() const
    {
        return m_xml.attributes()
                   .value(QLatin1String("Protected"))
                   .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    }

    // The text of the element, its protection taken off.
    QString text()
    {
        if (!isProtected()) {
            return m_xml.readElementText();
        }
        const QByteArray hidden = QByteArray::fromBase64(m_xml.readElementText().toLatin1());
        QByteArray plain = m_stream.apply(hidden);
        const QString value = QString::fromUtf8(plain);
        MemoryWipe::wipe(plain);
        return value;
    }

    // Passes over the element and what it holds, reading the protected values in it.
    void skip(int depth)
    {
        if (depth > maximumDepth) {
            m_xml.raiseError(QStringLiteral("too deep"));
            return;
        }
        if (isProtected()) {
            text();
            return;
        }
        while (m_xml.readNextStartElement()) {
            skip(depth + 1);
        }
    }

    void readMeta()
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("RecycleBinUUID")) {
                const QByteArray uuid = QByteArray::fromBase64(text().toLatin1());
                m_recycleBin = uuid.count('\0') == uuid.size() ? QByteArray() : uuid;
            } else {
                skip(2);
            }
        }
    }

    void readRoot()
    {
        m_rootRead = true;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("Group")) {
                readGroup({}, 2);
            } else {
                skip(2);
            }
        }
    }

    void readGroup(QList<QByteArray> groups, int depth)
    {
        if (depth > maximumDepth) {
            m_xml.raiseError(QStringLiteral("too deep"));
            return;
        }
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("UUID")) {
                groups.append(QByteArray::fromBase64(text().toLatin1()));
            } else if (m_xml.name() == QLatin1String("Group")) {
                readGroup(groups, depth + 1);
            } else if (m_xml.name() == QLatin1String("Entry")) {
                readEntry(groups, depth + 1);
            } else {
                skip(depth + 1);
            }
        }
    }

    void readEntry(const QList<QByteArray>& groups, int depth)
    {
        Found found{{}, groups};
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("Times")) {
                readTimes(found.entry, depth + 1);
            } else if (m_xml.name() == QLatin1String("String")) {
                readString(found.entry, depth + 1);
            } else {
                skip(depth + 1);
            }
        }
        m_found.append(found);
    }

    void readTimes(KdbxEntry& entry, int depth)
    {
        QDateTime expiry;
        bool expires = false;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("LastModificationTime")) {
                entry.lastModification = KdbxXml::timeOf(text());
            } else if (m_xml.name() == QLatin1String("ExpiryTime")) {
                expiry = KdbxXml::timeOf(text());
            } else if (m_xml.name() == QLatin1String("Expires")) {
                expires = text().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
            } else {
                skip(depth + 1);
            }
        }
        entry.expiry = expires ? expiry : QDateTime();
    }

    void readString(KdbxEntry& entry, int depth)
    {
        QString key;
        QString value;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("Key")) {
                key = text();
            } else if (m_xml.name() == QLatin1String("Value")) {
                value = text();
            } else {
                skip(depth + 1);
            }
        }
        QString* field = key == QLatin1String("Title")      ? &entry.title
                         : key == QLatin1String("UserName") ? &entry.userName
                         : key == QLatin1String("Password") ? &entry.password
                         : key == QLatin1String("URL")      ? &entry.url
                         : key == QLatin1String("Notes")    ? &entry.notes
                                                            : nullptr;
        if (field) {
            *field = value;
        }
    }

    QXmlStreamReader m_xml;
    InnerStream& m_stream;
    QByteArray m_recycleBin;
    QList<Found> m_found;
    bool m_rootRead = false;
};

} // namespace

namespace KdbxXml {

std::optional<QList<KdbxEntry>> read(const QByteArray& xml, InnerStream& stream)
{
    return DocumentReader(xml, stream).read();
}

} // namespace KdbxXml
