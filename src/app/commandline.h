#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <functional>

// What a command-line job gives back: its exit status and the texts for standard output and standard error.
struct CommandOutput
{
    int exitCode = 0;
    QString text;
    QString error;
};

// The program's command line. Each option names a job that runs without a window and ends the program; with no
// option the window opens. --help and --version are always there; other jobs are added with their handler.
class CommandLine
{
public:
    // Runs once the application object exists; the value is the option's, when it takes one.
    using Handler = std::function<CommandOutput(const QString& value)>;

    explicit CommandLine(const QString& description);
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    void addCommand(const QCommandLineOption& option, Handler handler);

    // Reads the arguments, the program's name first. False when they ask for no job and hold nothing wrong: the
    // window opens.
    bool parse(const QStringList& arguments);
    // The arguments name a job, whatever else is wrong with them.
    bool namesCommand() const { return requestedCommand() != nullptr; }
    // The job parse() found, or the message of what was wrong with the arguments.
    CommandOutput run() const;
    // run(), its texts printed; returns the exit status.
    int runAndPrint() const;

    QString helpText() const;

    static constexpr int usageError = 2;

private:
    struct Command
    {
        QCommandLineOption option;
        Handler handler;
    };

    CommandOutput usage(const QString& problem) const;
    QString findProblem() const;
    const Command* requestedCommand() const;
    qsizetype requestedCount() const;

    QString m_description;
    QString m_programName;
    QCommandLineParser m_parser;
    QList<Command> m_commands;
    bool m_parsed = false;
};
