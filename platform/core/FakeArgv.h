#pragma once

// The command line a QApplication is made with where the real one is not at
// hand (a host that has none, a command that keeps its own). Qt keeps
// references to both for the application's lifetime, so they live as long
// as the process.

namespace zx {

inline int& fakeArgc() {
    static int argc = 1;
    return argc;
}

inline char** fakeArgv() {
    static char name[] = "zxwizard";
    static char* argv[] = {name, nullptr};
    return argv;
}

}  // namespace zx
