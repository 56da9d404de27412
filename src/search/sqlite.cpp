#include "sqlite.h"

#include <sqlite3.h>

SqliteConnection::SqliteConnection(const QString &path, bool create)
{
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    m_result = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    // Extended codes tell SQLITE_BUSY_RECOVERY from a plain busy file.
    if (m_db)
        sqlite3_extended_result_codes(m_db, 1);
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close_v2(m_db);
}

QString SqliteConnection::errorString() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(m_result));
}

bool SqliteConnection::exec(const char *sql)
{
    m_result = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return m_result == SQLITE_OK;
}

SqliteStatement::SqliteStatement(const SqliteConnection &connection, const char *sql)
{
    m_result = sqlite3_prepare_v3(connection.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::bind(int index, const QString &value)
{
    sqlite3_bind_text16(m_statement, index, value.utf16(), int(value.size() * 2), SQLITE_TRANSIENT);
}

void SqliteStatement::bindUtf8(int index, const QByteArray &value)
{
    sqlite3_bind_text(m_statement, index, value.constData(), int(value.size()), SQLITE_STATIC);
}

int SqliteStatement::step()
{
    m_result = sqlite3_step(m_statement);
    return m_result;
}

bool SqliteStatement::run()
{
    while (step() == SQLITE_ROW) {
    }
    const bool ok = m_result == SQLITE_DONE;
    reset();
    return ok;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto *data = static_cast<const char16_t *>(sqlite3_column_text16(m_statement, column));
    return data ? QString::fromUtf16(data, sqlite3_column_bytes16(m_statement, column) / 2) : QString();
}
