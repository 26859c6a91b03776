#pragma once
// The database part of the start-up check: installs a newly delivered working
// database, creates a missing one from the template, opens the three shared
// connections and converts an older database into the working one.
//
// The conversion is one transaction on the working database: when any table
// fails, nothing of it is kept, "sova.mdb" stays where it is (so the next start
// tries again) and the user is told why. The dated backup is made only once
// every row has been copied. Renames and copies that fail are reported.
#include <QString>
#include <functional>
#include <memory>

class AppContext;
class StartupView;
class TableSource;

class DatabasePreparation {
public:
  DatabasePreparation(AppContext &ctx, StartupView &view);
  ~DatabasePreparation();

  // All steps; returns false when the system cannot run (template missing,
  // connections failed).
  bool Run();

  // Steps on their own, for tests and tools.
  bool InstallFiles(); // template check, renames, copy of the template
  bool OpenConnections();
  // Converts "sova.mdb" (when it exists) into the working database, makes the
  // dated backup and rebuilds PRESOA. Returns false when a conversion was
  // attempted and failed (the user has been told).
  bool ConvertOldDatabase();

  bool templateMissing() const { return m_templateMissing; }
  bool converted() const { return m_converted; }

private:
  bool convert(const QString &oldPath, QString *error);
  bool convertTable(int table, TableSource &source, QString *error);
  bool rebuildPresoa(QString *error);
  bool renameFile(const QString &from, const QString &to, QString *error);
  void report(const QString &text);

  AppContext &m_ctx;
  StartupView &m_view;
  bool m_templateMissing = false;
  bool m_converted = false;
};
