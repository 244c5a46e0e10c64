#include "host/GlobalVars4KORVA_MDS.h"

QString InputFileName;
QString OutputFileName;
QString CmdProjectDir;
QString DeletePosNo;
bool ConfigureMode = false;
QString CurrentParam;

QString MdsHangerMark;
QString MdsDwgNo;
double MdsLoadNormal = 0;
double MdsLoadEmergency = 0;
double MdsLoadFailure = 0;
double MdsLoadHydro = 0;
QString MdsPipeSize;
int32_t MdsTemp = 0;
double MdsInsulation = 0;
double MdsPipeX = 0;
double MdsPipeY = 0;
double MdsPipeZ = 0;
double MdsAlpha = 0;
double MdsAlpha35 = 0;
double MdsYAngle = 0;
double MdsStaticLateral = 0;
double MdsStaticHorizontal = 0;
double MdsStaticVertical = 0;
double MdsDynPositive = 0;
double MdsDynNegative = 0;
QString MdsSteelElevLeft;
QString MdsSteelElevRight;
QString MdsPipeElev;
QString MdsSteelWidth;
QString MdsRodLength;
QString MdsProfileLeft;
QString MdsProfileRight;
QString MdsConfig;
bool MdsLengthGiven = false;
double MdsJointFlangeWidth = 0;
double MdsJointFlangeThickness = 0;
double MdsJointBeamHeight = 0;
bool MdsJointRotate = false;

int32_t ExistingDrawingKey = 0;

void ResetHostGlobals() {
    InputFileName.clear();
    OutputFileName.clear();
    CmdProjectDir.clear();
    DeletePosNo.clear();
    ConfigureMode = false;
    CurrentParam.clear();
    MdsHangerMark.clear();
    MdsDwgNo.clear();
    MdsLoadNormal = MdsLoadEmergency = MdsLoadFailure = MdsLoadHydro = 0;
    MdsPipeSize.clear();
    MdsTemp = 0;
    MdsInsulation = MdsPipeX = MdsPipeY = MdsPipeZ = 0;
    MdsAlpha = MdsAlpha35 = MdsYAngle = 0;
    MdsStaticLateral = MdsStaticHorizontal = MdsStaticVertical = 0;
    MdsDynPositive = MdsDynNegative = 0;
    MdsSteelElevLeft.clear();
    MdsSteelElevRight.clear();
    MdsPipeElev.clear();
    MdsSteelWidth.clear();
    MdsRodLength.clear();
    MdsProfileLeft.clear();
    MdsProfileRight.clear();
    MdsConfig.clear();
    MdsLengthGiven = false;
    MdsJointFlangeWidth = MdsJointFlangeThickness = MdsJointBeamHeight = 0;
    MdsJointRotate = false;
    ExistingDrawingKey = 0;
}
