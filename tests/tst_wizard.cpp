// The run sequence in process: the trapped save, the window's lifetime
// across runs, and what stays untouched on every path.

#include "FaultyDatabase.h"
#include "TestAccount.h"
#include "window/Main.h"
#include "wizard/WBAS.h"
#include "wizard/Wizard.h"
#include "wizard/WizardApi.h"

#include <QApplication>
#include <QTest>

#include <functional>

using zx::wizard::Wizard;

namespace {

// Plays a few user steps once the window is shown and records messages.
class Observer final : public zx::wizard::IWizardObserver {
public:
    std::function<void(zx::ui::Main&)> play;
    QStringList messages;
    int shown = 0;

    int message(const QString& text, const QString&, int) override {
        messages << text;
        return 1;
    }
    void modalShown(QDialog* window) override {
        ++shown;
        if (play)
            play(*static_cast<zx::ui::Main*>(window));
        if (window->isVisible())
            window->close();
    }
};

void finish(zx::ui::Main& form, const QString& month) {
    zx::ui::MainControls& c = form.ui();
    c.ComN->click();
    for (zx::ui::TextBox* box : {c.Te26, c.Te33, c.Te43, c.Te55})
        if (box->isEnabled() && box->isVisible())
            box->setText(month);
    c.ComE->click();
}

const char* const Subsystems[] = {"ST", "PU", "SA", "IA", "XX"};

}  // namespace

