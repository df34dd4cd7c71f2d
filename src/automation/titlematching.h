// Pairs saved entries with the open windows of one application by their titles, then by order.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace TitleMatching {

/// The shortest common part of two titles that counts as a resemblance: one
/// or two shared letters ("a", " - ") say nothing about which window is which.
inline constexpr int shortestCommonPart = 3;

/// The length of the longest run of characters both texts contain.
int longestCommonPart(const QString &a, const QString &b);

/// The window whose title is the saved one, else the one sharing the longest
/// part with it (at least `shortestCommonPart` characters; the first of equals).
/// Nothing when no title resembles it.
std::optional<qsizetype> closest(const QString &saved, const QStringList &windowTitles);

/// For each saved title (in entry order), the index of the window it gets,
/// or -1 when there are fewer windows than entries. Exact titles pair first,
/// then the pairs with the longest common part (at least
/// `shortestCommonPart` characters, the longest pair first), then the rest in
/// order. An entry without a title only takes a window by order.
QList<int> match(const QList<std::optional<QString>> &savedTitles, const QStringList &windowTitles);

} // namespace TitleMatching
