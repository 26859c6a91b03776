// The delivered files the build generates under share/sova: the reference
// texts decipher to their sources, every topic and picture is there, the
// template is empty, the programmes read cleanly and ordinary measurements
// meet them; and installing them into a data folder never overwrites.
#include "analysis/Analysis.h"
#include "analysis/ProgrammeMatch.h"
#include "records/Database.h"
#include "records/ProgrammeStore.h"
#include "reference/DeliveredContent.h"
#include "reference/DeliveredData.h"
#include "reference/MeridianIllustration.h"
#include "reference/PointPicture.h"
#include "shell/Cipher.h"
#include "shell/Gbk.h"

#include <QFile>
#include <QImage>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

namespace {
const QString kShare = QStringLiteral(SOVA_BINARY_DIR "/share/sova/");
const QString kSources = QStringLiteral(SOVA_SOURCE_DIR "/data");

struct Connection {
  QString name;
  QSqlDatabase db;
  Connection(const QString &file, const char *tag) : name(QLatin1String(tag)) {
    QString error;
    db = OpenDatabaseFile(kShare + file, OpenMode::ReadOnly, name, &error);
    if (!db.isValid())
      qWarning("%s", qPrintable(error));
  }
  ~Connection() {
    db = QSqlDatabase();
    CloseDatabaseConnection(name);
  }
};

// Plausible measurements: a body energy; shifts between the sides, between
// hands and feet and between yin and yang meridians; a deviation per
// meridian shared by its two points (both sides tend to move together); and
// a small one per point.
struct Sample {
  SlotArray values{};
  bool male = true;
  int age = 40;
};
QList<Sample> plausibleMeasurements(int count) {
  std::mt19937 rng(20261211);
  std::uniform_real_distribution<double> energy(20.0, 78.0), age(18.0, 82.0), coin(0.0, 1.0);
  std::normal_distribution<double> meridian(0.0, 0.15), point(0.0, 0.07), side(0.0, 0.06), limb(0.0, 0.09),
      yin(0.0, 0.08);
  QList<Sample> out;
  for (int n = 0; n < count; ++n) {
    Sample s;
    const double e = energy(rng);
    s.male = coin(rng) < 0.5;
    s.age = int(age(rng));
    const double leftShift = side(rng), handShift = limb(rng), yinShift = yin(rng);
    for (int m = 1; m <= 12; ++m) {
      const bool isYin = m <= 3 || (m >= 7 && m <= 9);
      const double shift = meridian(rng) + (IsFootMeridian(m) ? -handShift : handShift) + (isYin ? yinShift : -yinShift);
      for (Side sd : {Side::Left, Side::Right})
        s.values[SlotOf(sd, m)] = std::max(
            2.0, e / kBuiltinMeridianFactor[m] * (1.0 + shift + (sd == Side::Left ? leftShift : -leftShift) + point(rng)));
    }
    out << s;
  }
  return out;
}
} // namespace

class TestDeliveredData : public QObject {
  Q_OBJECT
private slots:
  void referenceTextsDecipherToSources();
  void everyDeliveredFileExists();
  void pointPicturesMarkTheirPoint();
  void templateHasFourEmptyTables();
  void programmesReadAndOrdinaryMeasurementsMeetThem();
  void installCopiesMissingFilesOnly();
  void brokenSourcesAreRefused_data();
  void brokenSourcesAreRefused();
};

