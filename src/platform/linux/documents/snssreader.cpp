// Replays a Chromium session file (SNSS commands) into the current address of every tab.
#include "snssreader.h"

#include <QByteArrayView>
#include <QtEndian>
#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace {
constexpr quint32 fileSignature = 0x53534E53; // "SNSS" when read little-endian
constexpr qint32 plainVersion = 1;
constexpr qint32 plainVersionWithMarker = 3;

// Command ids as Chromium writes them; every other id is skipped.
enum Command : quint8 {
    setTabWindow = 0,
    setTabIndexInWindow = 2,
    tabNavigationPathPrunedFromBack = 5,
    updateTabNavigation = 6,
    setSelectedNavigationIndex = 7,
    setSelectedTabInIndex = 8,
    setWindowType = 9,
    tabNavigationPathPrunedFromFront = 11,
    tabClosed = 16,
    windowClosed = 17,
    tabNavigationPathPruned = 24,
    initialStateMarker = 255,
};

qint32 int32At(QByteArrayView data, qsizetype offset)
{
    return qFromLittleEndian<qint32>(data.data() + offset);
}

// Chromium's pickle: a 32-bit payload size, then 32-bit aligned fields; strings
// are a 32-bit length and the bytes, padded to the alignment.
class PickleReader
{
public:
    explicit PickleReader(QByteArrayView payload)
    {
        if (payload.size() < 4)
            return;
        const quint32 declared = qFromLittleEndian<quint32>(payload.data());
        if (declared <= quint64(payload.size() - 4))
            m_data = payload.sliced(4, qsizetype(declared));
    }

    std::optional<qint32> readInt()
    {
        if (m_data.size() - m_pos < 4)
            return std::nullopt;
        const qint32 value = int32At(m_data, m_pos);
        m_pos += 4;
        return value;
    }

    /// A UTF-16 string: its length in code units, then the units, padded.
    std::optional<QString> readString16()
    {
        const std::optional<qint32> length = readInt();
        if (!length || *length < 0 || qint64(*length) * 2 > m_data.size() - m_pos)
            return std::nullopt;
        QString text(*length, Qt::Uninitialized);
        for (qint32 i = 0; i < *length; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(m_data.data() + m_pos + 2 * i));
        m_pos = qMin(m_data.size(), m_pos + ((qsizetype(*length) * 2 + 3) & ~qsizetype(3)));
        return text;
    }

