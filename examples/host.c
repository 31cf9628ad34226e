/* A host written in C: opens an account, runs the wizard on it and says how
 * it ended. It has no Qt application of its own; the component makes one.
 *   host-c CONNECTION SUBSYSTEM [SCRIPT]
 * With SCRIPT, a file of user actions, the wizard plays it instead of
 * waiting for a person and every message box is printed. */
#include <zxwizard.h>

#include <stdio.h>
#include <stdlib.h>

static char* read_file(const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file)
        return NULL;
    char* text = NULL;
    size_t size = 0;
    if (fseek(file, 0, SEEK_END) == 0 && (size = (size_t)ftell(file)) != (size_t)-1 &&
        fseek(file, 0, SEEK_SET) == 0 && (text = malloc(size + 1)) != NULL) {
        size = fread(text, 1, size, file);
        text[size] = '\0';
    }
    fclose(file);
    return text;
}

static void print_event(const char* json, void* context) {
    (void)context;
    printf("%s\n", json);
}

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        fprintf(stderr, "usage: %s CONNECTION SUBSYSTEM [SCRIPT]\n", argv[0]);
        return 64;
    }
    zxwizard_db* db = zxwizard_db_open(argv[1]);
    if (!db) {
        fprintf(stderr, "cannot open the account: %s\n", zxwizard_last_error());
        return 4;
    }
    zxwizard* wizard = zxwizard_create(ZXWIZARD_PROGID);
    if (!wizard) {
        fprintf(stderr, "cannot create the wizard: %s\n", zxwizard_last_error());
        zxwizard_db_close(db);
        return 4;
    }
    int result = ZXWIZARD_CALL_FAILED;
    char* script = argc == 4 ? read_file(argv[3]) : NULL;
    if (argc == 4 && !script)
        fprintf(stderr, "cannot read %s\n", argv[3]);
    else if (!script || zxwizard_play(wizard, script, print_event, NULL) == 0)
        result = zxwizard_run(wizard, db, argv[2]);
    free(script);

    switch (result) {
        case ZXWIZARD_WRITTEN:
            printf("written\n");
            break;
        case ZXWIZARD_FAILED:
            printf("failed and rolled back: %s\n", zxwizard_error(wizard));
            break;
        case ZXWIZARD_REFUSED:
            printf("refused\n");
            break;
        case ZXWIZARD_CANCELLED:
            printf("cancelled\n");
            break;
        default:
            fprintf(stderr, "the call failed: %s\n", zxwizard_error(wizard));
            result = 4;
    }
    zxwizard_release(wizard);
    zxwizard_db_close(db);
    return result;
}
