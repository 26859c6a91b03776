#pragma once
// The content sources of the delivered databases, kept as UTF-8 JSON under
// data/ and reviewed like code:
//   data/reference/NN-*.json   one SOMTDB topic each: "MKEY" and its text
//                              fields (a text is a string or a list of
//                              paragraphs joined with line breaks);
//                              "DtGpM": "illustration" draws the meridian's course.
//   data/programmes/*.json     one multi-meridian programme each: "ProNo",
//                              "ProName", "ProData", "ProHel1".."ProHel5" and
//                              "conditions", rows written with names:
//     {"ProSubN": "1", "ProNote": "...", "ProFlg": true,
//      "when": {"LR": "excess", "wood": "above", "sex": "female", "age": "between"},
//      "required": ["LR"], "ageFrom": 45, "ageTo": 58, "energy": 40}
//   Positions: energy upperLower leftRight yinYang highLow, the meridian codes,
//   wood fire earth metal water, age, sex. Words: indices and elements
//   normal|below|above|abnormal (by the grade), energy also
//   energyIs|energyOver|energyUnder (whole µA against "energy"); meridians
//   normal|deficient|excess|abnormal; age from|to|between; sex male|female.
//   "normal" only counts when the position is required.
#include "records/ProgrammeStore.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The text fields of SOMTDB, enciphered with key 1.
const QStringList &SomtdbTextFields();

struct ReferenceSource {
  int MKEY = 0;
  QMap<QString, QString> texts; // field name (as in SomtdbTextFields) -> plain text
  bool illustration = false;
  QString file;
};

struct ProgrammeSource {
  ProgrammeRecord record;            // MKEY unset; ProHel[1..5]
  QList<ProgrammeCondition> conditions;
  QString file;
};

// Both fail with a message naming the file and the field at fault.
bool LoadReferenceSources(const QString &dataDir, QList<ReferenceSource> *out, QString *error);
bool LoadProgrammeSources(const QString &dataDir, QList<ProgrammeSource> *out, QString *error);

// The condition digits of one position word (see above), or -1.
int ConditionDigit(int position, const QString &word);
// The position of a name ("energy", "LU", "wood", "sex", ...), or 0.
int ConditionPosition(const QString &name);
