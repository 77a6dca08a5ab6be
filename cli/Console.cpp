#include "cli/Console.h"

#include <QtGlobal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

void printToStderr(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void printError(const QString& text) {
    printToStderr(QStringLiteral("ventrix-cli: ") + text + QLatin1Char('\n'));
}

void printNote(const QString& text) {
    printToStderr(text + QLatin1Char('\n'));
}

bool writeToStdout(const char* bytes, std::size_t size) {
    const bool written = std::fwrite(bytes, 1, size, stdout) == size;
    return std::fflush(stdout) == 0 && written;
}

bool stderrIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}
