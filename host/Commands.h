#pragma once

#include "core/Display.h"

#include <QStringList>

#include <memory>

class QApplication;

namespace zx::host {

// Exit statuses of the command.
enum Exit { ExitOk = 0, ExitFailed = 1, ExitCallFailed = 4, ExitUsage = 64 };

// Each takes the arguments after the command's name.
int createAccountCommand(const QStringList& args);
int runCommand(const QStringList& args);
int showCommand(const QStringList& args);
int registerCommand(const QStringList& args, bool unregister);
int demoCommand(const QStringList& args);
int exportCommand(const QStringList& args);
int applyCommand(const QStringList& args);

// Shared by the commands.
void printError(const QString& message);
// A line on stdout, its control characters escaped: paths and texts come
// from whoever named the folders.
void printLine(const QString& line);
// The widget application of a command that runs the window; its only
// argument is the program's name, whatever the command line held.
std::unique_ptr<QApplication> widgetApplication();

}  // namespace zx::host
