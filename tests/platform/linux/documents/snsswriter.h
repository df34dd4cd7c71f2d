// Writes Chromium session files (SNSS) command by command, for the tests of the reader.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

class SnssWriter
{
public:
    explicit SnssWriter(qint32 version = 1)
    {
        m_data.append("SNSS", 4);
        appendInt(m_data, version);
    }

    SnssWriter &command(quint8 id, const QByteArray &payload)
    {
        QByteArray size(2, '\0');
        qToLittleEndian<quint16>(quint16(payload.size() + 1), size.data());
        m_data.append(size).append(char(id)).append(payload);
        return *this;
    }

    SnssWriter &ints(quint8 id, std::initializer_list<qint32> values)
    {
        QByteArray payload;
        for (qint32 value : values)
            appendInt(payload, value);
        return command(id, payload);
    }

    SnssWriter &window(qint32 window) { return ints(9, { window, 0 }); }
    SnssWriter &tabWindow(qint32 window, qint32 tab) { return ints(0, { window, tab }); }
    SnssWriter &tabIndex(qint32 tab, qint32 index) { return ints(2, { tab, index }); }
    SnssWriter &selectedNavigation(qint32 tab, qint32 index) { return ints(7, { tab, index }); }
    SnssWriter &selectedTab(qint32 window, qint32 index) { return ints(8, { window, index }); }
    SnssWriter &tabClosed(qint32 tab) { return ints(16, { tab, 0, 0, 0 }); }
    SnssWriter &windowClosed(qint32 window) { return ints(17, { window, 0, 0, 0 }); }
    SnssWriter &marker() { return command(255, {}); }

    /// A navigation as Chromium pickles it: tab id, index, address, then a title
    /// and more fields the reader does not need.
    SnssWriter &navigation(
        qint32 tab, qint32 index, const QByteArray &url, const QString &title = QStringLiteral("Title"))
    {
        QByteArray body;
        appendInt(body, tab);
        appendInt(body, index);
        appendString(body, url);
        appendInt(body, qint32(title.size())); // title length in UTF-16 units
        for (QChar unit : title) {
            char raw[2];
            qToLittleEndian<quint16>(unit.unicode(), raw);
            body.append(raw, 2);
        }
        body.append(QByteArray((4 - (title.size() * 2) % 4) % 4, '\0'));
        appendInt(body, 0); // page state
        QByteArray pickle;
        appendInt(pickle, qint32(body.size()));
        return command(6, pickle + body);
    }

    /// A whole window with its tabs, each with one navigation.
    SnssWriter &windowWithTabs(qint32 window, std::initializer_list<std::pair<qint32, const char *>> tabs)
    {
        this->window(window);
        qint32 index = 0;
        for (const auto &[tab, url] : tabs) {
            tabWindow(window, tab).tabIndex(tab, index++).navigation(tab, 0, url).selectedNavigation(tab, 0);
        }
        return *this;
    }

    QByteArray bytes() const { return m_data; }

private:
    static void appendInt(QByteArray &to, qint32 value)
    {
        char raw[4];
        qToLittleEndian<qint32>(value, raw);
        to.append(raw, 4);
    }
    static void appendString(QByteArray &to, const QByteArray &text)
    {
        appendInt(to, qint32(text.size()));
        to.append(text);
        to.append(QByteArray((4 - text.size() % 4) % 4, '\0'));
    }

    QByteArray m_data;
};
