#pragma once

// SQLite's default file system, wrapped so that a test can make storage
// fail: the n-th I/O call of chosen kinds returns an error, or the power
// goes at the k-th sync and the writes not yet synced are dropped or torn.
// It is installed as the process's default file system, so every connection
// opened afterwards goes through it (openedFiles() tells).

#include <QStringList>

namespace StorageFaults {

enum Call : unsigned {
    Read = 1,
    Write = 2,
    Sync = 4,
    Truncate = 8,
    Lock = 16,
    FileSize = 32,
    Delete = 64,
    Access = 128,
    AnyCall = 255
};

// Registers the wrapper as SQLite's default file system (once).
void install();

// From now on counts the calls of `kinds`; the n-th fails with `code`, or
// with the I/O error that names its kind when `code` is 0.
void failCall(int n, unsigned kinds, int code = 0);
// From now on counts syncs; at the k-th the power goes: every write since
// its file's last sync is lost, or with `torn` a random half of its 512-byte
// sectors is kept; after that no call reaches the disk until disarm().
void losePowerAtSync(int k, unsigned seed, bool torn);
// Stops counting and injecting; counted() and struck() keep their values.
void disarm();

int counted();
// The kind of call that failed, 0 when none did.
Call struck();
QStringList openedFiles();

}  // namespace StorageFaults
