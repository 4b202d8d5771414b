#include "app/commandline.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <new>

namespace {

QString dashed(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString spelling(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names()) {
        names << dashed(name);
    }
    const QString value = option.valueName().isEmpty() ? QString() : QStringLiteral(" <%1>").arg(option.valueName());
    return names.join(QStringLiteral(", ")) + value;
}

} // namespace

CommandLine::CommandLine(const QString& description) : m_description(description)
{
    addCommand(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Mostra esta ajuda e termina.")),
               [this](const QString&) {
                   return CommandOutput{0, helpText(), {}};
               });
    addCommand(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                  QStringLiteral("Mostra a versão do programa e termina.")),
               [](const QString&) {
                   return CommandOutput{0,
                                        QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                                      QCoreApplication::applicationVersion()),
                                        {}};
               });
}

void CommandLine::addCommand(const QCommandLineOption& option, Handler handler)
{
    m_parser.addOption(option);
    m_commands.append({option, std::move(handler)});
}

bool CommandLine::parse(const QStringList& arguments)
{
    m_programName = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    m_parsed = m_parser.parse(arguments);
    return !m_parsed || !m_parser.positionalArguments().isEmpty() || requestedCount() > 0;
}

qsizetype CommandLine::requestedCount() const
{
    return std::count_if(m_commands.begin(), m_commands.end(),
                         [this](const Command& command) { return m_parser.isSet(command.option); });
}

const CommandLine::Command* CommandLine::requestedCommand() const
{
    // Help comes first: it answers whatever else was asked alongside.
    const auto found = std::find_if(m_commands.begin(), m_commands.end(),
                                    [this](const Command& command) { return m_parser.isSet(command.option); });
    return found == m_commands.end() ? nullptr : &*found;
}

QString CommandLine::findProblem() const
{
    if (!m_parsed) {
        const QStringList unknown = m_parser.unknownOptionNames();
        return unknown.isEmpty() ? QStringLiteral("Uma opção está sem o seu valor, ou recebeu um que não aceita.")
                                 : QStringLiteral("Opção desconhecida: %1").arg(dashed(unknown.first()));
    }
    if (!m_parser.positionalArguments().isEmpty()) {
        return QStringLiteral("Argumento inesperado: %1").arg(m_parser.positionalArguments().first());
    }
    if (requestedCount() > 1 && requestedCommand() != &m_commands.first()) {
        return QStringLiteral("Use uma opção de cada vez.");
    }
    return {};
}

CommandOutput CommandLine::usage(const QString& problem) const
{
    return {usageError, {}, QStringLiteral("%1\nUse %2 --help para ver as opções.\n").arg(problem, m_programName)};
}

CommandOutput CommandLine::run() const
{
    const QString problem = findProblem();
    const Command* command = requestedCommand();
    if (!problem.isEmpty() || command == nullptr) {
        return usage(problem);
    }
    const bool takesValue = !command->option.valueName().isEmpty();
    try {
        return command->handler(takesValue ? m_parser.value(command->option) : QString());
    } catch (const std::bad_alloc&) {
        // A job holds a whole vault, and a file made of it, in memory; saves are atomic, so ending here is safe.
        return {1, {}, QStringLiteral("Não há memória suficiente para terminar o trabalho.\n")};
    }
}

int CommandLine::runAndPrint() const
{
    const CommandOutput output = run();
    QTextStream(stdout) << output.text;
    QTextStream(stderr) << output.error;
    return output.exitCode;
}

QString CommandLine::helpText() const
{
    qsizetype width = 0;
    for (const Command& command : m_commands) {
        width = std::max(width, spelling(command.option).size());
    }
    QString text = QStringLiteral("Uso: %1 [opção]\n%2\n\nOpções:\n").arg(m_programName, m_description);
    for (const Command& command : m_commands) {
        text += QStringLiteral("  %1  %2\n")
                    .arg(spelling(command.option), -static_cast<int>(width))
                    .arg(command.option.description());
    }
    return text;
}
