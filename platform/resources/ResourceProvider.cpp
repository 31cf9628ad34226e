#include "ResourceProvider.h"

#include "core/Error.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

#include <sys/stat.h>

namespace zx {

namespace {

// The texts the provider ships: the window's title, captions and messages.
const std::pair<int, const char*> ShippedTexts[] = {
    {1791, "按仓库"},
    {1934, "远程标识号必须录入"},
    {1935, "向导提示"},
    {1937, "必须录入启用月份"},
    {1938, "启用月份录入无效"},
    {1941, "必须录入信用额度控制口令"},
    {1942, "必须录入最低售价控制口令"},
    {1944,
     "由于在仓库档案中几个不同计价方式的仓库属于同一部门，因此不能设置为按部门核算。"
     "如果仍想设置为按部门核算，请在仓库档案中改变相应仓库的计价方式来解决此问题。"},
    {1965, "建账向导"},
    {1966, "步骤"},
    {1967, "1.公共参数"},
    {1968, "2.业务范围"},
    {1971, "公用参数"},
    {1972, "库存管理业务范围"},
    {1973, "采购管理业务范围"},
    {1974, "销售管理业务范围"},
    {1975, "存货核算业务范围"},
    {1978, "存货有无辅计量单位"},
    {1979, "是否允许零出库"},
    {1980, "有无成套件管理"},
    {1981, "有无远程应用"},
    {1982, "有无批次管理"},
    {1983, "有无保质期管理"},
    {1984, "有无组装拆卸业务"},
    {1985, "有无形态转换业务"},
    {1986, "是否有最高最低库存报警"},
    {1987, "有无外币业务"},
    {1988, "有无受托代销业务"},
    {1989, "有无委托代销业务"},
    {1990, "有无零售日报业务"},
    {1991, "有无销售调拨业务"},
    {1992, "是否先发货后开票"},
    {1994, "销售报价是否含税"},
    {1995, "销售计划金额是否含税"},
    {1996, "是否有信用额度控制"},
    {1997, "是否有最低售价控制"},
    {1998, "标识号"},
    {1999, "启用月份"},
    {2001, "控制口令"},
    {2002, "核算方式"},
    {2003, "暂估处理方式"},
    {2004, "零出库成本选择"},
    {2005, "存货资金占用规划设置"},
    {2009, "按仓库核算"},
    {2010, "按部门核算"},
    {2011, "月初回冲"},
    {2012, "单到回冲"},
    {2013, "单到补差"},
    {2014, "上次出库成本价"},
    {2015, "参考成本价"},
    {2016, "结存成本价"},
    {2017, "上次入库成本价"},
    {2019, "按存货分类"},
    {2020, "按存货"},
    {2021, "按仓库 + 存货分类"},
    {2022, "按仓库 + 存货"},
    {2023, "按存货分类 + 存货"},
};

}  // namespace

ResourceProvider::ResourceProvider() {
    const QString path = qEnvironmentVariable("ZXWIZARD_TEXTS");
    if (!path.isEmpty()) {
        readTexts(path);
        return;
    }
    for (const auto& [id, text] : ShippedTexts)
        m_texts.insert(id, QString::fromUtf8(text));
}

void ResourceProvider::readTexts(const QString& path) {
    // Opening a FIFO waits for a writer that may never come; a device such
    // as /dev/zero never ends. /dev/null, a provider without texts, is fine.
    struct stat kind {};
    if (::stat(QFile::encodeName(path).constData(), &kind) == 0 &&
        (S_ISFIFO(kind.st_mode) || S_ISSOCK(kind.st_mode)))
        throw Error(QStringLiteral("the texts file %1 is not a regular file").arg(path));
    constexpr qint64 MaxBytes = 1024 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(
            QStringLiteral("cannot read the texts file %1: %2").arg(path, file.errorString()));
    const QByteArray content = file.read(MaxBytes + 1);
    if (content.size() > MaxBytes)
        throw Error(QStringLiteral("the texts file %1 is larger than 1 MiB").arg(path));
    int lineNumber = 0;
    for (const QByteArray& bytes : content.split('\n')) {
        ++lineNumber;
        QString line = QString::fromUtf8(bytes);
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
        if (m_texts.contains(id))
            throw Error(
                QStringLiteral("%1:%2: text %3 given twice").arg(path).arg(lineNumber).arg(id));
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
