// The wizard's speed and memory, each figure measured beside its yardstick
// in the same run; results go to a JSON file with the machine they were
// taken on.
//   zxbench RESULTS.json [FIGURE...]
// FIGUREs (guard, run, load, departments, apply) run only those and replace
// only their entries in RESULTS.json; none runs them all.

#include "Bench.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSysInfo>
#include <QThread>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

QString cpuModel() {
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly))
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown");
}

QJsonObject previousResults(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR",
                QDir::tempPath().toLocal8Bit() + "/runtime-" + QByteArray::number(getuid()));
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString out = args.value(0, QStringLiteral("bench/results.json"));
    const QStringList picked = args.mid(1);
    const std::pair<const char*, void (*)(const QTemporaryDir&)> figures[] = {
        {"guard", zxbench::guardLatency},
        {"run", zxbench::headlessRun},
        {"load", zxbench::loadPhase},
        {"departments", zxbench::departmentCheck},
        {"apply", zxbench::applyJobs}};
    for (const QString& name : picked)
        if (std::none_of(std::begin(figures), std::end(figures),
                         [&](const auto& f) { return name == QLatin1String(f.first); })) {
            std::fprintf(stderr,
                         "zxbench: no figure \"%s\" (guard, run, load, departments, apply)\n",
                         qPrintable(name));
            return 64;
        }

    const double loadBefore = zxbench::loadAverage();
    QTemporaryDir dir;
    QJsonArray results;
    QStringList ran;
    for (const auto& [name, measure] : figures) {
        if (!picked.isEmpty() && !picked.contains(QLatin1String(name)))
            continue;
        const qsizetype from = zxbench::reported().size();
        measure(dir);
        for (qsizetype i = from; i < zxbench::reported().size(); ++i) {
            QJsonObject entry = zxbench::reported().at(i).toObject();
            entry.insert("figure", QLatin1String(name));
            results.append(entry);
        }
        ran << QLatin1String(name);
    }

    // Entries of the figures not run this time stay as they were.
    const QJsonObject previous = previousResults(out);
    for (const QJsonValue& entry : previous.value("results").toArray())
        if (!ran.contains(entry.toObject().value("figure").toString()))
            results.append(entry);
    QJsonObject machine{{"cpu", cpuModel()},
                        {"cores", QThread::idealThreadCount()},
                        {"os", QSysInfo::prettyProductName()},
                        {"qt", QString::fromLatin1(qVersion())},
                        {"sqlite", QString::fromLatin1(sqlite3_libversion())}};
    if (!zxbench::postgresVersion().isEmpty())
        machine.insert("postgresql", zxbench::postgresVersion());
    else if (previous.value("machine").toObject().contains("postgresql"))
        machine.insert("postgresql", previous.value("machine").toObject().value("postgresql"));
    const QJsonObject document{
        {"machine", machine},
        {"taken", QDateTime::currentDateTime().toString(Qt::ISODate)},
        {"loadAverage", QJsonObject{{"before", loadBefore}, {"after", zxbench::loadAverage()}}},
        {"results", results}};
    QSaveFile json(out);
    if (!json.open(QIODevice::WriteOnly) || json.write(QJsonDocument(document).toJson()) < 0 ||
        !json.commit()) {
        std::fprintf(stderr, "zxbench: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("written %s\n", qPrintable(out));
    return 0;
}
