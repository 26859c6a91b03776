#include "link/HidReportDescriptor.h"

#include <map>
#include <vector>

namespace {
struct Globals {
  quint32 reportSize = 0;
  quint32 reportCount = 0;
  quint32 reportId = 0;
};
} // namespace

HidReportLengths ParseReportDescriptor(const QByteArray &d) {
  // Bits per report ID for each main item kind (0 input, 1 output, 2 feature).
  std::map<quint32, quint64> bits[3];
  Globals g;
  std::vector<Globals> stack;
  HidReportLengths out;

  qsizetype i = 0;
  while (i < d.size()) {
    const quint8 prefix = quint8(d[i]);
    if (prefix == 0xFE) { // long item: size, tag, data
      if (i + 1 >= d.size())
        break;
      i += 3 + quint8(d[i + 1]);
      continue;
    }
    const int size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (i + 1 + size > d.size())
      break; // truncated descriptor: keep what was read
    quint32 value = 0;
    for (int k = 0; k < size; ++k)
      value |= quint32(quint8(d[i + 1 + k])) << (8 * k);
    const int type = (prefix >> 2) & 3;
    const int tag = prefix >> 4;
    if (type == 1) { // global
      switch (tag) {
      case 7: g.reportSize = value; break;
      case 8:
        g.reportId = value;
        out.numbered = true;
        break;
      case 9: g.reportCount = value; break;
      case 10: stack.push_back(g); break;
      case 11:
        if (!stack.empty()) {
          g = stack.back();
          stack.pop_back();
        }
        break;
      default: break;
      }
    } else if (type == 0) { // main
      int kind = -1;
      if (tag == 8)
        kind = 0;
      else if (tag == 9)
        kind = 1;
      else if (tag == 11)
        kind = 2;
      if (kind >= 0)
        bits[kind][g.reportId] += quint64(g.reportSize) * g.reportCount;
    }
    i += 1 + size;
  }

  int *lengths[3] = {&out.input, &out.output, &out.feature};
  for (int kind = 0; kind < 3; ++kind) {
    int longest = 0;
    for (const auto &[id, n] : bits[kind])
      longest = qMax(longest, int((n + 7) / 8));
    *lengths[kind] = longest > 0 ? longest + 1 : 0;
  }
  return out;
}
