#pragma once

#include <QString>
#include <cstddef>

// Standard output carries only what was asked for (a port name, the CSV text); everything
// for the operator goes to standard error.

// Writes `text` to standard error as it is, and flushes it.
void printToStderr(const QString& text);

// "ventrix-cli: " + text, as one line on standard error.
void printError(const QString& text);

// `text` as one line on standard error.
void printNote(const QString& text);

// Writes the bytes to standard output and flushes them; false when they could not all be
// written (the reason is then in errno).
bool writeToStdout(const char* bytes, std::size_t size);

// True when standard error is a terminal, where the progress bar is redrawn in place.
bool stderrIsTerminal();
