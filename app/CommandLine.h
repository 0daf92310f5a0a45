#pragma once

#include <QStringList>

// What the command line asks for: media to open (absolute local paths and
// addresses, in order), or a text to print and an exit code.
struct CommandLineRequest {
    QStringList items;
    QString message;
    // -1: the program starts; otherwise print `message` and end with this code.
    int exitCode = -1;
    bool startsProgram() const { return exitCode < 0; }
    bool isError() const { return exitCode > 0; }
};

namespace CommandLine
{
// `arguments` includes the program name first, as QCoreApplication::arguments().
// Relative paths are made absolute against the current folder, so another copy
// of the program that receives them finds the same files.
CommandLineRequest parse(const QStringList &arguments);
QString helpText();
QString versionText();
} // namespace CommandLine
