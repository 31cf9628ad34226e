#pragma once

#include <QCommandLineParser>

#include <optional>

namespace zx::host {

// Parses one command's arguments; answers --help itself. nullopt means the
// command is over, with the exit status in *exit.
bool parseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int* exit);

}  // namespace zx::host
