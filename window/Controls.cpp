#include "Controls.h"

#include <QAccessibleWidget>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMetaClassInfo>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QTextLayout>
#include <QValidator>
#include <QVariant>

#include <array>
#include <cmath>
#include <limits>

namespace zx::ui {

namespace {

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

// Where and how a caption is drawn: on one line when it fits, else wrapped
// at the compact line spacing of the font's em, never in a smaller font.
struct CaptionLayout {
    QFont font;
    struct Line {
        QString text;
        QPoint baseline;
    };
    QList<Line> lines;
    QRect bounds;  // the lines' boxes
};

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

CaptionLayout captionLayout(const QWidget* w) {
    CaptionLayout layout;
    const QRect place = captionRect(w);
    layout.font = w->font();
    const QString text = captionText(w);
    const QFontMetrics metrics(layout.font);
    const int em = QFontInfo(layout.font).pixelSize();

    QStringList lines;
    int widest = metrics.horizontalAdvance(text);
    if (widest <= place.width()) {
        if (!text.isEmpty())
            lines << text;
    } else {
        QTextLayout wrap(text, layout.font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        wrap.setTextOption(option);
        wrap.beginLayout();
        widest = 0;
        for (QTextLine line = wrap.createLine(); line.isValid(); line = wrap.createLine()) {
            line.setLineWidth(place.width());
            lines << text.mid(line.textStart(), line.textLength());
            widest = std::max(widest, int(std::ceil(line.naturalTextWidth())));
        }
        wrap.endLayout();
    }
    // Lines are one em apart, the compact spacing of a Song face at this
    // size; the baseline leaves ideographs 0.12 em below it. Labels read
    // from the top, as the form has them; buttons centre their caption.
    const int height = int(lines.size()) * em;
    const int top =
        qobject_cast<const QLabel*>(w) ? place.top() : place.top() + (place.height() - height) / 2;
    for (qsizetype i = 0; i < lines.size(); ++i)
        layout.lines.append(
            {lines[i], QPoint(place.left(), top + int(i) * em + qRound(em * 0.88))});
    layout.bounds = QRect(place.left(), top, widest, height);
    return layout;
}

void paintCaption(QWidget* w, QPainter& p, const CaptionLayout& layout) {
    p.setFont(layout.font);
    p.setPen(w->palette().color(QPalette::WindowText));
    for (const CaptionLayout::Line& line : layout.lines)
        p.drawText(line.baseline, line.text);
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
    // A button lower than the style's indicator gets a smaller one that
    // leaves the button's last row clear: an option group's outline may run
    // right under its last option, and an indicator touching it looks cut.
    if (option.rect.height() >= button->height()) {
        const int side = button->height() - 1;
        option.rect = QRect(option.rect.left(), 0, side, side);
    }
    button->style()->drawPrimitive(indicator, &option, &p, button);
    const CaptionLayout layout = captionLayout(button);
    paintCaption(button, p, layout);
    if (button->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(button);
        focus.rect = layout.bounds.adjusted(-1, 0, 1, 0);
        button->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, button);
    }
}

// Relative luminance and contrast ratio, as the accessibility guidelines
// define them.
double luminance(const QColor& c) {
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double contrast(double la, double lb) {
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour of disabled text on a background: the faintest grey that still
// reads at 4.5:1, so that it stays legible and still looks disabled. The
// greys that read run from black (or white) to the faintest one, so it is
// found by halving rather than by trying all 256.
QColor disabledTextColor(const QColor& background) {
    constexpr double Readable = 4.6;  // 4.5:1, with a little to spare
    const double back = luminance(background);
    const bool darker =
        contrast(luminance(Qt::black), back) >= contrast(luminance(Qt::white), back);
    const auto reads = [&](int v) {
        const double grey = luminance(QColor(v, v, v));
        return (grey < back) == darker && contrast(grey, back) >= Readable;
    };
    int lo = 0, hi = 255;
    while (lo < hi) {
        if (darker) {  // the last that reads
            const int mid = (lo + hi + 1) / 2;
            if (reads(mid))
                lo = mid;
            else
                hi = mid - 1;
        } else {  // the first that reads
            const int mid = (lo + hi) / 2;
            if (reads(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
    }
    const int faintest = reads(lo) ? lo : (darker ? 0 : 255);
    return QColor(faintest, faintest, faintest);
}

}  // namespace

void keepDisabledTextReadable(QWidget* w) {
    QPalette palette = w->palette();
    const QPalette::ColorRole back =
        qobject_cast<QLineEdit*>(w) ? QPalette::Base : w->backgroundRole();
    const QColor text = disabledTextColor(palette.color(QPalette::Disabled, back));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, text);
    w->setPalette(palette);
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
    const QMetaObject* meta = control->metaObject();
    const int info = meta->indexOfClassInfo("zxKind");
    if (info < 0)
        return std::nullopt;
    const QLatin1StringView name(meta->classInfo(info).value());
    for (int k = 0; k <= int(Kind::CommandButton); ++k)
        if (kindName(Kind(k)) == name)
            return Kind(k);
    qFatal("kindOf: %s names the unknown kind %s", meta->className(), name.data());
}

void setTwips(QWidget* control, int left, int top, int width, int height) {
    auto* twipped = dynamic_cast<Control*>(control);
    if (!twipped)
        qFatal("setTwips: %s is a %s, not a control", qPrintable(control->objectName()),
               control->metaObject()->className());
    twipped->twips = QRect(left, top, width, height);
    control->setGeometry(px(left), px(top), px(width), px(height));
}

QRect twips(const QWidget* control) {
    const auto* twipped = dynamic_cast<const Control*>(control);
    return twipped ? twipped->twips : QRect();
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
    keepDisabledTextReadable(control);
}

void setForeColor(QWidget* control, std::uint32_t bgr) {
    control->setProperty(ForeProperty, QVariant::fromValue(bgr));
    // The disabled colour stays the one chosen for the background.
    QPalette palette = control->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, toQColor(bgr));
    }
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
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Q_EMIT Click();
    });
}

void OptionButton::setValue(bool selected) {
    setChecked(selected);
}

namespace {

// The whole characters of `text` that are neither control characters nor
// lone surrogate halves, as many as fit in `room` UTF-16 units.
QString validText(const QString& text, qsizetype room) {
    QString kept;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const char32_t code = pair ? QChar::surrogateToUcs4(c, text[i + 1]) : c.unicode();
        if ((pair || !c.isSurrogate()) && QChar::category(code) != QChar::Other_Control) {
            if (kept.size() + units > room)
                break;  // a character that does not fit is not taken at all
            kept += text.mid(i, units);
        }
        i += units;
    }
    return kept;
}

}  // namespace

