// The stored design of form Main: every control with its kind, container,
// position, stored caption and stored state. Form_Load then applies the
// provider's captions and the start state of step 1.

#include "Main.h"

#include "core/DesktopFont.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>

namespace zx::ui {

namespace {

constexpr std::uint32_t DarkGrey = 0x00404040;
constexpr std::uint32_t LightYellow = 0x00C0FFFF;

template <class T>
T* make(QWidget* parent, const char* name, int left, int top, int width, int height,
        const QString& caption = {}) {
    auto* control = new T(parent);
    control->setObjectName(QLatin1String(name));
    setTwips(control, left, top, width, height);
    if constexpr (std::is_base_of_v<QGroupBox, T>)
        control->setTitle(caption);
    else if constexpr (!std::is_same_v<T, PictureBox>)
        control->setText(caption);
    return control;
}

// Password boxes mask each character with '*', whatever the platform's own
// mask. A style sheet would say so too, but would then draw the box through
// the style sheet engine, parsed when the box is polished.
class PasswordStyle : public QProxyStyle {
public:
    PasswordStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

TextBox* makeText(QWidget* parent, const char* name, int left, int top, int width, int height,
                  int maxChars, bool password = false) {
    auto* box = make<TextBox>(parent, name, left, top, width, height);
    box->setMaxChars(maxChars);
    if (password) {
        auto* style = new PasswordStyle;
        style->setParent(box);
        box->setStyle(style);
        box->setEchoMode(QLineEdit::Password);
    }
    return box;
}

Label* makeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                 const QString& caption, std::optional<std::uint32_t> fore = std::nullopt) {
    auto* label = make<Label>(parent, name, left, top, width, height, caption);
    if (fore)
        setForeColor(label, *fore);
    return label;
}

// The 27 x 13 step-done mark shown by Ima1 and Ima4.
QPixmap stepDoneMark() {
    QPixmap mark(27, 13);
    mark.fill(Qt::transparent);
    QPainter p(&mark);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x00, 0x80, 0x00), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(9, 6.5), QPointF(12.5, 10.5), QPointF(19, 2.5)}));
    return mark;
}

QIcon formIcon() {
    QPixmap icon(16, 16);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setBrush(QColor(0x1E, 0x63, 0xC8));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(4, 5, 12, 5);
    p.drawLine(4, 11, 12, 11);
    p.drawLine(12, 5, 4, 11);
    return QIcon(icon);
}

void chain(const QList<QWidget*>& order) {
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

}  // namespace

