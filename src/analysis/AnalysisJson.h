#pragma once
// AnalysisResult as one compact JSON object: keys are the field names, arrays
// run from index 1 (the element table as 7 arrays of 3), numbers are the
// shortest text that reads back to the same double, texts are UTF-8.
// Hand-written for speed: tools write millions of these.
#include "analysis/AnalysisResult.h"

#include <QByteArray>
#include <cstddef>
#include <string>

// An upper bound of the bytes WriteAnalysisJson writes for `r`.
std::size_t AnalysisJsonMaxSize(const AnalysisResult &r);
// Writes the object (no line end) at `out`, which must have room for
// AnalysisJsonMaxSize(r) bytes; returns the end of what was written.
char *WriteAnalysisJson(char *out, const AnalysisResult &r);
// Appends the object to `out`.
void AppendAnalysisJson(std::string &out, const AnalysisResult &r);
QByteArray AnalysisResultToJson(const AnalysisResult &r);
