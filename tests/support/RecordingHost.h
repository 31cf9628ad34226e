#pragma once

// A run's host for in-process tests: records every message box, makes the
// window with `makeWindow` and, once it is shown, plays `play` and closes
// what is still open (as the close box: Cancel).

#include "wizard/WizardView.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class RecordingHost final : public zx::wizard::RunHost {
public:
    std::function<std::unique_ptr<zx::wizard::WizardView>()> makeWindow;
    std::function<void(QDialog&)> play;
    QStringList messages;
    QStringList titles;
    int shown = 0;

    int MsgBox(const QString& prompt, int, const QString& title) override {
        messages << prompt;
        titles << title;
        return 1;
    }
    std::unique_ptr<zx::wizard::WizardView> createWindow() override { return makeWindow(); }
    void modalShown(zx::wizard::WizardView& view) override {
        ++shown;
        auto& window = dynamic_cast<QDialog&>(view);
        if (play)
            play(window);
        if (window.isVisible())
            window.close();
    }
};
