#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace zx::ui {

int showMessageBox(const QString& prompt, int buttons, const QString& title) {
    QMessageBox box(QApplication::activeModalWidget());
    box.setText(prompt);
    box.setWindowTitle(title);
    box.setStandardButtons(QMessageBox::Ok);
    switch (buttons & 0x70) {
        case 16:
            box.setIcon(QMessageBox::Critical);
            break;
        case 32:
            box.setIcon(QMessageBox::Question);
            break;
        case 48:
            box.setIcon(QMessageBox::Warning);
            break;
        case 64:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    box.exec();
    return 1;
}

}  // namespace zx::ui
