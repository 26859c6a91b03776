// AppContext's settings file operations (kept apart from the context's core).
#include "link/Link.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

QString AppContext::settingsFilePath() const {
  return SettingsFilePath(dataFolder);
}

bool AppContext::LoadSettings() {
  if (QFileInfo::exists(settingsFilePath()))
    return ReadSettings();
  SetDefaultSettings();
  return WriteSettings();
}

bool AppContext::ReadSettings() {
  const QString path = settingsFilePath();
  const SettingsReadResult r = ::ReadSettings(settings, path, QLocale(), clock().now().date());
  applySettingsModes();
  if (!r.ok) {
    if (link().isConnected())
      link().Sound(3);
    ShowMessageBox(5, r.error + QStringLiteral("\n本次使用预设值。"));
    return false;
  }
  if (!r.replacedLines.isEmpty()) {
    QStringList numbers;
    for (int n : r.replacedLines)
      numbers << QString::number(n);
    if (link().isConnected())
      link().Sound(2);
    ShowMessageBox(5, QStringLiteral("设定档 %1 第 %2 行已损坏，这些行已改用预设值。")
                          .arg(QDir::toNativeSeparators(path), numbers.join(QStringLiteral("、"))));
  }
  return true;
}

bool AppContext::WriteSettings() {
  const SettingsWriteResult r = ::WriteSettings(settings, settingsFilePath(), QLocale());
  applySettingsModes();
  if (!r.ok) {
    if (link().isConnected())
      link().Sound(3);
    ShowMessageBox(5, r.error + QStringLiteral("\n设定值未能储存。"));
  }
  return r.ok;
}

void AppContext::SetDefaultSettings() {
  ::SetDefaultSettings(settings, QLocale(), clock().now().date());
}

void AppContext::applySettingsModes() {
  ApplyOrderAndFactorModes(model, settings.OrderMode, settings.CustomOrder, settings.FactorMode,
                           settings.CustomFactor);
}
