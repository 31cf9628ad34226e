#pragma once

// Table-driven scenarios: a starting account, the user's actions as a
// script, and what the run must print, return and leave in the database.

#include <QJsonValue>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

struct ParamCheck {
    QString sys, name;
    QVariant value;  // invalid QVariant: the value must be NULL
};

struct SqlCheck {
    QString sql;     // first column of the first row
    QVariant value;  // invalid QVariant: NULL or no row
};

struct ControlCheck {
    QString control, property;  // as in the last dump
    QJsonValue value;
};

struct Scenario {
    QString name;
    QString year = QStringLiteral("2001");
    QString fileName;   // default ZXDATA_001_<year>.db
    QStringList setup;  // SQL run on the account first
    QString sys = QStringLiteral("SA");
    QString script = QStringLiteral("close");
    int exit = 0;
    QStringList messages;  // every message box, in order
    QStringList titles;    // their titles, when the row names them
    QList<ParamCheck> params;
    QList<SqlCheck> sql;
    QList<ControlCheck> controls;
    bool unchanged = false;  // the databases byte for byte as before
    QString errorContains;   // for a failed call: a word of the error
    QString notOnServer;     // why the scenario cannot pass on the server, if it cannot
};

Q_DECLARE_METATYPE(Scenario)

// Runs the scenario through `zxwizard run` on a fresh account and checks
// every expectation with QTest macros.
void runScenario(const Scenario& scenario);

// SQL that arranges a parameter: "update AccInformation set cValue=..."
QString setParam(const QString& sys, const QString& name, const QString& value);
QString setParamNull(const QString& sys, const QString& name);
QString closeMonths(const QString& flag, int from, int to);
