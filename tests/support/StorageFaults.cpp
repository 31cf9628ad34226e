#include "StorageFaults.h"

#include <QHash>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <bit>
#include <map>

namespace {

using namespace StorageFaults;

// A disk writes 512 bytes at a time at least; a page may be torn between them.
constexpr int Sector = 512;

// What a file held, sector by sector, before the writes since its last sync.
struct Unsynced {
    sqlite3_int64 size = 0;
    std::map<sqlite3_int64, QByteArray> sectors;
};

struct File {
    sqlite3_file base;
    sqlite3_file* real;  // the wrapped file, in the memory right after this one
};

struct State {
    sqlite3_vfs* real = nullptr;
    sqlite3_vfs vfs{};
    sqlite3_io_methods methods{};
    enum { Off, Failing, LosingPower, PowerLost } mode = Off;
    unsigned kinds = 0;
    int at = 0, code = 0, count = 0;
    Call struck = Call(0);  // the call that failed, or Sync when the power went
    bool torn = false;
    QRandomGenerator random;
    QHash<File*, Unsynced> unsynced;
    QStringList opened;
};

State& state() {
    static State s;
    return s;
}

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}

int errorOf(Call kind) {
    constexpr int Errors[] = {SQLITE_IOERR_READ,     SQLITE_IOERR_WRITE, SQLITE_IOERR_FSYNC,
                              SQLITE_IOERR_TRUNCATE, SQLITE_IOERR_LOCK,  SQLITE_IOERR_FSTAT,
                              SQLITE_IOERR_DELETE,   SQLITE_IOERR_ACCESS};
    return Errors[std::countr_zero(unsigned(kind))];
}

// The error to return instead of making the call, or SQLITE_OK.
int fault(Call kind) {
    State& s = state();
    if (s.mode == State::PowerLost)
        return errorOf(kind);
    if (s.mode != State::Failing || !(s.kinds & kind) || ++s.count != s.at)
        return SQLITE_OK;
    s.struck = kind;
    return s.code ? s.code : errorOf(kind);
}

// Keeps what the sectors about to be written held since the last sync.
void remember(File* file, sqlite3_int64 offset, int amount) {
    State& s = state();
    if (s.mode != State::LosingPower)
        return;
    const bool first = !s.unsynced.contains(file);
    Unsynced& before = s.unsynced[file];
    if (first)
        file->real->pMethods->xFileSize(file->real, &before.size);
    for (sqlite3_int64 at = offset / Sector * Sector; at < offset + amount; at += Sector) {
        if (before.sectors.count(at))
            continue;
        QByteArray old(Sector, '\0');  // a short read fills the rest with zeros
        file->real->pMethods->xRead(file->real, old.data(), Sector, at);
        before.sectors[at] = old;
    }
}

// Every file is put back as the disk would have it after a power loss.
void losePower() {
    State& s = state();
    for (auto it = s.unsynced.begin(); it != s.unsynced.end(); ++it) {
        sqlite3_file* f = it.key()->real;
        sqlite3_int64 size = 0;
        f->pMethods->xFileSize(f, &size);
        sqlite3_int64 end = it->size;
        for (const auto& [at, old] : it->sectors) {
            if (s.torn && s.random.bounded(2)) {
                end = std::max(end, std::min(at + Sector, size));
                continue;
            }
            f->pMethods->xWrite(f, old.constData(), Sector, at);
        }
        f->pMethods->xTruncate(f, end);
    }
    s.unsynced.clear();
    s.mode = State::PowerLost;
    s.struck = Sync;
}

// The wrapped file's method, unless a fault of `kind` is due first.
template <auto Method, Call kind, typename... Args>
int forward(sqlite3_file* f, Args... args) {
    if (const int rc = kind != 0 ? fault(kind) : SQLITE_OK)
        return rc;
    return (real(f)->pMethods->*Method)(real(f), args...);
}

int fileClose(sqlite3_file* f) {
    state().unsynced.remove(reinterpret_cast<File*>(f));
    return real(f)->pMethods->xClose(real(f));
}

int fileWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    if (const int rc = fault(Write))
        return rc;
    remember(reinterpret_cast<File*>(f), offset, amount);
    return real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}

int fileSync(sqlite3_file* f, int flags) {
    State& s = state();
    if (s.mode == State::LosingPower && ++s.count == s.at)
        losePower();
    const int rc = forward<&sqlite3_io_methods::xSync, Sync>(f, flags);
    if (rc == SQLITE_OK)
        s.unsynced.remove(reinterpret_cast<File*>(f));
    return rc;
}

int vfsOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    State& s = state();
    auto* file = reinterpret_cast<File*>(f);
    file->base.pMethods = nullptr;
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    if (s.mode == State::PowerLost)
        return SQLITE_CANTOPEN;
    const int rc = s.real->xOpen(s.real, name, file->real, flags, outFlags);
    if (rc == SQLITE_OK)
        file->base.pMethods = &s.methods;
    else if (file->real->pMethods)  // a failed open may still need closing
        file->real->pMethods->xClose(file->real);
    if (name)
        s.opened << QString::fromUtf8(name);
    return rc;
}

int vfsDelete(sqlite3_vfs*, const char* name, int syncDir) {
    if (const int rc = fault(Delete))
        return rc;
    return state().real->xDelete(state().real, name, syncDir);
}

int vfsAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
    if (const int rc = fault(Access))
        return rc;
    return state().real->xAccess(state().real, name, flags, out);
}

}  // namespace

namespace StorageFaults {

void install() {
    State& s = state();
    if (s.real)
        return;
    s.real = sqlite3_vfs_find(nullptr);
    s.vfs = *s.real;
    s.vfs.zName = "storage-faults";
    s.vfs.szOsFile = int(sizeof(File)) + s.real->szOsFile;
    s.vfs.pNext = nullptr;
    s.vfs.xOpen = vfsOpen;
    s.vfs.xDelete = vfsDelete;
    s.vfs.xAccess = vfsAccess;
    // Version 1: no shared memory and no memory mapping, so every byte goes
    // through xRead and xWrite. A truncation is taken as lasting at once
    // (SQLite's default journal mode never shrinks a file in a save), and
    // unlocking always works (a lost power releases every lock too).
    using M = sqlite3_io_methods;
    constexpr Call Never = Call(0);
    s.methods = {1,
                 fileClose,
                 forward<&M::xRead, Read>,
                 fileWrite,
                 forward<&M::xTruncate, Truncate>,
                 fileSync,
                 forward<&M::xFileSize, FileSize>,
                 forward<&M::xLock, Lock>,
                 forward<&M::xUnlock, Never>,
                 forward<&M::xCheckReservedLock, Never>,
                 forward<&M::xFileControl, Never>,
                 forward<&M::xSectorSize, Never>,
                 forward<&M::xDeviceCharacteristics, Never>};
    sqlite3_vfs_register(&s.vfs, 1);
}

void failCall(int n, unsigned kinds, int code) {
    State& s = state();
    s.mode = State::Failing;
    s.kinds = kinds;
    s.at = n;
    s.code = code;
    s.count = 0;
    s.struck = Call(0);
}

void losePowerAtSync(int k, unsigned seed, bool torn) {
    failCall(k, Sync);
    State& s = state();
    s.mode = State::LosingPower;
    s.torn = torn;
    s.random.seed(seed);
}

void disarm() {
    State& s = state();
    s.mode = State::Off;
    s.unsynced.clear();
}

int counted() {
    return state().count;
}

Call struck() {
    return state().struck;
}

QStringList openedFiles() {
    return state().opened;
}

}  // namespace StorageFaults
