#include "records/RecordStore.h"

#include "records/Database.h"
#include "records/DbTransaction.h"
#include "records/StabilityText.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace {

bool run(const QSqlDatabase &db, QSqlQuery &q, const QString &sql, const QVariantList &binds,
         QString *error) {
  if (!q.prepare(sql)) {
    if (error)
      *error = DescribeDbError(db, q.lastError());
    return false;
  }
  for (const QVariant &v : binds)
    q.addBindValue(v);
  if (!q.exec()) {
    if (error)
      *error = DescribeDbError(db, q.lastError());
    return false;
  }
  return true;
}

QString soName(int k) {
  return QStringLiteral("SO%1").arg(k);
}

const QString kPresoaToLatest = QStringLiteral(
    "UPDATE SoCust SET PRESOA = COALESCE((SELECT MAX(SoDate) FROM SoData WHERE SoData.CustNo = ?), 0) "
    "WHERE CustNo = ?");

QVariantList subjectValues(const SubjectRecord &s) {
  return {s.CustNo.trimmed(), s.Name.trimmed(),
          s.Sex ? 1 : 0,      s.DBirth,
          s.Addr.trimmed(),   s.Tel.trimmed(),
          s.Tel2.trimmed(),   s.Tel3.trimmed(),
          s.EMail.trimmed(),  s.Memo,
          s.BType.trimmed(),  s.Height,
          s.Weight,           s.CustCat.trimmed(),
          s.CustFG.trimmed(), s.PrtFG ? 1 : 0};
}
const QString kSubjectColumns =
    QStringLiteral("CustNo, Name, Sex, DBirth, Addr, Tel, Tel2, Tel3, EMail, Memo, BType, Height, Weight, "
                   "CustCat, CustFG, PrtFG");

// rowid of the subject numbered custNo: exact spelling first, else any case.
std::optional<qint64> subjectRow(QSqlDatabase &db, const QString &custNo, QString *error, bool *failed) {
  QSqlQuery q(db);
  *failed = false;
  if (!run(db, q,
           QStringLiteral(
               "SELECT rowid FROM SoCust WHERE CustNo = ? ORDER BY (CustNo = ? COLLATE BINARY) DESC, "
               "rowid LIMIT 1"),
           {custNo, custNo}, error)) {
    *failed = true;
    return std::nullopt;
  }
  if (q.next())
    return q.value(0).toLongLong();
  return std::nullopt;
}

} // namespace

SubjectRecord SubjectRecord::fromSql(const QSqlRecord &r) {
  SubjectRecord s;
  s.CustNo = r.value(QStringLiteral("CustNo")).toString();
  s.Name = r.value(QStringLiteral("Name")).toString();
  s.Sex = r.value(QStringLiteral("Sex")).toInt() != 0;
  s.DBirth = r.value(QStringLiteral("DBirth")).toDouble();
  s.Addr = r.value(QStringLiteral("Addr")).toString();
  s.Tel = r.value(QStringLiteral("Tel")).toString();
  s.Tel2 = r.value(QStringLiteral("Tel2")).toString();
  s.Tel3 = r.value(QStringLiteral("Tel3")).toString();
  s.EMail = r.value(QStringLiteral("EMail")).toString();
  s.Memo = r.value(QStringLiteral("Memo")).toString();
  s.PRESOA = r.value(QStringLiteral("PRESOA")).toDouble();
  s.BType = r.value(QStringLiteral("BType")).toString();
  s.Height = r.value(QStringLiteral("Height")).toDouble();
  s.Weight = r.value(QStringLiteral("Weight")).toDouble();
  s.CustCat = r.value(QStringLiteral("CustCat")).toString();
  s.CustFG = r.value(QStringLiteral("CustFG")).toString();
  s.PrtFG = r.value(QStringLiteral("PrtFG")).toInt() != 0;
  return s;
}

