// keyhound-sample-vault [--ordem-dos-codigos] FOLDER [COUNT] [PASSWORD]
// Creates the data files in FOLDER (when missing) and adds COUNT invented sample entries (default 20), all in one
// rewrite of the vault, in order. With a PASSWORD, the settings store it as the master password and ask for it at
// start. --ordem-dos-codigos writes the records in the order of their character codes instead, as a program that
// knows no collation would: titles with accented initials after every other one.
#include "storage/atomicwriter.h"
#include "storage/entryrecord.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"
#include "storage/windows1252.h"
#include "wording/storagewording.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

namespace {

struct Sample
{
    const char* title;
    const char* login;
    const char* site;
    const char* description;
};

// Invented services and people: every address is on a reserved example domain.
const Sample samples[] = {
    {"Banco Aurora", "cliente.ana", "banco-aurora", "Conta corrente e poupança.\r\nToken no celular."},
    {"Correio Pessoal", "ana.ribeiro", "correio", "Recuperação pelo celular."},
    {"Loja Pinheiro", "ana.r", "loja-pinheiro", "Compras de fim de ano."},
    {"Farmácia Central", "ana-ribeiro", "farmacia-central", "Cartão fidelidade 4471."},
    {"Wi-Fi de Casa", "admin", "roteador", "Roteador da sala.\r\nRede: CASA_5G"},
    {"Escola das Crianças", "responsavel.ana", "escola", "Portal de notas e avisos."},
    {"Operadora Celular", "linha.principal", "operadora", "Plano família."},
    {"Cinema Lumière", "ana.cinema", "lumiere", ""},
    {"Clube de Leitura", "leitora.ana", "clube-leitura", "Encontros na primeira sexta do mês."},
    {"Prefeitura - IPTU", "contribuinte-5520", "prefeitura", "Segunda via do carnê."},
    {"Academia Forte", "ana.forte", "academia", "Plano anual."},
    {"Nuvem de Fotos", "ana.fotos", "nuvem-fotos", "Backup automático do celular."},
    {"Jornal Diário", "assinante.ana", "jornal", "Assinatura digital."},
    {"Seguro do Carro", "apolice-55821", "seguradora", "Vence junto com o licenciamento."},
    {"Companhia Aérea", "fidelidade.ana", "aerea", "Milhas: número 88120."},
    {"Energia Elétrica", "instalacao-30094", "energia", "Débito automático."},
    {"Trabalho - VPN", "aribeiro", "vpn.trabalho", "Trocar a senha a cada 90 dias."},
    {"Mercado Online", "ana.compras", "mercado", ""},
    {"Biblioteca Municipal", "leitor-7781", "biblioteca", "Renovação de empréstimos."},
    {"Hotel Serra Azul", "ana.serra", "serra-azul", "Reserva de julho."},
    {"Água e Esgoto", "matricula-10442", "agua", "Conta por e-mail."},
    {"Ótica Visão", "ana.otica", "otica-visao", "Receita de março."},
    {"Éden Jardinagem", "ana.jardim", "eden", ""},
};

QByteArray expiryFor(int index, QDate today)
{
    // Every third entry has no expiry date. Counted from today, so that the list always shows some entries expired
    // and one about to expire; the others expire some months ahead.
    if (index % 3 == 2) {
        return EntryRecord::noExpiry;
    }
    QDate expiry = today.addMonths(index + 2).addDays(index * 3);
    if (index % 6 == 1) {
        expiry = today.addDays(-7 * (index + 1));
    } else if (index == 3) {
        expiry = today.addDays(12);
    }
    return expiry.toString(QStringLiteral("dd/MM/yy")).toLatin1();
}

QByteArray passwordFor(int index)
{
    static const char pool[] = "abcdefghjkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QByteArray password;
    unsigned state = 2654435761u * unsigned(index + 1);
    for (int length = 0; length < 10; ++length) {
        state = state * 1103515245u + 12345u;
        password.append(pool[(state >> 16) % (sizeof(pool) - 1)]);
    }
    return password;
}

QByteArray recordFor(int index, const QDateTime& posted)
{
    const Sample& sample = samples[index % std::size(samples)];
    QString title = QString::fromUtf8(sample.title);
    if (index >= int(std::size(samples))) {
        title += QStringLiteral(" %1").arg(index / std::size(samples) + 1);
    }
    const QString address = QStringLiteral("https://www.%1.example").arg(QLatin1String(sample.site));
    return EntryRecord::join({
        Windows1252::fromUnicode(title),
        expiryFor(index, posted.date()),
        EntryRecord::updateStamp(posted.addDays(-index * 11)),
        Windows1252::fromUnicode(QString::fromUtf8(sample.login)),
        passwordFor(index),
        Windows1252::fromUnicode(address),
        Windows1252::fromUnicode(QString::fromUtf8(sample.description)),
    });
}

// The vault's entries and the samples, sorted, written in one rewrite, streamed; the vault is read back to count
// them.
StorageResult addSamples(Vault& vault, int count, bool codeOrder)
{
    QList<QByteArray> records;
    records.reserve(vault.entries().size() + count);
    for (qsizetype i = 0; i < vault.entries().size(); ++i) {
        records.append(vault.entries().at(i));
    }
    const QDateTime now = QDateTime::currentDateTime();
    for (int index = 0; index < count; ++index) {
        records.append(recordFor(index, now));
    }
    if (codeOrder) { // written after an empty list, just as they are
        std::sort(records.begin(), records.end());
    }
    const EntryList sorted(codeOrder ? QList<QByteArray>() : std::move(records));
    AtomicWriter writer(vault.vaultPath());
    const auto sink = [&writer](QByteArrayView piece) { return writer.append(piece); };
    const QByteArray& key = vault.settings().installationKey;
    const bool written = writer.open() && VaultFile::writeWithAddedRecords(sink, sorted, records, key) &&
                         writer.commit(AtomicWriter::Commit::ReplaceKeepingBackup);
    return written ? vault.open()
                   : StorageResult::failed(StorageReason::CannotWrite, vault.vaultPath(), writer.failure());
}

int fail(const QString& message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool codeOrder = arguments.removeAll(QStringLiteral("--ordem-dos-codigos")) > 0;
    if (arguments.isEmpty() || arguments.size() > 3) {
        return fail(QStringLiteral("Uso: keyhound-sample-vault [--ordem-dos-codigos] PASTA [QUANTIDADE] [SENHA]"));
    }
    bool countOk = true;
    const int count = arguments.size() > 1 ? arguments.at(1).toInt(&countOk) : 20;
    if (!countOk || count < 0) {
        return fail(QStringLiteral("Quantidade inválida: %1").arg(arguments.at(1)));
    }

    QDir().mkpath(arguments.at(0));
    Vault vault(arguments.at(0));
    StorageResult result = vault.open();
    if (result.ok() && count > 0) {
        result = addSamples(vault, count, codeOrder);
    }
    if (result.ok() && arguments.size() > 2) {
        result = vault.saveSettings(Windows1252::fromUnicode(arguments.at(2)), true);
    }
    if (!result.ok()) {
        return fail(StorageWording::message(result));
    }
    QTextStream(stdout) << vault.entries().size() << " entradas em " << vault.vaultPath() << '\n';
    return 0;
}
