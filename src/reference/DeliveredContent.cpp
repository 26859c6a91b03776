#include "reference/DeliveredContent.h"

#include "analysis/ProgrammeMatch.h"
#include "shell/Gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

bool fail(QString *error, const QString &file, const QString &what) {
  if (error)
    *error = QStringLiteral("%1: %2").arg(QFileInfo(file).fileName(), what);
  return false;
}

bool readJson(const QString &path, QJsonObject *obj, QString *error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return fail(error, path, QStringLiteral("cannot be read"));
  QJsonParseError pe;
  const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
  if (pe.error != QJsonParseError::NoError)
    return fail(error, path, QStringLiteral("JSON error at offset %1: %2").arg(pe.offset).arg(pe.errorString()));
  if (!doc.isObject())
    return fail(error, path, QStringLiteral("not a JSON object"));
  *obj = doc.object();
  return true;
}

// A text is a string or a list of paragraphs. It is stored as GBK bytes, so
// every character must have a GBK form.
bool readText(const QJsonValue &v, QString *text, QString *why) {
  if (v.isString()) {
    *text = v.toString();
  } else if (v.isArray()) {
    QStringList parts;
    for (const QJsonValue &p : v.toArray()) {
      if (!p.isString()) {
        *why = QStringLiteral("a paragraph that is not a string");
        return false;
      }
      parts << p.toString();
    }
    *text = parts.join(u'\n');
  } else {
    *why = QStringLiteral("not a string or a list of strings");
    return false;
  }
  if (text->contains(QChar(0)) || FromGbk(ToGbk(*text)) != *text) {
    for (QChar ch : *text)
      if (FromGbk(ToGbk(QString(ch))) != QString(ch)) {
        *why = QStringLiteral("character U+%1 has no GBK form").arg(ch.unicode(), 4, 16, QChar(u'0'));
        return false;
      }
    *why = QStringLiteral("text does not survive GBK");
    return false;
  }
  return true;
}

QStringList jsonFiles(const QString &dir) {
  QStringList files;
  for (const QString &f : QDir(dir).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
    files << dir + u'/' + f;
  return files;
}

const QStringList &positionNames() {
  static const QStringList names = {
      QString(),          QStringLiteral("energy"), QStringLiteral("upperLower"), QStringLiteral("leftRight"),
      QStringLiteral("yinYang"), QStringLiteral("highLow"), QStringLiteral("LU"), QStringLiteral("LI"),
      QStringLiteral("PC"), QStringLiteral("TE"), QStringLiteral("HT"), QStringLiteral("SI"),
      QStringLiteral("SP"), QStringLiteral("ST"), QStringLiteral("LR"), QStringLiteral("GB"),
      QStringLiteral("KI"), QStringLiteral("BL"), QStringLiteral("wood"), QStringLiteral("fire"),
      QStringLiteral("earth"), QStringLiteral("metal"), QStringLiteral("water"), QStringLiteral("age"),
      QStringLiteral("sex")};
  return names;
}

} // namespace

const QStringList &SomtdbTextFields() {
  static const QStringList fields = {
      QStringLiteral("DtEA1"), QStringLiteral("DtEA2"), QStringLiteral("DtEA3"), QStringLiteral("DtEA4"),
      QStringLiteral("DtEA5"), QStringLiteral("DtPot1"), QStringLiteral("DtPot2"), QStringLiteral("DtPot3"),
      QStringLiteral("DtMA1"), QStringLiteral("DtMA2"), QStringLiteral("DtMA3"), QStringLiteral("DtMH1"),
      QStringLiteral("DtMH4"), QStringLiteral("DtMH5"), QStringLiteral("DtML1"), QStringLiteral("DtML4"),
      QStringLiteral("DtML5")};
  return fields;
}

int ConditionPosition(const QString &name) {
  const int i = positionNames().indexOf(name);
  return i > 0 ? i : 0;
}

