// The window's state as a scripted run reports it: every control of the
// inventory with its kind, twip geometry, own flags and kind-specific values.

#include "Main.h"

#include <QJsonObject>

namespace zx::ui {

namespace {

QJsonObject controlState(const QWidget* w, Kind kind) {
    const QRect r = twips(w);
    QJsonObject o{
        {QStringLiteral("kind"), kindName(kind)},   {QStringLiteral("left"), r.left()},
        {QStringLiteral("top"), r.top()},           {QStringLiteral("width"), r.width()},
        {QStringLiteral("height"), r.height()},     {QStringLiteral("visible"), ownVisible(w)},
        {QStringLiteral("enabled"), ownEnabled(w)},
    };
    auto colours = [&] {
        o.insert(QStringLiteral("backColor"), colorText(backColor(w)));
        o.insert(QStringLiteral("foreColor"), colorText(foreColor(w)));
    };
    switch (kind) {
        case Kind::CheckBox: {
            const auto* box = static_cast<const CheckBox*>(w);
            o.insert(QStringLiteral("value"), box->value());
            o.insert(QStringLiteral("caption"), box->text());
            o.insert(QStringLiteral("tag"), tag(w));
            o.insert(QStringLiteral("bold"), isBold(w));
            colours();
            break;
        }
        case Kind::OptionButton: {
            const auto* option = static_cast<const OptionButton*>(w);
            o.insert(QStringLiteral("value"), option->value());
            o.insert(QStringLiteral("caption"), option->text());
            o.insert(QStringLiteral("bold"), isBold(w));
            colours();
            break;
        }
        case Kind::TextBox: {
            const auto* box = static_cast<const TextBox*>(w);
            // A password never leaves the window: one * per character.
            o.insert(QStringLiteral("text"), box->isPassword()
                                                 ? QString(box->text().size(), QLatin1Char('*'))
                                                 : box->text());
            o.insert(QStringLiteral("maxLength"), box->maxChars());
            colours();
            break;
        }
        case Kind::Label:
            o.insert(QStringLiteral("caption"), static_cast<const Label*>(w)->text());
            o.insert(QStringLiteral("bold"), isBold(w));
            colours();
            break;
        case Kind::Frame:
            o.insert(QStringLiteral("caption"), static_cast<const Frame*>(w)->title());
            o.insert(QStringLiteral("bold"), isBold(w));
            colours();
            break;
        case Kind::PictureBox:
            o.insert(QStringLiteral("backColor"), colorText(backColor(w)));
            break;
        case Kind::Image:
            break;
        case Kind::CommandButton:
            o.insert(QStringLiteral("caption"), static_cast<const CommandButton*>(w)->text());
            o.insert(QStringLiteral("tag"), tag(w));
            o.insert(QStringLiteral("bold"), isBold(w));
            break;
    }
    return o;
}

}  // namespace

QJsonObject Main::stateDump() const {
    QJsonObject controls;
    for (const QWidget* w : findChildren<const QWidget*>()) {
        if (const auto kind = kindOf(w))
            controls.insert(w->objectName(), controlState(w, *kind));
    }
    return QJsonObject{
        {QStringLiteral("window"), QJsonObject{{QStringLiteral("caption"), windowTitle()},
                                               {QStringLiteral("visible"), isVisible()},
                                               {QStringLiteral("mousePointer"), m_mousePointer}}},
        {QStringLiteral("controls"), controls},
    };
}

}  // namespace zx::ui
