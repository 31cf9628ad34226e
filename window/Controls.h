#pragma once

// Qt widgets with the few behaviours the wizard's controls are defined by:
// twip geometry, a free-text Tag, check boxes with the values 0/1/2, Click
// raised also when code changes a value, and a key handler that may change
// or discard a typed key.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdint>
#include <functional>
#include <optional>

namespace zx::ui {

enum class Kind { CheckBox, OptionButton, TextBox, Label, Frame, PictureBox, Image, CommandButton };
QString kindName(Kind kind);
// A control class names its kind as the class info "zxKind", where code
// that sees only QObjects (a script driver) finds it too.
std::optional<Kind> kindOf(const QObject* control);

inline constexpr int TwipsPerPixel = 15;  // at 96 dpi; Qt scales logical pixels

// Geometry in twips relative to the container. The twips are kept as given
// so that reading them back never suffers from pixel rounding. Only
// controls keep twips; a plain widget reads as an empty rectangle.
void setTwips(QWidget* control, int left, int top, int width, int height);
QRect twips(const QWidget* control);
void moveTwips(QWidget* control, int left, int top);
void resizeTwips(QWidget* control, int width, int height);

QString tag(const QWidget* control);
void setTag(QWidget* control, const QString& tag);

// Colours as &H00BBGGRR values.
void setBackColor(QWidget* control, std::uint32_t bgr);
void setForeColor(QWidget* control, std::uint32_t bgr);
std::uint32_t backColor(const QWidget* control);
std::uint32_t foreColor(const QWidget* control);
QString colorText(std::uint32_t bgr);

// Disabled captions and text drawn in a grey chosen for the widget's own
// background (a line edit's Base), which the default palette's light grey
// is not. Children inherit it: the form sets it once for its background.
void keepDisabledTextReadable(QWidget* widget);

void setBold(QWidget* control, bool bold);
bool isBold(const QWidget* control);

// The control's own Visible / Enabled flags, whatever its containers say.
inline bool ownVisible(const QWidget* control) {
    return !control->isHidden();
}
inline bool ownEnabled(const QWidget* control) {
    return !control->testAttribute(Qt::WA_ForceDisabled);
}

// What every control keeps beside its widget. A member rather than a
// dynamic property: setting one of those searches the class's properties
// by name and sends an event, for every control of the form.
class Control {
public:
    QRect twips;

protected:
    Control() = default;
    ~Control() = default;
};

class CheckBox : public QCheckBox, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "CheckBox")
    Q_PROPERTY(int value READ value WRITE setValue)
public:
    explicit CheckBox(QWidget* parent);
    int value() const;
    // Raises Click when the value changes, as a user's click would.
    void setValue(int value);
Q_SIGNALS:
    void Click();

protected:
    // A user's click: 1 becomes 0, anything else (0 or greyed) becomes 1.
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
};

class OptionButton : public QRadioButton, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "OptionButton")
    Q_PROPERTY(bool value READ value WRITE setValue)
public:
    explicit OptionButton(QWidget* parent);
    bool value() const { return isChecked(); }
    // Selecting raises Click; the other options of the container clear.
    void setValue(bool selected);
Q_SIGNALS:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A line edit that holds valid text only. Whatever the user brings in, by
// keys, input method, paste, drag and drop or the line edit's own insert(),
// loses its control characters and lone surrogate halves, and is cut to the
// limit on a character boundary. Text set through setText() is kept whole,
// as stored, even beyond the limit.
class TextBox : public QLineEdit, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "TextBox")
public:
    explicit TextBox(QWidget* parent);
    // 0 means no limit; counted in UTF-16 units.
    void setMaxChars(int length) { m_maxChars = length; }
    int maxChars() const { return m_maxChars; }
    void setText(const QString& text);
    bool isPassword() const { return echoMode() == QLineEdit::Password; }
    // The handler sees each typed character's code as a signed 16-bit
    // number; setting it to 0 discards the key. Keys that type no character
    // (Delete, arrows, Home, End) never reach it.
    void setKeyPressHandler(std::function<void(std::int16_t&)> handler) {
        m_keyPress = std::move(handler);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class InputFilter;

    std::function<void(std::int16_t&)> m_keyPress;
    int m_maxChars = 0;
    QString m_accepted;  // the text as it stood after the last change
    bool m_settingText = false;
};

class Label : public QLabel, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "Label")
public:
    explicit Label(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class Frame : public QGroupBox, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "Frame")
public:
    explicit Frame(QWidget* parent);
};

// A container. One that holds an option group draws an etched outline
// around its options, broken where its heading stands.
class PictureBox : public QWidget, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "PictureBox")
public:
    explicit PictureBox(QWidget* parent, bool etched = false);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_etched;
};

class Image : public QLabel, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "Image")
public:
    explicit Image(QWidget* parent);
};

// Enter and Space press the focused button; Enter elsewhere presses the
// dialog's default button.
class CommandButton : public QPushButton, public Control {
    Q_OBJECT
    Q_CLASSINFO("zxKind", "CommandButton")
public:
    explicit CommandButton(QWidget* parent);
    // The button's picture, drawn when the button is first painted: a run
    // that never puts the window on a screen never draws it.
    void setPicture(std::function<QPixmap()> draw);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<QPixmap()> m_drawPicture;
};

}  // namespace zx::ui
