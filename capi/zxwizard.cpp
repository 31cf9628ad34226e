// The C interface over the C++ one. Nothing may leave a C function as an
// exception: every failure becomes a NULL, a -1 and a text.

#include "zxwizard.h"

#include "Commands.h"
#include "EventWriter.h"
#include "Script.h"
#include "ScriptDriver.h"
#include "com/ComRuntime.h"
#include "dbkit/ConnectionText.h"
#include "dbkit/QtSqlDatabase.h"
#include "wizard/WizardApi.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QScopeGuard>

#include <optional>

using namespace zx;

struct zxwizard_db {
    std::unique_ptr<db::HostDatabase> database;
    int runs = 0;  // runs using it now: it is not closed under them
};

struct zxwizard {
    com::ComPtr<wizard::_Wizard> object;
    QByteArray error;
    std::optional<std::vector<host::Action>> script;
    zxwizard_event_fn onEvent = nullptr;
    void* context = nullptr;
    bool running = false;  // not released under its own run
};

namespace {

thread_local QByteArray t_lastError;

// The host's texts are UTF-8 whatever the locale says.
QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// One line, passwords masked: what a host may log.
QByteArray described(const QString& error) {
    return db::maskedConnectionText(error).simplified().toUtf8();
}

template <class T>
T* failed(const QString& error) {
    t_lastError = described(error);
    return nullptr;
}

// The events of a scripted run, each handed to the host as one JSON object;
// the last error is kept for zxwizard_error.
class CallbackEvents final : public host::EventWriter {
public:
    CallbackEvents(zxwizard_event_fn onEvent, void* context)
        : m_onEvent(onEvent), m_context(context) {}

    void write(const QJsonObject& event) override {
        if (m_onEvent)
            m_onEvent(QJsonDocument(event).toJson(QJsonDocument::Compact).constData(), m_context);
    }
    void error(const QString& message) override {
        m_lastError = message;
        write({{QStringLiteral("event"), QStringLiteral("error")},
               {QStringLiteral("message"), message}});
    }
    const QString& lastError() const { return m_lastError; }

private:
    zxwizard_event_fn m_onEvent;
    void* m_context;
    QString m_lastError;
};

int runWizard(zxwizard* wizard, db::HostDatabase& database, const QString& subsystem) {
    CallbackEvents events(wizard->onEvent, wizard->context);
    std::optional<host::ScriptDriver> driver;
    if (wizard->script)
        driver.emplace(*std::exchange(wizard->script, std::nullopt), events);
    auto automation =
        wizard->object.query<wizard::IWizardAutomation>(wizard::IID_IWizardAutomation);
    if (driver && automation)
        automation->SetObserver(&*driver);
    QString cSys = subsystem;
    std::int32_t result = 0;
    const com::HRESULT hr = wizard->object->Wizard(database, cSys, &result);
    if (driver && automation)
        automation->SetObserver(nullptr);
    QString reason;
    if (auto errorText = wizard->object.query<wizard::IErrorText>(wizard::IID_IErrorText))
        errorText->GetErrorText(&reason);
    if (com::Failed(hr)) {
        wizard->error = described(reason.isEmpty() ? com::describeHResult(hr) : reason);
        return ZXWIZARD_CALL_FAILED;
    }
    if (driver) {
        driver->finish();
        if (driver->failed()) {
            wizard->error = described(QStringLiteral("the script was not played to its end: ") +
                                      events.lastError());
            return ZXWIZARD_CALL_FAILED;
        }
    }
    wizard->error = described(reason);
    return result;
}

}  // namespace

extern "C" {

zxwizard_db* zxwizard_db_open(const char* connection) {
    if (!connection || !*connection)
        return failed<zxwizard_db>(QStringLiteral("no connection text"));
    try {
        return new zxwizard_db{db::openDatabase(text(connection))};
    } catch (const std::exception& error) {
        return failed<zxwizard_db>(QString::fromUtf8(error.what()));
    }
}

void zxwizard_db_close(zxwizard_db* db) {
    if (db && db->runs > 0) {
        t_lastError = "zxwizard_db_close refused: a run on this account is going";
        return;
    }
    delete db;
}

zxwizard* zxwizard_create(const char* prog_id) {
    if (!prog_id || !*prog_id)
        return failed<zxwizard>(QStringLiteral("no ProgID"));
    QString error;
    auto object =
        com::ComRuntime::create<wizard::_Wizard>(text(prog_id), wizard::IID__Wizard, &error);
    if (!object)
        return failed<zxwizard>(error);
    auto* created = new zxwizard;
    created->object = std::move(object);
    return created;
}

void zxwizard_release(zxwizard* wizard) {
    if (wizard && wizard->running) {
        t_lastError = "zxwizard_release refused: its run is going";
        return;
    }
    delete wizard;
}

int zxwizard_run(zxwizard* wizard, zxwizard_db* db, const char* sys) {
    if (!wizard)
        return ZXWIZARD_CALL_FAILED;
    if (!db || !sys) {
        wizard->error = "zxwizard_run needs an open account and a subsystem";
        return ZXWIZARD_CALL_FAILED;
    }
    // The host's callback may try to close either handle while this run
    // uses it; both stay until the run is over.
    ++db->runs;
    const bool nested = std::exchange(wizard->running, true);
    const auto over = qScopeGuard([&] {
        --db->runs;
        wizard->running = nested;
    });
    try {
        return runWizard(wizard, *db->database, text(sys));
    } catch (const std::exception& error) {
        wizard->error = described(QString::fromUtf8(error.what()));
    } catch (...) {
        wizard->error = "unknown failure";
    }
    return ZXWIZARD_CALL_FAILED;
}

const char* zxwizard_error(const zxwizard* wizard) {
    return wizard ? wizard->error.constData() : "";
}

const char* zxwizard_last_error(void) {
    return t_lastError.constData();
}

int zxwizard_play(zxwizard* wizard, const char* script, zxwizard_event_fn on_event, void* context) {
    if (!wizard)
        return -1;
    if (!script) {
        wizard->error = "zxwizard_play needs a script";
        return -1;
    }
    QString error;
    auto actions = host::parseScript(text(script), &error);
    if (!actions) {
        wizard->error = described(QStringLiteral("script: ") + error);
        return -1;
    }
    wizard->script = std::move(actions);
    wizard->onEvent = on_event;
    wizard->context = context;
    wizard->error.clear();
    return 0;
}

}  // extern "C"
