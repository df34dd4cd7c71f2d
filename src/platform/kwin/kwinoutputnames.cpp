// Reading the "Screens" part of KWin's support information, line by line.
#include "kwinoutputnames.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// "X,Y,WxH" as KWin prints an output's geometry.
std::optional<QRect> rectangle(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(-?\\d+),(-?\\d+),(\\d+)x(\\d+)$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return QRect(
        match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), match.captured(4).toInt());
}

} // namespace

namespace KWinOutputNames {

QList<KWinOutputName> parse(const QString &supportInformation)
{
    static const QRegularExpression section(QStringLiteral("^Screen (\\d+):$"));
    QList<KWinOutputName> outputs;
    int current = -1;
    const QStringList lines = supportInformation.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (const auto match = section.match(line); match.hasMatch()) {
            // Sections come in order; one out of order means the text is not what we expect.
            current = match.captured(1).toInt();
            if (current != outputs.size())
                return {};
            outputs.append(KWinOutputName());
            continue;
        }
        if (current < 0)
            continue;
        if (line.isEmpty() || line.startsWith(QLatin1Char('='))) {
            // A blank line separates sections; "=====" underlines the next part's heading.
            if (line.startsWith(QLatin1Char('=')))
                current = -1;
            continue;
        }
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            continue;
        const QString key = line.left(colon);
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("Name"))
            outputs[current].name = value;
        else if (key == QLatin1String("Enabled"))
            outputs[current].enabled = value != QLatin1String("0") && value != QLatin1String("false");
        else if (key == QLatin1String("Geometry"))
            outputs[current].geometry = rectangle(value);
        else if (key == QLatin1String("Manufacturer"))
            outputs[current].manufacturer = value;
        else if (key == QLatin1String("Model"))
            outputs[current].model = value;
    }
    return outputs;
}

QList<KWinOutputName> match(const QList<KWinOutputName> &sections, const QList<QRect> &screens)
{
    QList<KWinOutputName> enabled;
    for (const KWinOutputName &section : sections) {
        if (section.enabled)
            enabled.append(section);
    }
    QList<KWinOutputName> result(screens.size());
    QList<bool> taken(enabled.size(), false);
    QList<bool> found(screens.size(), false);
    for (qsizetype s = 0; s < screens.size(); ++s) {
        for (qsizetype e = 0; e < enabled.size(); ++e) {
            if (!taken[e] && enabled[e].geometry == screens[s]) {
                result[s] = enabled[e];
                taken[e] = true;
                found[s] = true;
                break;
            }
        }
    }
    // No geometry given (older KWin), or one rounded differently: the sections left go to the outputs left, in
    // KWin's order, which is the same in both places.
    if (enabled.size() == screens.size()) {
        qsizetype next = 0;
        for (qsizetype s = 0; s < screens.size(); ++s) {
            if (found[s])
                continue;
            while (next < enabled.size() && taken[next])
                ++next;
            if (next < enabled.size()) {
                result[s] = enabled[next];
                taken[next] = true;
            }
        }
    }
    return result;
}

QString fingerprint(const KWinOutputName &output)
{
    QStringList parts { QStringLiteral("kwin"), output.manufacturer, output.model, output.name };
    if (!output.serialNumber.isEmpty())
        parts.append(output.serialNumber);
    return parts.join(QLatin1Char('\x1f'));
}

} // namespace KWinOutputNames
