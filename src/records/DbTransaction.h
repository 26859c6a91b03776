#pragma once
// One unit of work on a connection: everything between begin() and commit()
// is kept or, when the object goes away without commit() (an error return),
// undone. Built on SQLite savepoints so units nest: an inner unit that fails
// undoes only itself and the outer one decides about the rest. Use this, not
// QSqlDatabase::transaction(), on the database connections.
#include <QSqlDatabase>
#include <QString>

class DbTransaction {
public:
  explicit DbTransaction(QSqlDatabase db) : m_db(db) {}
  ~DbTransaction() { rollback(); }
  DbTransaction(const DbTransaction &) = delete;
  DbTransaction &operator=(const DbTransaction &) = delete;

  bool begin(QString *error = nullptr);
  bool commit(QString *error = nullptr);
  void rollback();

private:
  QSqlDatabase m_db;
  bool m_active = false;
};