void TestDeliveredData::referenceTextsDecipherToSources() {
  QList<ReferenceSource> sources;
  QString error;
  QVERIFY2(LoadReferenceSources(kSources, &sources, &error), qPrintable(error));
  QCOMPARE(sources.size(), 17);
  Connection c(QStringLiteral("sovaCn.mdb"), "test-reference");
  QVERIFY(c.db.isValid());
  for (const ReferenceSource &s : sources) {
    const auto topic = ReadReferenceTopic(c.db, s.MKEY, &error);
    QVERIFY2(topic.has_value(), qPrintable(QStringLiteral("key %1: %2").arg(s.MKEY).arg(error)));
    for (const QString &field : SomtdbTextFields()) {
      const QString stored = topic->stored(field);
      const QString plain = s.texts.value(field);
      // Stored enciphered: hexadecimal only, never the plain text.
      QVERIFY(plain.isEmpty() ? stored.isEmpty() : stored != plain);
      QCOMPARE(stored.size(), plain.isEmpty() ? 0 : 2 + 2 * int(ToGbk(plain).size()));
      const auto back = DecipherText(stored, 1);
      QVERIFY(back.has_value());
      QCOMPARE(*back, plain);
    }
    // Every meridian has its general texts; the index topics the ones the advice shows.
    for (const char *field : {"DtMA1", "DtMA2", "DtMH1"})
      QVERIFY2(!s.texts.value(QLatin1String(field)).isEmpty(), qPrintable(QStringLiteral("key %1 %2").arg(s.MKEY).arg(field)));
    if (s.MKEY <= 12) {
      for (const QString &field : SomtdbTextFields())
        QVERIFY2(!s.texts.value(field).isEmpty(), qPrintable(QStringLiteral("key %1 %2").arg(s.MKEY).arg(field)));
      QImage picture;
      QVERIFY(picture.loadFromData(topic->DtGpM));
      QCOMPARE(picture.size(), kMeridianIllustrationSize);
    } else {
      QVERIFY(topic->DtGpM.isEmpty());
    }
  }
  QVERIFY(!ReadReferenceTopic(c.db, 18, &error).has_value());
}

void TestDeliveredData::everyDeliveredFileExists() {
  const QStringList names = DeliveredFileNames();
  QCOMPARE(names.size(), 3 + 72 + 1);
  for (const QString &name : names)
    QVERIFY2(QFile::exists(kShare + name), qPrintable(name));
  for (const QString &name : names.filter(QStringLiteral(".bmp"))) {
    QImage img(kShare + name, "BMP");
    QVERIFY2(!img.isNull(), qPrintable(name));
    QCOMPARE(img.size(), kPointPictureSize);
  }
  // The chart background is a Windows bitmap under another extension, with
  // a white lower-left pixel: the colour the chart makes transparent.
  QFile bk(kShare + QStringLiteral("Data/sobkmg.msi"));
  QVERIFY(bk.open(QIODevice::ReadOnly));
  QCOMPARE(bk.read(2), QByteArray("BM"));
  QImage background(kShare + QStringLiteral("Data/sobkmg.msi"), "BMP");
  QVERIFY(!background.isNull());
  QCOMPARE(background.pixelColor(0, background.height() - 1), QColor(Qt::white));
}

void TestDeliveredData::pointPicturesMarkTheirPoint() {
  // The marker's red centre sits on the source point in every style; the
  // left side is the mirror image of the right.
  for (int style = 1; style <= 3; ++style)
    for (int slot = 1; slot <= 24; ++slot) {
      const QString name = PictureFileName(style, slot);
      const QImage img(kShare + QStringLiteral("Data/") + name, "BMP");
      const QPointF at = PointPicturePosition(slot);
      const QColor c = img.pixelColor(at.toPoint());
      QVERIFY2(c.red() > 180 && c.green() < 80 && c.blue() < 80,
               qPrintable(QStringLiteral("%1: no marker at (%2, %3)").arg(name).arg(at.x()).arg(at.y())));
      if (slot <= 6 || (slot >= 13 && slot <= 18))
        QCOMPARE(at.x(), kPointPictureSize.width() - PointPicturePosition(slot + 6).x());
    }
}

void TestDeliveredData::templateHasFourEmptyTables() {
  Connection c(QStringLiteral("SoSpa_60.mdb"), "test-template");
  QVERIFY(c.db.isValid());
  QStringList tables = c.db.tables();
  tables.removeIf([](const QString &t) { return t.startsWith(QStringLiteral("sqlite_")); });
  tables.sort(Qt::CaseInsensitive);
  QCOMPARE(tables, QStringList({QStringLiteral("SoCust"), QStringLiteral("SoData"), QStringLiteral("SoPrDt"),
                                QStringLiteral("SoPro")}));
  for (const QString &t : tables) {
    QSqlQuery q(c.db);
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(t)) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
  }
}