SubjectRecord SubjectRecord::fromSubject(const Subject &su) {
  SubjectRecord s;
  s.CustNo = su.CustNo;
  s.Name = su.Name;
  s.Sex = su.MaleSubject;
  s.DBirth = su.BirthDate;
  s.Addr = su.Addr;
  s.Tel = su.Tel;
  s.Tel2 = su.Tel2;
  s.Tel3 = su.Tel3;
  s.EMail = su.EMail;
  return s;
}

Subject SubjectRecord::toSubject() const {
  Subject s;
  s.CustNo = CustNo;
  s.Name = Name;
  s.MaleSubject = Sex;
  s.BirthDate = DBirth;
  s.Addr = Addr;
  s.Tel = Tel;
  s.Tel2 = Tel2;
  s.Tel3 = Tel3;
  s.EMail = EMail;
  return s;
}

MeasurementRecord MeasurementRecord::fromSql(const QSqlRecord &r) {
  MeasurementRecord m;
  m.MKEY = r.value(QStringLiteral("MKEY")).toLongLong();
  m.CustNo = r.value(QStringLiteral("CustNo")).toString();
  m.SoDate = r.value(QStringLiteral("SoDate")).toDouble();
  m.SoVota = r.value(QStringLiteral("SoVota")).toInt() != 0;
  for (int k = 1; k <= 24; ++k)
    m.SO[size_t(k)] = r.value(soName(k)).toDouble();
  m.MEMO1 = r.value(QStringLiteral("MEMO1")).toString();
  m.MEMO2 = r.value(QStringLiteral("MEMO2")).toString();
  m.STD = r.value(QStringLiteral("STD")).toString();
  m.AutoKey = r.value(QStringLiteral("AutoKey")).toString();
  m.PrtFG = r.value(QStringLiteral("PrtFG")).toInt() != 0;
  return m;
}

MeasurementRecord MeasurementRecord::fromMeasurement(const Measurement &me, const QString &custNo) {
  MeasurementRecord m;
  m.MKEY = me.StoredKey;
  m.CustNo = custNo;
  m.SoDate = me.MeasurementDate;
  m.SoVota = me.HighPotential;
  m.SO = me.PointValue;
  m.SO[0] = 0;
  m.MEMO1 = me.Note.join(u'\n');
  m.STD = BuildStabilityText(me.Stability);
  return m;
}

Measurement MeasurementRecord::toMeasurement() const {
  Measurement me;
  me.MeasurementDate = SoDate;
  me.HighPotential = SoVota;
  me.Note = MEMO1.isEmpty() ? QStringList() : MEMO1.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
  me.PointValue = SO;
  me.Stability = ParseStabilityText(STD);
  me.StoredKey = int(MKEY);
  me.PointsTaken = 0;
  return me;
}

std::optional<SubjectRecord> FindSubject(QSqlDatabase db, const QString &custNo, QString *error) {
  QSqlQuery q(db);
  if (!run(db, q,
           QStringLiteral(
               "SELECT * FROM SoCust WHERE CustNo = ? ORDER BY (CustNo = ? COLLATE BINARY) DESC, rowid "
               "LIMIT 1"),
           {custNo, custNo}, error))
    return std::nullopt;
  if (!q.next())
    return std::nullopt;
  return SubjectRecord::fromSql(q.record());
}

std::optional<MeasurementRecord> FindMeasurement(QSqlDatabase db, qint64 mkey, QString *error) {
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("SELECT * FROM SoData WHERE MKEY = ?"), {mkey}, error) || !q.next())
    return std::nullopt;
  return MeasurementRecord::fromSql(q.record());
}

QList<MeasurementRecord> MeasurementsOf(QSqlDatabase db, const QString &custNo, QString *error) {
  QList<MeasurementRecord> list;
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!run(db, q, QStringLiteral("SELECT * FROM SoData WHERE CustNo = ? ORDER BY SoDate DESC, MKEY DESC"),
           {custNo.trimmed()}, error))
    return list;
  while (q.next())
    list << MeasurementRecord::fromSql(q.record());
  return list;
}

int CountSubjects(QSqlDatabase db) {
  QSqlQuery q(db);
  return q.exec(QStringLiteral("SELECT COUNT(*) FROM SoCust")) && q.next() ? q.value(0).toInt() : 0;
}

