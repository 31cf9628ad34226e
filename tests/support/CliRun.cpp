#include "CliRun.h"

#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryFile>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

QList<QJsonObject> CliResult::eventsOf(const QString& kind) const {
    QList<QJsonObject> out;
    for (const QJsonObject& e : events)
        if (e.value(QStringLiteral("event")).toString() == kind)
            out << e;
    return out;
}

QStringList CliResult::messages() const {
    QStringList texts;
    for (const QJsonObject& e : eventsOf(QStringLiteral("message")))
        texts << e.value(QStringLiteral("text")).toString();
    return texts;
}

int CliResult::resultCode() const {
    const auto results = eventsOf(QStringLiteral("result"));
    return results.isEmpty() ? -1 : results.last().value(QStringLiteral("code")).toInt();
}

QJsonObject CliResult::lastState() const {
    const auto states = eventsOf(QStringLiteral("state"));
    return states.isEmpty() ? QJsonObject() : states.last();
}

CliResult runCli(const QStringList& args, const QString& script,
                 const QStringList& extraEnvironment) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString& assignment : extraEnvironment)
        env.insert(assignment.section(QLatin1Char('='), 0, 0),
                   assignment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    QStringList fullArgs = args;
    if (!script.isNull())
        fullArgs << QStringLiteral("--script") << QStringLiteral("-");
    process.start(QStringLiteral(ZXWIZARD_CLI), fullArgs);
    CliResult result;
    if (!process.waitForStarted()) {
        result.stderrText = QStringLiteral("zxwizard did not start: ") + process.errorString();
        return result;
    }
    if (!script.isNull())
        process.write(script.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        // A hung run is a failure of its own, never an exit status.
        process.kill();
        process.waitForFinished();
        result.exitCode = -3;
        result.stderrText = QStringLiteral("zxwizard did not finish within 60 s");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.stdoutText = QString::fromUtf8(process.readAllStandardOutput());
    result.stderrText = QString::fromUtf8(process.readAllStandardError());
    for (const QString& line : result.stdoutText.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8());
        if (doc.isObject())
            result.events << doc.object();
    }
    return result;
}

QString onTerminal(const QStringList& args) {
    std::vector<QByteArray> words{ZXWIZARD_CLI};
    for (const QString& a : args)
        words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::unsetenv("DISPLAY");
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    ::close(terminal);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(out).remove('\r');
}
