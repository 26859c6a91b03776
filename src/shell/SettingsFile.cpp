#include "shell/SettingsFile.h"

#include "shell/Branding.h"
#include "shell/Cipher.h"
#include "shell/DataFolder.h"
#include "shell/Format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const char kDefaultPrintOptions[] = "011100000000000000000000000000100000201111";
constexpr int kReferenceFloor = 2000;
constexpr int kReferenceDefault = 4000;

// Line numbers of the groups of six and twelve.
constexpr int kCaptionLine = 28, kHintLine = 34, kProgramLine = 40, kParameterLine = 46;
constexpr int kCustomOrderLine = 53, kCustomFactorLine = 66;

QString reportTitle() {
  return Branding::Product() + QStringLiteral(" 经络能量分析报告");
}
QString webHint() {
  return QStringLiteral("连结") + Branding::Maker() + QStringLiteral("网站");
}
QString todayText(const QLocale &locale, const QDate &today) {
  return locale.toString(today, QLocale::ShortFormat);
}

int intOr(const QString &t, int fallback) {
  int v = 0;
  return ParseInteger(t, &v) ? v : fallback;
}
double decimalOr(const QString &t, double fallback, const QLocale &locale) {
  double v = 0;
  return ParseDecimal(t, &v, locale) ? v : fallback;
}
int referenceOf(const QString &t) {
  const int v = intOr(t, kReferenceDefault);
  return v < kReferenceFloor ? kReferenceDefault : v;
}
QString textOr(const QString &t, const QString &fallback) {
  return t.trimmed().isEmpty() ? fallback : t;
}
bool flagOf(const QString &t) {
  return t.trimmed() == u"1";
}

QString intText(int v) {
  return QString::number(v);
}
QString flagText(bool v) {
  return v ? QStringLiteral("1") : QStringLiteral("0");
}

// Splits the file into lines, accepting CRLF, LF or a lone CR at the end.
QStringList splitLines(const QByteArray &data) {
  QStringList lines;
  for (QByteArray line : data.split('\n')) {
    if (line.endsWith('\r'))
      line.chop(1);
    lines << QString::fromLatin1(line);
  }
  return lines;
}
} // namespace

QString SettingsFileName() {
  return QStringLiteral("SoDefCn6C.ini");
}

QString SettingsFilePath(const QString &dataFolder) {
  return FindFileNoCase(dataFolder, SettingsFileName());
}

void SetDefaultSettings(Settings &s, const QLocale &locale, const QDate &today) {
  s.StdReference0 = s.HighReference0 = s.StdReference1 = s.HighReference1 = kReferenceDefault;
  s.PrintOptions = QString::fromLatin1(kDefaultPrintOptions);
  s.Sensitivity = 1.0;
  s.CalibrationDate = todayText(locale, today);
  s.UserName1 = Branding::ProductTitle();
  s.UserName2 = reportTitle();
  s.UserData1 = Branding::Maker();
  s.UserData2 = Branding::MakerLine2();
  s.Kept12 = QStringLiteral("11000");
  s.Kept13 = true;
  s.Kept14 = false;
  s.Kept15 = 2;
  s.Kept16 = 0;
  s.Kept17 = false;
  s.PictureStyle = 1;
  s.SoundMode = 1;
  s.CalibrationSound = 1;
  s.Kept21 = 1;
  s.AutoContact = 1;
  s.ReferenceSet = 0;
  s.ChartSpanCustom = 0;
  s.ChartSpanSampling = 2000;
  s.ChartSpanAveraging = 500;
  s.FunctionVisibility = QStringLiteral("111000");
  for (int k = 1; k <= 6; ++k) {
    s.FunctionCaption[k] = QStringLiteral("功能%1").arg(k);
    s.FunctionHint[k].clear();
    s.FunctionProgram[k].clear();
    s.FunctionParameter[k].clear();
  }
  s.FunctionHint[1] = webHint();
  s.FunctionHint[2] = QStringLiteral("启动影音播放功能");
  s.FunctionHint[3] = QStringLiteral("文件编辑功能");
  s.FunctionProgram[2] = QStringLiteral("wmplayer.exe");
  s.FunctionProgram[3] = QStringLiteral("winword.exe");
  s.FunctionParameter[1] = Branding::Web();
  s.OrderMode = 0;
  s.FactorMode = 0;
  s.CustomOrder[0] = 0;
  s.CustomFactor[0] = 0;
  for (int i = 1; i <= 12; ++i) {
    s.CustomOrder[i] = i;
    s.CustomFactor[i] = 1.0;
  }
  s.BalanceDisplay = 1;
}

