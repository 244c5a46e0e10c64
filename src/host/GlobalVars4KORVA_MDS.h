#pragma once
// The host globals: what the host told the program through the command
// line, the environment and the host input file. Set once at start, read by
// the start modes and the input form for the rest of the run.
#include <QString>
#include <cstdint>

// Command line and environment.
extern QString InputFileName;   // KORVA_INPUTFILE, replaced by "/IF:"
extern QString OutputFileName;  // KORVA_OUTPUTFILE, replaced by "/OF:"
extern QString CmdProjectDir;   // "/PD:"
extern QString DeletePosNo;     // "/DEL:"; not empty selects delete mode
extern bool ConfigureMode;      // "/CONFIGURE_CONF"
extern QString CurrentParam;    // the parameter being examined while parsing

// Values of the host input file.
extern QString MdsHangerMark;
extern QString MdsDwgNo;
extern double MdsLoadNormal;
extern double MdsLoadEmergency;
extern double MdsLoadFailure;
extern double MdsLoadHydro;
extern QString MdsPipeSize;
extern int32_t MdsTemp;
extern double MdsInsulation;
extern double MdsPipeX;
extern double MdsPipeY;
extern double MdsPipeZ;
extern double MdsAlpha;
extern double MdsAlpha35;
extern double MdsYAngle;
extern double MdsStaticLateral;
extern double MdsStaticHorizontal;
extern double MdsStaticVertical;
extern double MdsDynPositive;
extern double MdsDynNegative;
extern QString MdsSteelElevLeft;
extern QString MdsSteelElevRight;
extern QString MdsPipeElev;
extern QString MdsSteelWidth;
extern QString MdsRodLength;
extern QString MdsProfileLeft;
extern QString MdsProfileRight;
extern QString MdsConfig;
extern bool MdsLengthGiven;
extern double MdsJointFlangeWidth;
extern double MdsJointFlangeThickness;
extern double MdsJointBeamHeight;
extern bool MdsJointRotate;

// Written by the input form at start: the drawing key of the stored support
// whose position number is the hanger mark, 0 when there is none.
extern int32_t ExistingDrawingKey;

// Back to the values at program start (used between runs inside one test).
void ResetHostGlobals();
