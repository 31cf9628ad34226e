#include "TerminalText.h"

namespace zx::host {

namespace {

// Only where the reader knows the short forms of line ends may they be used;
// the script reader knows \t, \uXXXX and backslashed quotes and backslashes.
enum class Reader { Terminal, Script };

QString escaped(const QString& text, Reader reader) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            out += c;
            out += text[++i];
            continue;
        }
        const auto category = c.category();
        if (reader == Reader::Script && (c == QLatin1Char('"') || c == QLatin1Char('\\')))
            out += QLatin1Char('\\') + c;
        else if (reader == Reader::Terminal && c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (reader == Reader::Terminal && c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (category == QChar::Other_Control || category == QChar::Other_Format ||
                 c.isSurrogate() || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

}  // namespace

QString escapedForTerminal(const QString& text) {
    return escaped(text, Reader::Terminal);
}

QString quotedScriptText(const QString& text) {
    return QLatin1Char('"') + escaped(text, Reader::Script) + QLatin1Char('"');
}

int terminalCells(const QString& text) {
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (c.isLowSurrogate())
            continue;
        width += (u >= 0x1100 &&
                  (u <= 0x115F || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
                   (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) ||
                   (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6)))
                     ? 2
                     : 1;
    }
    return width;
}

QString padToCells(const QString& text, int cells) {
    return text + QString(std::max(0, cells - terminalCells(text)), QLatin1Char(' '));
}

}  // namespace zx::host
