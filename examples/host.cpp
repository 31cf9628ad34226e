// A host written in C++ with Qt: opens an account, creates the component by
// its ProgID, runs the wizard and says how it ended.
//   host-cpp CONNECTION SUBSYSTEM [CONTROL | CONTROL=TEXT]...
// With controls, it watches the run instead of a person: it clicks each
// named button or fills each named box in turn once the window shows, and
// prints every message box.

#include <com/ComRuntime.h>
#include <core/Error.h>
#include <dbkit/QtSqlDatabase.h>
#include <wizard/WizardApi.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>

#include <cstdio>

using namespace zx;

class Clicker final : public wizard::IWizardObserver {
public:
    explicit Clicker(QStringList actions) : m_actions(std::move(actions)) {}

    int message(const QString& text, const QString& title, int) override {
        std::printf("message %s: %s\n", qPrintable(title), qPrintable(text));
        return 1;  // OK
    }
    void modalShown(QDialog* window) override {
        for (const QString& action : m_actions) {
            const QString name = action.section(QLatin1Char('='), 0, 0);
            if (auto* box = window->findChild<QLineEdit*>(name); box && action.contains('='))
                box->setText(action.section(QLatin1Char('='), 1));
            else if (auto* button = window->findChild<QAbstractButton*>(name))
                button->click();
            else
                std::fprintf(stderr, "no control %s\n", qPrintable(name));
        }
        if (window->isVisible())
            window->close();  // what nobody finished is cancelled
    }

private:
    QStringList m_actions;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s CONNECTION SUBSYSTEM [CONTROL | CONTROL=TEXT]...\n",
                     argv[0]);
        return 64;
    }
    try {
        const auto account = db::openDatabase(args[1]);
        QString error;
        const auto wizard = com::ComRuntime::create<wizard::_Wizard>(
            QString::fromLatin1(wizard::ProgId), wizard::IID__Wizard, &error);
        if (!wizard)
            throw Error(error);
        Clicker clicker(args.mid(3));
        const auto automation =
            wizard.query<wizard::IWizardAutomation>(wizard::IID_IWizardAutomation);
        if (automation && args.size() > 3)
            automation->SetObserver(&clicker);
        QString cSys = args[2];
        std::int32_t result = 0;
        const com::HRESULT hr = wizard->Wizard(*account, cSys, &result);
        if (automation)
            automation->SetObserver(nullptr);
        QString why;
        if (const auto errorText = wizard.query<wizard::IErrorText>(wizard::IID_IErrorText))
            errorText->GetErrorText(&why);
        if (com::Failed(hr))
            throw Error(why.isEmpty() ? com::describeHResult(hr) : why);
        const char* const words[] = {"written", "failed and rolled back", "refused", "cancelled"};
        std::printf("%s%s%s\n", words[result], why.isEmpty() ? "" : ": ", qPrintable(why));
        return result;
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 4;
    }
}
