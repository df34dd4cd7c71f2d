// Pairs saved entries with the open windows of one application by their titles, then by order.
#include "titlematching.h"

#include <algorithm>
#include <vector>

int TitleMatching::longestCommonPart(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return 0;
    // One row of the classic table is enough: titles are short.
    std::vector<int> previous(size_t(b.size()) + 1, 0);
    std::vector<int> current(size_t(b.size()) + 1, 0);
    int longest = 0;
    for (qsizetype i = 1; i <= a.size(); ++i) {
        for (qsizetype j = 1; j <= b.size(); ++j) {
            current[size_t(j)] = a[i - 1] == b[j - 1] ? previous[size_t(j - 1)] + 1 : 0;
            longest = std::max(longest, current[size_t(j)]);
        }
        std::swap(previous, current);
    }
    return longest;
}

std::optional<qsizetype> TitleMatching::closest(const QString &saved, const QStringList &windowTitles)
{
    if (saved.isEmpty())
        return std::nullopt;
    if (const qsizetype exact = windowTitles.indexOf(saved); exact >= 0)
        return exact;
    std::optional<qsizetype> best;
    int longest = shortestCommonPart - 1;
    for (qsizetype w = 0; w < windowTitles.size(); ++w) {
        const int common = longestCommonPart(saved, windowTitles[w]);
        if (common > longest) {
            longest = common;
            best = w;
        }
    }
    return best;
}

QList<int> TitleMatching::match(const QList<std::optional<QString>> &savedTitles, const QStringList &windowTitles)
{
    QList<int> chosen(savedTitles.size(), -1);
    std::vector<bool> taken(size_t(windowTitles.size()), false);
    const auto hasTitle = [&](qsizetype entry) { return savedTitles[entry] && !savedTitles[entry]->isEmpty(); };

    for (qsizetype e = 0; e < savedTitles.size(); ++e) {
        if (!hasTitle(e))
            continue;
        for (qsizetype w = 0; w < windowTitles.size(); ++w) {
            if (!taken[size_t(w)] && windowTitles[w] == *savedTitles[e]) {
                chosen[e] = int(w);
                taken[size_t(w)] = true;
                break;
            }
        }
    }

    // The most alike pair of what is left goes first, so that a title that
    // resembles two windows leaves the closer one to the entry it fits best.
    for (;;) {
        int best = shortestCommonPart - 1;
        qsizetype bestEntry = -1;
        qsizetype bestWindow = -1;
        for (qsizetype e = 0; e < savedTitles.size(); ++e) {
            if (chosen[e] >= 0 || !hasTitle(e))
                continue;
            for (qsizetype w = 0; w < windowTitles.size(); ++w) {
                if (taken[size_t(w)])
                    continue;
                const int common = longestCommonPart(*savedTitles[e], windowTitles[w]);
                if (common > best) {
                    best = common;
                    bestEntry = e;
                    bestWindow = w;
                }
            }
        }
        if (bestEntry < 0)
            break;
        chosen[bestEntry] = int(bestWindow);
        taken[size_t(bestWindow)] = true;
    }

    qsizetype next = 0;
    for (qsizetype e = 0; e < savedTitles.size(); ++e) {
        if (chosen[e] >= 0)
            continue;
        while (next < windowTitles.size() && taken[size_t(next)])
            ++next;
        if (next == windowTitles.size())
            break;
        chosen[e] = int(next);
        taken[size_t(next)] = true;
    }
    return chosen;
}
