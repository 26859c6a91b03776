#include "shell/AppContext.h"
#include "shell/Branding.h"
#include "shell/Cipher.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <optional>
#include <sys/resource.h>

namespace {
const QLocale kC = QLocale::c();
const QDate kToday(2026, 12, 11);

// Writes plain value texts as a settings file, each line enciphered.
void writePlainLines(const QString &path, const QStringList &texts) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  for (const QString &t : texts)
    f.write(EncipherText(t, kSettingsKey).toLatin1() + "\r\n");
}

QStringList defaultTexts() {
  Settings s;
  SetDefaultSettings(s, kC, kToday);
  return SettingsLineTexts(s, kC);
}

Settings readBack(const QString &path, const QLocale &locale = kC, SettingsReadResult *result = nullptr) {
  Settings s;
  const SettingsReadResult r = ReadSettings(s, path, locale, kToday);
  if (result)
    *result = r;
  return s;
}

QByteArray fileBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Makes every file write beyond a few bytes fail as a full disk would; unlike
// permissions this holds for root too.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit l = m_old;
    l.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &l);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }

private:
  rlimit m_old{};
  void (*m_oldHandler)(int);
};
} // namespace

class TestSettingsFile : public QObject {
  Q_OBJECT
  std::unique_ptr<QTemporaryDir> m_folder;
  QString folder() const { return m_folder->path(); }
  QString path() const { return folder() + u'/' + SettingsFileName(); }

private slots:
  void init() { m_folder = std::make_unique<QTemporaryDir>(); }

  void defaultsWriteAndReadBack() {
    Settings s;
    SetDefaultSettings(s, kC, kToday);
    QCOMPARE(s.PrintOptions, QStringLiteral("011100000000000000000000000000100000201111"));
    QCOMPARE(s.CalibrationDate, kC.toString(kToday, QLocale::ShortFormat));
    QCOMPARE(s.UserName1, Branding::ProductTitle());
    QVERIFY(s.UserName2.contains(Branding::Product()));
    QCOMPARE(s.UserData1, Branding::Maker());
    QCOMPARE(s.FunctionVisibility, QStringLiteral("111000"));
    QCOMPARE(s.FunctionCaption[6], QStringLiteral("功能6"));
    QVERIFY(s.FunctionHint[1].contains(Branding::Maker()));
    QCOMPARE(s.FunctionProgram[2], QStringLiteral("wmplayer.exe"));
    QCOMPARE(s.FunctionParameter[1], Branding::Web());
    QCOMPARE(s.CustomOrder[12], 12);

    const QStringList texts = SettingsLineTexts(s, kC);
    QCOMPARE(texts.size(), 78);
    QCOMPARE(texts[5], QStringLiteral("1")); // sensitivity 1.0 written "1"
    QCOMPARE(texts[12], QStringLiteral("1"));
    QCOMPARE(texts[15], QStringLiteral("0"));
    QCOMPARE(texts[52 - 1], QStringLiteral("0"));
    QCOMPARE(texts[64 - 1], QStringLiteral("12"));
    QCOMPARE(texts[77], QStringLiteral("1"));

    QVERIFY(WriteSettings(s, path(), kC).ok);
    const QByteArray bytes = fileBytes(path());
    QCOMPARE(bytes.count("\r\n"), 78);
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.split('\n');
    for (int n = 1; n <= 78; ++n) {
      const QByteArray line = lines[n - 1].chopped(1);
      QVERIFY2(
          QRegularExpression(QStringLiteral("^([0-9A-F]{2})*$")).match(QString::fromLatin1(line)).hasMatch(),
          line);
      QCOMPARE(DecipherText(QString::fromLatin1(line), 5).value_or(QStringLiteral("?bad")), texts[n - 1]);
    }
    SettingsReadResult r;
    const Settings back = readBack(path(), kC, &r);
    QVERIFY(r.ok);
    QVERIFY(r.replacedLines.isEmpty());
    QCOMPARE(SettingsLineTexts(back, kC), texts);
  }