// Every path by which text enters a line edit ends in its validation, with
// the whole new text: the part that came in is what differs from the text
// as it stood, and only that part is filtered.
class TextBox::InputFilter : public QValidator {
public:
    explicit InputFilter(TextBox* box) : QValidator(box), m_box(box) {}

    State validate(QString& input, int& pos) const override {
        if (m_box->m_settingText)
            return Acceptable;
        const QString& before = m_box->m_accepted;
        const qsizetype common = std::min(input.size(), before.size());
        qsizetype head = 0;
        while (head < common && input[head] == before[head])
            ++head;
        qsizetype tail = 0;
        while (tail < common - head &&
               input[input.size() - 1 - tail] == before[before.size() - 1 - tail])
            ++tail;
        qsizetype end = input.size() - tail;
        // Never cut a surrogate pair in two at either end of the new part.
        if (head > 0 && head < input.size() && input[head - 1].isHighSurrogate() &&
            input[head].isLowSurrogate())
            --head;
        if (tail > 0 && end > head && input[end].isLowSurrogate() &&
            input[end - 1].isHighSurrogate())
            ++end;
        if (end <= head)
            return Acceptable;  // nothing came in
        const qsizetype incoming = end - head;
        const qsizetype kept = input.size() - incoming;
        const qsizetype room = m_box->m_maxChars > 0
                                   ? std::max<qsizetype>(0, m_box->m_maxChars - kept)
                                   : std::numeric_limits<qsizetype>::max();
        const QString taken = validText(input.mid(head, incoming), room);
        if (taken.size() == incoming)
            return Acceptable;
        input.replace(head, incoming, taken);
        if (pos >= end)
            pos -= int(incoming - taken.size());
        else if (pos > head)
            pos = int(head + std::min<qsizetype>(pos - head, taken.size()));
        return Acceptable;
    }

private:
    TextBox* m_box;
};

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    keepDisabledTextReadable(this);
    // The limit is kept by the filter, which knows what came in.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new InputFilter(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) { m_accepted = now; });
}