int CountMeasurements(QSqlDatabase db, const QString &custNo) {
  QSqlQuery q(db);
  return run(db, q, QStringLiteral("SELECT COUNT(*) FROM SoData WHERE CustNo = ?"), {custNo.trimmed()},
             nullptr) &&
                 q.next()
             ? q.value(0).toInt()
             : 0;
}

bool InsertSubject(QSqlDatabase db, const SubjectRecord &s, QString *error) {
  const QString no = s.CustNo.trimmed();
  if (no.isEmpty()) {
    if (error)
      *error = QStringLiteral("受测者编号不可空白。");
    return false;
  }
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  bool failed = false;
  if (subjectRow(db, no, error, &failed) || failed) {
    if (!failed && error)
      *error = QStringLiteral("受测者编号 %1 已经使用。").arg(no);
    return false;
  }
  QSqlQuery q(db);
  QVariantList values = subjectValues(s);
  values << s.PRESOA;
  if (!run(db, q,
           QStringLiteral(
               "INSERT INTO SoCust (%1, PRESOA) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
               .arg(kSubjectColumns),
           values, error))
    return false;
  return tx.commit(error);
}

bool UpdateSubject(QSqlDatabase db, const QString &oldCustNo, const SubjectRecord &s, QString *error) {
  const QString no = s.CustNo.trimmed();
  if (no.isEmpty()) {
    if (error)
      *error = QStringLiteral("受测者编号不可空白。");
    return false;
  }
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  bool failed = false;
  const std::optional<qint64> row = subjectRow(db, oldCustNo, error, &failed);
  if (failed)
    return false;
  if (!row) {
    if (error)
      *error = QStringLiteral("找不到受测者 %1。").arg(oldCustNo);
    return false;
  }
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("SELECT 1 FROM SoCust WHERE CustNo = ? AND rowid <> ? LIMIT 1"), {no, *row},
           error))
    return false;
  if (q.next()) {
    if (error)
      *error = QStringLiteral("受测者编号 %1 已经使用。").arg(no);
    return false;
  }
  QVariantList values = subjectValues(s);
  values << *row;
  if (!run(db, q,
           QStringLiteral(
               "UPDATE SoCust SET CustNo = ?, Name = ?, Sex = ?, DBirth = ?, Addr = ?, Tel = ?, Tel2 = ?, "
               "Tel3 = ?, EMail = ?, Memo = ?, BType = ?, Height = ?, Weight = ?, CustCat = ?, "
               "CustFG = ?, PrtFG = ? WHERE rowid = ?"),
           values, error))
    return false;
  if (no != oldCustNo && !run(db, q, QStringLiteral("UPDATE SoData SET CustNo = ? WHERE CustNo = ?"),
                              {no, oldCustNo.trimmed()}, error))
    return false;
  return tx.commit(error);
}

bool DeleteSubject(QSqlDatabase db, const QString &custNo, QString *error) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  bool failed = false;
  const std::optional<qint64> row = subjectRow(db, custNo, error, &failed);
  if (failed)
    return false;
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("DELETE FROM SoData WHERE CustNo = ?"), {custNo.trimmed()}, error))
    return false;
  if (row && !run(db, q, QStringLiteral("DELETE FROM SoCust WHERE rowid = ?"), {*row}, error))
    return false;
  return tx.commit(error);
}

