#include "shell/Gbk.h"

#include <cerrno>
#include <iconv.h>

namespace {
QByteArray convert(const char *to, const char *from, const QByteArray &in) {
  if (in.isEmpty())
    return {};
  iconv_t cd = iconv_open(to, from);
  if (cd == iconv_t(-1))
    return in;
  QByteArray out;
  out.resize(in.size() * 4 + 16);
  char *src = const_cast<char *>(in.constData());
  size_t srcLeft = size_t(in.size());
  char *dst = out.data();
  size_t dstLeft = size_t(out.size());
  while (srcLeft > 0) {
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1)) {
      if (errno == EILSEQ || errno == EINVAL) {
        // An unmappable character becomes '?' and conversion goes on.
        if (dstLeft == 0)
          break;
        *dst++ = '?';
        --dstLeft;
        // Skip one UTF-8 sequence or one byte of GBK.
        size_t skip = 1;
        if (qstrcmp(from, "UTF-8") == 0) {
          const unsigned char c = static_cast<unsigned char>(*src);
          skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        }
        skip = qMin(skip, srcLeft);
        src += skip;
        srcLeft -= skip;
      } else {
        break;
      }
    }
  }
  out.resize(out.size() - int(dstLeft));
  iconv_close(cd);
  return out;
}
} // namespace

QByteArray ToGbk(const QString &text) { return convert("GBK", "UTF-8", text.toUtf8()); }

QString FromGbk(const QByteArray &bytes) { return QString::fromUtf8(convert("UTF-8", "GBK", bytes)); }
