#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server with PostGIS of the tests' own: made with initdb in a temporary folder,
// reached through a socket there (no TCP port), run by the "postgres" user when the tests run as
// root, and stopped when the object goes.
class TestPostgres
{
public:
    TestPostgres() = default;
    ~TestPostgres();
    TestPostgres(const TestPostgres &) = delete;
    TestPostgres &operator=(const TestPostgres &) = delete;

    // Why the server cannot run here (the packages are missing), or empty.
    static QString unavailable();
    // Starts it with a database "wells" that has PostGIS; false with the reason.
    bool start(QString *why);
    // "PG:host=... dbname=wells user=tractwise"
    QString connection() const;
    // Runs SQL on the database with psql; false with psql's message.
    bool sql(const QString &statement, QString *output = nullptr) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_running = false;
};
