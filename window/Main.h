#pragma once

// Form Main: the wizard's only window, a view of the setup of a run. The
// loads decide values in the setup and the window shows them, the user
// changes them here, and Finish hands them back for the saves.

#include "Controls.h"
#include "wizard/WizardView.h"

#include <QDialog>
#include <QJsonObject>
#include <QList>

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

namespace zx {
class ResourceProvider;
namespace wizard {
struct Classification;
struct ExistingDataGuard;
}  // namespace wizard
}  // namespace zx

namespace zx::ui {

struct MainControls {
    Frame* FraB;
    Label *La1, *La2, *La3;
    Image *Ima1, *Ima4;
    CommandButton *ComP, *ComN, *ComE, *ComC, *ComC1;
    Label* LaT;
    PictureBox *PicS1, *PicS2, *PicS3, *PicS4, *PicS5;
    Frame *Fra1, *Fra2, *Fra3, *Fra4, *Fra5;
    // Page 1: common parameters.
    CheckBox *Ch11, *Ch12, *Ch13, *Ch14, *Ch15, *Ch16, *Ch17, *Ch18;
    Label* La15;
    TextBox* Te11;
    // Page of ST.
    CheckBox *Ch21, *Ch22, *Ch23, *Ch24, *Ch25, *Ch27;
    Label* La26;
    TextBox* Te26;
    // Page of PU.
    CheckBox *Ch31, *Ch32;
    Label* La33;
    TextBox* Te33;
    // Page of SA.
    CheckBox *Ch41, *Ch42, *Ch43, *Ch44, *Ch45, *Ch46, *Ch47, *Ch48, *Ch49, *Ch410;
    Label *La45, *La46, *La47;
    TextBox *Te41, *Te42, *Te43;
    // Page of IA.
    PictureBox *Pic51, *Pic52, *Pic53, *Pic54;
    Label *La51, *La52, *La53, *La54, *La55;
    OptionButton *Op51, *Op52, *Op53, *Op54, *Op55, *Op56, *Op57, *Op58, *Op59, *Op510;
    OptionButton *Op511, *Op512, *Op513, *Op514, *Op515, *Op516;
    TextBox* Te55;
};

class Main : public QDialog, public wizard::WizardView {
    Q_OBJECT
public:
    Main();
    ~Main() override;

    // The subsystem whose page step 2 shows; set by attach().
    QString SysCode;

    // The controls; the first access runs Form_Load.
    MainControls& ui();
    bool isFormLoaded() const { return m_formLoaded; }

    void attach(const QString& sysCode, wizard::RunHost& host,
                wizard::AccountQueries* queries) override;
    void detach() override;
    void present(const wizard::SetupModel& model, const QStringList& controls) override;
    Ending showModal() override;
    void collect(wizard::SetupModel& model) const override;

    // Every control of the inventory with its state, for scripted runs.
    Q_INVOKABLE QJsonObject stateDump() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The step is the Tag of ComN (and of ComP): "1" or "2".
    static const QString StepOne;
    static const QString StepTwo;

    void buildForm();
    void connectHandlers();
    void Form_Load();
    void LoadCaptions();
    void setMousePointer(int pointer);
    QWidget* control(const QString& name) const;

    // Navigation and validation.
    void ComN_Click();
    void ComP_Click();
    void enterStep(const QLabel* step, QWidget* fallback);
    void ComE_Click();
    void ComC_Click();
    bool MonthCheck(TextBox* box);
    bool DepartmentCheck();
    void showPageOfSysCode(bool shown);

    // Option rules.
    void ExistingDataGuard(CheckBox* box, const wizard::ExistingDataGuard& guard);
    void ClassificationGuard(CheckBox* box, const wizard::Classification& kind);
    void EnablingRule(CheckBox* box, Label* label, TextBox* text);
    void Ch11_Click();
    void UpdatePlanOptionCaptions();
    void Te11_KeyPress(std::int16_t& KeyAscii);
    wizard::AccountQueries& queries();

    int MsgBox(const QString& text, int flags, const QString& title);
    // Runs a handler so that no failure escapes into Qt's event dispatch.
    template <class F>
    void handle(F&& handler);
    void rethrowHandlerError();

    MainControls m_ui{};
    // Each page with its controls in focus order.
    std::vector<std::pair<QWidget*, QList<QWidget*>>> m_pageFocusOrders;
    std::unique_ptr<ResourceProvider> m_provider;
    bool m_formLoaded = false;
    int m_mousePointer = 0;  // 0 default, 11 hourglass
    Ending m_ending = Ending::Finished;
    bool m_modal = false;  // inside showModal()
    wizard::RunHost* m_host = nullptr;
    wizard::AccountQueries* m_queries = nullptr;
    std::exception_ptr m_pendingError;
};

}  // namespace zx::ui
