// Every control's events joined to its handler, and what becomes of a
// handler that fails.

#include "Main.h"

#include "wizard/AccountQueries.h"

namespace zx::ui {

// A handler that fails (on the database, mostly) must not let the change it
// guarded through: the failure is kept, the modal display ends, and the
// call that showed the window fails with it. Nothing is saved.
template <class F>
void Main::handle(F&& handler) {
    try {
        handler();
    } catch (const std::exception&) {
        if (!m_pendingError)
            m_pendingError = std::current_exception();
        if (m_modal)
            hide();
    }
}

// The kept failure, raised again in the frame of the call that showed the
// window or set its values.
void Main::rethrowHandlerError() {
    if (m_pendingError)
        std::rethrow_exception(std::exchange(m_pendingError, nullptr));
}

void Main::connectHandlers() {
    MainControls& c = m_ui;
    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { handle(handler); });
    };
    on(c.ComN, &QPushButton::clicked, [this] { ComN_Click(); });
    on(c.ComP, &QPushButton::clicked, [this] { ComP_Click(); });
    on(c.ComE, &QPushButton::clicked, [this] { ComE_Click(); });
    on(c.ComC, &QPushButton::clicked, [this] { ComC_Click(); });
    on(c.ComC1, &QPushButton::clicked, [this] { ComC_Click(); });

    for (const wizard::ExistingDataGuard& guard : wizard::existingDataGuards()) {
        auto* box = findChild<CheckBox*>(QLatin1String(guard.box));
        on(box, &CheckBox::Click, [this, box, &guard] { ExistingDataGuard(box, guard); });
    }
    // The fixed rate follows auxiliary units once their guard has spoken.
    on(c.Ch11, &CheckBox::Click, [this] { Ch11_Click(); });
    for (const wizard::Classification& kind : wizard::classifications()) {
        auto* box = findChild<CheckBox*>(QLatin1String(kind.box));
        on(box, &CheckBox::Click, [this, box, &kind] { ClassificationGuard(box, kind); });
    }
    const std::tuple<CheckBox*, Label*, TextBox*> enabling[] = {
        {c.Ch14, c.La15, c.Te11}, {c.Ch49, c.La45, c.Te41}, {c.Ch410, c.La46, c.Te42}};
    for (const auto& [box, label, text] : enabling)
        on(box, &CheckBox::Click,
           [this, box = box, label = label, text = text] { EnablingRule(box, label, text); });
    on(c.Op51, &OptionButton::Click, [this] { UpdatePlanOptionCaptions(); });
    on(c.Op52, &OptionButton::Click, [this] { UpdatePlanOptionCaptions(); });
    c.Te11->setKeyPressHandler([this](std::int16_t& key) { Te11_KeyPress(key); });
}

}  // namespace zx::ui