int ConditionDigit(int n, const QString &w) {
  if (n == 1) {
    if (w == u"energyIs") return 4;
    if (w == u"energyOver") return 5;
    if (w == u"energyUnder") return 6;
  }
  if ((n >= 1 && n <= 5) || (n >= 18 && n <= 22)) {
    if (w == u"normal") return 0;
    if (w == u"abnormal") return 3;
    if (n == 3 || n == 5)
      return -1; // only normal or abnormal have a meaning there
    if (w == u"below") return n == 4 ? 2 : 1;
    if (w == u"above") return n == 4 ? 1 : 2;
    return -1;
  }
  if (n >= 6 && n <= 17) {
    if (w == u"normal") return 0;
    if (w == u"deficient") return 1;
    if (w == u"excess") return 2;
    if (w == u"abnormal") return 3;
    return -1;
  }
  if (n == 23) {
    if (w == u"from") return 1;
    if (w == u"to") return 2;
    if (w == u"between") return 3;
    return -1;
  }
  if (n == 24) {
    if (w == u"male") return 1;
    if (w == u"female") return 2;
  }
  return -1;
}

bool LoadReferenceSources(const QString &dataDir, QList<ReferenceSource> *out, QString *error) {
  out->clear();
  QSet<int> seen;
  const QStringList files = jsonFiles(dataDir + QStringLiteral("/reference"));
  for (const QString &file : files) {
    QJsonObject o;
    if (!readJson(file, &o, error))
      return false;
    ReferenceSource s;
    s.file = file;
    s.MKEY = o.value(QStringLiteral("MKEY")).toInt();
    if (s.MKEY < 1 || s.MKEY > 17 || seen.contains(s.MKEY))
      return fail(error, file, QStringLiteral("MKEY must be a new key from 1 to 17"));
    seen.insert(s.MKEY);
    for (auto it = o.begin(); it != o.end(); ++it) {
      const QString key = it.key();
      if (key == u"MKEY" || key.startsWith(u'_'))
        continue; // "_topic" and the like are notes for the reader
      if (key == u"DtGpM") {
        if (it.value().toString() != u"illustration")
          return fail(error, file, QStringLiteral("DtGpM can only be \"illustration\""));
        if (s.MKEY > 12)
          return fail(error, file, QStringLiteral("only meridians have an illustration"));
        s.illustration = true;
        continue;
      }
      if (!SomtdbTextFields().contains(key))
        return fail(error, file, QStringLiteral("unknown field %1").arg(key));
      QString text, why;
      if (!readText(it.value(), &text, &why))
        return fail(error, file, key + QStringLiteral(": ") + why);
      s.texts.insert(key, text);
    }
    out->append(s);
  }
  if (seen.size() != 17)
    return fail(error, dataDir + QStringLiteral("/reference"),
                QStringLiteral("%1 topics found, keys 1 to 17 are needed").arg(seen.size()));
  std::sort(out->begin(), out->end(), [](const ReferenceSource &a, const ReferenceSource &b) { return a.MKEY < b.MKEY; });
  return true;
}