void TextBox::setText(const QString& text) {
    m_settingText = true;
    QLineEdit::setText(text);
    m_settingText = false;
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    QString text = event->text();
    // Delete carries U+007F but types nothing; arrows, Home and End carry no
    // text at all. Only keys that type a character are offered to the handler.
    const bool typing = !text.isEmpty() && text.at(0) != QChar(0x7F);
    if (typing && m_keyPress) {
        // One typed character (a surrogate pair counts as one key).
        std::int16_t code = static_cast<std::int16_t>(text.at(0).unicode());
        const std::int16_t typed = code;
        m_keyPress(code);
        if (code == 0) {
            event->accept();
            return;
        }
        if (code != typed)
            text = QString(QChar(static_cast<char16_t>(code)));
    }
    // The line edit's key path inserts no character outside the BMP (it
    // arrives as a surrogate pair); insert() does, through the same filter.
    if (typing && text.at(0).isSurrogate()) {
        insert(text);
        event->accept();
    } else if (text != event->text()) {
        QKeyEvent changed(event->type(), event->key(), event->modifiers(), text);
        QLineEdit::keyPressEvent(&changed);
        event->setAccepted(changed.isAccepted());
    } else {
        QLineEdit::keyPressEvent(event);
    }
}

Label::Label(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Label::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCaption(this, p, captionLayout(this));
}

Frame::Frame(QWidget* parent) : QGroupBox(parent) {}

namespace {

// A picture box groups controls: assistive tools read it as a group, so
// that options are announced within the question their box is named for.
QAccessibleInterface* accessibleGroup(const QString& key, QObject* object) {
    if (key == QLatin1String(PictureBox::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, bool etched) : QWidget(parent), m_etched(etched) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleGroup);
        return true;
    }();
    Q_UNUSED(installed);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!m_etched)
        return;
    // A grey line with a white one beside it along the group's edges. The
    // top runs at the middle of the heading's line and leaves a gap where
    // its caption stands; a side the caption comes close to starts under it,
    // so that no line runs beside the words.
    QRect outline = rect().adjusted(0, 0, -1, -1);
    int gapFrom = 0, gapTo = -1;
    int under = 0;
    if (const auto* heading = findChild<Label*>(QString(), Qt::FindDirectChildrenOnly)) {
        const CaptionLayout caption = captionLayout(heading);
        const QRect words = caption.bounds.translated(heading->pos());
        outline.setTop(words.top() + QFontInfo(caption.font).pixelSize() / 2);
        if (words.width() > 0) {
            gapFrom = words.left() - 2;
            gapTo = words.right() + 2;
            under = words.bottom() + 2 - outline.top();  // a pixel clear of them
        }
    }
    QPainter p(this);
    const auto etch = [&](const QRect& r, const QColor& colour) {
        const int leftTop = r.top() + (gapFrom > r.left() ? 0 : under);
        const int rightTop = r.top() + (gapTo < r.right() ? 0 : under);
        p.fillRect(QRect(QPoint(r.left(), leftTop), r.bottomLeft()), colour);
        p.fillRect(QRect(QPoint(r.right(), rightTop), r.bottomRight()), colour);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
        if (gapFrom > r.left())
            p.fillRect(QRect(r.left(), r.top(), gapFrom - r.left(), 1), colour);
        if (gapTo < r.right())
            p.fillRect(QRect(QPoint(std::max(gapTo + 1, r.left()), r.top()), r.topRight()), colour);
    };
    etch(outline, QColor(0x80, 0x80, 0x80));
    etch(outline.translated(1, 1), Qt::white);
}

Image::Image(QWidget* parent) : QLabel(parent) {}

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {
    // With focus it takes Enter itself, and draws as the default meanwhile.
    setAutoDefault(true);
}

void CommandButton::setPicture(std::function<QPixmap()> draw) {
    m_drawPicture = std::move(draw);
    if (isVisible())
        update();
}

void CommandButton::paintEvent(QPaintEvent* event) {
    if (m_drawPicture)
        setIcon(std::exchange(m_drawPicture, nullptr)());
    QPushButton::paintEvent(event);
}

}  // namespace zx::ui
