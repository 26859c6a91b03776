#include "records/MeasurementQueryModel.h"

#include "records/CalculatedFields.h"
#include "shell/DayNumber.h"

#include <QLocale>

MeasurementQueryModel::MeasurementQueryModel(QObject *parent) : PagedQueryModel(parent) {}

bool MeasurementQueryModel::openAll(QSqlDatabase db) {
  m_birth = 0;
  return openStatement(db, QStringLiteral("SoData"), QString(), {}, QString(), false, QStringLiteral("MKEY"));
}

bool MeasurementQueryModel::openByCustNo(QSqlDatabase db) {
  m_birth = 0;
  return openStatement(db, QStringLiteral("SoData"), QString(), {}, QStringLiteral("CustNo"), false,
                       QStringLiteral("MKEY"));
}

bool MeasurementQueryModel::openForSubject(QSqlDatabase db, const QString &custNo, double birth) {
  m_birth = birth;
  return openStatement(db, QStringLiteral("SoData"), QStringLiteral("CustNo = ?"), {custNo.trimmed()},
                       QStringLiteral("SoDate"), true, QStringLiteral("MKEY"));
}

QStringList MeasurementQueryModel::calculatedFields() const {
  return {QStringLiteral("STNO"),     QStringLiteral("SODATE_C"), QStringLiteral("SODATE_T"),
          QStringLiteral("SOVOTA_C"), QStringLiteral("Soa_Age"),  QStringLiteral("Dta_Avg")};
}

static bool isPointField(const QString &field) {
  bool ok = false;
  const int k = field.mid(2).toInt(&ok);
  return field.size() >= 3 && field.startsWith(u"SO", Qt::CaseInsensitive) && ok && k >= 1 && k <= 24;
}

QVariant MeasurementQueryModel::display(const QString &field, const QVariant &value) const {
  if (isPointField(field))
    return PointListText(value.toDouble());
  return value;
}

QVariant MeasurementQueryModel::calculated(int row, const QString &field, const QSqlRecord &r,
                                           int role) const {
  if (field == u"STNO")
    return QString::number(row + 1);
  const double date = r.value(QStringLiteral("SoDate")).toDouble();
  if (field == u"SODATE_C") {
    if (!IsDateGiven(date))
      return role == Qt::EditRole ? QVariant() : QVariant(QString());
    return role == Qt::EditRole ? QVariant(DateFromDayNumber(date)) : QVariant(ShortDateText(date));
  }
  if (field == u"SODATE_T") {
    if (!IsDateGiven(date))
      return role == Qt::EditRole ? QVariant() : QVariant(QString());
    return role == Qt::EditRole ? QVariant(FromDayNumber(date).time()) : QVariant(LongTimeText(date));
  }
  if (field == u"SOVOTA_C")
    return ListVotaText(r.value(QStringLiteral("SoVota")).toInt() != 0);
  if (field == u"Soa_Age")
    return ListAgeText(m_birth, date);
  if (field == u"Dta_Avg") {
    SlotArray v{};
    for (int k = 1; k <= 24; ++k)
      v[size_t(k)] = r.value(QStringLiteral("SO%1").arg(k)).toDouble();
    return ListAverageText(v);
  }
  return QVariant();
}