void TestDeliveredData::programmesReadAndOrdinaryMeasurementsMeetThem() {
  QList<ProgrammeSource> sources;
  QString error;
  QVERIFY2(LoadProgrammeSources(kSources, &sources, &error), qPrintable(error));
  Connection c(QStringLiteral("sovaMCn.mdb"), "test-programme");
  QVERIFY(c.db.isValid());
  const QList<ProgrammeRecord> programmes = ReadProgrammes(c.db, &error);
  QCOMPARE(programmes.size(), sources.size());
  QList<QList<ProgrammeCondition>> conditions;
  for (int i = 0; i < programmes.size(); ++i) {
    const ProgrammeRecord &p = programmes[i];
    QCOMPARE(p.ProName, sources[i].record.ProName);
    for (int k = 1; k <= 5; ++k)
      QCOMPARE(p.ProHel[k], sources[i].record.ProHel[k]);
    QVERIFY(FindProgrammeByName(c.db, p.ProName, &error).has_value());
    const QList<ProgrammeCondition> rows = ReadProgrammeConditions(c.db, p.ProNo, &error);
    QCOMPARE(rows.size(), sources[i].conditions.size());
    for (int r = 0; r < rows.size(); ++r) {
      QVERIFY2(ConditionRowProblem(rows[r]).isEmpty(), qPrintable(p.ProName + u' ' + ConditionRowProblem(rows[r])));
      QCOMPARE(rows[r].ProCond, sources[i].conditions[r].ProCond);
      QCOMPARE(rows[r].ProAnd, sources[i].conditions[r].ProAnd);
      QCOMPARE(rows[r].ProFlg, sources[i].conditions[r].ProFlg);
    }
    conditions << rows;
  }

  const QList<Sample> samples = plausibleMeasurements(800);
  QList<int> hits(programmes.size(), 0);
  int analysed = 0;
  for (const Sample &s : samples) {
    AnalysisResult r;
    if (ComputeAnalysisAtAge(s.values, s.male, s.age, kBuiltinMeridianFactor, r) != AnalysisStatus::Ok)
      continue;
    ++analysed;
    for (int i = 0; i < programmes.size(); ++i)
      hits[i] += ProgrammeMatches(conditions[i], r, s.age, s.male) ? 1 : 0;
  }
  QCOMPARE(analysed, samples.size());
  // A useful programme is met by some measurements and not by nearly all.
  int useful = 0;
  QStringList report;
  for (int i = 0; i < programmes.size(); ++i) {
    const double share = double(hits[i]) / analysed;
    report << QStringLiteral("%1 %2%").arg(programmes[i].ProNo).arg(qRound(share * 100));
    useful += share >= 0.01 && share <= 0.7 ? 1 : 0;
  }
  qInfo("programme match rates: %s", qPrintable(report.join(QStringLiteral(", "))));
  QVERIFY2(useful >= 12, qPrintable(report.join(QStringLiteral(", "))));
}

void TestDeliveredData::installCopiesMissingFilesOnly() {
  QTemporaryDir data;
  QVERIFY(data.isValid());
  const QString folder = data.path() + u'/';
  // The user already has a reference database (in another letter case) and a
  // picture folder spelled "DATA" with one picture of their own.
  QVERIFY(QDir().mkpath(folder + QStringLiteral("DATA")));
  for (const QString &own : {QStringLiteral("SOVACN.MDB"), QStringLiteral("DATA/PLh1.bmp")}) {
    QFile f(folder + own);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("mine");
  }
  const InstallReport first = InstallDeliveredData(kShare, folder);
  QVERIFY(first.missing.isEmpty() && first.failed.isEmpty());
  QCOMPARE(first.copied.size(), DeliveredFileNames().size() - 2);
  QVERIFY(!first.copied.contains(QStringLiteral("sovaCn.mdb")));
  QVERIFY(!QDir(folder).entryList(QDir::Files).contains(QStringLiteral("sovaCn.mdb")));
  QVERIFY(QFile::exists(folder + QStringLiteral("DATA/PRf6.bmp")));
  QCOMPARE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("DATA")});
  for (const QString &own : {QStringLiteral("SOVACN.MDB"), QStringLiteral("DATA/PLh1.bmp")}) {
    QFile f(folder + own);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("mine"));
  }
  QVERIFY(QFileInfo(folder + QStringLiteral("SoSpa_60.mdb")).isWritable());
  // A second start copies nothing; a source folder without the files says so.
  QVERIFY(InstallDeliveredData(kShare, folder).copied.isEmpty());
  QTemporaryDir empty, other;
  const InstallReport none = InstallDeliveredData(empty.path(), other.path());
  QVERIFY(none.copied.isEmpty());
  QCOMPARE(none.missing.size(), DeliveredFileNames().size());
}

