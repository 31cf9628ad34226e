/* A host of the C interface that calls it again from inside a run, as a
 * careless or hostile host would:
 *   calling_host CONNECTION SYSTEM SCRIPT INSIDE
 * At the first event of the script it makes the call INSIDE names: "none",
 * "run" (the same wizard on the same account), "close" (zxwizard_db_close)
 * or "release" (zxwizard_release), and prints what that call said. Then it
 * prints the run's result and zxwizard_error, and closes both handles. */
#include <zxwizard.h>

#include <cstdio>
#include <cstring>

struct inside {
    const char* call;
    zxwizard* wizard;
    zxwizard_db* db;
    int called;
};

static void on_event(const char*, void* context) {
    auto* in = static_cast<struct inside*>(context);
    if (in->called || strcmp(in->call, "none") == 0)
        return;
    in->called = 1;
    if (strcmp(in->call, "run") == 0) {
        const int result = zxwizard_run(in->wizard, in->db, "SA");
        printf("inside %d %s\n", result, zxwizard_error(in->wizard));
    } else if (strcmp(in->call, "close") == 0) {
        zxwizard_db_close(in->db);
        printf("inside %s\n", zxwizard_last_error());
    } else if (strcmp(in->call, "release") == 0) {
        zxwizard_release(in->wizard);
        printf("inside %s\n", zxwizard_last_error());
    }
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: %s CONNECTION SYSTEM SCRIPT INSIDE\n", argv[0]);
        return 64;
    }
    struct inside in = {argv[4], nullptr, zxwizard_db_open(argv[1]), 0};
    in.wizard = in.db ? zxwizard_create(ZXWIZARD_PROGID) : nullptr;
    if (!in.wizard) {
        fprintf(stderr, "cannot start: %s\n", zxwizard_last_error());
        return 4;
    }
    int result = ZXWIZARD_CALL_FAILED;
    if (zxwizard_play(in.wizard, argv[3], on_event, &in) == 0)
        result = zxwizard_run(in.wizard, in.db, argv[2]);
    printf("result %d %s\n", result, zxwizard_error(in.wizard));
    zxwizard_release(in.wizard);
    zxwizard_db_close(in.db);
    return 0;
}