    std::optional<QByteArrayView> readString()
    {
        const std::optional<qint32> length = readInt();
        if (!length || *length < 0 || *length > m_data.size() - m_pos)
            return std::nullopt;
        const QByteArrayView text = m_data.sliced(m_pos, *length);
        m_pos = qMin(m_data.size(), m_pos + ((qsizetype(*length) + 3) & ~qsizetype(3)));
        return text;
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

struct Tab {
    qint32 window = 0;
    qint32 visualIndex = -1;
    qint32 currentNavigation = -1;
    std::map<qint32, QString> navigations; // by navigation index
    std::map<qint32, QString> titles; // by navigation index
};

class SessionReplay
{
public:
    // False once the file has created more objects than any real session would.
    bool apply(quint8 id, QByteArrayView payload)
    {
        switch (id) {
        case setTabWindow:
            if (payload.size() >= 8)
                tab(int32At(payload, 4)).window = int32At(payload, 0);
            break;
        case setTabIndexInWindow:
            if (payload.size() >= 8)
                tab(int32At(payload, 0)).visualIndex = int32At(payload, 4);
            break;
        case setSelectedNavigationIndex:
            if (payload.size() >= 8)
                tab(int32At(payload, 0)).currentNavigation = int32At(payload, 4);
            break;
        case setWindowType:
            if (payload.size() >= 8)
                m_windows.try_emplace(int32At(payload, 0), -1);
            break;
        case setSelectedTabInIndex:
            if (payload.size() >= 8) {
                const auto window = m_windows.find(int32At(payload, 0));
                if (window != m_windows.end())
                    window->second = int32At(payload, 4);
            }
            break;
        case tabClosed:
            if (payload.size() >= 4)
                m_tabs.erase(int32At(payload, 0));
            break;
        case windowClosed:
            // The tabs of a closed window are not closed one by one; they stay
            // behind pointing at a window that no longer counts.
            if (payload.size() >= 4)
                m_windows.erase(int32At(payload, 0));
            break;
        case updateTabNavigation:
            updateNavigation(payload);
            break;
        case tabNavigationPathPrunedFromBack:
            if (payload.size() >= 8)
                pruneFromBack(tab(int32At(payload, 0)), int32At(payload, 4));
            break;
        case tabNavigationPathPrunedFromFront:
            if (payload.size() >= 8 && int32At(payload, 4) > 0)
                prune(tab(int32At(payload, 0)), 0, int32At(payload, 4));
            break;
        case tabNavigationPathPruned:
            if (payload.size() >= 12 && int32At(payload, 4) >= 0 && int32At(payload, 8) > 0)
                prune(tab(int32At(payload, 0)), int32At(payload, 4), int32At(payload, 8));
            break;
        default:
            break;
        }
        return m_objects <= SnssReader::maxObjects;
    }

    QList<BrowserWindowTabs> windows() const
    {
        struct Placed {
            qint32 visualIndex;
            qint32 tabId;
            const Tab *tab;
        };
        std::map<qint32, std::vector<Placed>> byWindow; // window ids grow with creation
        for (const auto &[tabId, tab] : m_tabs) {
            if (tab.window == 0 || tab.navigations.empty() || !m_windows.contains(tab.window))
                continue;
            byWindow[tab.window].push_back({ tab.visualIndex, tabId, &tab });
        }
        QList<BrowserWindowTabs> windows;
        for (auto &[window, tabs] : byWindow) {
            std::sort(tabs.begin(), tabs.end(), [](const Placed &a, const Placed &b) {
                return a.visualIndex != b.visualIndex ? a.visualIndex < b.visualIndex : a.tabId < b.tabId;
            });
            BrowserWindowTabs listed;
            const qint32 selected = m_windows.at(window);
            for (size_t i = 0; i < tabs.size(); ++i) {
                const auto current = currentNavigation(*tabs[i].tab);
                if (!current->second.isEmpty())
                    listed.urls.append(current->second);
                // The selected index counts the tabs in their order.
                if (qint64(i) == selected) {
                    const auto title = tabs[i].tab->titles.find(current->first);
                    if (title != tabs[i].tab->titles.end())
                        listed.title = title->second;
                }
            }
            windows.append(listed);
        }
        return windows;
    }

private:
    Tab &tab(qint32 id)
    {
        auto [it, inserted] = m_tabs.try_emplace(id);
        m_objects += inserted ? 1 : 0;
        return it->second;
    }

    void updateNavigation(QByteArrayView payload)
    {
        PickleReader pickle(payload);
        const std::optional<qint32> tabId = pickle.readInt();
        const std::optional<qint32> index = pickle.readInt();
        const std::optional<QByteArrayView> url = pickle.readString();
        if (!tabId || !index || !url)
            return;
        Tab &target = tab(*tabId);
        auto [it, inserted] = target.navigations.insert_or_assign(*index, QString::fromUtf8(*url));
        m_objects += inserted ? 1 : 0;
        if (const std::optional<QString> title = pickle.readString16())
            target.titles.insert_or_assign(*index, *title);
        else
            target.titles.erase(*index);
    }

    // The navigation shown is the selected one or, when that index is gone, the
    // next one after it, or else the last one.
    static std::map<qint32, QString>::const_iterator currentNavigation(const Tab &tab)
    {
        auto it = tab.navigations.lower_bound(tab.currentNavigation);
        if (it == tab.navigations.end())
            it = std::prev(it);
        return it;
    }

    static void pruneFromBack(Tab &tab, qint32 index)
    {
        tab.navigations.erase(tab.navigations.lower_bound(index), tab.navigations.end());
        tab.titles.erase(tab.titles.lower_bound(index), tab.titles.end());
    }

    static std::map<qint32, QString> pruned(std::map<qint32, QString> values, qint32 index, qint64 end, qint32 count)
    {
        std::map<qint32, QString> kept;
        for (auto &[navigationIndex, value] : values) {
            if (navigationIndex < index)
                kept.emplace(navigationIndex, std::move(value));
            else if (navigationIndex >= end)
                kept.emplace(qint32(navigationIndex - count), std::move(value));
        }
        return kept;
    }

    // Removes `count` navigations from `index` on; later ones move down by `count`.
    static void prune(Tab &tab, qint32 index, qint32 count)
    {
        const qint64 end = qint64(index) + count;
        if (tab.currentNavigation >= index && tab.currentNavigation < end)
            tab.currentNavigation = index - 1;
        else if (tab.currentNavigation >= end)
            tab.currentNavigation = qint32(tab.currentNavigation - count);
        tab.navigations = pruned(std::move(tab.navigations), index, end, count);
        tab.titles = pruned(std::move(tab.titles), index, end, count);
    }

    std::map<qint32, Tab> m_tabs;
    std::map<qint32, qint32> m_windows; // windows given a type and not closed, with their selected tab
    qint64 m_objects = 0;
};
} // namespace

SnssReader::Result SnssReader::read(const QByteArray &file)
{
    if (file.size() < 8 || qFromLittleEndian<quint32>(file.constData()) != fileSignature)
        return { Status::incomplete, {}, {} };
    const qint32 version = int32At(file, 4);
    if (version != plainVersion && version != plainVersionWithMarker)
        return { Status::refused, {}, {} };

    SessionReplay replay;
    bool sawMarker = false;
    qsizetype pos = 8;
    while (file.size() - pos >= 2) {
        const quint16 size = qFromLittleEndian<quint16>(file.constData() + pos);
        pos += 2;
        // A zero size or a command running past the end is where a write stopped.
        if (size == 0 || size > file.size() - pos)
            break;
        const quint8 id = quint8(file.at(pos));
        const QByteArrayView payload = QByteArrayView(file).sliced(pos + 1, size - 1);
        pos += size;
        if (id == initialStateMarker) {
            sawMarker = true;
            continue;
        }
        if (!replay.apply(id, payload))
            return { Status::refused, {}, {} };
    }
    // Files of this version mark the end of their initial state; without the mark
    // the state was never completely written and the file must not be trusted.
    if (version == plainVersionWithMarker && !sawMarker)
        return { Status::incomplete, {}, {} };
    Result result { Status::read, {}, replay.windows() };
    for (const BrowserWindowTabs &window : result.windows)
        result.urls.append(window.urls);
    return result;
}