void TestDeliveredData::brokenSourcesAreRefused_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QByteArray>("json");
  QTest::addColumn<QString>("expected");
  const QByteArray hel = R"("ProHel1": "a", "ProHel2": "b", "ProHel3": "c", "ProHel4": "d", "ProHel5": "e")";
  QTest::newRow("unknown position") << "programmes/X.json"
      << (R"({"ProNo": "X1", "ProName": "x", )" + hel + R"(, "conditions": [{"when": {"XX": "excess"}}]})")
      << "unknown position XX";
  QTest::newRow("word not for the position") << "programmes/X.json"
      << (R"({"ProNo": "X1", "ProName": "x", )" + hel + R"(, "conditions": [{"when": {"leftRight": "above"}}]})")
      << "leftRight cannot be above";
  QTest::newRow("normal not required") << "programmes/X.json"
      << (R"({"ProNo": "X1", "ProName": "x", )" + hel + R"(, "conditions": [{"when": {"LU": "normal"}}]})")
      << "needs to be required";
  QTest::newRow("age without bound") << "programmes/X.json"
      << (R"({"ProNo": "X1", "ProName": "x", )" + hel + R"(, "conditions": [{"when": {"age": "from"}}]})")
      << "needs ageFrom";
  QTest::newRow("empty advice") << "programmes/X.json"
      << QByteArray(R"({"ProNo": "X1", "ProName": "x", "ProHel1": "a", "conditions": [{"when": {"LU": "excess"}}]})")
      << "ProHel2 is empty";
  QTest::newRow("not GBK") << "reference/01.json" << QByteArray("{\"MKEY\": 1, \"DtMA1\": \"\\ud83d\\ude00\"}")
                           << "no GBK form";
  QTest::newRow("unknown field") << "reference/01.json" << QByteArray(R"({"MKEY": 1, "DtXX": "a"})")
                                 << "unknown field DtXX";
  QTest::newRow("key out of range") << "reference/01.json" << QByteArray(R"({"MKEY": 18})") << "MKEY";
  QTest::newRow("bad JSON") << "reference/01.json" << QByteArray(R"({"MKEY": 1,)") << "JSON error";
}

void TestDeliveredData::brokenSourcesAreRefused() {
  QFETCH(QString, file);
  QFETCH(QByteArray, json);
  QFETCH(QString, expected);
  QTemporaryDir dir;
  QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/reference")) &&
          QDir().mkpath(dir.path() + QStringLiteral("/programmes")));
  QFile f(dir.path() + u'/' + file);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(json);
  f.close();
  QString error;
  if (file.startsWith(QStringLiteral("reference"))) {
    QList<ReferenceSource> out;
    QVERIFY(!LoadReferenceSources(dir.path(), &out, &error));
  } else {
    QList<ProgrammeSource> out;
    QVERIFY(!LoadProgrammeSources(dir.path(), &out, &error));
  }
  QVERIFY2(error.contains(expected), qPrintable(error));
  QVERIFY2(error.contains(QFileInfo(file).fileName()), qPrintable(error));
}

QTEST_MAIN(TestDeliveredData)
#include "test_delivered_data.moc"