bool LoadProgrammeSources(const QString &dataDir, QList<ProgrammeSource> *out, QString *error) {
  out->clear();
  QSet<QString> numbers, names;
  for (const QString &file : jsonFiles(dataDir + QStringLiteral("/programmes"))) {
    QJsonObject o;
    if (!readJson(file, &o, error))
      return false;
    ProgrammeSource p;
    p.file = file;
    ProgrammeRecord &rec = p.record;
    QString why;
    const auto text = [&](const char *field, QString *to) {
      const QJsonValue v = o.value(QLatin1String(field));
      if (v.isUndefined()) {
        to->clear();
        return true;
      }
      if (!readText(v, to, &why))
        return fail(error, file, QLatin1String(field) + QStringLiteral(": ") + why);
      return true;
    };
    if (!text("ProNo", &rec.ProNo) || !text("ProName", &rec.ProName) || !text("ProData", &rec.ProData))
      return false;
    for (int k = 1; k <= 5; ++k)
      if (!text(QStringLiteral("ProHel%1").arg(k).toLatin1().constData(), &rec.ProHel[k]))
        return false;
    if (rec.ProNo.isEmpty() || rec.ProName.isEmpty())
      return fail(error, file, QStringLiteral("ProNo and ProName are required"));
    if (numbers.contains(rec.ProNo) || names.contains(rec.ProName))
      return fail(error, file, QStringLiteral("ProNo and ProName must be unique"));
    numbers.insert(rec.ProNo);
    names.insert(rec.ProName);
    for (int k = 1; k <= 5; ++k)
      if (rec.ProHel[k].isEmpty())
        return fail(error, file, QStringLiteral("ProHel%1 is empty").arg(k));
    rec.ProFn = QStringLiteral("0000");
    const QJsonArray rows = o.value(QStringLiteral("conditions")).toArray();
    if (rows.isEmpty())
      return fail(error, file, QStringLiteral("no conditions"));
    int sub = 0;
    for (const QJsonValue &rv : rows) {
      const QJsonObject r = rv.toObject();
      ++sub;
      ProgrammeCondition c;
      c.ProNo = rec.ProNo;
      c.ProSubN = r.value(QStringLiteral("ProSubN")).toString(QString::number(sub));
      if (!readText(r.value(QStringLiteral("ProNote")).toString(), &c.ProNote, &why))
        return fail(error, file, QStringLiteral("ProNote: ") + why);
      c.ProFlg = r.value(QStringLiteral("ProFlg")).toBool();
      c.ProEng = r.value(QStringLiteral("energy")).toDouble();
      c.ProAGL = r.value(QStringLiteral("ageFrom")).toDouble();
      c.ProAGH = r.value(QStringLiteral("ageTo")).toDouble();
      QString cond(kConditionPositions, u'0'), req(kConditionPositions, u'0');
      const QJsonObject when = r.value(QStringLiteral("when")).toObject();
      for (auto it = when.begin(); it != when.end(); ++it) {
        const int n = ConditionPosition(it.key());
        if (n == 0)
          return fail(error, file, QStringLiteral("row %1: unknown position %2").arg(sub).arg(it.key()));
        const int d = ConditionDigit(n, it.value().toString());
        if (d < 0)
          return fail(error, file,
                      QStringLiteral("row %1: %2 cannot be %3").arg(sub).arg(it.key(), it.value().toString()));
        cond[n - 1] = QChar(u'0' + d);
      }
      for (const QJsonValue &name : r.value(QStringLiteral("required")).toArray()) {
        const int n = ConditionPosition(name.toString());
        if (n == 0 || n >= 23)
          return fail(error, file, QStringLiteral("row %1: %2 cannot be required").arg(sub).arg(name.toString()));
        req[n - 1] = u'1';
      }
      for (int n = 1; n <= 22; ++n)
        if (cond[n - 1] == u'0' && req[n - 1] != u'1' && when.contains(positionNames().at(n)))
          return fail(error, file, QStringLiteral("row %1: %2 \"normal\" needs to be required").arg(sub).arg(positionNames().at(n)));
      const QChar age = cond[22], energy = cond[0];
      if ((age == u'1' || age == u'3') && !r.contains(QStringLiteral("ageFrom")))
        return fail(error, file, QStringLiteral("row %1: the age condition needs ageFrom").arg(sub));
      if ((age == u'2' || age == u'3') && !r.contains(QStringLiteral("ageTo")))
        return fail(error, file, QStringLiteral("row %1: the age condition needs ageTo").arg(sub));
      if (energy >= u'4' && !r.contains(QStringLiteral("energy")))
        return fail(error, file, QStringLiteral("row %1: the energy condition needs energy").arg(sub));
      c.ProCond = cond;
      c.ProAnd = req;
      const QString problem = ConditionRowProblem(c);
      if (!problem.isEmpty())
        return fail(error, file, QStringLiteral("row %1: %2").arg(sub).arg(problem));
      p.conditions << c;
    }
    out->append(p);
  }
  if (out->isEmpty())
    return fail(error, dataDir + QStringLiteral("/programmes"), QStringLiteral("no programmes"));
  std::sort(out->begin(), out->end(),
            [](const ProgrammeSource &a, const ProgrammeSource &b) { return a.record.ProNo < b.record.ProNo; });
  return true;
}
