// The floor of a headless run: a minimal Qt program that builds an offscreen
// dialog with as many widgets as the wizard's window, shows it and exits.

#include "FloorDialog.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zxbench::showFloorDialog();
    return 0;
}
