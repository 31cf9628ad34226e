// The floor of a headless run: a minimal Qt program that builds an offscreen
// dialog with as many widgets as the wizard's window, shows it and exits.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    // The wizard's inventory: 86 controls of these kinds.
    const struct {
        int count;
        QWidget* (*make)(QWidget*);
    } kinds[] = {
        {34,
         [](QWidget* p) -> QWidget* { return new QCheckBox(QStringLiteral("有无批次管理"), p); }},
        {16,
         [](QWidget* p) -> QWidget* { return new QRadioButton(QStringLiteral("按仓库核算"), p); }},
        {17, [](QWidget* p) -> QWidget* { return new QLabel(QStringLiteral("启用月份"), p); }},
        {7, [](QWidget* p) -> QWidget* { return new QLineEdit(p); }},
        {6, [](QWidget* p) -> QWidget* { return new QGroupBox(QStringLiteral("公用参数"), p); }},
        {5, [](QWidget* p) -> QWidget* { return new QPushButton(QStringLiteral("完成"), p); }},
        {1, [](QWidget* p) -> QWidget* { return new QWidget(p); }},
    };
    int y = 0;
    for (const auto& kind : kinds)
        for (int i = 0; i < kind.count; ++i)
            kind.make(&dialog)->setGeometry(5, (y++ % 20) * 15, 150, 15);
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    dialog.exec();
    return 0;
}
