#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// A connection to an SQLite file, closed with the object. Used by one thread
// at a time.
class SqliteConnection
{
public:
    // Opens the file, creating it when asked to; check result() and errorString().
    SqliteConnection(const QString &path, bool create);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    sqlite3 *handle() const { return m_db; }
    // The result code of the open or of the last exec().
    int result() const { return m_result; }
    QString errorString() const;

    // Runs statements that return no rows; false on an error.
    bool exec(const char *sql);

private:
    sqlite3 *m_db = nullptr;
    int m_result = 0;
};

// One prepared statement of a connection.
class SqliteStatement
{
public:
    SqliteStatement(const SqliteConnection &connection, const char *sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isValid() const { return m_statement != nullptr; }

    // Parameters counted from 1.
    void bind(int index, qint64 value);
    void bind(int index, const QString &value);
    // The bytes must live until the next reset().
    void bindUtf8(int index, const QByteArray &value);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Steps to the end; true when it ended without an error.
    bool run();
    void reset();
    int result() const { return m_result; }

    // Columns counted from 0.
    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;

private:
    sqlite3_stmt *m_statement = nullptr;
    int m_result = 0;
};
