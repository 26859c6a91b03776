#pragma once
// Starting external programs and documents. The real launcher uses QProcess for
// programs and QDesktopServices for documents and addresses; tests replace it.
#include <QList>
#include <QString>
#include <QStringList>

class Launcher {
public:
  virtual ~Launcher() = default;
  virtual bool fileExists(const QString &path) const = 0;
  // Starts a program with a parameter text (split like a command line).
  virtual bool startProgram(const QString &program, const QString &parameters) = 0;
  // Opens a document, folder or web address with the desktop's handler.
  virtual bool openDocument(const QString &target) = 0;
};

class SystemLauncher final : public Launcher {
public:
  bool fileExists(const QString &path) const override;
  bool startProgram(const QString &program, const QString &parameters) override;
  bool openDocument(const QString &target) override;
};

class RecordingLauncher final : public Launcher {
public:
  struct Call {
    QString program; // empty for openDocument
    QString parameters;
  };
  QStringList existingFiles; // compared without regard to case
  QList<Call> calls;
  bool fileExists(const QString &path) const override;
  bool startProgram(const QString &program, const QString &parameters) override;
  bool openDocument(const QString &target) override;
};

// A program or parameter written with a drive letter ("X:\..." or "\"X:...")
// that names no existing file is tried with the letters C to Q in turn.
// Returns the first existing variant, or an empty string when none exists.
// A text without a drive letter is returned as it is.
QString ResolveDriveLetter(const QString &text, const Launcher &launcher);
bool HasDriveLetter(const QString &text);

// Launches program k's text and parameter as the custom functions do.
void LaunchCustomFunction(Launcher &launcher, const QString &program, const QString &parameter);