QStringList SettingsLineTexts(const Settings &s, const QLocale &locale) {
  QStringList t;
  t.reserve(kSettingsLineCount);
  t << intText(s.StdReference0) << intText(s.HighReference0) << intText(s.StdReference1)
    << intText(s.HighReference1);
  t << s.PrintOptions << FormatGeneral(s.Sensitivity, locale) << s.CalibrationDate;
  t << s.UserName1 << s.UserName2 << s.UserData1 << s.UserData2;
  t << s.Kept12 << flagText(s.Kept13) << flagText(s.Kept14) << intText(s.Kept15)
    << FormatGeneral(s.Kept16, locale) << flagText(s.Kept17);
  t << intText(s.PictureStyle) << intText(s.SoundMode) << intText(s.CalibrationSound) << intText(s.Kept21)
    << intText(s.AutoContact) << intText(s.ReferenceSet) << intText(s.ChartSpanCustom)
    << intText(s.ChartSpanSampling) << intText(s.ChartSpanAveraging);
  t << s.FunctionVisibility;
  for (const auto *group : {&s.FunctionCaption, &s.FunctionHint, &s.FunctionProgram, &s.FunctionParameter})
    for (int k = 1; k <= 6; ++k)
      t << (*group)[k];
  t << intText(s.OrderMode);
  for (int i = 1; i <= 12; ++i)
    t << intText(s.CustomOrder[i]);
  t << intText(s.FactorMode);
  for (int i = 1; i <= 12; ++i)
    t << FormatGeneral(s.CustomFactor[i], locale);
  t << intText(s.BalanceDisplay);
  Q_ASSERT(t.size() == kSettingsLineCount);
  return t;
}

void SettingsFromLineTexts(Settings &s, const QStringList &texts, const QLocale &locale, const QDate &today) {
  const auto line = [&texts](int n) { return n <= texts.size() ? texts.at(n - 1) : QString(); };
  s.StdReference0 = referenceOf(line(1));
  s.HighReference0 = referenceOf(line(2));
  s.StdReference1 = referenceOf(line(3));
  s.HighReference1 = referenceOf(line(4));
  s.PrintOptions = textOr(line(5), QString::fromLatin1(kDefaultPrintOptions));
  s.Sensitivity = decimalOr(line(6), 1.0, locale);
  s.CalibrationDate = textOr(line(7), todayText(locale, today));
  s.UserName1 = textOr(line(8), Branding::ProductTitle());
  s.UserName2 = textOr(line(9), reportTitle());
  s.UserData1 = textOr(line(10), Branding::Maker());
  s.UserData2 = textOr(line(11), Branding::MakerLine2());
  s.Kept12 = textOr(line(12), QStringLiteral("11000"));
  s.Kept13 = flagOf(line(13));
  s.Kept14 = flagOf(line(14));
  s.Kept15 = intOr(line(15), 2);
  s.Kept16 = decimalOr(line(16), 0, locale);
  s.Kept17 = flagOf(line(17));
  s.PictureStyle = intOr(line(18), 1);
  s.SoundMode = intOr(line(19), 1);
  s.CalibrationSound = intOr(line(20), 1);
  s.Kept21 = intOr(line(21), 1);
  s.AutoContact = intOr(line(22), 1);
  s.ReferenceSet = intOr(line(23), 0);
  s.ChartSpanCustom = intOr(line(24), 0);
  s.ChartSpanSampling = intOr(line(25), 2000);
  s.ChartSpanAveraging = intOr(line(26), 500);
  // An empty visibility line hides all six buttons (unlike the default "111000").
  s.FunctionVisibility = textOr(line(27), QStringLiteral("000000"));
  for (int k = 1; k <= 6; ++k) {
    s.FunctionCaption[k] = line(kCaptionLine + k - 1);
    s.FunctionHint[k] = line(kHintLine + k - 1);
    s.FunctionProgram[k] = line(kProgramLine + k - 1);
    s.FunctionParameter[k] = line(kParameterLine + k - 1);
  }
  s.OrderMode = intOr(line(52), 0);
  s.CustomOrder[0] = 0;
  for (int i = 1; i <= 12; ++i)
    s.CustomOrder[i] = intOr(line(kCustomOrderLine + i - 1), i);
  s.FactorMode = intOr(line(65), 0);
  s.CustomFactor[0] = 0;
  for (int i = 1; i <= 12; ++i)
    s.CustomFactor[i] = decimalOr(line(kCustomFactorLine + i - 1), 1.0, locale);
  s.BalanceDisplay = intOr(line(78), 1);
}

