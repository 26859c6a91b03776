#include "WorkingDbGenerator.h"

#include "records/Database.h"
#include "records/DbTransaction.h"
#include "records/RecordStore.h"
#include "records/StabilityText.h"
#include "shell/DayNumber.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

bool GenerateWorkingDatabase(const QString &path, int subjects, int measurements, QString *error) {
  QFile::remove(path);
  if (!CreateDatabaseFile(path, DatabaseKind::Working, error))
    return false;
  const QString conn = QStringLiteral("bench-generate");
  bool ok = false;
  {
    QSqlDatabase db = OpenDatabaseFile(path, OpenMode::ReadWrite, conn, error);
    if (!db.isValid())
      return false;
    QRandomGenerator rng(20261211);
    static const char16_t *const family[] = {u"王", u"李", u"张", u"刘", u"陈",
                                             u"杨", u"黄", u"赵", u"周", u"吴"};
    static const char16_t *const given[] = {u"伟", u"芳", u"娜", u"敏", u"静",
                                            u"强", u"磊", u"洋", u"艳", u"军"};
    DbTransaction tx(db);
    ok = tx.begin(error);
    QSqlQuery cust(db), data(db);
    ok = ok &&
         cust.prepare(QStringLiteral("INSERT INTO SoCust (CustNo, Name, Sex, DBirth, Addr, Tel, Tel2, EMail) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    QString cols = QStringLiteral("CustNo, SoDate, SoVota, MEMO1, STD");
    QString marks = QStringLiteral("?, ?, ?, ?, ?");
    for (int k = 1; k <= 24; ++k) {
      cols += QStringLiteral(", SO%1").arg(k);
      marks += QStringLiteral(", ?");
    }
    ok = ok && data.prepare(QStringLiteral("INSERT INTO SoData (%1) VALUES (%2)").arg(cols, marks));
    const double firstDay = ToDayNumber(QDate(2015, 1, 1));
    for (int s = 0; ok && s < subjects; ++s) {
      const QString no = QStringLiteral("S%1").arg(s, 5, 10, QLatin1Char('0'));
      const QString name = QString::fromUtf16(family[rng.bounded(10)]) +
                           QString::fromUtf16(given[rng.bounded(10)]) +
                           QString::fromUtf16(given[rng.bounded(10)]);
      cust.addBindValue(no);
      cust.addBindValue(name);
      cust.addBindValue(int(rng.bounded(2)));
      cust.addBindValue(rng.bounded(10) == 0 ? 0.0
                                             : ToDayNumber(QDate(1940, 1, 1).addDays(rng.bounded(25000))));
      cust.addBindValue(QStringLiteral("北京市海淀区中关村大街%1号").arg(rng.bounded(300)));
      cust.addBindValue(QStringLiteral("010-%1").arg(60000000 + rng.bounded(9999999)));
      cust.addBindValue(QStringLiteral("13%1").arg(100000000 + rng.bounded(899999999)));
      cust.addBindValue(QStringLiteral("user%1@example.com").arg(s));
      ok = cust.exec();
      const int share = measurements / subjects + (s < measurements % subjects ? 1 : 0);
      double day = firstDay + rng.bounded(365);
      for (int m = 0; ok && m < share; ++m) {
        day += 7 + rng.bounded(21) + rng.bounded(86400) / 86400.0;
        SlotArray st{};
        data.addBindValue(no);
        data.addBindValue(day);
        data.addBindValue(int(rng.bounded(10) == 0));
        data.addBindValue(QStringLiteral("常规测量"));
        for (int k = 1; k <= 24; ++k)
          st[size_t(k)] = 85 + rng.bounded(150) / 10.0;
        data.addBindValue(BuildStabilityText(st));
        for (int k = 1; k <= 24; ++k)
          data.addBindValue(5 + rng.bounded(1500) / 10.0);
        ok = data.exec();
      }
    }
    if (!ok && error && error->isEmpty())
      *error = cust.lastError().isValid() ? cust.lastError().text() : data.lastError().text();
    ok = ok && RecomputeAllPresoa(db, error) && tx.commit(error);
    QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
  }
  CloseDatabaseConnection(conn);
  return ok;
}

bool PrepareBenchDataFolder(const QString &cacheDir, const QString &folder, int subjects, int measurements,
                            QString *error) {
  const QString base = cacheDir + QStringLiteral("/working-%1-%2.mdb").arg(subjects).arg(measurements);
  QDir().mkpath(cacheDir);
  if (!QFile::exists(base)) {
    std::fprintf(stderr, "generating %s ...\n", qPrintable(base));
    if (!GenerateWorkingDatabase(base + QStringLiteral(".part"), subjects, measurements, error) ||
        !QFile::rename(base + QStringLiteral(".part"), base))
      return false;
  }
  if (!QFile::copy(base, folder + QLatin1String(DbFile::Working)) ||
      !CreateDatabaseFile(folder + QLatin1String(DbFile::Reference), DatabaseKind::Reference, error) ||
      !CreateDatabaseFile(folder + QLatin1String(DbFile::Programme), DatabaseKind::Programme, error))
    return false;
  QFile(folder + QLatin1String(DbFile::Working)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  return true;
}
