#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// Data folders with vaults of random entries of about 100 characters (about 850 bytes each in the file), made on
// first use in a temporary folder that goes when the benchmark ends.
namespace Vaults {

// A vault as the program writes it: every record in order.
QString inOrder(int entries);
// A vault in no particular order, as another program or a hand-made file may leave it.
QString shuffled(int entries);
// A vault in the order of its bytes, as a program without collation writes it: capitals before small letters.
QString inCodeOrder(int entries);
// A fresh copy of a data folder, for benchmarks that change the vault.
QString copyOf(const QString& folder);
QString vaultPath(const QString& folder);

QByteArray randomRecord(QRandomGenerator& random);

} // namespace Vaults
