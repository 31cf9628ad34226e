#pragma once

// Runs the built zxwizard command and collects its JSON events.

#include <QJsonObject>
#include <QList>
#include <QStringList>

struct CliResult {
    // -1 the command did not start, -2 it crashed, -3 it hung and was killed.
    int exitCode = -1;
    QList<QJsonObject> events;
    QString stdoutText;
    QString stderrText;

    QList<QJsonObject> eventsOf(const QString& kind) const;
    QStringList messages() const;   // texts of the message events, in order
    int resultCode() const;         // code of the result event, -1 if none
    QJsonObject lastState() const;  // the last dump
};

CliResult runCli(const QStringList& args, const QString& script = QString(),
                 const QStringList& extraEnvironment = {});

// The command's output, stdout and stderr together, when both are a
// terminal.
QString onTerminal(const QStringList& args);
