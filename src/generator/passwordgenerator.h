#pragma once

#include <QList>
#include <QString>

class QRandomGenerator;

// Draws new passwords from a character set: every character at random from the set, with at least one of each kind
// the set holds (lower-case letter, upper-case letter, digit, other). Only the set's printable ASCII characters but
// the space are drawn: every site takes them and every keyboard types them; a space at a password's end is
// invisible, and one-line boxes refuse line breaks.
class PasswordGenerator
{
public:
    static constexpr int defaultLength = 20;

    explicit PasswordGenerator(const QString& characters);

    // A password of the given length, which must be at least the number of kinds the set holds; empty when the set
    // holds nothing that can be drawn.
    QString generate(int length, QRandomGenerator& random) const;
    // The same, drawn by the system's cryptographically secure generator.
    QString generate(int length) const;

    // The characters drawn from, each once, grouped by kind.
    const QList<QString>& kinds() const { return m_kinds; }

private:
    QList<QString> m_kinds;
    QString m_all;
};
