// Escaping control and reordering characters before they reach a terminal.
#include "terminaltext.h"

namespace {

bool isBidiControl(char32_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

QString escape(const QString &text, bool keepLayout, bool asJson)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        char32_t c = ch.unicode();
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += ch;
            result += text.at(++i);
            continue;
        }
        const bool layout = c == '\n' || c == '\t';
        const bool harmful
            = asJson ? (c >= 0x7F && c <= 0x9F) : ((isControl(c) || isBidiControl(c)) && !(keepLayout && layout));
        if (!harmful) {
            result += ch;
        } else if (asJson || isBidiControl(c)) {
            result += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        } else {
            result
                += QStringLiteral("\\x") + QString::number(uint(c), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        }
    }
    return result;
}

} // namespace

QString TerminalText::field(const QString &text)
{
    return escape(text, false, false);
}

QString TerminalText::block(const QString &text)
{
    return escape(text, true, false);
}

QString TerminalText::json(const QString &text)
{
    return escape(text, true, true);
}

QString TerminalText::elided(const QString &text, qsizetype width)
{
    if (text.size() <= width)
        return text;
    qsizetype keep = std::max<qsizetype>(width - 1, 0);
    // Never cut a character that needs two UTF-16 units in half.
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QStringLiteral("…");
}
