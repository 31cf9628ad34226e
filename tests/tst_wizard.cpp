// The run sequence in process, with the real window: the trapped save, the
// window's lifetime across runs, and what stays untouched on every path.

#include "FaultyDatabase.h"
#include "RecordingHost.h"
#include "TableChanges.h"
#include "TestAccount.h"
#include "component/WizardObject.h"
#include "window/Main.h"
#include "wizard/WBAS.h"
#include "wizard/Wizard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

#include <functional>

using zx::wizard::Wizard;

namespace {

zx::ui::MainControls& controls(QDialog& window) {
    return static_cast<zx::ui::Main&>(window).ui();
}

void finish(QDialog& window, const QString& month) {
    zx::ui::MainControls& c = controls(window);
    c.ComN->click();
    for (zx::ui::TextBox* box : {c.Te26, c.Te33, c.Te43, c.Te55})
        if (box->isEnabled() && box->isVisible())
            box->setText(month);
    c.ComE->click();
}

const char* const Subsystems[] = {"ST", "PU", "SA", "IA", "XX"};

void click(QDialog& window, const char* names) {
    for (const QString& name : QString::fromLatin1(names).split(QLatin1Char(' ')))
        if (window.isVisible())
            window.findChild<QAbstractButton*>(name)->click();
}

// Something that goes wrong with the database while the window is shown:
// the account as set up, or what `strike` does once the window is shown.
struct HandlerFault {
    const char *name, *sys, *clicks;
    QStringList setup;
    const char* strike = nullptr;
    enum { Anywhere, EmbeddedOnly, ServerOnly } where = Anywhere;
};

const char* const Batch = "update AccInformation set cValue='TRUE' where cName='bBatch'";
const char* const Terminate =
    "select pg_terminate_backend(pid) from pg_stat_activity where datname=current_database() and "
    "pid<>pg_backend_pid()";
const HandlerFault HandlerFaults[] = {
    {"an existing-data guard on a dropped column",
     "ST",
     "ComN Ch21 ComE",
     {Batch, "alter table Inventory drop column bInvBatch"}},
    {"a classification guard on a dropped table",
     "XX",
     "Ch15 ComN ComE",
     {"drop table InventoryClass"}},
    {"the department check on a dropped column",
     "IA",
     "ComN Op52 ComE",
     {"update AccInformation set cValue='2001-2-1' where cName='dIAStartDate'",
      "insert into Warehouse (cWhCode,cDepCode) values ('1','D1')",
      "drop index if exists Warehouse_department",
      "alter table Warehouse drop column cWhValueStyle"}},
    {"an account another writer keeps locked",
     "ST",
     "ComN Ch21 ComE",
     {Batch},
     "begin exclusive",
     HandlerFault::EmbeddedOnly},
    {"a lost server connection",
     "ST",
     "ComN Ch21 ComE",
     {Batch},
     Terminate,
     HandlerFault::ServerOnly},
};

// A call on an account set up with `setup` that leaves the window loaded:
// its result, or -1 when the call itself fails.
struct KeptWindowCall {
    const char* name;
    QStringList setup;
    const char* clicks;
    int result;
    bool failCommit = false;
};

// Sales derives its month from purchasing's (May) in each of them.
const char* const PurchasingInMay =
    "update AccInformation set cValue='2001-5-1' where cSysID='PU' and cName='dPUStartDate'";
const KeptWindowCall KeptWindowCalls[] = {
    {"its save failed (1)", {PurchasingInMay}, "ComN ComE", 1, true},
    {"it was refused (2)",
     {PurchasingInMay, "update GL_mend set bflag_PU=1 where iperiod=12"},
     "ComN ComE",
     2},
    {"a handler failed", {PurchasingInMay, "drop table InventoryClass"}, "Ch15 ComN ComE", -1},
};

// The first line where two outcomes part, for a readable failure.
QString firstDifference(const QString& a, const QString& b) {
    const QStringList left = a.split(QLatin1Char('\n')), right = b.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i)
        if (left.value(i) != right.value(i))
            return QStringLiteral("line %1:\n  %2\n  %3").arg(i).arg(left.value(i), right.value(i));
    return {};
}

}  // namespace

