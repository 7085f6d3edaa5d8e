#include "tests/support/test_postgres.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The newest installed server's programs.
QString serverBin()
{
    QDir versions(u"/usr/lib/postgresql"_s);
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(found.begin(), found.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    for (auto v = found.rbegin(); v != found.rend(); ++v) {
        QString bin = versions.filePath(*v + u"/bin"_s);
        if (QFile::exists(bin + u"/initdb"_s) && QFile::exists(bin + u"/pg_ctl"_s))
            return bin;
    }
    return {};
}

QString postgisControl()
{
    const QString bin = serverBin();
    if (bin.isEmpty())
        return {};
    return u"/usr/share/postgresql/"_s + QFileInfo(bin).dir().dirName() +
           u"/extension/postgis.control"_s;
}

// Runs a server program, as "postgres" when we are root (the server refuses root).
bool run(const QString &program, const QStringList &args, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (geteuid() == 0)
        p.start(u"runuser"_s, QStringList{u"-u"_s, u"postgres"_s, u"--"_s, program} + args);
    else
        p.start(program, args);
    const bool ok =
        p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

} // namespace

QString TestPostgres::unavailable()
{
    if (serverBin().isEmpty())
        return u"PostgreSQL is not installed (Debian package postgresql)"_s;
    if (!QFile::exists(postgisControl()))
        return u"PostGIS is not installed (Debian package postgresql-15-postgis-3)"_s;
    QProcess id;
    id.start(u"id"_s, {u"postgres"_s});
    if (geteuid() == 0 && (!id.waitForFinished() || id.exitCode() != 0))
        return u"there is no user \"postgres\" to run the server as"_s;
    return {};
}

bool TestPostgres::start(QString *why)
{
    *why = unavailable();
    if (!why->isEmpty())
        return false;
    const QString bin = serverBin();
    m_dir = std::make_unique<QTemporaryDir>();
    const QString dir = m_dir->path();
    if (geteuid() == 0 && QProcess::execute(u"chown"_s, {u"postgres"_s, dir}) != 0) {
        *why = u"cannot give the server's folder to postgres"_s;
        return false;
    }
    QString out;
    if (!run(bin + u"/initdb"_s,
             {u"-D"_s, dir + u"/data"_s, u"-U"_s, u"tractwise"_s, u"--auth=trust"_s, u"-E"_s,
              u"UTF8"_s, u"--no-sync"_s},
             &out)) {
        *why = u"initdb failed: "_s + out;
        return false;
    }
    const QString options = u"-k "_s + dir + u" -c listen_addresses= -c fsync=off"_s;
    if (!run(bin + u"/pg_ctl"_s,
             {u"-D"_s, dir + u"/data"_s, u"-l"_s, dir + u"/log"_s, u"-w"_s, u"-o"_s, options,
              u"start"_s},
             &out)) {
        *why = u"the server did not start: "_s + out;
        return false;
    }
    m_running = true;
    QProcess psql;
    psql.setProcessChannelMode(QProcess::MergedChannels);
    psql.start(u"psql"_s, {u"-h"_s, dir, u"-U"_s, u"tractwise"_s, u"-d"_s, u"postgres"_s, u"-v"_s,
                           u"ON_ERROR_STOP=1"_s, u"-c"_s, u"CREATE DATABASE wells"_s});
    if (!psql.waitForFinished(60000) || psql.exitCode() != 0) {
        *why = u"cannot create the database: "_s + QString::fromLocal8Bit(psql.readAll());
        return false;
    }
    if (!sql(u"CREATE EXTENSION postgis"_s, &out)) {
        *why = u"cannot add PostGIS: "_s + out;
        return false;
    }
    return true;
}

QString TestPostgres::connection() const
{
    return u"PG:host="_s + m_dir->path() + u" dbname=wells user=tractwise"_s;
}

bool TestPostgres::sql(const QString &statement, QString *output) const
{
    QProcess psql;
    psql.setProcessChannelMode(QProcess::MergedChannels);
    psql.start(u"psql"_s, {u"-h"_s, m_dir->path(), u"-U"_s, u"tractwise"_s, u"-d"_s, u"wells"_s,
                           u"-v"_s, u"ON_ERROR_STOP=1"_s, u"-At"_s, u"-c"_s, statement});
    const bool ok = psql.waitForFinished(60000) && psql.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(psql.readAll()).trimmed();
    return ok;
}

TestPostgres::~TestPostgres()
{
    if (m_running)
        run(serverBin() + u"/pg_ctl"_s,
            {u"-D"_s, m_dir->path() + u"/data"_s, u"-m"_s, u"immediate"_s, u"-w"_s, u"stop"_s},
            nullptr);
}