qint64 AppendMeasurement(QSqlDatabase db, const MeasurementRecord &m, QString *error) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return 0;
  // Every measurement belongs to an existing subject.
  bool failed = false;
  if (!subjectRow(db, m.CustNo.trimmed(), error, &failed)) {
    if (!failed && error)
      *error = QStringLiteral("找不到受测者 %1。").arg(m.CustNo.trimmed());
    return 0;
  }
  QStringList cols{QStringLiteral("CustNo"), QStringLiteral("SoDate"), QStringLiteral("SoVota")};
  QVariantList values{m.CustNo.trimmed(), m.SoDate, m.SoVota ? 1 : 0};
  for (int k = 1; k <= 24; ++k) {
    cols << soName(k);
    values << m.SO[size_t(k)];
  }
  cols << QStringLiteral("MEMO1") << QStringLiteral("MEMO2") << QStringLiteral("STD")
       << QStringLiteral("AutoKey") << QStringLiteral("PrtFG");
  values << m.MEMO1 << m.MEMO2 << m.STD << m.AutoKey << (m.PrtFG ? 1 : 0);
  QStringList marks;
  for (int i = 0; i < cols.size(); ++i)
    marks << QStringLiteral("?");
  QSqlQuery q(db);
  if (!run(db, q,
           QStringLiteral("INSERT INTO SoData (%1) VALUES (%2)").arg(cols.join(u", "), marks.join(u", ")),
           values, error))
    return 0;
  const qint64 key = q.lastInsertId().toLongLong();
  if (!run(db, q, QStringLiteral("UPDATE SoCust SET PRESOA = ? WHERE CustNo = ? AND PRESOA < ?"),
           {m.SoDate, m.CustNo.trimmed(), m.SoDate}, error))
    return 0;
  return tx.commit(error) ? key : 0;
}

bool UpdateMeasurement(QSqlDatabase db, const MeasurementRecord &m, QString *error) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("SELECT CustNo FROM SoData WHERE MKEY = ?"), {m.MKEY}, error))
    return false;
  if (!q.next()) {
    if (error)
      *error = QStringLiteral("找不到这笔经络能量数据。");
    return false;
  }
  const QString custNo = q.value(0).toString();
  QStringList sets{QStringLiteral("SoDate = ?"), QStringLiteral("SoVota = ?"), QStringLiteral("MEMO1 = ?")};
  QVariantList values{m.SoDate, m.SoVota ? 1 : 0, m.MEMO1};
  for (int k = 1; k <= 24; ++k) {
    sets << soName(k) + QStringLiteral(" = ?");
    values << m.SO[size_t(k)];
  }
  values << m.MKEY;
  if (!run(db, q, QStringLiteral("UPDATE SoData SET %1 WHERE MKEY = ?").arg(sets.join(u", ")), values,
           error) ||
      !run(db, q, kPresoaToLatest, {custNo, custNo}, error))
    return false;
  return tx.commit(error);
}

bool UpdateMeasurementNote(QSqlDatabase db, qint64 mkey, const QString &memo1, QString *error) {
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("UPDATE SoData SET MEMO1 = ? WHERE MKEY = ?"), {memo1, mkey}, error))
    return false;
  if (q.numRowsAffected() == 0) {
    if (error)
      *error = QStringLiteral("找不到这笔经络能量数据。");
    return false;
  }
  return true;
}

bool DeleteMeasurement(QSqlDatabase db, qint64 mkey, QString *error) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  QSqlQuery q(db);
  if (!run(db, q, QStringLiteral("SELECT CustNo FROM SoData WHERE MKEY = ?"), {mkey}, error))
    return false;
  if (!q.next())
    return tx.commit(error); // already gone
  const QString custNo = q.value(0).toString();
  if (!run(db, q, QStringLiteral("DELETE FROM SoData WHERE MKEY = ?"), {mkey}, error) ||
      !run(db, q, kPresoaToLatest, {custNo, custNo}, error))
    return false;
  return tx.commit(error);
}

bool SetPresoaToLatest(QSqlDatabase db, const QString &custNo, QString *error) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  QSqlQuery q(db);
  const QString no = custNo.trimmed();
  if (!run(db, q, kPresoaToLatest, {no, no}, error))
    return false;
  return tx.commit(error);
}

bool RecomputeAllPresoa(QSqlDatabase db, QString *error) {
  DbTransaction tx(db);
  if (!tx.begin(error))
    return false;
  QSqlQuery q(db);
  if (!run(db, q,
           QStringLiteral("UPDATE SoCust SET PRESOA = COALESCE((SELECT MAX(SoDate) FROM SoData "
                          "WHERE SoData.CustNo = SoCust.CustNo), 0)"),
           {}, error))
    return false;
  return tx.commit(error);
}
