// Reading the "Screens" part of KWin's support information, line by line.
#include "kwinoutputnames.h"

#include <QRegularExpression>
#include <QStringList>

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
        else if (key == QLatin1String("Manufacturer"))
            outputs[current].manufacturer = value;
        else if (key == QLatin1String("Model"))
            outputs[current].model = value;
    }
    return outputs;
}

QString fingerprint(const KWinOutputName &output)
{
    return QStringList { QStringLiteral("kwin"), output.manufacturer, output.model, output.name }.join(
        QLatin1Char('\x1f'));
}

} // namespace KWinOutputNames
