#include "records/SubjectQueryModel.h"

#include "records/CalculatedFields.h"
#include "shell/DayNumber.h"

SubjectQueryModel::SubjectQueryModel(QObject *parent) : PagedQueryModel(parent) {}

bool SubjectQueryModel::openAll(QSqlDatabase db) {
  return openStatement(db, QStringLiteral("SoCust"), QString(), {}, QString(), false,
                       QStringLiteral("rowid"));
}

bool SubjectQueryModel::openSorted(QSqlDatabase db, int sortCode) {
  if (sortCode == 0)
    sortCode = -1;
  m_sortCode = sortCode;
  return openStatement(db, QStringLiteral("SoCust"), QString(), {}, SubjectSortField(sortCode), sortCode < 0,
                       QStringLiteral("rowid"));
}

QStringList SubjectQueryModel::calculatedFields() const {
  return {QStringLiteral("RENO"), QStringLiteral("Sex_S"), QStringLiteral("DBIRTH_C"),
          QStringLiteral("SoAge"), QStringLiteral("PRESOA_C")};
}

QVariant SubjectQueryModel::calculated(int row, const QString &field, const QSqlRecord &r, int role) const {
  if (field == u"RENO")
    return QString::number(row + 1);
  if (field == u"Sex_S")
    return ListSexText(r.value(QStringLiteral("Sex")).toInt() != 0);
  const double birth = r.value(QStringLiteral("DBirth")).toDouble();
  if (field == u"DBIRTH_C") {
    if (!IsDateGiven(birth))
      return role == Qt::EditRole ? QVariant() : QVariant(QString());
    return role == Qt::EditRole ? QVariant(DateFromDayNumber(birth)) : QVariant(ShortDateText(birth));
  }
  if (field == u"SoAge")
    return ListAgeText(birth, ToDayNumber(m_now ? m_now() : QDateTime::currentDateTime()));
  if (field == u"PRESOA_C")
    return ListDateTimeText(r.value(QStringLiteral("PRESOA")).toDouble());
  return QVariant();
}