class TestWizard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_host = host(); }
    void cleanup() {
        zx::WBAS::UnloadMain();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Every statement of every save fails in turn, the commit last: on
    // SQLite it throws, on the server the connection is lost just before it
    // (its backend terminated). The run returns 1, shows nothing, keeps the
    // reason, and both databases are exactly as before. On SQLite the same
    // connection serves every next run.
    void everyStatementFailsOnce_data() {
        QTest::addColumn<QString>("sys");
        for (const char* sys : Subsystems)
            QTest::newRow(sys) << QString::fromLatin1(sys);
    }
    void everyStatementFailsOnce() {
        QFETCH(QString, sys);
        TestAccount account;
        account.setParam("ST", "dSTStartDate", "2001-2-1");  // so every cross-write runs
        account.setParam("IA", "dIAStartDate", "2001-2-1");
        const QString before = account.dump();
        std::unique_ptr<zx::db::HostDatabase> db;
        for (int k = 1;; ++k) {
            if (!db || TestAccount::onServer())
                db = account.open();
            FaultyDatabase faulty(*db);
            faulty.failAt = k;
            if (TestAccount::onServer())
                faulty.strike = [&account] { account.exec(Terminate); };
            m_host = host();
            m_host.play = [](QDialog& w) { finish(w, QStringLiteral("2")); };
            Wizard wizard;
            const int result = wizard.Run(faulty, sys, m_host);
            if (faulty.statementsInSave < k) {
                QCOMPARE(result, 0);
                QVERIFY(k > 10);
                qInfo("%d statements failed in turn, each rolled back (1) with its reason", k - 1);
                break;
            }
            QCOMPARE(result, 1);
            QVERIFY(m_host.messages.isEmpty());
            const QRegularExpression says(TestAccount::onServer() ? "connection.* lost"
                                                                  : "injected failure");
            QVERIFY2(wizard.saveFailure().contains(says), qPrintable(wizard.saveFailure()));
            QCOMPARE(account.dump(), before);
            // The window stays loaded and hidden for a later run.
            QVERIFY(zx::WBAS::MainIfLoaded());
            QVERIFY(!dynamic_cast<QWidget*>(zx::WBAS::MainIfLoaded())->isVisible());
        }
    }

    // A database error in any handler while the window is shown ends the
    // call: the window closes, the call fails, and nothing is written.
    void aFailingHandlerFailsTheCall_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(HandlerFaults)); ++i)
            QTest::newRow(HandlerFaults[i].name) << i;
    }
    void aFailingHandlerFailsTheCall() {
        QFETCH(int, index);
        const HandlerFault& fault = HandlerFaults[index];
        if (fault.where ==
            (TestAccount::onServer() ? HandlerFault::EmbeddedOnly : HandlerFault::ServerOnly))
            QSKIP("not on this database");
        TestAccount account;
        for (const QString& sql : fault.setup)
            account.exec(sql);
        const QString before = account.dump();
        auto db = account.open();
        m_host.play = [&](QDialog& w) {
            if (fault.strike)
                account.exec(fault.strike);
            click(w, fault.clicks);
            QVERIFY(!w.isVisible());
        };
        QString sys = QString::fromLatin1(fault.sys);
        QVERIFY_THROWS_EXCEPTION(zx::Error, Wizard().Run(*db, sys, m_host));
        QCOMPARE(m_host.shown, 1);
        QCOMPARE(m_host.messages, QStringList());
        if (fault.where == HandlerFault::EmbeddedOnly)
            account.exec("rollback");
        db.reset();
        QCOMPARE(account.dump(), before);
    }

    // The code is compared exactly: "sa" runs the common page alone, with no
    // start-period check, whatever sales would have met.
    void anotherCodeRunsTheCommonPageOnly() {
        TestAccount account;
        account.setParam("PU", "dPUStartDate", "2001-3-1");
        account.exec("update GL_mend set bflag_PU=1 where iperiod=12");
        auto db = account.open();
        m_host.play = [](QDialog& w) { finish(w, QString()); };
        QString sys = QStringLiteral("sa");
        QCOMPARE(Wizard().Run(*db, sys, m_host), 0);
        QCOMPARE(account.param("AA", "bStrsAuxUnit").toString(), QStringLiteral("FALSE"));
        QCOMPARE(account.param("SA", "dSaleStartDate").toString(), QString());
    }

    void cancelNeverBeginsATransaction() {
        TestAccount account;
        const QString before = account.dump();
        auto db = account.open();
        FaultyDatabase faulty(*db);
        m_host.play = [](QDialog& w) { controls(w).ComC->click(); };
        QString sys = QStringLiteral("SA");
        QCOMPARE(Wizard().Run(faulty, sys, m_host), 3);
        QCOMPARE(faulty.beginCount, 0);
        QVERIFY(!zx::WBAS::MainIfLoaded());  // unloaded
        QCOMPARE(sys, QStringLiteral("SA"));
        db.reset();
        QCOMPARE(account.dump(), before);
    }

    // A refused year touches neither the window nor the codes of the run
    // before it.
    void refusedYearTouchesNothing() {
        TestAccount cancelled;
        cancelled.setParam("GL", "dGLStartDate", "2001-1-1");
        TestAccount refused(QStringLiteral("1979"));
        auto first = cancelled.open();
        auto second = refused.open();
        QString sys = QStringLiteral("IA");
        Wizard wizard;
        QCOMPARE(wizard.Run(*first, sys, m_host), 3);
        QCOMPARE(wizard.Run(*second, sys, m_host), 2);
        QCOMPARE(m_host.messages, QStringList{QStringLiteral("打开的数据库有问题！（1979）")});
        QCOMPARE(m_host.titles, QStringList{QStringLiteral("建帐向导")});
        QVERIFY(!zx::WBAS::MainIfLoaded());
        QCOMPARE(wizard.state().CancelCode, 3);
        QCOMPARE(wizard.state().StartCheckMode, std::int16_t(4));
    }

    void hiddenWindowIsReusedAfterARefusal() {
        TestAccount account;
        account.setParam("ST", "dSTStartDate", "2001-3-1");
        account.setParam("PU", "dPUStartDate", "2001-4-1");
        auto db = account.open();
        QString sa = QStringLiteral("SA");
        Wizard wizard;
        QCOMPARE(wizard.Run(*db, sa, m_host), 2);
        QCOMPARE(m_host.shown, 0);
        QCOMPARE(m_host.titles, QStringList{QStringLiteral("向导提示")});
        QCOMPARE(wizard.state().StartCheckMode, std::int16_t(3));
        auto* first = dynamic_cast<zx::ui::Main*>(zx::WBAS::MainIfLoaded());
        QVERIFY(first && first->isFormLoaded() && !first->isVisible());
        first->ui().Ima4->setVisible(true);  // Form_Load would hide it again

        account.setParam("PU", "dPUStartDate", "2001-3-1");
        m_host.play = [first](QDialog& w) {
            QCOMPARE(&w, first);
            QVERIFY(controls(w).Ima4->isVisibleTo(&w));
            QCOMPARE(controls(w).Te43->text(), QStringLiteral("3"));
            controls(w).ComC->click();
        };
        QCOMPARE(wizard.Run(*db, sa, m_host), 3);
        QCOMPARE(m_host.shown, 1);
    }

    // A host that keeps its connection open across calls reads the table as
    // it is now, whoever changed it in between: each call ends exactly as the
    // same call on a connection opened just for it.
    void aKeptConnectionReadsTheTableAsItIsNow_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("byHost");
        QTest::addColumn<bool>("firstFinished");
        for (int i = 0; i < int(std::size(TableChanges)); ++i) {
            for (const bool finished : {true, false}) {
                const char* first = finished ? "a finished call" : "a cancelled call";
                QTest::addRow("%s by another program after %s", TableChanges[i].name, first)
                    << i << false << finished;
                QTest::addRow("%s by the host after %s", TableChanges[i].name, first)
                    << i << true << finished;
            }
        }
    }
    void aKeptConnectionReadsTheTableAsItIsNow() {
        QFETCH(int, index);
        QFETCH(bool, byHost);
        QFETCH(bool, firstFinished);
        TestAccount kept, reference;
        // Switches of both pages away from their defaults: a value read
        // from another column shows.
        for (const TestAccount* account : {&kept, &reference})
            account->given({"AA.bStrsAuxUnit=TRUE", "AA.bGoodClass=FALSE", "SA.bSaleDaily=TRUE",
                            "SA.bDispatch=FALSE", "SA.dSaleStartDate=2001-4-1"});
        auto db = kept.open();
        const auto asShown = [](QDialog& w) { click(w, "ComN ComE"); };
        const auto cancel = [](QDialog& w) { click(w, "ComC"); };
        const auto first = firstFinished ? std::function<void(QDialog&)>(asShown) : cancel;
        QCOMPARE(callOutcome(*db, kept, "SA", first),
                 callOutcome(*reference.open(), reference, "SA", first));

        for (const QString& sql : TableChanges[index].statements) {
            if (byHost)
                db->Execute(sql, {});
            else
                kept.exec(sql);
            reference.exec(sql);
        }
        const QString onKept = callOutcome(*db, kept, "SA", asShown);
        const QString onNew = callOutcome(*reference.open(), reference, "SA", asShown);
        QVERIFY2(onKept == onNew, qPrintable(firstDifference(onKept, onNew)));
    }

    // A window kept by a call that failed or was refused serves the next
    // call on the same account as it was; a call on another account gets a
    // new one, and ends as in a new process.
    void aKeptWindowServesItsAccountOnly_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("sameAccount");
        for (int i = 0; i < int(std::size(KeptWindowCalls)); ++i) {
            QTest::addRow("%s, then the same account", KeptWindowCalls[i].name) << i << true;
            QTest::addRow("%s, then another account", KeptWindowCalls[i].name) << i << false;
        }
    }
    void aKeptWindowServesItsAccountOnly() {
        QFETCH(int, index);
        QFETCH(bool, sameAccount);
        const KeptWindowCall& first = KeptWindowCalls[index];
        TestAccount account;
        for (const QString& sql : first.setup)
            account.exec(sql);
        {
            auto db = account.open();
            FaultyDatabase faulty(*db);
            faulty.failCommit = first.failCommit;
            m_host.play = [&](QDialog& w) { click(w, first.clicks); };
            QString sa = QStringLiteral("SA");
            int result = -1;
            try {
                result = Wizard().Run(faulty, sa, m_host);
            } catch (const zx::Error&) {
            }
            QCOMPARE(result, first.result);
        }
        auto* window = dynamic_cast<QWidget*>(zx::WBAS::MainIfLoaded());
        QVERIFY2(window, "the window is kept");
        QVERIFY(!window->isVisible());
        window->setProperty("keptFromTheFirstCall", true);

        if (sameAccount) {
            m_host = host();
            m_host.play = [](QDialog& w) {
                QVERIFY(w.property("keptFromTheFirstCall").toBool());
                controls(w).ComC->click();
            };
            // The common page alone: the account may still be refused sales.
            QString common = QStringLiteral("XX");
            QCOMPARE(Wizard().Run(*account.open(), common, m_host), 3);
            QCOMPARE(m_host.shown, 1);
            return;
        }
        // An account whose stored month is no date leaves the month box as
        // it finds it.
        const auto noDateMonth = [](const TestAccount& other) {
            other.setParam("SA", "dSaleStartDate", "x");
        };
        const auto asShown = [](QDialog& w) {
            QVERIFY(!w.property("keptFromTheFirstCall").toBool());
            click(w, "ComN ComE");
        };
        TestAccount other, inNewProcess;
        noDateMonth(other);
        noDateMonth(inNewProcess);
        const QString afterFirst = callOutcome(*other.open(), other, "SA", asShown);
        zx::WBAS::UnloadMain();
        const QString alone = callOutcome(*inNewProcess.open(), inNewProcess, "SA", asShown);
        QVERIFY2(afterFirst == alone, qPrintable(firstDifference(afterFirst, alone)));
    }

    // A window whose Form_Load failed is not kept half-loaded: the next call
    // in the process loads a new one, and its Finish saves.
    void aFailedFormLoadLeavesNoWindow() {
        TestAccount account;
        auto db = account.open();
        QString sys = QStringLiteral("SA");
        const QByteArray texts = qgetenv("ZXWIZARD_TEXTS");
        qputenv("ZXWIZARD_TEXTS", "/nonexistent/texts.txt");
        QVERIFY_THROWS_EXCEPTION(zx::Error, Wizard().Run(*db, sys, m_host));
        qputenv("ZXWIZARD_TEXTS", texts);
        QVERIFY(!zx::WBAS::MainIfLoaded());
        m_host.play = [](QDialog& w) {
            QVERIFY(!w.windowTitle().isEmpty());
            finish(w, QStringLiteral("4"));
        };
        QCOMPARE(Wizard().Run(*db, sys, m_host), 0);
        QCOMPARE(account.param("SA", "dSaleStartDate").toString(), QStringLiteral("2001-4-1"));
    }

    // After a save that failed, the host can ask why: one line, passwords
    // masked. After any other result there is nothing to tell.
    void aFailedSaveKeepsItsReason() {
        struct Finishing final : zx::wizard::IWizardObserver {
            bool cancel = false;
            int message(const QString&, const QString&, int) override { return 1; }
            void modalShown(QDialog* w) override {
                if (cancel)
                    w->close();
                else
                    finish(*w, QStringLiteral("4"));
            }
        } observer;
        TestAccount account;
        auto db = account.open();
        FaultyDatabase faulty(*db);
        faulty.failCommit = true;
        faulty.commitError = QStringLiteral("connection lost:\nDriver=x;PWD=s3cret");
        auto* object = new zx::component::WizardObject;
        object->SetObserver(&observer);
        QString sys = QStringLiteral("SA"), reason;
        std::int32_t result = -1;
        QCOMPARE(object->Wizard(faulty, sys, &result), zx::com::S_OK);
        QCOMPARE(result, 1);
        object->GetErrorText(&reason);
        QCOMPARE(reason, QStringLiteral("connection lost: Driver=x;PWD=***"));
        faulty.failCommit = false;
        observer.cancel = true;
        QCOMPARE(object->Wizard(faulty, sys, &result), zx::com::S_OK);
        QCOMPARE(result, 3);
        object->GetErrorText(&reason);
        QCOMPARE(reason, QString());
        object->Release();
    }

    // A second call while the window is shown (from the host's callback)
    // fails and changes nothing; the first goes on to its own end.
    void aSecondCallMeanwhileIsRefused() {
        TestAccount account;
        auto db = account.open();
        const QString before = account.dump();
        struct Finishing final : zx::wizard::IWizardObserver {
            int message(const QString&, const QString&, int) override { return 1; }
            void modalShown(QDialog* w) override { finish(*w, QStringLiteral("4")); }
        } finishing;
        auto* inner = new zx::component::WizardObject;
        inner->SetObserver(&finishing);
        struct Nesting final : zx::wizard::IWizardObserver {
            zx::component::WizardObject* inner;
            zx::db::HostDatabase* db;
            zx::com::HRESULT hr = zx::com::S_OK;
            QString why;
            int message(const QString&, const QString&, int) override { return 1; }
            void modalShown(QDialog* w) override {
                QString sys = QStringLiteral("SA");
                std::int32_t result = 0;
                hr = inner->Wizard(*db, sys, &result);
                inner->GetErrorText(&why);
                w->close();
            }
        } observer;
        observer.inner = inner;
        observer.db = db.get();
        auto* outer = new zx::component::WizardObject;
        outer->SetObserver(&observer);
        QString sys = QStringLiteral("ST");
        std::int32_t result = -1;
        QCOMPARE(outer->Wizard(*db, sys, &result), zx::com::S_OK);
        QCOMPARE(result, 3);
        QCOMPARE(observer.hr, zx::com::DISP_E_EXCEPTION);
        QVERIFY2(observer.why.contains("already running"), qPrintable(observer.why));
        QCOMPARE(account.dump(), before);
        outer->Release();
        inner->Release();
    }

private:
    static RecordingHost host() {
        RecordingHost h;
        h.makeWindow = [] { return std::make_unique<zx::ui::Main>(); };
        return h;
    }

    // Runs `sys` on `db`, the user doing `play`, and tells how it went: the
    // result or the failure, the messages, the window as it was shown, and
    // every row of `account` after it.
    static QString callOutcome(zx::db::HostDatabase& db, const TestAccount& account,
                               const char* sys, const std::function<void(QDialog&)>& play) {
        RecordingHost recording = host();
        QStringList shown;
        recording.play = [&](QDialog& w) {
            shown << QString::fromUtf8(
                QJsonDocument(static_cast<zx::ui::Main&>(w).stateDump()).toJson());
            play(w);
        };
        QString code = QString::fromLatin1(sys), result;
        try {
            result = QString::number(Wizard().Run(db, code, recording));
        } catch (const zx::Error& error) {
            result = QString::fromUtf8(error.what());
        }
        return QStringLiteral("result %1\nmessages %2\n%3\n%4")
            .arg(result, recording.messages.join(QLatin1Char('|')), shown.join(QLatin1Char('\n')),
                 account.dump());
    }

    RecordingHost m_host;
};

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
