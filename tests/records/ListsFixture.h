#pragma once
// A data folder with the three shared files opened through a context whose
// clock is virtual and whose questions are answered by script.
#include "records/Database.h"
#include "records/RecordStore.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Prompter.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

struct ListsFolder {
  QTemporaryDir dir;
  VirtualClock clock;
  ScriptedPrompter prompter;
  AppContext ctx{&clock, &prompter};

  ListsFolder() {
    clock.setNow(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
    QString err;
    const QString p = dir.path() + u'/';
    if (!CreateDatabaseFile(p + QLatin1String(DbFile::Working), DatabaseKind::Working, &err) ||
        !CreateDatabaseFile(p + QLatin1String(DbFile::Reference), DatabaseKind::Reference, &err) ||
        !CreateDatabaseFile(p + QLatin1String(DbFile::Programme), DatabaseKind::Programme, &err) ||
        !ctx.database().open(dir.path(), &err))
      qFatal("data folder: %s", qPrintable(err));
    ctx.dataFolder = p;
  }
  QSqlDatabase db() const { return ctx.database().working(); }

  void addSubject(const QString &no, const QString &name = QStringLiteral("张三"), double birth = 0,
                  bool male = true) {
    SubjectRecord s;
    s.CustNo = no;
    s.Name = name;
    s.DBirth = birth;
    s.Sex = male;
    QString err;
    QVERIFY2(InsertSubject(db(), s, &err), qPrintable(err));
  }
  qint64 addMeasurement(const QString &no, double date) {
    MeasurementRecord m;
    m.CustNo = no;
    m.SoDate = date;
    for (int k = 1; k <= 24; ++k)
      m.SO[size_t(k)] = 10 + k;
    QString err;
    const qint64 key = AppendMeasurement(db(), m, &err);
    if (key <= 0)
      qWarning() << err;
    return key;
  }
  int count(const QString &sql, const QVariantList &binds = {}) const {
    QSqlQuery q(db());
    q.prepare(sql);
    for (const QVariant &v : binds)
      q.addBindValue(v);
    return q.exec() && q.next() ? q.value(0).toInt() : -1;
  }
};
