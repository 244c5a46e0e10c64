#pragma once
// Helpers the clamp, component and rod steps share: digits of the search
// key and of product numbers, arrangement positions, boxes with the values
// of a message, lengths in feet and inches.
#include "platform/Numbers.h"

#include <QString>
#include <QVariantList>
#include <cstdint>

// Digits first..first+count-1 (1-based) of the search key.
void SetKeyDigits(int first, int count, int64_t value);
int KeyDigits(int first, int count);
// The key from type digits and the rest zero: "660" + group ... as text.
void SetKeyText(const QString& digits);
// A product number as its 8 digits, and some of them as a value.
QString NumberDigits(double number);
int DigitsOf(double number, int first, int count);
// The number with digits first..first+count-1 replaced.
double WithDigits(double number, int first, int count, int64_t value);

// The 3-character part type of arrangement position i (1..16).
QString PositionType(int i);
void SetPositionType(int i, const QString& type);

// A message text with its values: each %d, %s, %f (also %.3f) takes the
// next value in turn; values left over follow after a blank.
QString FormatMessage(const QString& text, const QVariantList& values);
// The translated text of a message number with its values, and its
// information box.
QString MessageWithValues(int number, const QVariantList& values);
void InformationBox(int number, const QVariantList& values = {});
// Inches in a millimetre, for the lengths the steps show in inch.
constexpr Extended InchPerMm = 0.03937007874015748L;
// Lengths for a box: per length the whole feet and the inches left over
// (imperial), or whole millimetres.
QVariantList LengthValues(bool imperial, std::initializer_list<Extended> mm);

// Message numbers of faults the later steps refuse.
constexpr int MsgClampClassSpan = 7211;        // class temperatures give no span to interpolate over
constexpr int MsgLoadGroupAboveLast = 7212;    // the load group would have to rise above 24
constexpr int MsgRestartLimit = 7213;          // a step restarted more often than it can need
constexpr int MsgChainTooLong = 7214;          // more parts than the support record holds
constexpr int MsgBearingGeometry = 7215;       // pipe-bearing shoe wider than the pipe
constexpr int MsgStanchionDivisor = 7216;      // stanchion lever arm of 0
constexpr int MsgArmAngleRange = 7217;         // arm angle whose height correction has no 16-bit value

// Notes of the steps: the heights a pulling spring set anew (mm; feet and
// inches).
constexpr int MsgSpringHeights = 7221;
constexpr int MsgSpringHeightsImperial = 7222;
