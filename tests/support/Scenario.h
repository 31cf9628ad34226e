#pragma once

// Table-driven runs of `zxwizard run`, a row a line: "name: story", the
// story telling in words (see Story.h) the starting account, the user's
// actions and what the run must print, return and leave behind:
//   on SA           the subsystem code given with --sys (SA when not said)
//   year Y, file F  the account's year (2001) and file name
//   sql "S"         statements run on the account first
//   given S.n=v     parameter rows set then (S.n.cDefault=v another column)
//   with OPTION     an option more for the command, e.g. --dry-run
//   do A | B        the script's lines
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

void addScenarioRows(const QStringList& rows);
// Plays a row on a fresh account and checks what its story says.
void runScenario(const QString& row);