QString SettingsLineMeaning(int n) {
  static const char *const kFixed[] = {
      nullptr,
      "standard reference, set 0",
      "high reference, set 0",
      "standard reference, set 1",
      "high reference, set 1",
      "analysis print options",
      "sensitivity",
      "last calibration date",
      "user name 1 (status bar)",
      "user name 2 (report title)",
      "user data 1 (report heading)",
      "user data 2 (report heading)",
      "kept (12)",
      "kept (13)",
      "kept (14)",
      "kept (15)",
      "kept (16)",
      "kept (17)",
      "picture style",
      "measurement sound",
      "calibration sound",
      "kept (21)",
      "automatic contact detection",
      "reference set for next run",
      "custom chart time span",
      "chart span: sampling ms",
      "chart span: averaging ms",
      "custom function visibility",
  };
  if (n >= 1 && n <= 27)
    return QString::fromLatin1(kFixed[n]);
  if (n >= kCaptionLine && n < kCaptionLine + 6)
    return QStringLiteral("custom function %1 caption").arg(n - kCaptionLine + 1);
  if (n >= kHintLine && n < kHintLine + 6)
    return QStringLiteral("custom function %1 hint").arg(n - kHintLine + 1);
  if (n >= kProgramLine && n < kProgramLine + 6)
    return QStringLiteral("custom function %1 program").arg(n - kProgramLine + 1);
  if (n >= kParameterLine && n < kParameterLine + 6)
    return QStringLiteral("custom function %1 parameter").arg(n - kParameterLine + 1);
  if (n == 52)
    return QStringLiteral("order mode");
  if (n >= kCustomOrderLine && n < kCustomOrderLine + 12)
    return QStringLiteral("custom order %1").arg(n - kCustomOrderLine + 1);
  if (n == 65)
    return QStringLiteral("factor mode");
  if (n >= kCustomFactorLine && n < kCustomFactorLine + 12)
    return QStringLiteral("custom factor %1").arg(n - kCustomFactorLine + 1);
  if (n == 78)
    return QStringLiteral("balance display");
  return QString();
}

SettingsReadResult ReadSettings(Settings &s, const QString &path, const QLocale &locale, const QDate &today) {
  SettingsReadResult result;
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
    result.ok = false;
    result.error =
        QStringLiteral("无法读取设定档 %1：%2")
            .arg(QDir::toNativeSeparators(path),
                 QFileInfo(path).isDir() ? QStringLiteral("该名称是一个文件夹") : file.errorString());
    SetDefaultSettings(s, locale, today);
    return result;
  }
  const QStringList lines = splitLines(file.readAll());
  QStringList texts;
  for (int n = 1; n <= kSettingsLineCount && n <= lines.size(); ++n) {
    // Blanks around the digits (an edited file) carry no meaning.
    const std::optional<QString> plain = DecipherText(lines.at(n - 1).trimmed(), kSettingsKey);
    if (!plain)
      result.replacedLines << n;
    texts << plain.value_or(QString());
  }
  SettingsFromLineTexts(s, texts, locale, today);
  return result;
}

SettingsWriteResult WriteSettings(const Settings &s, const QString &path, const QLocale &locale) {
  SettingsWriteResult result;
  QByteArray data;
  for (const QString &text : SettingsLineTexts(s, locale))
    data += EncipherText(text, kSettingsKey).toLatin1() + "\r\n";
  QSaveFile file(path);
  // The explicit flush matters: an error of the flush inside commit() (a full
  // disk) goes unnoticed there, and the short file would replace the old one.
  bool ok = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush();
  QString why = file.errorString();
  if (ok) {
    ok = file.commit();
    why = file.errorString();
  } else {
    file.cancelWriting();
  }
  if (!ok) {
    result.ok = false;
    result.error = QStringLiteral("无法写入设定档 %1：%2").arg(QDir::toNativeSeparators(path), why);
  }
  return result;
}
