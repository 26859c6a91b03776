#pragma once
// The subject query of the lists: SoCust rows with RENO, Sex_S, DBIRTH_C,
// SoAge and PRESOA_C after the table's fields.
#include "records/PagedQueryModel.h"

#include <QDateTime>
#include <functional>

class SubjectQueryModel : public PagedQueryModel {
  Q_OBJECT
public:
  explicit SubjectQueryModel(QObject *parent = nullptr);

  // "SELECT * FROM SoCust", in stored order.
  bool openAll(QSqlDatabase db);
  // "select * from SoCust ORDER BY <field>[ DESC]" with the field of
  // |sortCode| (SubjectSortField); descending when sortCode < 0 (0 counts as -1).
  bool openSorted(QSqlDatabase db, int sortCode);
  int sortCode() const { return m_sortCode; }

  // The source of "now" for SoAge (the context's clock); local time by default.
  void setNow(std::function<QDateTime()> now) { m_now = std::move(now); }

protected:
  QStringList calculatedFields() const override;
  QVariant calculated(int row, const QString &field, const QSqlRecord &r, int role) const override;

private:
  int m_sortCode = 1;
  std::function<QDateTime()> m_now;
};
