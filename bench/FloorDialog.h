#pragma once

// The dialog both floors show: as many widgets of the wizard's kinds as its
// window has, closed as soon as its event loop runs.

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace zxbench {

inline void showFloorDialog() {
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
}

}  // namespace zxbench
