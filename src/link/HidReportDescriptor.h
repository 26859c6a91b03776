#pragma once
// Report lengths from a HID report descriptor, as the device declares them:
// the longest input, output and feature report in bytes, report ID byte
// included (also when the device numbers no reports, where it is 0). hidraw
// gives the descriptor but not the lengths, so they are computed here.
//
// Example, a vendor device with 64-byte reports and no report IDs:
//
//   06 00 FF   usage page FF00          15 00      logical minimum 0
//   09 01      usage 1                  26 FF 00   logical maximum 255
//   A1 01      collection (application) 75 08      report size 8 bits
//   95 40      report count 64          09 01 81 02  input (64 bytes)
//   95 40      report count 64          09 01 91 02  output (64 bytes)
//   C0         end collection
//
// gives input 65, output 65, feature 0, numbered false.
#include <QByteArray>

struct HidReportLengths {
  int input = 0;
  int output = 0;
  int feature = 0;
  bool numbered = false; // the device uses report IDs
};

HidReportLengths ParseReportDescriptor(const QByteArray &descriptor);
