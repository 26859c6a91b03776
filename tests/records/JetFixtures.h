#pragma once
// The Jet fixtures legacy-full.mdb, legacy-old.mdb and legacy-empty.mdb (kept
// outside the repository, in shared/fixtures/jet) and what they hold.
// Dates are day numbers; NULL is an invalid QVariant.
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtTest>

namespace jetfixtures {

// shared/ lies beside the project's root (as CI lays it out); SOVA_SHARED_DIR
// names it elsewhere. Empty when neither has the fixtures.
inline QString Folder() {
  QStringList roots;
  roots << QStringLiteral(SOVA_SOURCE_DIR "/../shared");
  if (qEnvironmentVariableIsSet("SOVA_SHARED_DIR"))
    roots << qEnvironmentVariable("SOVA_SHARED_DIR");
  for (const QString &root : roots) {
    const QString dir = QDir::cleanPath(root + QStringLiteral("/fixtures/jet"));
    if (QFileInfo::exists(dir + QStringLiteral("/legacy-full.mdb")))
      return dir;
  }
  return QString();
}

#define JET_FIXTURES_OR_SKIP(dir)                                                                                 \
  const QString dir = jetfixtures::Folder();                                                                      \
  if (dir.isEmpty())                                                                                              \
    QSKIP("Jet fixtures not found: put shared/ beside the source tree or set SOVA_SHARED_DIR");

using Row = QList<QPair<QString, QVariant>>;
inline const QVariant Null;

inline QString Sha256(const QString &s) {
  return QString::fromLatin1(QCryptographicHash::hash(s.toUtf8(), QCryptographicHash::Sha256).toHex());
}

inline QString LongTextA() { return QStringLiteral("说明：") + QStringLiteral("测量前请静坐五分钟。").repeated(30); }
inline QString LongTextB() {
  QString s;
  for (int i = 1; i <= 200; ++i)
    s += QString::asprintf("%03d ", i) + QStringLiteral("帮助文本 help text.\r\n");
  return s;
}
inline QString RoutineMemo() { return QStringLiteral("Routine check OK. ").repeated(25); }

// Day numbers of the dates the fixtures hold.
constexpr double k19750412 = 27496, k19881103 = 32450;
constexpr double k20030520 = 37761.396006944444, k20030618 = 37790.586805555555;
constexpr double k20040108a = 37994.416666666664, k20040108b = 37994.698263888888;
constexpr double k20050930 = 38625.34375;

// Names of the measurements M1..M5 and the later columns of each table.
inline QStringList LaterColumns(const QString &table) {
  if (table == QLatin1String("SoCust"))
    return {QStringLiteral("PRESOA")};
  if (table == QLatin1String("SoData"))
    return {QStringLiteral("STD")};
  if (table == QLatin1String("SoPrDt"))
    return {QStringLiteral("ProAGL"), QStringLiteral("ProAGH")};
  if (table == QLatin1String("SoPro")) {
    QStringList l{QStringLiteral("ProFn")};
    for (const char *p : {"ProScrp", "ProPrg", "ProParm"})
      for (int i = 1; i <= 4; ++i)
        l << QString::fromLatin1(p) + QString::number(i);
    return l;
  }
  return {};
}

inline QList<Row> SoCustRows(bool full) {
  QList<Row> rows;
  rows << Row{{"CustNo", "A1"},
              {"Name", QStringLiteral("张伟")},
              {"Sex", true},
              {"DBirth", k19750412},
              {"Addr", QStringLiteral("北京市海淀区中关村大街27号")},
              {"Tel", "010-62751234"},
              {"Tel2", "13801012345"},
              {"Tel3", Null},
              {"EMail", "zhang.wei@example.com"},
              {"Memo", QStringLiteral("首诊：自述腰酸乏力。\r\n复诊：症状减轻。")},
              {"PRESOA", k20030520},
              {"BType", "A"},
              {"Height", 172.5},
              {"Weight", 68.2},
              {"CustCat", QStringLiteral("普通")},
              {"CustFG", "1"},
              {"PrtFG", true}};
  if (full)
    rows << Row{{"CustNo", "A10"},
                {"Name", QStringLiteral("李娜")},
                {"Sex", false},
                {"DBirth", Null},
                {"Addr", QStringLiteral("上海市浦东新区世纪大道100号")},
                {"Tel", "021-58881234"},
                {"Tel2", QString("")},
                {"Tel3", Null},
                {"EMail", Null},
                {"Memo", Null},
                {"PRESOA", k20040108b},
                {"BType", "O"},
                {"Height", 160.0},
                {"Weight", 52.3},
                {"CustCat", "VIP"},
                {"CustFG", Null},
                {"PrtFG", false}};
  rows << Row{{"CustNo", "B'7"},
              {"Name", QStringLiteral("王芳")},
              {"Sex", false},
              {"DBirth", k19881103},
              {"Addr", QStringLiteral("广州市天河区体育西路7号")},
              {"Tel", "020-38765432"},
              {"Tel2", "13922223333"},
              {"Tel3", "020-38765433"},
              {"EMail", "wang.fang@example.cn"},
              {"Memo", "Referred by Dr. O'Neil.\r\nNo known allergies."},
              {"PRESOA", Null},
              {"BType", "AB"},
              {"Height", 165.25},
              {"Weight", 55.0},
              {"CustCat", QStringLiteral("普通")},
              {"CustFG", "0"},
              {"PrtFG", false}};
  return rows;
}

inline QList<Row> SoDataRows(bool full) {
  const double so[5][24] = {
      {52.0, 48.5, 61.2, 59.8, 75.0, 73.4, 40.1, 42.7, 88.3, 90.0, 66.6, 64.9,
       55.5, 57.1, 101.2, 99.8, 35.4, 37.0, 80.8, 78.2, 47.3, 49.9, 112.5, 110.0},
      {50.5, 49.0, 63.3, 60.1, 72.8, 74.6, 41.9, 43.2, 85.0, 87.4, 65.2, 66.0,
       54.7, 56.3, 98.9, 100.4, 36.6, 38.1, 79.5, 77.7, 46.0, 48.8, 109.3, 111.6},
      {30.2, 33.5, 28.7, 31.0, 45.5, 44.1, 25.8, 27.3, 60.0, 58.6, 39.9, 41.4,
       33.3, 35.8, 70.7, 69.2, 22.4, 24.0, 50.5, 52.9, 29.6, 31.1, 80.0, 78.5},
      {31.8, 32.9, 29.4, 30.6, 46.2, 43.7, 0.0, 26.9, 61.5, 59.3, 40.6, 42.0,
       34.1, 36.4, 71.3, 68.8, 23.0, 24.7, 51.2, 53.4, 30.3, 32.2, 81.4, 79.9},
      {95.0, 97.2, 101.5, 99.1, 115.8, 118.3, 88.8, 90.4, 119.9, 117.6, 102.2, 104.7,
       93.3, 95.9, 108.0, 106.5, 85.1, 87.6, 110.2, 112.8, 98.5, 96.1, 120.0, 10.0}};
  const char *std[5] = {
      " 52.0 48.5 61.2 59.8 75.0 73.4 40.1 42.7 88.3 90.0 66.6 64.9 55.5 57.1101.2 99.8 35.4 37.0 80.8 78.2 47.3 "
      "49.9112.5110.0",
      " 50.5 49.0 63.3 60.1 72.8 74.6 41.9 43.2 85.0 87.4 65.2 66.0 54.7 56.3 98.9100.4 36.6 38.1 79.5 77.7 46.0 "
      "48.8109.3111.6",
      " 30.2 33.5 28.7 31.0 45.5 44.1 25.8 27.3 60.0 58.6 39.9 41.4 33.3 35.8 70.7 69.2 22.4 24.0 50.5 52.9 29.6 "
      "31.1 80.0 78.5",
      " 31.8 32.9 29.4 30.6 46.2 43.7  0.0 26.9 61.5 59.3 40.6 42.0 34.1 36.4 71.3 68.8 23.0 24.7 51.2 53.4 30.3 "
      "32.2 81.4 79.9",
      " 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 98.5 "
      "98.5 98.5 98.5"};
  struct M {
    const char *custNo;
    double date;
    bool vota;
    QString memo1;
    QVariant memo2;
    const char *autoKey;
    bool prt;
  };
  const M m[5] = {
      {"A1", k20030520, false, QStringLiteral("治疗前测量，状态良好。"), Null, "A1_20030520093015", false},
      {"A1", k20030618, true, QStringLiteral("治疗后复测。"), "Follow-up after treatment.", "A1_20030618140500", true},
      {"A10", k20040108a, false, QStringLiteral("初次测量"), Null, "A10_20040108100000", false},
      {"A10", k20040108b, false, QStringLiteral("下午复测；第7点未测。"), "SO7 not measured", "A10_20040108164530",
       false},
      {"B'7", k20050930, false, QStringLiteral("常规检查"), RoutineMemo(), "B'7_20050930081500", false}};
  QList<Row> rows;
  int key = 0;
  for (int i = 0; i < 5; ++i) {
    if (!full && (i == 2 || i == 3))
      continue;
    Row r{{"CustNo", m[i].custNo}, {"SoDate", m[i].date}, {"SoVota", m[i].vota}};
    for (int k = 0; k < 24; ++k)
      r << qMakePair(QStringLiteral("SO%1").arg(k + 1), QVariant(so[i][k]));
    r << qMakePair(QStringLiteral("MEMO1"), QVariant(m[i].memo1)) << qMakePair(QStringLiteral("MEMO2"), m[i].memo2)
      << qMakePair(QStringLiteral("STD"), QVariant(QString::fromLatin1(std[i])))
      << qMakePair(QStringLiteral("MKEY"), QVariant(++key))
      << qMakePair(QStringLiteral("AutoKey"), QVariant(m[i].autoKey))
      << qMakePair(QStringLiteral("PrtFG"), QVariant(m[i].prt));
    rows << r;
  }
  return rows;
}

inline QList<Row> SoProRows() {
  return {Row{{"MKEY", 1},
              {"ProNo", "P001"},
              {"ProName", QStringLiteral("标准24点测量")},
              {"ProData", QStringLiteral("左右手足各六点，共24点。")},
              {"ProPict", Null},
              {"ProScal", true},
              {"ProFn", "F1"},
              {"ProScrp1", QStringLiteral("左手")},
              {"ProScrp2", QStringLiteral("右手")},
              {"ProScrp3", QStringLiteral("左足")},
              {"ProScrp4", QStringLiteral("右足")},
              {"ProPrg1", "MEAS.EXE"},
              {"ProPrg2", "REPORT.EXE"},
              {"ProPrg3", Null},
              {"ProPrg4", Null},
              {"ProParm1", "/24 /AUTO"},
              {"ProParm2", "/PRINT"},
              {"ProParm3", Null},
              {"ProParm4", Null},
              {"ProHel1", QStringLiteral("第一步：清洁皮肤。")},
              {"ProHel2", QStringLiteral("第二步：依次测量24点。")},
              {"ProHel3", "Step 3: save results."},
              {"ProHel4", LongTextA()},
              {"ProHel5", LongTextB()},
              {"PrtFG", false}},
          Row{{"MKEY", 2},
              {"ProNo", "P002"},
              {"ProName", QStringLiteral("Quick check 快速检测")},
              {"ProData", "Only 12 points."},
              {"ProPict", Null},
              {"ProScal", false},
              {"ProFn", "F2"},
              {"ProScrp1", QStringLiteral("左侧")},
              {"ProScrp2", QStringLiteral("右侧")},
              {"ProScrp3", Null},
              {"ProScrp4", Null},
              {"ProPrg1", "QUICK.EXE"},
              {"ProPrg2", Null},
              {"ProPrg3", Null},
              {"ProPrg4", Null},
              {"ProParm1", "/12"},
              {"ProParm2", Null},
              {"ProParm3", Null},
              {"ProParm4", Null},
              {"ProHel1", QStringLiteral("快速模式说明")},
              {"ProHel2", Null},
              {"ProHel3", Null},
              {"ProHel4", Null},
              {"ProHel5", Null},
              {"PrtFG", true}}};
}

inline QList<Row> SoPrDtRows() {
  auto row = [](const char *no, const char *sub, const QString &note, const char *andText, const char *cond,
                double eng, double agl, double agh, bool flg, bool prt) {
    return Row{{"ProNo", no},     {"ProSubN", sub}, {"ProNote", note}, {"ProAnd", andText}, {"ProCond", cond},
               {"ProEng", eng},   {"ProAGL", agl},  {"ProAGH", agh},   {"ProFlg", flg},     {"PrtFG", prt}};
  };
  return {row("P001", "S01", QStringLiteral("左侧六点"), "200000000000000000000000", "111111000000000000000000", 1.5,
              10.0, 120.0, true, false),
          row("P001", "S02", QStringLiteral("右侧六点"), "020000000000000000000000", "000000111111000000000000",
              2.25, 20.0, 110.0, false, false),
          row("P002", "S01", QStringLiteral("快速检测 (quick)"), "000000000000000000000002",
              "100000000001000000000001", 0.75, 15.5, 99.5, true, true)};
}

inline QList<Row> Rows(const QString &table, bool full) {
  if (table == QLatin1String("SoCust"))
    return SoCustRows(full);
  if (table == QLatin1String("SoData"))
    return SoDataRows(full);
  if (table == QLatin1String("SoPro"))
    return SoProRows();
  return SoPrDtRows();
}

inline const QStringList &Tables() {
  static const QStringList t{"SoCust", "SoData", "SoPro", "SoPrDt"};
  return t;
}

// Compares a read value with an expected one: numbers numerically (dates to
// the second), texts exactly, NULL only with NULL.
inline bool SameValue(const QVariant &actual, const QVariant &expected, bool isDate, QString *why) {
  auto show = [](const QVariant &v) {
    return v.isValid() ? QStringLiteral("%1 (%2)").arg(v.toString(), QString::fromLatin1(v.typeName()))
                       : QStringLiteral("NULL");
  };
  bool same = false;
  if (!expected.isValid()) {
    same = !actual.isValid() || actual.isNull();
  } else if (!actual.isValid() || actual.isNull()) {
    same = false;
  } else if (expected.typeId() == QMetaType::Double || expected.typeId() == QMetaType::Int) {
    bool ok = false;
    const double a = actual.toDouble(&ok);
    const double tolerance = isDate ? 0.5 / 86400 : 1e-9;
    same = ok && qAbs(a - expected.toDouble()) <= tolerance;
  } else if (expected.typeId() == QMetaType::Bool) {
    same = (actual.typeId() == QMetaType::Bool || actual.canConvert<int>()) && actual.toBool() == expected.toBool();
  } else {
    same = actual.typeId() == QMetaType::QString && actual.toString() == expected.toString();
  }
  if (!same)
    *why = QStringLiteral("got %1, expected %2").arg(show(actual), show(expected));
  return same;
}

} // namespace jetfixtures