class TestWizard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        zx::WBAS::SetObserver(&m_observer);
        m_observer = Observer();
    }
    void cleanup() {
        zx::WBAS::SetObserver(nullptr);
        zx::WBAS::UnloadMain();
        zx::WBAS::ReapUnloaded();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Every statement of every save fails once: the run returns 1, shows
    // nothing, and both databases are exactly as before.
    void everyStatementFailsOnce_data() {
        QTest::addColumn<QString>("sys");
        for (const char* sys : Subsystems)
            QTest::newRow(sys) << QString::fromLatin1(sys);
    }
    void everyStatementFailsOnce() {
        QFETCH(QString, sys);
        int statements = 0;
        {
            TestAccount account;
            account.setParam("ST", "dSTStartDate", "2001-2-1");  // so every cross-write runs
            account.setParam("IA", "dIAStartDate", "2001-2-1");
            auto db = account.open();
            FaultyDatabase faulty(*db);
            m_observer.play = [](zx::ui::Main& f) { finish(f, QStringLiteral("2")); };
            QCOMPARE(Wizard().Run(faulty, sys), 0);
            statements = faulty.statementsInSave;
            QVERIFY(statements > 10);
        }
        for (int k = 1; k <= statements + 1; ++k) {
            TestAccount account;
            account.setParam("ST", "dSTStartDate", "2001-2-1");
            account.setParam("IA", "dIAStartDate", "2001-2-1");
            const QString before = account.dump();
            auto db = account.open();
            FaultyDatabase faulty(*db);
            faulty.failAt = k <= statements ? k : 0;
            faulty.failCommit = k > statements;
            m_observer = Observer();
            m_observer.play = [](zx::ui::Main& f) { finish(f, QStringLiteral("2")); };
            QCOMPARE(Wizard().Run(faulty, sys), 1);
            QVERIFY(m_observer.messages.isEmpty());
            db.reset();
            QCOMPARE(account.dump(), before);
            // The window stays loaded and hidden for a later run.
            QVERIFY(zx::WBAS::MainIfLoaded());
            QVERIFY(!zx::WBAS::MainIfLoaded()->isVisible());
        }
    }

    void cancelNeverBeginsATransaction() {
        TestAccount account;
        const QString before = account.dump();
        auto db = account.open();
        FaultyDatabase faulty(*db);
        m_observer.play = [](zx::ui::Main& f) { f.ui().ComC->click(); };
        QString sys = QStringLiteral("SA");
        QCOMPARE(Wizard().Run(faulty, sys), 3);
        QCOMPARE(faulty.beginCount, 0);
        QVERIFY(!zx::WBAS::MainIfLoaded());  // unloaded
        QCOMPARE(sys, QStringLiteral("SA"));
        db.reset();
        QCOMPARE(account.dump(), before);
    }

    void refusedYearTouchesNothing() {
        TestAccount account(QStringLiteral("1979"));
        auto db = account.open();
        zx::WBAS::CancelCode = 3;
        zx::WBAS::StartCheckMode = 4;
        QString sys = QStringLiteral("IA");
        QCOMPARE(Wizard().Run(*db, sys), 2);
        QCOMPARE(m_observer.messages, QStringList{QStringLiteral("打开的数据库有问题！（1979）")});
        QVERIFY(!zx::WBAS::MainIfLoaded());
        QCOMPARE(zx::WBAS::CancelCode, 3);
        QCOMPARE(zx::WBAS::StartCheckMode, std::int16_t(4));
    }

    void hiddenWindowIsReusedAfterARefusal() {
        TestAccount account;
        account.setParam("ST", "dSTStartDate", "2001-3-1");
        account.setParam("PU", "dPUStartDate", "2001-4-1");
        auto db = account.open();
        QString sa = QStringLiteral("SA");
        QCOMPARE(Wizard().Run(*db, sa), 2);
        QCOMPARE(m_observer.shown, 0);
        QCOMPARE(zx::WBAS::StartCheckMode, std::int16_t(3));
        zx::ui::Main* first = zx::WBAS::MainIfLoaded();
        QVERIFY(first && first->isFormLoaded() && !first->isVisible());
        first->ui().Ima4->setVisible(true);  // Form_Load would hide it again

        account.setParam("PU", "dPUStartDate", "2001-3-1");
        m_observer.play = [first](zx::ui::Main& f) {
            QCOMPARE(&f, first);
            QVERIFY(f.ui().Ima4->isVisibleTo(&f));
            QCOMPARE(f.ui().Te43->text(), QStringLiteral("3"));
            f.ui().ComC->click();
        };
        QCOMPARE(Wizard().Run(*db, sa), 3);
        QCOMPARE(m_observer.shown, 1);
    }

    void aFailingLoadFailsTheCall() {
        TestAccount account;
        account.exec("alter table AccInformation rename to Renamed");
        auto db = account.open();
        QString sys = QStringLiteral("SA");
        QVERIFY_THROWS_EXCEPTION(zx::Error, Wizard().Run(*db, sys));
        QCOMPARE(m_observer.shown, 0);
    }

    void accountIdAndYearComeFromTheName() {
        TestAccount account(QStringLiteral("2007"), QStringLiteral("A7x"));
        auto db = account.open();
        Wizard wizard;
        QString sys = QStringLiteral("XX");
        m_observer.play = [](zx::ui::Main& f) { f.close(); };
        QCOMPARE(wizard.Run(*db, sys), 3);
        QCOMPARE(wizard.AccountYear, QStringLiteral("2007"));
        QCOMPARE(wizard.AccountId, QStringLiteral("A7x"));
    }

    // The code is compared exactly: "sa" is no subsystem, so purchasing's
    // closed December cannot refuse it and only the common rows are written.
    void lowerCaseCodeIsNoSubsystem() {
        TestAccount account;
        account.setParam("PU", "dPUStartDate", "2001-3-1");
        account.exec("update GL_mend set bflag_PU=1 where iperiod=12");
        auto db = account.open();
        QString sys = QStringLiteral("sa");
        m_observer.play = [](zx::ui::Main& f) { finish(f, QString()); };
        QCOMPARE(Wizard().Run(*db, sys), 0);
        QCOMPARE(account.param("SA", "dSaleStartDate").toString(), QString());
    }

private:
    Observer m_observer;
};

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
