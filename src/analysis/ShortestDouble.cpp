#include "analysis/ShortestDouble.h"

#include <cstdint>
#include <cstring>

namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

struct Pow10 {
  u64 hi, lo;
};
constexpr int kMinPow10 = -292;
constexpr Pow10 kPow10[] = {
#include "analysis/ShortestDoubleTable.inc"
};

// floor(q · log10 2), floor(q · log10(3/4 · 2)), floor(e · log2 10), exact
// over the exponents of doubles.
inline int floorLog10Pow2(int q) {
  return (q * 1262611) >> 22;
}
inline int floorLog10ThreeQuartersPow2(int q) {
  return (q * 1262611 - 524031) >> 22;
}
inline int floorLog2Pow10(int e) {
  return (e * 1741647) >> 19;
}

// cp · g / 2^128, rounded to odd: odd whenever the exact product has a
// fraction, so that comparisons with even numbers stay exact.
inline u64 roundToOdd(const Pow10 &g, u64 cp) {
  const u128 x = u128(g.lo) * cp;
  const u128 y = u128(g.hi) * cp + u64(x >> 64);
  const u64 y0 = u64(y), y1 = u64(y >> 64);
  return y1 | (y0 > 1 ? 1 : 0);
}

struct Decimal {
  u64 digits;
  int exponent;
};

// The shortest digits of c · 2^q (c > 0) within its rounding interval,
// nearest to it, ties to an even last digit.
Decimal toDecimal(u64 fraction, int biasedExponent) {
  u64 c;
  int q;
  if (biasedExponent != 0) {
    c = fraction | (u64(1) << 52);
    q = biasedExponent - 1075;
    // Small integers come out directly.
    if (q <= 0 && q > -53 && (c & ((u64(1) << -q) - 1)) == 0)
      return {c >> -q, 0};
  } else {
    c = fraction;
    q = -1074;
  }
  const bool even = (c & 1) == 0;
  const bool closerBelow = fraction == 0 && biasedExponent > 1;
  const u64 cbl = 4 * c - 2 + (closerBelow ? 1 : 0);
  const u64 cb = 4 * c;
  const u64 cbr = 4 * c + 2;

  const int k = closerBelow ? floorLog10ThreeQuartersPow2(q) : floorLog10Pow2(q);
  const int h = q + floorLog2Pow10(-k) + 1;
  const Pow10 &g = kPow10[-k - kMinPow10];
  const u64 vbl = roundToOdd(g, cbl << h);
  const u64 vb = roundToOdd(g, cb << h);
  const u64 vbr = roundToOdd(g, cbr << h);
  const u64 lower = vbl + (even ? 0 : 1);
  const u64 upper = vbr - (even ? 0 : 1);

  // The three outcomes are worked out side by side and one is picked without
  // branches: which one applies is as unpredictable as the values are.
  const u64 s = vb / 4;
  const u64 sp = s / 10;
  const bool upInside = lower <= 40 * sp;
  const bool wpInside = 40 * sp + 40 <= upper;
  const bool shorter = s >= 10 && upInside != wpInside;
  const bool uInside = lower <= 4 * s;
  const bool wInside = 4 * s + 4 <= upper;
  const bool oneInside = uInside != wInside;
  const u64 mid = 4 * s + 2;
  const bool up = vb > mid || (vb == mid && (s & 1) != 0);
  const u64 nearest = s + (oneInside ? u64(wInside) : u64(up));
  return {shorter ? sp + u64(wpInside) : nearest, k + int(shorter)};
}

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr u64 kPowers[20] = {1u,
                             10u,
                             100u,
                             1000u,
                             10000u,
                             100000u,
                             1000000u,
                             10000000u,
                             100000000u,
                             1000000000u,
                             10000000000u,
                             100000000000u,
                             1000000000000u,
                             10000000000000u,
                             100000000000000u,
                             1000000000000000u,
                             10000000000000000u,
                             100000000000000000u,
                             1000000000000000000u,
                             10000000000000000000u};

inline int digitCount(u64 v) { // v > 0
  const int bits = 64 - __builtin_clzll(v);
  const int n = (bits * 1233) >> 12; // floor(log10 2^bits)
  return n + (v >= kPowers[n] ? 1 : 0);
}

// Eight digits of v < 10^8 as eight characters in one word, first digit in
// the lowest byte: each step splits every lane into quotient and remainder
// by a multiplication (x / 100 = x · 10486 >> 20 for x < 10^4, x / 10 =
// x · 103 >> 10 for x < 100).
inline u64 encodeEight(u64 v) {
  const u64 y = (v / 10000) | ((v % 10000) << 32);
  const u64 hundreds = ((y * 10486) >> 20) & 0x0000007F0000007Fu;
  const u64 z = hundreds | ((y - hundreds * 100) << 16);
  const u64 tens = ((z * 103) >> 10) & 0x000F000F000F000Fu;
  return (tens | ((z - tens * 10) << 8)) + 0x3030303030303030u;
}

