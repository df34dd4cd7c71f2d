// The eight workspace categories, their stored text and their gradient colours.
#include "workspacecategory.h"

namespace {
struct CategoryRow {
    WorkspaceCategory category;
    const char *text;
    RgbColor first;
    RgbColor second;
};

constexpr std::array<CategoryRow, 8> kRows { {
    { WorkspaceCategory::development, "Development", { 0.0, 0.8, 1.0 }, { 0.0, 0.2, 0.9 } },
    { WorkspaceCategory::design, "Design", { 1.0, 0.0, 0.8 }, { 0.4, 0.0, 0.8 } },
    { WorkspaceCategory::office, "Office", { 0.0, 1.0, 0.5 }, { 0.0, 0.4, 0.2 } },
    { WorkspaceCategory::personal, "Personal", { 1.0, 0.8, 0.0 }, { 0.8, 0.3, 0.0 } },
    { WorkspaceCategory::gaming, "Gaming", { 1.0, 0.2, 0.2 }, { 0.5, 0.0, 0.0 } },
    { WorkspaceCategory::videoEditing, "Video Editing", { 0.6, 0.2, 1.0 }, { 0.2, 0.0, 0.6 } },
    { WorkspaceCategory::photography, "Photography", { 0.0, 0.9, 0.9 }, { 0.0, 0.4, 0.5 } },
    { WorkspaceCategory::custom, "Custom", { 0.4, 0.5, 0.6 }, { 0.1, 0.2, 0.3 } },
} };

const CategoryRow &rowFor(WorkspaceCategory category)
{
    return kRows[static_cast<size_t>(category)];
}
} // namespace

QString categoryText(WorkspaceCategory category)
{
    return QString::fromLatin1(rowFor(category).text);
}

std::optional<WorkspaceCategory> categoryFromText(const QString &text)
{
    for (const CategoryRow &row : kRows) {
        if (text == QLatin1String(row.text))
            return row.category;
    }
    return std::nullopt;
}

const std::array<WorkspaceCategory, 8> &allCategories()
{
    static const std::array<WorkspaceCategory, 8> all { WorkspaceCategory::development, WorkspaceCategory::design,
        WorkspaceCategory::office, WorkspaceCategory::personal, WorkspaceCategory::gaming,
        WorkspaceCategory::videoEditing, WorkspaceCategory::photography, WorkspaceCategory::custom };
    return all;
}

std::array<RgbColor, 2> gradientColors(WorkspaceCategory category)
{
    const CategoryRow &row = rowFor(category);
    return { row.first, row.second };
}
