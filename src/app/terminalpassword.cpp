#include "app/terminalpassword.h"

#include "secrets/memorywipe.h"

#include <csignal>
#include <cstdio>
#include <optional>

#include <termios.h>
#include <unistd.h>

namespace {

struct termios savedTerminal;

// Echo comes back even when the program is interrupted while the password is typed.
void restoreAndStop(int signalNumber)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// One line of standard input without its line break; nullopt at the end of the input before any line.
std::optional<QByteArray> readLine()
{
    QByteArray line;
    line.reserve(1024); // no copies of a growing password left behind in freed memory
    char c = 0;
    ssize_t got = 0;
    while ((got = read(STDIN_FILENO, &c, 1)) == 1 && c != '\n') {
        line += c;
    }
    if (got != 1 && line.isEmpty()) {
        return std::nullopt;
    }
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    return line;
}

std::optional<QByteArray> askWithoutEcho(const QString& question)
{
    tcgetattr(STDIN_FILENO, &savedTerminal);
    struct termios silent = savedTerminal;
    silent.c_lflag &= ~tcflag_t(ECHO);
    const auto previousInterrupt = std::signal(SIGINT, restoreAndStop);
    const auto previousTerminate = std::signal(SIGTERM, restoreAndStop);
    // Silent before the question shows, so that nothing typed at once is echoed.
    tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    std::fputs(question.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::optional<QByteArray> line = readLine();
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    std::signal(SIGINT, previousInterrupt);
    std::signal(SIGTERM, previousTerminate);
    std::fputs("\n", stderr);
    return line;
}

TerminalPassword::Answer noPassword()
{
    return {{}, QStringLiteral("Nenhuma senha foi lida.")};
}

} // namespace

TerminalPassword::Answer TerminalPassword::existing(const QString& question)
{
    const std::optional<QByteArray> line = isatty(STDIN_FILENO) ? askWithoutEcho(question) : readLine();
    return line ? Answer{*line, {}} : noPassword();
}

TerminalPassword::Answer TerminalPassword::chosen(const QString& question)
{
    if (!isatty(STDIN_FILENO)) {
        const std::optional<QByteArray> line = readLine();
        if (!line) {
            return noPassword();
        }
        return line->isEmpty() ? Answer{{}, QStringLiteral("A senha não pode ficar vazia.")} : Answer{*line, {}};
    }
    std::optional<QByteArray> first = askWithoutEcho(question);
    if (!first || first->isEmpty()) {
        return first ? Answer{{}, QStringLiteral("A senha não pode ficar vazia.")} : noPassword();
    }
    std::optional<QByteArray> second = askWithoutEcho(QStringLiteral("Repita a senha: "));
    if (!second || *second != *first) {
        MemoryWipe::wipe(*first);
        return {{}, QStringLiteral("As senhas digitadas não são iguais.")};
    }
    MemoryWipe::wipe(*second);
    return {*first, {}};
}
