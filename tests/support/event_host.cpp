/* A host of the C interface that acts from inside a run, at the first event
 * of the script it plays (a message box, a dump):
 *   event_host CONNECTION SYSTEM SCRIPT INSIDE [ARGUMENT]
 * INSIDE is what it does then:
 *   none                nothing
 *   run, close, release calls zxwizard_run (the same wizard on the same
 *                       account), zxwizard_db_close or zxwizard_release, as a
 *                       careless or hostile host would, and prints what the
 *                       call said
 *   hold DIR            creates DIR/loaded and waits for DIR/go: another
 *                       administrator may work meanwhile
 *   command CMD         runs CMD (another run, in another process)
 * Then it prints the run's result and zxwizard_error, and closes both. */
#include <zxwizard.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Inside {
    const char* call;
    const char* argument;
    zxwizard* wizard;
    zxwizard_db* db;
    bool done;
};

bool is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

void hold(const std::string& dir) {
    if (FILE* loaded = std::fopen((dir + "/loaded").c_str(), "w"))
        std::fclose(loaded);
    for (int waited = 0; waited < 120000 && access((dir + "/go").c_str(), F_OK) != 0; waited += 10)
        usleep(10000);
}

void onEvent(const char*, void* context) {
    auto* in = static_cast<Inside*>(context);
    if (in->done)
        return;
    in->done = true;
    if (is(in->call, "run")) {
        const int result = zxwizard_run(in->wizard, in->db, "SA");
        std::printf("inside %d %s\n", result, zxwizard_error(in->wizard));
    } else if (is(in->call, "close")) {
        zxwizard_db_close(in->db);
        std::printf("inside %s\n", zxwizard_last_error());
    } else if (is(in->call, "release")) {
        zxwizard_release(in->wizard);
        std::printf("inside %s\n", zxwizard_last_error());
    } else if (is(in->call, "hold")) {
        hold(in->argument);
    } else if (is(in->call, "command") && std::system(in->argument) != 0) {
        std::fprintf(stderr, "the command run inside the run failed\n");
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const bool takesArgument = argc > 4 && (is(argv[4], "hold") || is(argv[4], "command"));
    if (argc != (takesArgument ? 6 : 5)) {
        std::fprintf(stderr, "usage: %s CONNECTION SYSTEM SCRIPT INSIDE [ARGUMENT]\n", argv[0]);
        return 64;
    }
    Inside in{argv[4], takesArgument ? argv[5] : "", nullptr, zxwizard_db_open(argv[1]), false};
    in.wizard = in.db ? zxwizard_create(ZXWIZARD_PROGID) : nullptr;
    if (!in.wizard) {
        std::fprintf(stderr, "cannot start: %s\n", zxwizard_last_error());
        return 4;
    }
    int result = ZXWIZARD_CALL_FAILED;
    if (zxwizard_play(in.wizard, argv[3], onEvent, &in) == 0)
        result = zxwizard_run(in.wizard, in.db, argv[2]);
    std::printf("result %d %s\n", result, zxwizard_error(in.wizard));
    zxwizard_release(in.wizard);
    zxwizard_db_close(in.db);
    return 0;
}
