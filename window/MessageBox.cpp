#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zx::ui {

int showMessageBox(const QString& prompt, int buttons, const QString& title) {
    QMessageBox box(QApplication::activeModalWidget());
    box.setText(prompt);
    box.setWindowTitle(title);
    // The product speaks Chinese whatever the locale and whatever
    // translations are installed; the button keeps its role, so Enter,
    // Space and Escape act on it as on any OK button.
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
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
