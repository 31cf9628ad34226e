#include "ResourceProvider.h"

#include "core/Error.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

namespace zx {

ResourceProvider::ResourceProvider() {
    const QString path = qEnvironmentVariable("ZXWIZARD_TEXTS");
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(
            QStringLiteral("cannot read the texts file %1: %2").arg(path, file.errorString()));
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).trimmed().toInt(&ok) : 0;
        if (!ok)
            throw Error(
                QStringLiteral("%1:%2: expected \"id<TAB>text\"").arg(path).arg(lineNumber));
        m_texts.insert(id, line.mid(tab + 1));
    }
}

QString ResourceProvider::GetText(int id, const QString& fallback) const {
    return m_texts.value(id, fallback);
}

QPixmap ResourceProvider::GetPicture(int id) const {
    if (id != Cancel && id != Previous && id != Next)
        throw Error(QStringLiteral("no picture with id %1").arg(id));
    // Drawn at twice the size so that it stays sharp on scaled screens; a
    // white rim keeps the shape readable on dark palettes too.
    constexpr int logical = 16;
    QPixmap pixmap(logical * 2, logical * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    QColor fill;
    if (id == Cancel) {
        fill = QColor(0xC6, 0x28, 0x28);
        shape.addEllipse(QRectF(1, 1, 14, 14));
        p.setPen(QPen(Qt::white, 1.2));
        p.setBrush(fill);
        p.drawPath(shape);
        p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
        return pixmap;
    }
    fill = QColor(0x1E, 0x63, 0xC8);
    const bool next = id == Next;
    auto x = [next](double v) { return next ? v : logical - v; };
    shape.moveTo(x(1.5), 6);
    shape.lineTo(x(8), 6);
    shape.lineTo(x(8), 2);
    shape.lineTo(x(14.5), 8);
    shape.lineTo(x(8), 14);
    shape.lineTo(x(8), 10);
    shape.lineTo(x(1.5), 10);
    shape.closeSubpath();
    p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(shape);
    return pixmap;
}

}  // namespace zx
