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

// Strips the trailing zeros of digits (up to 31 of them) in a few steps
// rather than one division a zero.
template <int Step> inline void stripStep(u64 &digits, int &exponent) {
  constexpr u64 p = kPowers[Step];
  const u64 q = digits / p;
  const bool divisible = q * p == digits;
  digits = divisible ? q : digits;
  exponent += divisible ? Step : 0;
}
inline void stripZeros(u64 &digits, int &exponent) {
  stripStep<16>(digits, exponent);
  stripStep<8>(digits, exponent);
  stripStep<4>(digits, exponent);
  stripStep<2>(digits, exponent);
  stripStep<1>(digits, exponent);
}

// The n digits of v at out[0..n).
inline void writePair(char *p, std::uint32_t v) {
  std::memcpy(p, kTwoDigits + 2 * v, 2);
}

// Eight digits of v < 10^8 in independent steps.
inline void writeEight(char *p, std::uint32_t v) {
  const std::uint32_t a = v / 10000, b = v % 10000;
  writePair(p, a / 100);
  writePair(p + 2, a % 100);
  writePair(p + 4, b / 100);
  writePair(p + 6, b % 100);
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

inline void store16(char *p, u128 v) { std::memcpy(p, &v, 16); }

// v < 10^20 as exactly twenty digits, with leading zeros.
inline void writeTwenty(char *out, u64 v) {
  const u64 hi = v / 10000000000000000u; // < 10^4
  const u64 rest = v - hi * 10000000000000000u;
  const u64 mid = rest / 100000000;
  const std::uint32_t h = std::uint32_t(hi);
  writePair(out, h / 100);
  writePair(out + 2, h % 100);
  writeEight(out + 4, std::uint32_t(mid));
  writeEight(out + 12, std::uint32_t(rest - mid * 100000000));
}

// Exactly n digits of v at out[0..n), with leading zeros where v is shorter.
inline void writeDigits(char *out, u64 v, int n) {
  char *p = out + n;
  while (p - out >= 8) {
    const u64 q = v / 100000000;
    p -= 8;
    writeEight(p, std::uint32_t(v - q * 100000000));
    v = q;
  }
  std::uint32_t w = std::uint32_t(v);
  while (p - out >= 2) {
    p -= 2;
    writePair(p, w % 100);
    w /= 100;
  }
  if (p > out)
    *--p = char('0' + w % 10);
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
  Decimal d = toDecimal(fraction, biased);
  stripZeros(d.digits, d.exponent);
  const int n = digitCount(d.digits);
  const int e = d.exponent;  // value = digits · 10^e
  const int sci = e + n - 1; // exponent of the scientific form
  const int sciExpDigits = (sci < 0 ? -sci : sci) >= 100 ? 3 : 2;
  const int sciLength = n + (n > 1 ? 1 : 0) + 2 + sciExpDigits;
  int fixedLength;
  if (e >= 0)
    fixedLength = n + e;
  else if (n + e > 0)
    fixedLength = n + 1;
  else
    fixedLength = 2 - e;

  if (fixedLength <= sciLength) {
    if (e > 0) {
      const int q = biased - 1075;
      if (q <= 0) { // an exact whole number below 2^53
        writeDigits(out, d.digits, n);
        std::memset(out + n, '0', std::size_t(e));
        return out + n + e;
      }
      // From 2^53 on, the fixed form is as long as the shortest digits with
      // zeros appended, and the exact whole number is nearer: write that.
      u128 v = u128(fraction | (u64(1) << 52)) << q;
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
    // The digits left-aligned to 17 places: the first one and a word pair of
    // sixteen characters, put in place by whole-word stores only (bytes past
    // the end are scratch that the caller's next write covers).
    const u64 left = d.digits * kPowers[17 - n];
    const u64 first = left / 10000000000000000u;
    const u64 rest = left - first * 10000000000000000u;
    const u64 hi = rest / 100000000;
    const u128 chars = u128(encodeEight(hi)) | (u128(encodeEight(rest - hi * 100000000)) << 64);
    if (n + e > 0) { // whole digits, and the point inside them unless e is 0
      out[0] = char('0' + first);
      if (e == 0) {
        store16(out + 1, chars);
        return out + n;
      }
      const int shift = 8 * (n + e - 1); // the point goes after n + e digits
      const u128 below = (u128(1) << shift) - 1;
      store16(out + 1, (chars & below) | (u128('.') << shift) | ((chars & ~below) << 8));
      out[17] = char(chars >> 120);
      return out + n + 1;
    }
    // 0.000ddd, at most four zeros after the point when fixed is shorter.
    const int zeros = -(n + e);
    std::memcpy(out, "0.0000000000000000", 18);
    out[2 + zeros] = char('0' + first);
    store16(out + 3 + zeros, chars);
    return out + 2 - e;
  }
  // Scientific: d[.ddd]e±XX.
  writeDigits(out + 1, d.digits, n);
  out[0] = out[1];
  char *p = out + 1;
  if (n > 1) {
    *p = '.';
    p += n;
  }
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