  // Reading rules, one changed line of an otherwise default file each.
  void readingRules_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("reads"); // the value as written back
    QTest::newRow("reference below 2000") << 1 << "1500"
                                          << "4000";
    QTest::newRow("reference 2000 stays") << 1 << "2000"
                                          << "2000";
    QTest::newRow("reference 1999") << 3 << "1999"
                                    << "4000";
    QTest::newRow("reference not a number") << 4 << "40x0"
                                            << "4000";
    QTest::newRow("reference with blanks") << 2 << " 3500 "
                                           << "3500";
    QTest::newRow("print options empty") << 5 << ""
                                         << "011100000000000000000000000000100000201111";
    QTest::newRow("print options blank") << 5 << "    "
                                         << "011100000000000000000000000000100000201111";
    QTest::newRow("print options kept") << 5 << "111100000000000000000000000000100000201110"
                                        << "111100000000000000000000000000100000201110";
    QTest::newRow("sensitivity") << 6 << "1.25"
                                 << "1.25";
    QTest::newRow("sensitivity not a number") << 6 << "abc"
                                              << "1";
    QTest::newRow("calibration date empty") << 7 << " " << kC.toString(kToday, QLocale::ShortFormat);
    QTest::newRow("user name empty") << 8 << "" << Branding::ProductTitle();
    QTest::newRow("user name Chinese") << 8 << "北京中医诊所"
                                       << "北京中医诊所";
    QTest::newRow("kept 12 empty") << 12 << ""
                                   << "11000";
    QTest::newRow("flag only for 1") << 13 << "yes"
                                     << "0";
    QTest::newRow("flag 1") << 14 << "1"
                            << "1";
    QTest::newRow("kept 16 not a number") << 16 << "-"
                                          << "0";
    QTest::newRow("picture style") << 18 << "3"
                                   << "3";
    QTest::newRow("sound not a number") << 19 << ""
                                        << "1";
    QTest::newRow("chart sampling") << 25 << ""
                                    << "2000";
    QTest::newRow("chart averaging") << 26 << "x"
                                     << "500";
    QTest::newRow("visibility empty hides all") << 27 << ""
                                                << "000000";
    QTest::newRow("caption as read") << 28 << "  "
                                     << "  ";
    QTest::newRow("program as read") << 45 << ""
                                     << "";
    QTest::newRow("custom order position") << 60 << "?"
                                           << "8";
    QTest::newRow("custom factor 0.95") << 70 << "0.95"
                                        << "0.95";
    QTest::newRow("custom factor not a number") << 77 << ""
                                                << "1";
    QTest::newRow("balance display") << 78 << ""
                                     << "1";
  }
  void readingRules() {
    QFETCH(int, line);
    QFETCH(QString, stored);
    QFETCH(QString, reads);
    QStringList texts = defaultTexts();
    texts[line - 1] = stored;
    writePlainLines(path(), texts);
    QCOMPARE(SettingsLineTexts(readBack(path()), kC).at(line - 1), reads);
  }

  void shortFileTakesTheRules() {
    QStringList texts = defaultTexts().mid(0, 26);
    texts[0] = QStringLiteral("3100");
    writePlainLines(path(), texts);
    const Settings s = readBack(path());
    QCOMPARE(s.StdReference0, 3100);
    QCOMPARE(s.ChartSpanAveraging, 500);
    QCOMPARE(s.FunctionVisibility, QStringLiteral("000000"));
    for (int k = 1; k <= 6; ++k) {
      QVERIFY(s.FunctionCaption[k].isEmpty());
      QVERIFY(s.FunctionHint[k].isEmpty());
      QVERIFY(s.FunctionProgram[k].isEmpty());
      QVERIFY(s.FunctionParameter[k].isEmpty());
    }
    QCOMPARE(s.OrderMode, 0);
    QCOMPARE(s.FactorMode, 0);
    for (int i = 1; i <= 12; ++i) {
      QCOMPARE(s.CustomOrder[i], i);
      QCOMPARE(s.CustomFactor[i], 1.0);
    }
    QCOMPARE(s.BalanceDisplay, 1);
  }

  void twoWritesDifferAndReadBackEqual() {
    Settings s;
    SetDefaultSettings(s, kC, kToday);
    s.UserName1 = QStringLiteral("仁心诊所");
    s.CustomFactor[3] = 0.95;
    const QString second = folder() + QStringLiteral("/second.ini");
    QVERIFY(WriteSettings(s, path(), kC).ok);
    QVERIFY(WriteSettings(s, second, kC).ok);
    QVERIFY(fileBytes(path()) != fileBytes(second));
    const Settings a = readBack(path()), b = readBack(second);
    QCOMPARE(SettingsLineTexts(a, kC), SettingsLineTexts(s, kC));
    QCOMPARE(SettingsLineTexts(b, kC), SettingsLineTexts(s, kC));
    QCOMPARE(a.CustomFactor[3], 0.95);
  }

  void localeDecimalSeparator() {
    const QLocale german(QLocale::German, QLocale::Germany);
    Settings s;
    SetDefaultSettings(s, german, kToday);
    s.Sensitivity = 1.5;
    s.CustomFactor[1] = 0.8541;
    const QStringList texts = SettingsLineTexts(s, german);
    QCOMPARE(texts[5], QStringLiteral("1,5"));
    QCOMPARE(texts[65], QStringLiteral("0,8541"));
    QVERIFY(WriteSettings(s, path(), german).ok);
    const Settings back = readBack(path(), german);
    QCOMPARE(back.Sensitivity, 1.5);
    QCOMPARE(back.CustomFactor[1], 0.8541);
  }

  void corruptLinesAreReplacedAndTheRestIsRead() {
    QStringList texts = defaultTexts();
    texts[77] = QStringLiteral("2");
    texts[8 - 1] = QStringLiteral("仁心诊所");
    writePlainLines(path(), texts);
    QByteArray bytes = fileBytes(path());
    QList<QByteArray> lines = bytes.split('\n');
    lines[40 - 1] = "12XZ34\r";
    lines[1 - 1] = "1F\r"; // a seed without a byte
    bytes = lines.join('\n');
    QFile f(path());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();

    SettingsReadResult r;
    const Settings s = readBack(path(), kC, &r);
    QVERIFY(r.ok);
    QCOMPARE(r.replacedLines, QList<int>({1, 40}));
    QCOMPARE(s.StdReference0, 4000);
    QCOMPARE(s.FunctionProgram[1], QString());
    QCOMPARE(s.UserName1, QStringLiteral("仁心诊所"));
    QCOMPARE(s.BalanceDisplay, 2);
  }

  void linesWithLfOnlyOrBlanksAroundRead() {
    QStringList texts = defaultTexts();
    texts[0] = QStringLiteral("2600");
    QByteArray bytes;
    for (const QString &t : texts)
      bytes += "  " + EncipherText(t, 5).toLower().toLatin1() + " \n";
    QFile f(path());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    SettingsReadResult r;
    const Settings s = readBack(path(), kC, &r);
    QVERIFY(r.replacedLines.isEmpty());
    QCOMPARE(s.StdReference0, 2600);
    QCOMPARE(SettingsLineTexts(s, kC), texts);
  }

  void unreadableFileGivesDefaults() {
    QVERIFY(QDir(folder()).mkdir(SettingsFileName()));
    Settings s;
    s.StdReference0 = 2345;
    const SettingsReadResult r = ReadSettings(s, path(), kC, kToday);
    QVERIFY(!r.ok);
    QVERIFY(r.error.contains(QDir::toNativeSeparators(path())));
    QCOMPARE(SettingsLineTexts(s, kC), defaultTexts());
  }

  void failedWriteKeepsTheOldFile_data() {
    QTest::addColumn<bool>("targetIsFolder");
    QTest::newRow("disk full") << false;
    QTest::newRow("a folder in the way") << true;
  }
  void failedWriteKeepsTheOldFile() {
    QFETCH(bool, targetIsFolder);
    Settings old;
    SetDefaultSettings(old, kC, kToday);
    old.UserName1 = QStringLiteral("旧的名称");
    QString target = path();
    if (targetIsFolder) {
      target = folder() + QStringLiteral("/folder.ini");
      QVERIFY(QDir(folder()).mkpath(QStringLiteral("folder.ini/inside")));
    } else {
      QVERIFY(WriteSettings(old, target, kC).ok);
    }
    const QByteArray before = fileBytes(target);

    Settings changed = old;
    changed.UserName1 = QStringLiteral("新的名称");
    SettingsWriteResult w;
    {
      std::optional<FileSizeLimit> limit;
      if (!targetIsFolder)
        limit.emplace(100);
      w = WriteSettings(changed, target, kC);
    }
    QVERIFY(!w.ok);
    QVERIFY2(w.error.contains(QDir::toNativeSeparators(target)), qPrintable(w.error));
    QCOMPARE(fileBytes(target), before);
    if (targetIsFolder) {
      QVERIFY(QFileInfo(target).isDir());
    } else {
      QCOMPARE(readBack(target).UserName1, QStringLiteral("旧的名称"));
    }
    // No temporary file is left beside it.
    QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden),
             targetIsFolder ? QStringList() : QStringList{SettingsFileName()});
  }

  // The context's operations: modes applied after each read and write, and
  // the user told about problems.
  void contextAppliesModesAndReports() {
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx(&clock, &prompter, &launcher);
    ctx.dataFolder = folder() + u'/';
    QCOMPARE(ctx.settings.PrintOptions, QStringLiteral("011100000000000000000000000000100000201111"));

    QVERIFY(ctx.LoadSettings()); // absent: defaults, written
    QVERIFY(QFileInfo::exists(path()));
    QVERIFY(prompter.questions().isEmpty());
    QCOMPARE(ctx.model.MeridianFactor[1], kBuiltinMeridianFactor[1]);

    ctx.settings.OrderMode = 1;
    ctx.settings.FactorMode = 2;
    ctx.settings.CustomFactor[5] = 0.95;
    QVERIFY(ctx.WriteSettings());
    QCOMPARE(ctx.model.MeasuringOrder[2], 6);
    QCOMPARE(ctx.model.MeridianFactor[5], 0.95);

    ctx.settings = Settings();
    ctx.applySettingsModes();
    QCOMPARE(ctx.model.MeasuringOrder[2], 2);
    QVERIFY(ctx.LoadSettings()); // present: read
    QCOMPARE(ctx.settings.CustomFactor[5], 0.95);
    QCOMPARE(ctx.model.PositionSlot[14], 18);
    QCOMPARE(ctx.model.MeridianFactor[5], 0.95);
    QVERIFY(prompter.questions().isEmpty());

    // A corrupt line: told once, naming the line.
    QByteArray bytes = fileBytes(path());
    QList<QByteArray> lines = bytes.split('\n');
    lines[52 - 1] = "not hex\r";
    QFile f(path());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(lines.join('\n'));
    f.close();
    QVERIFY(ctx.ReadSettings());
    QCOMPARE(ctx.settings.OrderMode, 0);
    QCOMPARE(ctx.model.MeasuringOrder[2], 2);
    QCOMPARE(prompter.questions().size(), 1);
    QVERIFY(prompter.questions()[0].text.contains(QStringLiteral("第 52 行")));
    QCOMPARE(ctx.settings.FactorMode, 2);

    // A failed write: told with the path, memory unchanged.
    prompter.clear();
    QFile::remove(path());
    QVERIFY(QDir(folder()).mkpath(SettingsFileName() + QStringLiteral("/x")));
    ctx.settings.UserName1 = QStringLiteral("未存");
    QVERIFY(!ctx.WriteSettings());
    QCOMPARE(ctx.settings.UserName1, QStringLiteral("未存"));
    QCOMPARE(prompter.questions().size(), 1);
    QVERIFY(prompter.questions()[0].text.contains(QDir::toNativeSeparators(path())));
  }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
