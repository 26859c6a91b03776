#include "records/Database.h"

#include "shell/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

QString BackupFileName(const QDate &date) {
  return QStringLiteral("sova_%1_BAK.mdb").arg(date.toString(QStringLiteral("yyyyMMdd")));
}

FileFormat DetectFileFormat(const QString &path) {
  QFile f(path);
  if (!f.exists())
    return FileFormat::Missing;
  if (!f.open(QIODevice::ReadOnly))
    return FileFormat::Unknown;
  const QByteArray head = f.read(32);
  if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
    return FileFormat::Sqlite;
  if (head.size() >= 19 && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB"))
    return FileFormat::Jet;
  return FileFormat::Unknown;
}

namespace {

QString fileText(const QString &path) {
  return QDir::toNativeSeparators(path);
}

void fail(QString *error, const QString &text) {
  if (error)
    *error = text;
}

QSet<QString> tablesOf(QSqlDatabase &db, bool *ok) {
  QSet<QString> names;
  QSqlQuery q(db);
  *ok = q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
  while (*ok && q.next())
    names.insert(q.value(0).toString().toLower());
  return names;
}

QSet<QString> columnsOf(QSqlDatabase &db, const QString &table) {
  QSet<QString> names;
  QSqlQuery q(db);
  // A table name from the fixed schema list, never from input.
  if (q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
    while (q.next())
      names.insert(q.value(1).toString().toLower());
  return names;
}

// Adds the tables and later fields that a file of an earlier version lacks.
bool completeSchema(QSqlDatabase &db, DatabaseKind kind, QString *error) {
  if (!CreateSchema(db, kind, error, false))
    return false;
  QSqlQuery q(db);
  for (const TableDef *t : TablesOf(kind)) {
    const QSet<QString> have = columnsOf(db, QLatin1String(t->name));
    for (const FieldDef &f : t->fields) {
      if (have.contains(QString::fromLatin1(f.name).toLower()))
        continue;
      QString type;
      switch (f.type) {
      case FieldType::Text: type = QStringLiteral("TEXT COLLATE NOCASE"); break;
      case FieldType::YesNo: type = QStringLiteral("INTEGER NOT NULL DEFAULT 0"); break;
      case FieldType::DateTime: type = QStringLiteral("REAL NOT NULL DEFAULT 0"); break;
      case FieldType::Double: type = QStringLiteral("REAL DEFAULT 0"); break;
      case FieldType::Long: type = QStringLiteral("INTEGER DEFAULT 0"); break;
      case FieldType::Picture: type = QStringLiteral("BLOB"); break;
      default: type = QStringLiteral("TEXT"); break;
      }
      if (!q.exec(QStringLiteral("ALTER TABLE \"%1\" ADD COLUMN \"%2\" %3")
                      .arg(QLatin1String(t->name), QLatin1String(f.name), type))) {
        fail(error, q.lastError().text());
        return false;
      }
    }
  }
  return CreateIndexes(db, kind, error);
}

} // namespace

QSqlDatabase OpenDatabaseFile(const QString &path, OpenMode mode, const QString &connectionName,
                              QString *error, const DatabaseKind *expect) {
  auto refuse = [&](const QString &why) {
    if (QSqlDatabase::contains(connectionName))
      QSqlDatabase::removeDatabase(connectionName);
    fail(error, QStringLiteral("数据库文件 %1 %2").arg(fileText(path), why));
    return QSqlDatabase();
  };
  switch (DetectFileFormat(path)) {
  case FileFormat::Missing: return refuse(QStringLiteral("不存在。"));
  case FileFormat::Jet: return refuse(QStringLiteral("是旧版 Access 格式，须先转换。"));
  case FileFormat::Unknown: return refuse(QStringLiteral("不是数据库文件或已损坏。"));
  case FileFormat::Sqlite: break;
  }
  if (mode == OpenMode::ReadWrite && !QFileInfo(path).isWritable())
    return refuse(QStringLiteral("为只读文件，无法写入。"));
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(mode == OpenMode::ReadOnly
                             ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                             : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
      const QString why = db.lastError().text();
      db = QSqlDatabase();
      return refuse(QStringLiteral("无法开启：%1").arg(why));
    }
    bool ok = false;
    const QSet<QString> tables = tablesOf(db, &ok);
    if (!ok) {
      db.close();
      db = QSqlDatabase();
      return refuse(QStringLiteral("不是数据库文件或已损坏。"));
    }
    if (expect) {
      if (mode == OpenMode::ReadWrite) {
        QString why;
        if (!completeSchema(db, *expect, &why)) {
          db.close();
          db = QSqlDatabase();
          return refuse(QStringLiteral("无法更新数据表：%1").arg(why));
        }
      } else {
        for (const TableDef *t : TablesOf(*expect)) {
          if (!tables.contains(QString::fromLatin1(t->name).toLower())) {
            db.close();
            db = QSqlDatabase();
            return refuse(QStringLiteral("缺少数据表 %1。").arg(QLatin1String(t->name)));
          }
        }
      }
    }
  }
  return QSqlDatabase::database(connectionName, false);
}

void CloseDatabaseConnection(const QString &connectionName) {
  if (!QSqlDatabase::contains(connectionName))
    return;
  {
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    db.close();
  }
  QSqlDatabase::removeDatabase(connectionName);
}

QString DescribeDbError(const QSqlDatabase &db, const QSqlError &error) {
  const QString code = error.nativeErrorCode();
  const QString text = error.text().trimmed();
  // SQLITE_CORRUPT, SQLITE_NOTADB
  if (code == u"11" || code == u"26" || text.contains(u"malformed") || text.contains(u"not a database"))
    return QStringLiteral("数据库文件 %1 已损坏：%2").arg(fileText(db.databaseName()), text);
  return QStringLiteral("数据库文件 %1：%2").arg(fileText(db.databaseName()), text);
}

bool CheckDatabaseIntegrity(QSqlDatabase &db, QString *error) {
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next()) {
    fail(error,
         QStringLiteral("数据库文件 %1 已损坏：%2").arg(fileText(db.databaseName()), q.lastError().text()));
    return false;
  }
  const QString r = q.value(0).toString();
  if (r.compare(u"ok", Qt::CaseInsensitive) != 0) {
    fail(error, QStringLiteral("数据库文件 %1 已损坏：%2").arg(fileText(db.databaseName()), r));
    return false;
  }
  return true;
}

