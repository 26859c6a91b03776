#include "shell/Branding.h"
#include "shell/Clock.h"
#include "shell/DataFolder.h"
#include "shell/DayNumber.h"
#include "shell/Format.h"
#include "shell/Gbk.h"
#include "shell/Launcher.h"

#include <QTemporaryDir>
#include <QtTest>

class TestServices : public QObject {
  Q_OBJECT
private slots:
  void virtualClockJumpsToScheduledActions() {
    VirtualClock clock(0xFFFFFF00u); // wraps during the test
    int fired = 0;
    clock.callAfter(50, nullptr, [&] { ++fired; });
    const quint32 start = clock.tick();
    QVERIFY(clock.waitUntil([&] { return fired == 1; }, 100));
    QCOMPARE(clock.elapsedSince(start), 50u);
    // A wait across the wrap still lasts its full time.
    QVERIFY(!clock.waitUntil([] { return false; }, 300));
    QCOMPARE(clock.elapsedSince(start), 350u);
    QVERIFY(clock.tick() < start); // the counter did wrap
  }

  void virtualClockDropsActionsOfDestroyedContext() {
    VirtualClock clock;
    int fired = 0;
    auto *ctx = new QObject;
    clock.callAfter(10, ctx, [&] { ++fired; });
    delete ctx;
    clock.advance(20);
    QCOMPARE(fired, 0);
  }

  void realClockWaitEndsOnConditionOrTimeout() {
    RealClock clock(0xFFFFFFF0u);
    bool flag = false;
    clock.callAfter(5, nullptr, [&] { flag = true; });
    QVERIFY(clock.waitUntil([&] { return flag; }, 2000));
    const quint32 t0 = clock.tick();
    QVERIFY(!clock.waitUntil([] { return false; }, 30));
    QVERIFY(clock.elapsedSince(t0) >= 30u);
  }

  void numberFormats_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("5.1f") << "%5.1f" << 52.04 << " 52.0";
    QTest::newRow("5.1f wide") << "%5.1f" << 101.25 << "101.3";
    QTest::newRow("3.0f half up") << "%3.0f" << 49.5 << " 50";
    QTest::newRow("3.1f") << "%3.1f" << 2.25 << "2.3";
    QTest::newRow("6.0d") << "%6.0d" << 1234.0 << "  1234";
    QTest::newRow("4d") << "%4d" << 7.0 << "   7";
    QTest::newRow("8.0n small") << "%8.0n" << 12.0 << "      12";
    QTest::newRow("8.0n grouped") << "%8.0n" << 1234567.0 << "1,234,567";
    QTest::newRow("negative zero") << "%5.1f" << -0.01 << "  0.0";
  }
  void numberFormats() {
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(format.toLatin1().constData(), value, QLocale(QLocale::English, QLocale::UnitedStates)),
             expected);
  }

  void decimalSeparatorFollowsLocale() {
    const QLocale de(QLocale::German, QLocale::Germany);
    QCOMPARE(FormatNumber("%5.1f", 3.25, de), QStringLiteral("  3,3"));
    QCOMPARE(FormatGeneral(0.95, de), QStringLiteral("0,95"));
    QCOMPARE(FormatGeneral(1.0, de), QStringLiteral("1"));
    double v = 0;
    QVERIFY(ParseDecimal(QStringLiteral("0,95"), &v, de));
    QCOMPARE(v, 0.95);
    QVERIFY(ParseDecimal(QStringLiteral("0.95"), &v, de));
    QVERIFY(!ParseDecimal(QStringLiteral("abc"), &v, de));
  }

  void dayNumbers() {
    QCOMPARE(ToDayNumber(QDate(1975, 4, 12)), 27496.0);
    const QDateTime t(QDate(2003, 5, 20), QTime(9, 30, 15));
    QVERIFY(qAbs(ToDayNumber(t) - 37761.396006944444) < 1e-9);
    QCOMPARE(FromDayNumber(37761.396006944444), t);
    QCOMPARE(FromDayNumber(38625.34375), QDateTime(QDate(2005, 9, 30), QTime(8, 15)));
    QVERIFY(!IsDateGiven(0));
    QVERIFY(!IsDateGiven(4000));
    QVERIFY(IsDateGiven(4000.5));
    QCOMPARE(AgeInYears(0, 730), 2.0);
  }

  void gbkRoundTrip() {
    const QString s = QStringLiteral("经络能量 LU9 ABC");
    const QByteArray g = ToGbk(s);
    QCOMPARE(g.size(), 4 * 2 + 1 + 3 + 1 + 3);
    QCOMPARE(FromGbk(g), s);
    QCOMPARE(ToGbk(QStringLiteral("😀x")), QByteArray("?x")); // unmappable
  }

  void driveLetterSearch() {
    RecordingLauncher l;
    l.existingFiles << QStringLiteral("E:\\Tools\\viewer.exe");
    QCOMPARE(ResolveDriveLetter(QStringLiteral("X:\\Tools\\viewer.exe"), l), QStringLiteral("E:\\Tools\\viewer.exe"));
    QCOMPARE(ResolveDriveLetter(QStringLiteral("X:\\none.exe"), l), QString());
    QCOMPARE(ResolveDriveLetter(QStringLiteral("/usr/bin/true"), l), QStringLiteral("/usr/bin/true"));

    LaunchCustomFunction(l, QStringLiteral(" X:\\Tools\\viewer.exe "), QStringLiteral("doc.txt"));
    LaunchCustomFunction(l, QString(), QStringLiteral("winword.exe"));
    LaunchCustomFunction(l, QStringLiteral("Z:\\missing.exe"), QString()); // launches nothing
    QCOMPARE(l.calls.size(), 2);
    QCOMPARE(l.calls[0].program, QStringLiteral("E:\\Tools\\viewer.exe"));
    QCOMPARE(l.calls[0].parameters, QStringLiteral("doc.txt"));
    QCOMPARE(l.calls[1].program, QString());
    QCOMPARE(l.calls[1].parameters, QStringLiteral("winword.exe"));
  }

  void dataFolderResolution() {
    QTemporaryDir tmp;
    const QString explicitDir = tmp.path() + QStringLiteral("/given");
    qputenv("SOVA_DATA_DIR", QFile::encodeName(tmp.path() + QStringLiteral("/env")));
    QCOMPARE(ResolveDataFolder({QStringLiteral("sova"), QStringLiteral("--data-dir"), explicitDir}), explicitDir + u'/');
    QVERIFY(QFileInfo(explicitDir).isDir());
    QCOMPARE(ResolveDataFolder({QStringLiteral("sova")}), tmp.path() + QStringLiteral("/env/"));
    qunsetenv("SOVA_DATA_DIR");
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.path()));
    QCOMPARE(ResolveDataFolder({}), tmp.path() + QStringLiteral("/kelvor/sova/"));

    QFile f(tmp.path() + QStringLiteral("/Sova6.mdb"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(FindFileNoCase(tmp.path(), QStringLiteral("sova6.mdb")), tmp.path() + QStringLiteral("/Sova6.mdb"));
    QVERIFY(!FileExistsNoCase(tmp.path(), QStringLiteral("sova.mdb")));
  }

  void brandingDeciphers() {
    const QStringList texts = Branding::PlainTexts();
    for (const QString &t : texts)
      QVERIFY2(!t.isEmpty() && !t.contains(u'?'), qPrintable(t));
    QCOMPARE(Branding::Product(), QStringLiteral("S.O.V.A."));
    QCOMPARE(Branding::BrandingFileLines().size(), 13);
  }
};

QTEST_GUILESS_MAIN(TestServices)
#include "test_services.moc"
