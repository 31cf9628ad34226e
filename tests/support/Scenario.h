#pragma once

// Table-driven runs of `zxwizard run`: a starting account, the user's
// actions and, in words (see Story.h), what the run must print, return and
// leave behind:
//   on SA           the subsystem code given with --sys (SA when not said)
//   year Y, file F  the account's year (2001) and file name
//   with OPTION     an option more for the command, e.g. --dry-run
//   given S.n=v     parameter rows set first (S.n.cDefault=v another column)
//   exit N          the exit status (0)
//   says TEXT       every message box, in order (none when not said)
//   titled TEXT     their titles, in order ("" for none)
//   writes S.n=v    cValue afterwards (NULL: Null)
//   shows C.p=v     a property of a control in the last dump
//   unchanged       both databases as before, and no change reported
//   err, reason     a fragment of stderr, of the result event's reason
//   hides TEXT      what neither stdout nor stderr may contain
//   sqlite WHY      the row runs on the embedded database only, for this reason

#include <QString>
#include <QStringList>

struct Scenario {
    QString name;
    QStringList setup;  // SQL run on the account first
    QString script;     // its lines separated by " | "
    QString story;
};

void addScenarioRows(const QList<Scenario>& scenarios);
// Plays a scenario on a fresh account and checks what its story says.
void runScenario(const Scenario& scenario);

// SQL that closes the months from..to of a subsystem's flag in GL_mend.
QString closeMonths(const QString& flag, int from, int to);