bool CreateDatabaseFile(const QString &path, DatabaseKind kind, QString *error) {
  if (QFileInfo::exists(path)) {
    fail(error, QStringLiteral("数据库文件 %1 已存在。").arg(fileText(path)));
    return false;
  }
  const QString conn = QStringLiteral("sova-create-%1").arg(quintptr(&path), 0, 16);
  bool ok = false;
  QString why;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
    db.setDatabaseName(path);
    if (!db.open())
      why = db.lastError().text();
    else
      ok = CreateSchema(db, kind, &why);
    db.close();
  }
  QSqlDatabase::removeDatabase(conn);
  if (!ok) {
    QFile::remove(path);
    fail(error, QStringLiteral("无法建立数据库文件 %1：%2").arg(fileText(path), why));
  }
  return ok;
}

bool CreateTemplateDatabase(const QString &folder, QString *error) {
  return CreateDatabaseFile(WithTrailingSlash(folder) + QLatin1String(DbFile::Template),
                            DatabaseKind::Working, error);
}

Database::Database() = default;

Database::~Database() {
  close();
}

QString Database::name(const char *role) const {
  return QStringLiteral("sova-%1-%2").arg(quintptr(this), 0, 16).arg(QLatin1String(role));
}

bool Database::open(const QString &dataFolder, QString *error) {
  close();
  m_folder = WithTrailingSlash(dataFolder);
  const DatabaseKind working = DatabaseKind::Working, reference = DatabaseKind::Reference,
                     programme = DatabaseKind::Programme;
  const bool ok = OpenDatabaseFile(FindFileNoCase(m_folder, QLatin1String(DbFile::Working)),
                                   OpenMode::ReadWrite, name("working"), error, &working)
                      .isValid() &&
                  OpenDatabaseFile(FindFileNoCase(m_folder, QLatin1String(DbFile::Reference)),
                                   OpenMode::ReadOnly, name("reference"), error, &reference)
                      .isValid() &&
                  OpenDatabaseFile(FindFileNoCase(m_folder, QLatin1String(DbFile::Programme)),
                                   OpenMode::ReadOnly, name("programme"), error, &programme)
                      .isValid();
  m_open = ok;
  if (!ok)
    close();
  return ok;
}

void Database::close() {
  for (const QString &n : std::as_const(m_private))
    CloseDatabaseConnection(n);
  m_private.clear();
  CloseDatabaseConnection(name("working"));
  CloseDatabaseConnection(name("reference"));
  CloseDatabaseConnection(name("programme"));
  m_open = false;
}

QSqlDatabase Database::working() const {
  return QSqlDatabase::database(name("working"), false);
}
QSqlDatabase Database::reference() const {
  return QSqlDatabase::database(name("reference"), false);
}
QSqlDatabase Database::programme() const {
  return QSqlDatabase::database(name("programme"), false);
}

QSqlDatabase Database::openPrivate(const QString &folder, const QString &fileName, OpenMode mode,
                                   QString *error, const DatabaseKind *expect) {
  const QString conn = QStringLiteral("%1-private-%2").arg(name("p")).arg(++m_privateCount);
  QSqlDatabase db = OpenDatabaseFile(FindFileNoCase(folder, fileName), mode, conn, error, expect);
  if (db.isValid())
    m_private << conn;
  return db;
}

void Database::closePrivate(QSqlDatabase &db) {
  const QString conn = db.connectionName();
  db = QSqlDatabase();
  if (m_private.removeAll(conn) > 0)
    CloseDatabaseConnection(conn);
}
