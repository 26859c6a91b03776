#include "shell/Launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool SystemLauncher::fileExists(const QString &path) const {
  return QFileInfo(path).isFile();
}

bool SystemLauncher::startProgram(const QString &program, const QString &parameters) {
  QStringList args = QProcess::splitCommand(parameters);
  return QProcess::startDetached(program, args);
}

bool SystemLauncher::openDocument(const QString &target) {
  QUrl url = QUrl::fromUserInput(target);
  return QDesktopServices::openUrl(url);
}

bool RecordingLauncher::fileExists(const QString &path) const {
  for (const QString &f : existingFiles)
    if (f.compare(path, Qt::CaseInsensitive) == 0)
      return true;
  return false;
}

bool RecordingLauncher::startProgram(const QString &program, const QString &parameters) {
  calls.append({program, parameters});
  return true;
}

bool RecordingLauncher::openDocument(const QString &target) {
  calls.append({QString(), target});
  return true;
}

bool HasDriveLetter(const QString &text) {
  // ":" as the second or third character: "C:\x" or "\"C:\x".
  return (text.size() >= 2 && text.at(1) == u':') || (text.size() >= 3 && text.at(2) == u':');
}

QString ResolveDriveLetter(const QString &text, const Launcher &launcher) {
  if (!HasDriveLetter(text) || launcher.fileExists(text))
    return text;
  const int letterAt = text.at(1) == u':' ? 0 : 1;
  static const QString letters = QStringLiteral("CDEFGHIJKLMNOPQ");
  for (QChar letter : letters) {
    QString candidate = text;
    candidate[letterAt] = letter;
    if (launcher.fileExists(candidate))
      return candidate;
  }
  return QString();
}

void LaunchCustomFunction(Launcher &launcher, const QString &programText, const QString &parameterText) {
  QString program = programText.trimmed();
  QString parameter = parameterText.trimmed();
  if (HasDriveLetter(program)) {
    program = ResolveDriveLetter(program, launcher);
    if (program.isEmpty())
      return; // found under no drive letter: nothing is launched
  }
  if (HasDriveLetter(parameter)) {
    const QString resolved = ResolveDriveLetter(parameter, launcher);
    if (!resolved.isEmpty())
      parameter = resolved;
  }
  if (!program.isEmpty())
    launcher.startProgram(program, parameter);
  else if (!parameter.isEmpty())
    launcher.openDocument(parameter);
}
