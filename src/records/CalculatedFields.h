#pragma once
// The values of the calculated fields of the subject and measurement lists.
// Dates are day numbers; a value not greater than 4000 counts as not given.
#include "shell/MeridianModel.h"

#include <QString>

QString ListSexText(bool male);                   // Sex_S: "男" / "女"
QString ListAgeText(double birth, double at);     // SoAge, Soa_Age: "%3.1f" years of 365 days, or empty
QString ListDateTimeText(double dayNumber);       // PRESOA_C: short date and long time, or empty
QString ListVotaText(bool highPotential);         // SOVOTA_C: "HI" / "NRM"
QString ListAverageText(const SlotArray &values); // Dta_Avg: mean of all 24 slots, zeros included, "%3.1f"
// A point value with the list format "###.#": no digit is forced, so 0 shows
// empty, 0.5 as ".5" and 12.0 as "12".
QString PointListText(double value);

// The subject list's sort field of a column 1..11 (SubjectSortCode's absolute
// value; 0 and out-of-range values are taken as 1).
QString SubjectSortField(int column);
// Whether the list can be searched in that column (1, 2, 4, 7..11); column 4
// searches a date.
bool SubjectSortSearchable(int column);
// The field a search in that column compares ("NAME" for column 2).
QString SubjectSearchField(int column);
