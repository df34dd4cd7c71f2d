// The eight workspace categories, their stored text and their gradient colours.
#pragma once

#include <QString>
#include <array>
#include <optional>

enum class WorkspaceCategory { development, design, office, personal, gaming, videoEditing, photography, custom };

/// An opaque sRGB colour with components from 0 to 1 (the core has no GUI types).
struct RgbColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    bool operator==(const RgbColor &) const = default;
};

/// The display name and stored form ("Development", "Video Editing", ...).
QString categoryText(WorkspaceCategory category);

/// The case whose text equals `text` exactly (case-sensitive); nothing otherwise.
std::optional<WorkspaceCategory> categoryFromText(const QString &text);

/// All eight cases in picker order, `development` first and `custom` last.
const std::array<WorkspaceCategory, 8> &allCategories();

/// The two gradient colours, first then second.
std::array<RgbColor, 2> gradientColors(WorkspaceCategory category);
