#include "AccountJobs.h"

#include "Snapshot.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QProcess>

#include <memory>

namespace zx::host {

namespace {

QString valueText(const QJsonValue& value) {
    if (value.isObject())
        return storedBytesText(value);
    return value.isNull() ? QStringLiteral("NULL")
                          : QLatin1Char('"') + value.toString() + QLatin1Char('"');
}

QString lastOf(const QList<QJsonObject>& events, const char* kind, const char* field) {
    QString last;
    for (const QJsonObject& e : events)
        if (e.value(QStringLiteral("event")).toString() == QLatin1String(kind))
            last = e.value(QLatin1String(field)).toString();
    return last;
}

QString changes(const QList<QJsonObject>& events, bool dryRun) {
    QStringList parameters, tables;
    for (const QJsonObject& e : events) {
        const QString kind = e.value(QStringLiteral("event")).toString();
        if (kind == QLatin1String("changed"))
            parameters << QStringLiteral("%1 %2 %3 -> %4")
                              .arg(e.value(QStringLiteral("cSysID")).toString(),
                                   e.value(QStringLiteral("cName")).toString(),
                                   e.value(QStringLiteral("inserted")).toBool()
                                       ? QStringLiteral("(new row)")
                                       : valueText(e.value(QStringLiteral("old"))),
                                   valueText(e.value(QStringLiteral("new"))));
        else if (kind == QLatin1String("changedTable"))
            tables << QStringLiteral("%1 %2 row%3")
                          .arg(e.value(QStringLiteral("table")).toString())
                          .arg(e.value(QStringLiteral("rows")).toInt())
                          .arg(e.value(QStringLiteral("rows")).toInt() == 1 ? "" : "s");
    }
    if (parameters.isEmpty() && tables.isEmpty())
        return QStringLiteral("nothing to change");
    // A dry run says what would change; a real one how much did.
    if (dryRun)
        return (parameters + tables).join(QStringLiteral("; "));
    QString text = QStringLiteral("%1 parameter%2 changed")
                       .arg(parameters.size())
                       .arg(parameters.size() == 1 ? "" : "s");
    if (!tables.isEmpty())
        text += QStringLiteral(", ") + tables.join(QStringLiteral(", "));
    return text;
}

}  // namespace

AccountOutcome AccountOutcome::of(int exit, const QList<QJsonObject>& events, const QString& errors,
                                  bool dryRun) {
    const QString message = lastOf(events, "message", "text");
    const QString error = lastOf(events, "error", "message");
    const QString refusedBy = QLatin1Char('"') + message + QLatin1Char('"');
    switch (exit) {
        case 0:
            return {Written, changes(events, dryRun)};
        case 1:
            return {Failed, QStringLiteral("the save failed and was rolled back: ") +
                                lastOf(events, "result", "reason")};
        case 2:
            return {Refused, message.isEmpty() ? QStringLiteral("the start months of the other "
                                                                "subsystems do not allow it")
                                               : refusedBy};
        case 3:
            return message.isEmpty()
                       ? AccountOutcome{Failed, QStringLiteral("the profile ends with the window "
                                                               "open (cancelled)")}
                       : AccountOutcome{Refused, refusedBy};
        case 64:
            return message.isEmpty() ? AccountOutcome{Failed, error}
                                     : AccountOutcome{Refused, refusedBy + QStringLiteral(" (") +
                                                                   error + QLatin1Char(')')};
    }
    const QString why =
        errors.section(QLatin1Char('\n'), 0, 0).remove(QStringLiteral("zxwizard: "));
    return {Failed, exit < 0        ? QStringLiteral("the run crashed")
                    : why.isEmpty() ? QStringLiteral("exit status %1").arg(exit)
                                    : why};
}

void runAccountJobs(const QStringList& common, const QByteArray& input,
                    const QList<AccountJob>& accounts, int jobs, bool dryRun,
                    const std::function<void(const AccountJob&, const AccountOutcome&)>& done) {
    QEventLoop loop;
    qsizetype next = 0, running = 0;
    std::function<void()> startNext;
    auto over = [&](QProcess* process, const AccountJob& job, const AccountOutcome& outcome) {
        done(job, outcome);
        process->deleteLater();
        --running;
        startNext();
        if (running == 0)
            loop.quit();
    };
    startNext = [&] {
        while (running < jobs && next < accounts.size()) {
            const AccountJob& job = accounts[next++];
            auto* process = new QProcess(&loop);
            // Nobody watches these windows; a desktop must not fill with them.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            process->setProcessEnvironment(environment);
            ++running;
            QObject::connect(
                process, &QProcess::finished, &loop,
                [&, process, account = &job](int code, QProcess::ExitStatus status) {
                    QList<QJsonObject> events;
                    for (const QByteArray& line : process->readAllStandardOutput().split('\n'))
                        if (const auto doc = QJsonDocument::fromJson(line); doc.isObject())
                            events << doc.object();
                    over(process, *account,
                         AccountOutcome::of(status == QProcess::NormalExit ? code : -1, events,
                                            QString::fromUtf8(process->readAllStandardError()),
                                            dryRun));
                });
            QObject::connect(
                process, &QProcess::errorOccurred, &loop,
                [&, process, account = &job](QProcess::ProcessError error) {
                    if (error == QProcess::FailedToStart)
                        over(process, job, {AccountOutcome::Failed, process->errorString()});
                });
            process->start(QCoreApplication::applicationFilePath(),
                           QStringList{QStringLiteral("run")} + common + job.arguments);
            process->write(input);
            process->closeWriteChannel();
        }
    };
    startNext();
    if (running > 0)
        loop.exec();
}

}  // namespace zx::host
