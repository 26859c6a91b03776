#pragma once
// The measurement query of the lists: SoData rows with STNO, SODATE_C,
// SODATE_T, SOVOTA_C, Soa_Age and Dta_Avg after the table's fields. SO1..SO24
// show with "###.#".
#include "records/PagedQueryModel.h"

class MeasurementQueryModel : public PagedQueryModel {
  Q_OBJECT
public:
  explicit MeasurementQueryModel(QObject *parent = nullptr);

  // "select * from SoData", in stored order.
  bool openAll(QSqlDatabase db);
  // "SELECT * FROM SoData ORDER BY CustNo ASC".
  bool openByCustNo(QSqlDatabase db);
  // "SELECT * FROM SoData WHERE CustNo = ? ORDER BY SoDate DESC" for the
  // trimmed number; birth is that subject's DBirth, for Soa_Age.
  bool openForSubject(QSqlDatabase db, const QString &custNo, double birth);
  void setSubjectBirth(double birth) { m_birth = birth; }

  int findKey(qint64 mkey) const { return findValue(QStringLiteral("MKEY"), mkey); }

protected:
  QStringList calculatedFields() const override;
  QVariant calculated(int row, const QString &field, const QSqlRecord &r, int role) const override;
  QVariant display(const QString &field, const QVariant &value) const override;

private:
  double m_birth = 0;
};
