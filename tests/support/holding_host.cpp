/* A host of the C interface that stops a run between its load and its Finish, for the tests
 * of two administrators on one account:
 *   holding_host CONNECTION SYSTEM SCRIPT DIR [COMMAND]
 * At the first message box of the script the run holds: with COMMAND it
 * runs COMMAND (another run of the wizard, in another process) and goes on;
 * without, it creates DIR/loaded and waits for DIR/go. Prints the result
 * and, for a failed save, its reason. */
#include <zxwizard.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

struct hold {
    const char* dir;
    const char* command;
    int held;
};

static int exists(const char* dir, const char* name) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s", dir, name);
    return access(path, F_OK) == 0;
}

static void on_event(const char* json, void* context) {
    auto* hold = static_cast<struct hold*>(context);
    if (hold->held || !strstr(json, "\"message\""))
        return;
    hold->held = 1;
    if (hold->command) {
        if (system(hold->command) != 0)
            fprintf(stderr, "the command held in the run failed\n");
        return;
    }
    char path[4096];
    snprintf(path, sizeof path, "%s/loaded", hold->dir);
    FILE* loaded = fopen(path, "w");
    if (loaded)
        fclose(loaded);
    for (int waited = 0; waited < 120000 && !exists(hold->dir, "go"); waited += 10)
        usleep(10000);
}

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) {
        fprintf(stderr, "usage: %s CONNECTION SYSTEM SCRIPT DIR [COMMAND]\n", argv[0]);
        return 64;
    }
    struct hold hold = {argv[4], argc == 6 ? argv[5] : nullptr, 0};
    zxwizard_db* db = zxwizard_db_open(argv[1]);
    zxwizard* wizard = db ? zxwizard_create(ZXWIZARD_PROGID) : nullptr;
    if (!wizard) {
        fprintf(stderr, "cannot start: %s\n", zxwizard_last_error());
        return 4;
    }
    int result = ZXWIZARD_CALL_FAILED;
    if (zxwizard_play(wizard, argv[3], on_event, &hold) == 0)
        result = zxwizard_run(wizard, db, argv[2]);
    printf("result %d\n%s\n", result, zxwizard_error(wizard));
    zxwizard_release(wizard);
    zxwizard_db_close(db);
    return 0;
}
