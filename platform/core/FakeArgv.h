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

// The same for an application on the offscreen platform, chosen without
// touching the environment that the host and its children share.
inline int& fakeOffscreenArgc() {
    static int argc = 3;
    return argc;
}

inline char** fakeOffscreenArgv() {
    static char name[] = "zxwizard", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    return argv;
}

}  // namespace zx
