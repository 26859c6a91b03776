#pragma once
// The shortest decimal text that reads back to the same double, written the
// way std::to_chars(first, last, value) writes it (fixed or scientific,
// whichever is shorter, fixed on a tie), about three times faster. The
// digits are found by the Schubfach method (R. Giulietti, "The Schubfach way
// to render doubles", 2020): one 128-bit multiplication per bound.

// Writes a finite `value` at `out` and returns the end: at most 24 bytes of
// text, but `out` must have room for 48 (it copies in fixed-size blocks).
// std::to_chars is the reference it is tested against.
char *WriteShortestDouble(char *out, double value);
