// One named SQLite connection of the store, removed again when it goes away.
#include "storeconnection.h"

#include <QSqlError>
#include <QUrl>
#include <atomic>

namespace {
QString uniqueConnectionName(const QString &purpose)
{
    static std::atomic<quint64> counter { 0 };
    return QStringLiteral("corvalint-%1-%2").arg(purpose).arg(++counter);
}
} // namespace

StoreConnection::StoreConnection(const QString &path, Mode mode, const QString &purpose)
    : m_name(uniqueConnectionName(purpose))
{
    m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (!m_database.isValid()) {
        m_errorText = QStringLiteral("the SQLite driver of Qt is not available");
        return;
    }
    m_database.setDatabaseName(path);
    // A read-only connection can never create or change the file, which is
    // what makes it safe to look at a file before trusting it.
    if (mode == Mode::readOnly)
        m_database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (mode == Mode::immutable) {
        QUrl uri = QUrl::fromLocalFile(path);
        uri.setQuery(QStringLiteral("immutable=1"));
        m_database.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        m_database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    }
    if (!m_database.open())
        m_errorText = m_database.lastError().text();
}

StoreConnection::~StoreConnection()
{
    m_database.close();
    // removeDatabase() warns and misbehaves while a handle is still held.
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}
