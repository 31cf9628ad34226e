#include "Controls.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QVariant>

namespace zx::ui {

namespace {

const char* const KindProperty = "zxKind";
const char* const TwipsProperty = "zxTwips";
const char* const TagProperty = "zxTag";
const char* const BackProperty = "zxBackColor";
const char* const ForeProperty = "zxForeColor";

int px(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

QColor toQColor(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
std::uint32_t fromQColor(const QColor& c) {
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) |
           (std::uint32_t(c.blue()) << 16);
}

template <class W>
void markKind(W* w, Kind kind) {
    w->setProperty(KindProperty, int(kind));
}

// Captions never shrink below this, so that they stay readable.
constexpr qreal SmallestPointSize = 6;

bool fitsIn(const QFont& font, const QString& text, const QRect& rect, int flags) {
    const QRect needed = QFontMetrics(font).boundingRect(rect, flags, text);
    return needed.width() <= rect.width() && needed.height() <= rect.height();
}

QRect captionRect(const QWidget* w) {
    QStyleOptionButton option;
    option.initFrom(w);
    if (qobject_cast<const QCheckBox*>(w))
        return w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w);
    if (qobject_cast<const QRadioButton*>(w))
        return w->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, w);
    const auto* label = static_cast<const QLabel*>(w);
    return w->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                      -label->margin());
}

QString captionText(const QWidget* w) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    return static_cast<const QLabel*>(w)->text();
}

void paintCaption(QWidget* w, QPainter& p) {
    const CaptionLayout layout = captionLayout(w);
    p.setFont(layout.font);
    w->style()->drawItemText(&p, layout.rect, layout.flags, w->palette(), w->isEnabled(),
                             captionText(w), QPalette::WindowText);
}

void paintButtonCaption(QAbstractButton* button, QStyle::PrimitiveElement indicator,
                        QStyle::SubElement indicatorRect) {
    QPainter p(button);
    QStyleOptionButton option;
    option.initFrom(button);
    option.state |= button->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (const auto* box = qobject_cast<QCheckBox*>(button))
        option.state |= box->checkState() == Qt::Checked
                            ? QStyle::State_On
                            : (box->checkState() == Qt::PartiallyChecked ? QStyle::State_NoChange
                                                                         : QStyle::State_Off);
    else
        option.state |= button->isChecked() ? QStyle::State_On : QStyle::State_Off;
    option.rect = button->style()->subElementRect(indicatorRect, &option, button);
    button->style()->drawPrimitive(indicator, &option, &p, button);
    paintCaption(button, p);
    if (button->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(button);
        const CaptionLayout layout = captionLayout(button);
        focus.rect = QFontMetrics(layout.font)
                         .boundingRect(layout.rect, layout.flags, button->text())
                         .adjusted(-1, 0, 1, 0);
        button->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, button);
    }
}

}  // namespace

CaptionLayout captionLayout(const QWidget* w) {
    CaptionLayout layout;
    layout.rect = captionRect(w);
    layout.font = w->font();
    const QString text = captionText(w);
    const auto* label = qobject_cast<const QLabel*>(w);
    const int align =
        label ? int(Qt::AlignLeft | Qt::AlignTop) : int(Qt::AlignLeft | Qt::AlignVCenter);
    layout.flags = align;
    if (text.isEmpty() || fitsIn(layout.font, text, layout.rect, layout.flags))
        return layout;
    layout.flags = align | Qt::TextWordWrap;
    for (qreal size = w->font().pointSizeF(); size >= SmallestPointSize; size -= 0.5) {
        layout.font.setPointSizeF(size);
        if (fitsIn(layout.font, text, layout.rect, layout.flags))
            return layout;
    }
    layout.fits = false;
    return layout;
}

QString kindName(Kind kind) {
    switch (kind) {
        case Kind::CheckBox:
            return QStringLiteral("CheckBox");
        case Kind::OptionButton:
            return QStringLiteral("OptionButton");
        case Kind::TextBox:
            return QStringLiteral("TextBox");
        case Kind::Label:
            return QStringLiteral("Label");
        case Kind::Frame:
            return QStringLiteral("Frame");
        case Kind::PictureBox:
            return QStringLiteral("PictureBox");
        case Kind::Image:
            return QStringLiteral("Image");
        case Kind::CommandButton:
            return QStringLiteral("CommandButton");
    }
    return {};
}

std::optional<Kind> kindOf(const QObject* control) {
    const QVariant v = control->property(KindProperty);
    if (!v.isValid())
        return std::nullopt;
    return Kind(v.toInt());
}

void setTwips(QWidget* control, int left, int top, int width, int height) {
    control->setProperty(TwipsProperty, QRect(left, top, width, height));
    control->setGeometry(px(left), px(top), px(width), px(height));
}

QRect twips(const QWidget* control) {
    return control->property(TwipsProperty).toRect();
}

void moveTwips(QWidget* control, int left, int top) {
    const QRect r = twips(control);
    setTwips(control, left, top, r.width(), r.height());
}

void resizeTwips(QWidget* control, int width, int height) {
    const QRect r = twips(control);
    setTwips(control, r.left(), r.top(), width, height);
}

QString tag(const QWidget* control) {
    return control->property(TagProperty).toString();
}
void setTag(QWidget* control, const QString& tag) {
    control->setProperty(TagProperty, tag);
}

