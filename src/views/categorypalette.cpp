// Category colours, texts and chip symbols for QML, with the fallbacks the
// views use for stored texts that name no category.
#include "categorypalette.h"

namespace {

QColor toColor(RgbColor color)
{
    return QColor::fromRgbF(float(color.red), float(color.green), float(color.blue));
}

} // namespace

QStringList CategoryPalette::texts()
{
    QStringList result;
    for (WorkspaceCategory category : allCategories())
        result.append(categoryText(category));
    return result;
}

WorkspaceCategory CategoryPalette::displayCategory(const QString &storedText)
{
    return categoryFromText(storedText).value_or(WorkspaceCategory::custom);
}

QColor CategoryPalette::gradientStart(const QString &storedText)
{
    return toColor(gradientColors(displayCategory(storedText))[0]);
}

QColor CategoryPalette::gradientEnd(const QString &storedText)
{
    return toColor(gradientColors(displayCategory(storedText))[1]);
}

QString CategoryPalette::chipSymbol(const QString &text)
{
    switch (displayCategory(text)) {
    case WorkspaceCategory::development:
        return QStringLiteral("curlybraces");
    case WorkspaceCategory::design:
        return QStringLiteral("paintpalette.fill");
    case WorkspaceCategory::office:
        return QStringLiteral("doc.text.fill");
    case WorkspaceCategory::personal:
        return QStringLiteral("person.fill");
    case WorkspaceCategory::gaming:
        return QStringLiteral("gamecontroller.fill");
    case WorkspaceCategory::videoEditing:
        return QStringLiteral("video.fill");
    case WorkspaceCategory::photography:
        return QStringLiteral("camera.fill");
    case WorkspaceCategory::custom:
        return QStringLiteral("slider.horizontal.3");
    }
    return {};
}
