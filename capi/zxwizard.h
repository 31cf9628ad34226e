/* ZXWizard for hosts written in C: open an account, create the component by
 * its ProgID, run the wizard, read its result and why it failed, release.
 *
 * Texts are UTF-8. Call everything from the thread that shows the host's
 * windows: the wizard runs a modal window on it. A host without a Qt
 * application of its own gets one on the first run. */
#ifndef ZXWIZARD_H
#define ZXWIZARD_H

#if defined(__GNUC__)
#define ZXWIZARD_EXPORT __attribute__((visibility("default")))
#else
#define ZXWIZARD_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define ZXWIZARD_PROGID "ZXWizard.Wizard"

/* What zxwizard_run returns: the component's result, or that the call failed. */
enum zxwizard_result {
    ZXWIZARD_CALL_FAILED = -1, /* the call failed before a result; zxwizard_error says why */
    ZXWIZARD_WRITTEN = 0,      /* the user finished and everything was written */
    ZXWIZARD_FAILED = 1,       /* the save failed and was rolled back; zxwizard_error says why */
    ZXWIZARD_REFUSED = 2,      /* the account cannot be set up now; the window did not open */
    ZXWIZARD_CANCELLED = 3     /* the user cancelled; nothing was written */
};

typedef struct zxwizard_db zxwizard_db;
typedef struct zxwizard zxwizard;

/* Opens the account a connection text names, for example
 *   Provider=SQLite;Data Source=/srv/acc/ZXDATA_001_2026.db
 *   Provider=ODBC;DSN=zxdata001;UID=wizard;PWD=secret
 * NULL when it cannot; zxwizard_last_error() says why. */
ZXWIZARD_EXPORT zxwizard_db* zxwizard_db_open(const char* connection);
/* db is invalid afterwards. While a run on it is going (from on_event) the
 * call is refused: db stays open and zxwizard_last_error() says why. */
ZXWIZARD_EXPORT void zxwizard_db_close(zxwizard_db* db);

/* Creates the class registered under prog_id (ZXWIZARD_PROGID) in the
 * user's class registry or the system's. NULL when it cannot;
 * zxwizard_last_error() says why. */
ZXWIZARD_EXPORT zxwizard* zxwizard_create(const char* prog_id);
/* wizard is invalid afterwards. While its run is going (from on_event) the
 * call is refused: wizard stays and zxwizard_last_error() says why. */
ZXWIZARD_EXPORT void zxwizard_release(zxwizard* wizard);

/* Runs the wizard on db for subsystem sys: "ST", "PU", "SA" or "IA"; any
 * other text sets up the common parameters alone. Returns a zxwizard_result.
 * One run at a time in a process, on the thread that made the process's
 * QApplication (the first run's thread when the host has none): a second
 * run meanwhile, from on_event or another thread, returns -1 and changes
 * nothing. Without a screen only a run that plays a script can be made. */
ZXWIZARD_EXPORT int zxwizard_run(zxwizard* wizard, zxwizard_db* db, const char* sys);

/* Why the last run of wizard failed (-1) or its save was rolled back (1):
 * one line, passwords masked; "" after any other result. A run refused from
 * on_event of another leaves its error until that run returns, which
 * reports its own. Valid until the next call on wizard. */
ZXWIZARD_EXPORT const char* zxwizard_error(const zxwizard* wizard);

/* Why the last zxwizard_db_open or zxwizard_create of this thread failed,
 * or a zxwizard_db_close or zxwizard_release was refused. */
ZXWIZARD_EXPORT const char* zxwizard_last_error(void);

/* For a host's own tests and unattended set-ups: the next run of wizard
 * plays script, user actions in the grammar of `zxwizard run --script`, in
 * the window instead of waiting for a person, and answers every message box
 * with OK (without a screen the window runs offscreen). Every message box,
 * skipped action and error of that run reaches on_event, when not NULL, as
 * one JSON object. An action that cannot be played cancels the window and
 * the run returns -1. Returns 0, or -1 when the script does not parse
 * or script is NULL (zxwizard_error says where). */
typedef void (*zxwizard_event_fn)(const char* json, void* context);
ZXWIZARD_EXPORT int zxwizard_play(zxwizard* wizard, const char* script, zxwizard_event_fn on_event,
                                  void* context);

#ifdef __cplusplus
}
#endif

#endif
