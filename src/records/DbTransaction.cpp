#include "records/DbTransaction.h"

#include "records/Database.h"

#include <QSqlError>
#include <QSqlQuery>

static bool run(QSqlDatabase &db, const char *sql, QString *error) {
  QSqlQuery q(db);
  if (q.exec(QString::fromLatin1(sql)))
    return true;
  if (error)
    *error = DescribeDbError(db, q.lastError());
  return false;
}

bool DbTransaction::begin(QString *error) {
  if (m_active)
    return true;
  m_active = run(m_db, "SAVEPOINT sova_unit", error);
  return m_active;
}

bool DbTransaction::commit(QString *error) {
  if (!m_active)
    return false;
  if (!run(m_db, "RELEASE sova_unit", error)) {
    rollback();
    return false;
  }
  m_active = false;
  return true;
}

void DbTransaction::rollback() {
  if (!m_active)
    return;
  m_active = false;
  run(m_db, "ROLLBACK TO sova_unit", nullptr);
  run(m_db, "RELEASE sova_unit", nullptr);
}
