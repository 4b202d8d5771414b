#include "generator/passwordgenerator.h"

#include <QRandomGenerator>

#include <utility>

namespace {

enum Kind
{
    Lower,
    Upper,
    Digit,
    Other,
    KindCount,
};

Kind kindOf(QChar c)
{
    if (c.isLower()) {
        return Lower;
    }
    if (c.isUpper()) {
        return Upper;
    }
    return c.isDigit() ? Digit : Other;
}

// Printable ASCII but the space: accented letters are refused by many sites and hard to type on another keyboard.
bool isDrawable(QChar c)
{
    return c.unicode() > u' ' && c.unicode() < 0x7f;
}

QChar drawFrom(const QString& characters, QRandomGenerator& random)
{
    return characters.at(qsizetype(random.bounded(quint32(characters.size()))));
}

} // namespace

PasswordGenerator::PasswordGenerator(const QString& characters)
{
    QList<QString> byKind(KindCount);
    for (const QChar c : characters) {
        if (isDrawable(c) && !m_all.contains(c)) {
            m_all += c;
            byKind[kindOf(c)] += c;
        }
    }
    for (const QString& kind : byKind) {
        if (!kind.isEmpty()) {
            m_kinds.append(kind);
        }
    }
}

QString PasswordGenerator::generate(int length, QRandomGenerator& random) const
{
    if (m_all.isEmpty() || length < m_kinds.size()) {
        return {};
    }
    QString password;
    for (const QString& kind : m_kinds) {
        password += drawFrom(kind, random);
    }
    while (password.size() < length) {
        password += drawFrom(m_all, random);
    }
    // The first characters were drawn one from each kind; shuffled, they may stand anywhere.
    for (qsizetype i = password.size() - 1; i > 0; --i) {
        std::swap(password[i], password[qsizetype(random.bounded(quint32(i + 1)))]);
    }
    return password;
}

QString PasswordGenerator::generate(int length) const
{
    return generate(length, *QRandomGenerator::system());
}