void setBackColor(QWidget* control, std::uint32_t bgr) {
    control->setProperty(BackProperty, QVariant::fromValue(bgr));
    QPalette palette = control->palette();
    palette.setColor(control->backgroundRole(), toQColor(bgr));
    if (qobject_cast<QLineEdit*>(control))
        palette.setColor(QPalette::Base, toQColor(bgr));
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

void setForeColor(QWidget* control, std::uint32_t bgr) {
    control->setProperty(ForeProperty, QVariant::fromValue(bgr));
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, toQColor(bgr));
    palette.setColor(QPalette::Text, toQColor(bgr));
    palette.setColor(QPalette::ButtonText, toQColor(bgr));
    control->setPalette(palette);
}

std::uint32_t backColor(const QWidget* control) {
    const QVariant v = control->property(BackProperty);
    if (v.isValid())
        return v.value<std::uint32_t>();
    const QPalette::ColorRole role =
        qobject_cast<const QLineEdit*>(control) ? QPalette::Base : control->backgroundRole();
    return fromQColor(control->palette().color(role));
}

std::uint32_t foreColor(const QWidget* control) {
    const QVariant v = control->property(ForeProperty);
    if (v.isValid())
        return v.value<std::uint32_t>();
    const QPalette::ColorRole role =
        qobject_cast<const QLineEdit*>(control) ? QPalette::Text : control->foregroundRole();
    return fromQColor(control->palette().color(role));
}

QString colorText(std::uint32_t bgr) {
    return QStringLiteral("&H") + QStringLiteral("%1").arg(bgr, 8, 16, QLatin1Char('0')).toUpper();
}

void setBold(QWidget* control, bool bold) {
    QFont font = control->font();
    font.setBold(bold);
    control->setFont(font);
}

bool isBold(const QWidget* control) {
    return control->font().bold();
}

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent) {
    markKind(this, Kind::CheckBox);
    setTristate(true);
    connect(this, &QCheckBox::stateChanged, this, [this] { Q_EMIT Click(); });
}

int CheckBox::value() const {
    switch (checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
    }
    return 0;
}

void CheckBox::setValue(int value) {
    setCheckState(value == 1 ? Qt::Checked : (value == 2 ? Qt::PartiallyChecked : Qt::Unchecked));
}

void CheckBox::nextCheckState() {
    setValue(value() == 1 ? 0 : 1);
}

void CheckBox::paintEvent(QPaintEvent*) {
    paintButtonCaption(this, QStyle::PE_IndicatorCheckBox, QStyle::SE_CheckBoxIndicator);
}

void OptionButton::paintEvent(QPaintEvent*) {
    paintButtonCaption(this, QStyle::PE_IndicatorRadioButton, QStyle::SE_RadioButtonIndicator);
}

OptionButton::OptionButton(QWidget* parent) : QRadioButton(parent) {
    markKind(this, Kind::OptionButton);
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Q_EMIT Click();
    });
}

void OptionButton::setValue(bool selected) {
    setChecked(selected);
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    markKind(this, Kind::TextBox);
    setMaxChars(0);
    // Once the user shortens an over-long text, the limit holds again.
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString& now) { fitLimit(now.size()); });
}

void TextBox::setMaxChars(int length) {
    m_maxChars = length;
    fitLimit(text().size());
}

void TextBox::fitLimit(qsizetype length) {
    // QLineEdit would cut a longer text to its limit; widen the limit to
    // the text instead, so a stored value survives a load and a save.
    const qsizetype limit = m_maxChars > 0 ? m_maxChars : 32767;
    setMaxLength(int(std::max(limit, length)));
}

void TextBox::setText(const QString& text) {
    fitLimit(text.size());
    QLineEdit::setText(text);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!m_keyPress || text.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // One typed character (a surrogate pair counts as one key).
    std::int16_t code = static_cast<std::int16_t>(text.at(0).unicode());
    const std::int16_t before = code;
    m_keyPress(code);
    if (code == 0) {
        event->accept();
        return;
    }
    if (code == before) {
        // A character outside the BMP arrives as a surrogate pair, which the
        // line edit's key path does not insert by itself.
        if (text.at(0).isSurrogate()) {
            insert(text);
            event->accept();
        } else {
            QLineEdit::keyPressEvent(event);
        }
        return;
    }
    const QChar replaced(static_cast<char16_t>(code));
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(replaced));
    QLineEdit::keyPressEvent(&changed);
}

Label::Label(QWidget* parent) : QLabel(parent) {
    markKind(this, Kind::Label);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Label::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCaption(this, p);
}

Frame::Frame(QWidget* parent) : QGroupBox(parent) {
    markKind(this, Kind::Frame);
}

PictureBox::PictureBox(QWidget* parent, bool etched) : QWidget(parent), m_etched(etched) {
    markKind(this, Kind::PictureBox);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!m_etched)
        return;
    // A grey line with a white one beside it, around the options of the
    // group; the heading stays above it.
    QRect around;
    for (const QRadioButton* option : findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        around |= option->geometry();
    if (around.isEmpty())
        return;
    const QRect r = around.adjusted(-8, -3, 4, 2) & rect().adjusted(0, 0, -2, -2);
    QPainter p(this);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(r);
    p.setPen(Qt::white);
    p.drawRect(r.translated(1, 1));
}

Image::Image(QWidget* parent) : QLabel(parent) {
    markKind(this, Kind::Image);
}

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {
    markKind(this, Kind::CommandButton);
    setAutoDefault(false);
}

}  // namespace zx::ui