void Main::buildForm() {
    MainControls& c = m_ui;
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("供销链建帐向导 (第一步)"));
    setWindowIcon(formIcon());
    setFixedSize(8280 / TwipsPerPixel, 4875 / TwipsPerPixel);
    setFont(desktopFont(devicePixelRatioF()));
    keepDisabledTextReadable(this);  // before the controls, which inherit it

    c.FraB = make<Frame>(this, "FraB", 300, 195, 1905, 3180, QStringLiteral("步骤"));
    c.La1 = makeLabel(c.FraB, "La1", 300, 705, 1065, 255, QStringLiteral("1.公共参数"), DarkGrey);
    c.Ima1 = make<Image>(c.FraB, "Ima1", 1335, 705, 405, 195);
    c.La2 = makeLabel(c.FraB, "La2", 300, 1545, 1080, 255, QStringLiteral("2.业务范围"));
    c.La3 = makeLabel(c.FraB, "La3", 300, 2310, 1095, 255, QStringLiteral("3.完成"));
    c.Ima4 = make<Image>(c.FraB, "Ima4", 1335, 2520, 405, 195);
    const QPixmap done = stepDoneMark();
    for (Image* mark : {c.Ima1, c.Ima4}) {
        mark->setPixmap(done);
        mark->setAccessibleName(QStringLiteral("已完成"));
    }
    c.Ima4->setVisible(false);

    c.ComP = make<CommandButton>(this, "ComP", 600, 3555, 1290, 285);
    c.ComN = make<CommandButton>(this, "ComN", 585, 3945, 1290, 285);
    c.ComE = make<CommandButton>(this, "ComE", 585, 3930, 1290, 285, QStringLiteral("完成"));
    c.ComC = make<CommandButton>(this, "ComC", 585, 4320, 1290, 285);
    c.ComC1 = make<CommandButton>(this, "ComC1", 585, 4320, 1290, 285);
    // The picture buttons say in words what their pictures show.
    const std::pair<CommandButton*, const char*> pictured[] = {
        {c.ComP, "上一步"}, {c.ComN, "下一步"}, {c.ComC, "取消"}, {c.ComC1, "取消"}};
    for (const auto& [button, words] : pictured) {
        button->setToolTip(QString::fromUtf8(words));
        button->setAccessibleName(QString::fromUtf8(words));
    }

    c.LaT = makeLabel(this, "LaT", 2460, 3540, 5490, 1095, QString());
    setBackColor(c.LaT, LightYellow);
    c.LaT->setWordWrap(true);
    c.LaT->setMargin(2);

    // Page 1: common parameters.
    c.PicS1 = make<PictureBox>(this, "PicS1", 2400, 195, 5550, 3300);
    c.Fra1 = make<Frame>(c.PicS1, "Fra1", 60, 0, 5445, 3195, QStringLiteral("公用参数"));
    c.Ch11 =
        make<CheckBox>(c.Fra1, "Ch11", 540, 600, 2370, 255, QStringLiteral("存货有无辅计量单位"));
    c.Ch18 = make<CheckBox>(c.Fra1, "Ch18", 3045, 600, 2370, 255, QStringLiteral("是否固定换算率"));
    c.Ch15 = make<CheckBox>(c.Fra1, "Ch15", 540, 1095, 2055, 330, QStringLiteral("存货是否分类"));
    c.Ch12 =
        make<CheckBox>(c.Fra1, "Ch12", 3045, 1095, 2370, 255, QStringLiteral("是否允许零出库"));
    c.Ch16 = make<CheckBox>(c.Fra1, "Ch16", 540, 1545, 1530, 330, QStringLiteral("客户是否分类"));
    c.Ch13 =
        make<CheckBox>(c.Fra1, "Ch13", 3060, 1545, 2370, 255, QStringLiteral("有无成套件管理"));
    c.Ch17 = make<CheckBox>(c.Fra1, "Ch17", 540, 2070, 1980, 330, QStringLiteral("供应商是否分类"));
    c.Ch14 = make<CheckBox>(c.Fra1, "Ch14", 540, 2640, 1830, 255, QStringLiteral("有无远程应用"));
    c.Ch14->setEnabled(false);
    c.La15 = makeLabel(c.Fra1, "La15", 2475, 2655, 615, 255, QStringLiteral("标识号"), DarkGrey);
    c.Te11 = makeText(c.Fra1, "Te11", 3075, 2595, 1515, 300, 2);

    // Page of ST.
    c.PicS2 = make<PictureBox>(this, "PicS2", 2400, 195, 5655, 3225);
    c.Fra2 = make<Frame>(c.PicS2, "Fra2", 45, 0, 5400, 3180, QStringLiteral("库存管理业务范围"));
    c.Ch21 = make<CheckBox>(c.Fra2, "Ch21", 495, 480, 1995, 330, QStringLiteral("有无批次管理"));
    c.Ch22 = make<CheckBox>(c.Fra2, "Ch22", 3135, 525, 1755, 255, QStringLiteral("有无保质期管理"));
    c.Ch23 =
        make<CheckBox>(c.Fra2, "Ch23", 495, 1260, 1755, 255, QStringLiteral("有无组装拆卸业务"));
    c.Ch24 =
        make<CheckBox>(c.Fra2, "Ch24", 3135, 1215, 1995, 330, QStringLiteral("有无形态转换业务"));
    c.Ch25 = make<CheckBox>(c.Fra2, "Ch25", 495, 1920, 2505, 330,
                            QStringLiteral("是否有最高最低库存报警"));
    c.Ch27 = make<CheckBox>(c.Fra2, "Ch27", 3120, 1920, 2175, 375,
                            QStringLiteral("销售出库单是否由销售系统生成"));
    c.La26 = makeLabel(c.Fra2, "La26", 510, 2625, 855, 255, QStringLiteral("启用月份"), DarkGrey);
    c.Te26 = makeText(c.Fra2, "Te26", 1395, 2580, 975, 270, 2);

    // Pages of PU, SA and IA: where they are stored does not matter, Next
    // places them over page 1.
    c.PicS3 = make<PictureBox>(this, "PicS3", 2400, 195, 5700, 3400);
    c.Fra3 = make<Frame>(c.PicS3, "Fra3", 120, 120, 5430, 3180, QStringLiteral("采购管理业务范围"));
    c.Ch31 = make<CheckBox>(c.Fra3, "Ch31", 810, 720, 1995, 330, QStringLiteral("有无外币业务"));
    c.Ch32 =
        make<CheckBox>(c.Fra3, "Ch32", 825, 1530, 1995, 330, QStringLiteral("有无受托代销业务"));
    c.La33 = makeLabel(c.Fra3, "La33", 810, 2520, 855, 255, QStringLiteral("启用月份"), DarkGrey);
    c.Te33 = makeText(c.Fra3, "Te33", 1575, 2475, 630, 270, 0);

    c.PicS4 = make<PictureBox>(this, "PicS4", 2400, 195, 5700, 3400);
    c.Fra4 = make<Frame>(c.PicS4, "Fra4", 120, 120, 5475, 3180, QStringLiteral("销售管理业务范围"));
    c.Ch41 = make<CheckBox>(c.Fra4, "Ch41", 360, 390, 1995, 330, QStringLiteral("有无外币业务"));
    c.Ch42 =
        make<CheckBox>(c.Fra4, "Ch42", 2895, 405, 1995, 330, QStringLiteral("有无委托代销业务"));
    c.Ch43 =
        make<CheckBox>(c.Fra4, "Ch43", 375, 780, 1995, 330, QStringLiteral("有无零售日报业务"));
    c.Ch44 =
        make<CheckBox>(c.Fra4, "Ch44", 2910, 795, 1995, 330, QStringLiteral("有无销售调拨业务"));
    c.Ch47 =
        make<CheckBox>(c.Fra4, "Ch47", 375, 1170, 1995, 330, QStringLiteral("销售报价是否含税"));
    c.Ch46 =
        make<CheckBox>(c.Fra4, "Ch46", 2910, 1185, 2355, 330, QStringLiteral("可否超订量发货"));
    c.Ch49 =
        make<CheckBox>(c.Fra4, "Ch49", 375, 1560, 1995, 330, QStringLiteral("是否有信用额度控制"));
    c.La45 = makeLabel(c.Fra4, "La45", 2880, 1620, 855, 255, QStringLiteral("控制口令"), DarkGrey);
    c.Te41 = makeText(c.Fra4, "Te41", 3600, 1575, 1635, 270, 20, true);
    c.Ch410 =
        make<CheckBox>(c.Fra4, "Ch410", 390, 1935, 1995, 330, QStringLiteral("是否有最低售价控制"));
    c.La46 = makeLabel(c.Fra4, "La46", 2880, 2010, 855, 255, QStringLiteral("控制口令"), DarkGrey);
    c.Te42 = makeText(c.Fra4, "Te42", 3600, 1965, 1635, 270, 20, true);
    c.Ch48 = make<CheckBox>(c.Fra4, "Ch48", 2910, 2400, 2220, 330,
                            QStringLiteral("销售计划金额是否含税"));
    c.La47 = makeLabel(c.Fra4, "La47", 345, 2475, 855, 255, QStringLiteral("启用日期"), DarkGrey);
    c.Te43 = makeText(c.Fra4, "Te43", 1200, 2430, 1275, 270, 0);
    c.Ch45 =
        make<CheckBox>(c.Fra4, "Ch45", 2880, 2715, 1995, 330, QStringLiteral("是否先发货后开票"));
    c.Ch45->setVisible(false);

    c.PicS5 = make<PictureBox>(this, "PicS5", 2400, 195, 5700, 3400);
    c.Fra5 = make<Frame>(c.PicS5, "Fra5", 120, 120, 5475, 3180, QStringLiteral("存货核算业务范围"));
    c.Pic51 = new PictureBox(c.Fra5, true);
    c.Pic51->setObjectName(QStringLiteral("Pic51"));
    setTwips(c.Pic51, 315, 210, 1830, 795);
    c.La51 = makeLabel(c.Pic51, "La51", 90, 60, 1650, 210, QStringLiteral("核算方式"), DarkGrey);
    c.Op51 = make<OptionButton>(c.Pic51, "Op51", 360, 270, 1410, 195, QStringLiteral("按仓库核算"));
    c.Op52 = make<OptionButton>(c.Pic51, "Op52", 360, 495, 1410, 195, QStringLiteral("按部门核算"));

    c.Pic52 = new PictureBox(c.Fra5, true);
    c.Pic52->setObjectName(QStringLiteral("Pic52"));
    setTwips(c.Pic52, 390, 1125, 1995, 1635);
    c.La53 =
        makeLabel(c.Pic52, "La53", 45, 105, 1905, 210, QStringLiteral("零出库成本选择"), DarkGrey);
    c.Op56 =
        make<OptionButton>(c.Pic52, "Op56", 300, 330, 1635, 195, QStringLiteral("上次出库成本价"));
    c.Op57 = make<OptionButton>(c.Pic52, "Op57", 300, 585, 1635, 195, QStringLiteral("参考成本价"));
    c.Op58 = make<OptionButton>(c.Pic52, "Op58", 300, 825, 1635, 195, QStringLiteral("结存成本价"));
    c.Op59 =
        make<OptionButton>(c.Pic52, "Op59", 300, 1065, 1635, 195, QStringLiteral("上次入库成本价"));
    c.Op510 =
        make<OptionButton>(c.Pic52, "Op510", 300, 1350, 1635, 195, QStringLiteral("手工输入"));

    c.Pic53 = new PictureBox(c.Fra5, true);
    c.Pic53->setObjectName(QStringLiteral("Pic53"));
    setTwips(c.Pic53, 2565, 225, 1950, 945);
    c.La52 =
        makeLabel(c.Pic53, "La52", 45, 45, 1860, 210, QStringLiteral("暂估处理方式"), DarkGrey);
    c.Op53 = make<OptionButton>(c.Pic53, "Op53", 375, 240, 1500, 195, QStringLiteral("月初回冲"));
    c.Op54 = make<OptionButton>(c.Pic53, "Op54", 375, 480, 1500, 195, QStringLiteral("单到回冲"));
    c.Op55 = make<OptionButton>(c.Pic53, "Op55", 375, 720, 1500, 195, QStringLiteral("单到补差"));

    c.Pic54 = new PictureBox(c.Fra5, true);
    c.Pic54->setObjectName(QStringLiteral("Pic54"));
    setTwips(c.Pic54, 2610, 1185, 2295, 1890);
    c.La54 = makeLabel(c.Pic54, "La54", 30, 45, 2235, 210, QStringLiteral("存货资金占用规划设置"),
                       DarkGrey);
    c.Op511 = make<OptionButton>(c.Pic54, "Op511", 330, 270, 1935, 195, QStringLiteral("按仓库"));
    c.Op512 =
        make<OptionButton>(c.Pic54, "Op512", 330, 525, 1935, 195, QStringLiteral("按存货分类"));
    c.Op513 = make<OptionButton>(c.Pic54, "Op513", 330, 765, 1935, 195, QStringLiteral("按存货"));
    c.Op514 = make<OptionButton>(c.Pic54, "Op514", 330, 1005, 1935, 195,
                                 QStringLiteral("按仓库 + 存货分类"));
    c.Op515 =
        make<OptionButton>(c.Pic54, "Op515", 330, 1290, 1935, 195, QStringLiteral("按仓库 + 存货"));
    c.Op516 = make<OptionButton>(c.Pic54, "Op516", 330, 1545, 1935, 195,
                                 QStringLiteral("按存货分类 + 存货"));

    c.La55 = makeLabel(c.Fra5, "La55", 405, 2835, 855, 255, QStringLiteral("启用月份"), DarkGrey);
    c.Te55 = makeText(c.Fra5, "Te55", 1200, 2790, 810, 270, 2);

    // A text box is known by its label, to a screen reader as to the eye.
    const std::pair<Label*, TextBox*> captioned[] = {
        {c.La15, c.Te11}, {c.La26, c.Te26}, {c.La33, c.Te33}, {c.La45, c.Te41},
        {c.La46, c.Te42}, {c.La47, c.Te43}, {c.La55, c.Te55}};
    for (const auto& [label, box] : captioned)
        label->setBuddy(box);
    // Labels alone would read two boxes as "控制口令" and four as "启用月份",
    // and nothing once a texts file empties a label: each box is named for
    // what it holds.
    const std::pair<TextBox*, const char*> named[] = {
        {c.Te11, "远程标识号"},       {c.Te26, "库存管理启用月份"}, {c.Te33, "采购管理启用月份"},
        {c.Te41, "信用额度控制口令"}, {c.Te42, "最低售价控制口令"}, {c.Te43, "销售管理启用月份"},
        {c.Te55, "存货核算启用月份"}};
    for (const auto& [box, name] : named)
        box->setAccessibleName(QString::fromUtf8(name));

    // Focus orders: the buttons, then each page.
    chain({c.ComC, c.ComN, c.ComP, c.ComE, c.ComC1});
    m_pageFocusOrders = {
        {c.PicS1, {c.Te11, c.Ch14, c.Ch13, c.Ch12, c.Ch11, c.Ch15, c.Ch16, c.Ch17, c.Ch18}},
        {c.PicS2, {c.Ch21, c.Ch22, c.Ch24, c.Ch23, c.Ch25, c.Te26, c.Ch27}},
        {c.PicS3, {c.Te33, c.Ch32, c.Ch31}},
        {c.PicS4,
         {c.Ch41, c.Ch42, c.Te43, c.Ch44, c.Ch43, c.Ch46, c.Ch45, c.Ch48, c.Ch47, c.Ch49, c.Ch410,
          c.Te41, c.Te42}},
        {c.PicS5,
         {c.Op51, c.Op52, c.Op56, c.Op57, c.Op58, c.Op59, c.Op510, c.Op53, c.Op54, c.Op55, c.Op511,
          c.Op512, c.Op513, c.Op514, c.Op515, c.Op516, c.Te55}},
    };
    for (const auto& [page, order] : m_pageFocusOrders)
        chain(order);
}

}  // namespace zx::ui