inline void store16(char *p, u128 v) {
  std::memcpy(p, &v, 16);
}

// The number of significant digits among the 17 left-aligned characters
// (first digit, never '0', and sixteen more): the zeros at the end are found
// in the characters themselves rather than by dividing.
inline int significantDigits(u128 chars) {
  const u128 x = chars ^ ((u128(0x3030303030303030u) << 64) | 0x3030303030303030u);
  const u64 lo = u64(x), hi = u64(x >> 64);
  const int inHi = hi ? 8 + (63 - __builtin_clzll(hi | 1)) / 8 : -1;
  const int inLo = lo ? (63 - __builtin_clzll(lo | 1)) / 8 : -1;
  return 2 + (hi ? inHi : inLo); // -1 (all zeros) gives one digit
}

} // namespace

char *WriteShortestDouble(char *out, double value) {
  u64 bits;
  std::memcpy(&bits, &value, sizeof bits);
  *out = '-';
  out += bits >> 63;
  const u64 fraction = bits & ((u64(1) << 52) - 1);
  const int biased = int((bits >> 52) & 0x7ff);
  if (biased == 0 && fraction == 0) {
    *out++ = '0';
    return out;
  }
  const Decimal d = toDecimal(fraction, biased);

  // The digits left-aligned to 17 places: the first one and a pair of words
  // of sixteen characters, put in place by whole-word stores only (bytes past
  // the end are scratch that the caller's next write covers).
  const int rawDigits = digitCount(d.digits);
  const u64 left = d.digits * kPowers[17 - rawDigits];
  const u64 first = left / 10000000000000000u;
  const u64 rest = left - first * 10000000000000000u;
  const u64 hi = rest / 100000000;
  const u128 chars = u128(encodeEight(hi)) | (u128(encodeEight(rest - hi * 100000000)) << 64);
  const char lead = char('0' + first);

  const int n = significantDigits(chars);
  const int sci = d.exponent + rawDigits - 1; // exponent of the scientific form
  const int e = sci - n + 1;                  // value = n digits · 10^e
  const int sciExpDigits = (sci < 0 ? -sci : sci) >= 100 ? 3 : 2;
  const int sciLength = n + (n > 1 ? 1 : 0) + 2 + sciExpDigits;
  const int fixedLength = e >= 0 ? n + e : n + e > 0 ? n + 1 : 2 - e;

  if (fixedLength <= sciLength) {
    if (e >= 0) {
      if (biased - 1075 <= 0 || biased == 0) { // a whole number below 2^53: its digits are all there
        out[0] = lead;
        store16(out + 1, chars);
        return out + n + e;
      }
      // From 2^53 on, the fixed form is as long as the shortest digits with
      // zeros appended, and the exact whole number is nearer: write that.
      u128 v = u128(fraction | (u64(1) << 52)) << (biased - 1075);
      char tmp[48];
      char *p = tmp + sizeof tmp;
      do {
        const u128 t = v / 10;
        *--p = char('0' + int(v - t * 10));
        v = t;
      } while (v != 0);
      const std::size_t len = std::size_t(tmp + sizeof tmp - p);
      std::memcpy(out, p, len);
      return out + len;
    }
    if (n + e > 0) { // the point after sci + 1 digits
      // All digits, then the ones after the point again one place further
      // on, the point between: stores of whole words from registers only.
      out[0] = lead;
      store16(out + 1, chars);
      store16(out + 2 + sci, chars >> (8 * sci));
      out[1 + sci] = '.';
      return out + n + 1;
    }
    // 0.000ddd, at most three zeros after the point when fixed is shorter.
    const int zeros = -(n + e);
    std::memcpy(out, "0.0000000000000000", 18);
    out[2 + zeros] = lead;
    store16(out + 3 + zeros, chars);
    return out + 2 - e;
  }

  // Scientific: d[.ddd]e±XX.
  out[0] = lead;
  out[1] = '.';
  store16(out + 2, chars);
  char *p = n > 1 ? out + n + 1 : out + 1;
  *p++ = 'e';
  int x = sci;
  *p++ = x < 0 ? '-' : '+';
  if (x < 0)
    x = -x;
  if (x >= 100) {
    *p++ = char('0' + x / 100);
    x %= 100;
  }
  std::memcpy(p, kTwoDigits + 2 * x, 2);
  return p + 2;
}
