#pragma once
// The calculation state of the current support (CalcGlobals), the last
// message text, message texts by number, the message wrappers, two text
// routines and the scrambling pair of the options password.
#include "platform/Numbers.h"
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class QWidget;

// One entry of the component chain: a product number (or a chain marker:
// 390, 1..5, 999) and its quantity.
struct ChainPart {
    double ProductNumber = 0;
    int16_t Quantity = 0;
};

// One rod of the component chain: chain index of its marker, number of
// piece entries, a second value, load group and multiplicity.
struct RodRecord {
    int16_t ChainIndex = 0;
    int16_t PieceCount = 0;
    int16_t SecondValue = 0;
    int16_t LoadGroup = 0;
    int16_t Multiplicity = 0;
};

// The calculation state. Fixed-width display fields are char arrays without
// terminator, written and read with CblTools; the engine resets its part at
// the start of every selection.
struct TCalcGlobals {
    // The product number being worked on, as 8 zoned digits: the key handed
    // to the catalogue access and the number found on return.
    char SearchKey[8];
    // The catalogue number shown in messages (6 characters after the key).
    char DisplayPartNumber[6];
    char WantedProductNumberText[8];

    // Catalogue access protocol.
    char TableOpCode[2];      // "S ", "RN", "RD", "RR", "S1", "R1", "RX", "OI", "C "
    int16_t TableStatus{};      // 0 found / step succeeded
    int16_t MessageNumber{};    // the message that explains the last failure

    // Price and variant switches of the catalogue copies.
    bool HDRequest{};                 // the support asks for hot-dip galvanised parts
    bool PriceSuffixRequest{};        // look prices up with "-PS" / "-SP"
    QString RsrlVariantCode{};        // "1".."4": clamp variants G2A, G2P, G3, G4
    bool ExtendedLoadOption{};        // extended load range of high-temperature clamps
    int32_t PriceIndex{};             // price list 1 or 2, 0 = not yet known
    double PriceDiscountPercent{};
    QString ClampMaterialChoice{};    // " ", "+" or "-"

    // Options held while the program runs.
    QString HDFlags{};                // 35 characters '1'/'0', one per product type
    bool CNStandard{};                // "CN Standard" option (stored as K_RES_BOL1)
    bool LogoFlag{};                  // print logo switched on
    QString LogoFile{};               // print logo file
    QString OptionsPassword{};        // plain text, at most 10 characters

    // Support being stored / loaded.
    QString DrawingKeyText{};         // K_NR (5 digits) + K_LFD_NR (4 digits)
    bool StressNotDynamic{};
    bool StressCold{};

    // Engine state: loads in kN, weights in kg, lengths in mm.
    double DesignLoad{};
    double MainUnitNumber{};
    int16_t SupportLoadGroup{};
    int16_t ComponentLoadGroup{};
    int16_t MainUnitLoadGroup{};
    int16_t SecondLoadGroup{};
    int16_t SecondComponentLoadGroup{};
    int16_t MainUnitRangeIndex{};
    int16_t ChosenBlockingPosition{};
    char ClampPreselectMode{' '};        // ' ' or '8'
    bool RepeatPassFlag{};
    bool BlockingPositionDone{};
    int32_t BlockingRangeMin{};
    int32_t BlockingRangeMax{};
    bool ConstantHangerChosen{};
    double BlockingSizingLoad{};
    double BlockingHalfCapacity{};
    double BlockingNominalTravel{};
    double BlockingWorkingTravel{};
    char PreselectedLoadNumber[6];  // "000000" = none
    int32_t PreselectedProductNumber{};
    bool TravelCheckEnabled{};
    double HorizontalHalvingMark{};
    double LateralHalvingMark{};
    bool HorizontalNoteShown{};
    bool LateralNoteShown{};
    double LateralTravelAngle{};
    double HorizontalTravelAngle{};
    double RodLength{};
    double DeadWeight{};
    bool DeadWeightPassDone{};
    double SecondPassWeight{};
    bool WeighParts{};
    bool ConnectingPlateNote{};
    int16_t SelectionMode{};
    std::array<int32_t, 5> SegmentHeights{};
    double ConnectionHeightOffset{};
    double ComponentHeightTop{};
    double ComponentHeightMiddle{};
    double ComponentHeightBottom{};
    bool VorkosFlag{};
    std::array<int16_t, 16> SizeDimensionTable{};

    // Clamp step.
    int16_t ClampLoadGroup{};
    double FirstCandidateNumber{};
    double AlternativeNumber{};
    double ClampRejectReason{1};
    bool InteractiveClampQuestions{};
    bool ClampAnswerAll{};
    int32_t LastClampAnswer{};
    int16_t SpecialVariantCount{};

    // Component chain.
    std::array<ChainPart, 40> ChainPartTable{};
    int32_t ChainPartIndex{};
    Extended RunningHeight{};
    std::array<int32_t, 5> RodLengths{};  // 999999 = empty
    int32_t ChainEnd{};
    int32_t ChainHeight{};
    int32_t RodCount{};
    std::array<RodRecord, 5> RodRecords{};
    Extended CurrentRodLength{};
    int32_t StrutRangeMin{999999};
    int32_t StrutRangeMax{};
    int16_t DynamicHeightOffset{};
    bool InclinedArmFlag{};
    int16_t ArmWidth{};
    std::array<int16_t, 3> AccessoryKinds{};   // 99 = free slot
    std::array<int16_t, 3> AccessoryCounts{};
    int32_t AccessoryCount{};
    // Values of the clamp, cold-support and component steps that the input
    // form or the first component leaves for later positions.
    double TopPartNumber{};               // the top part of the chain
    int16_t ArmSpan{};                    // arm dimension of the input form
    int16_t InsulationThicknessIndex{};   // digits 5-6 of a type-56 key
    int16_t StanchionKind{};              // 0, 1 or 2; copied to K_STANCHION_ZHL
    int16_t LiftOffType{3};               // 3 without, 5 with lift-off guard
    // The input form's copies: the angle of the type-35 bracket (K_ALPHA35)
    // and the beam profile of a beam clamp (flange width and thickness in
    // whole mm, the profile name).
    double Alpha35Angle{};
    int16_t ProfileFlangeWidth{};
    int16_t ProfileFlangeThickness{};
    QString ProfileName{};

    // Results read by the output writer.
    double WeldValue{};
    double OutputAlpha{};        // printed after "Alpha = "
    double OutputDeltaLSlca{};   // printed after "Delta l SLCA = "

    // Display fields blank (the preselected load number "000000"), empty
    // rod slots 999999, free accessory slots 99.
    TCalcGlobals();
    // Back to the start values above.
    void Reset() { *this = TCalcGlobals(); }
};

extern TCalcGlobals CalcGlobals;

// The text of the last message (written by the selection driver).
extern QString LastMessage;

// The string-table entry of a number: "RS" + number for a message, the text
// itself for the other entries (the product-type names, which the caller
// translates through the dictionary it means), else "Unknown Error occured,
// No. <number>".
QString ErrorTextByNumber(int number);
bool StringTableHasNumber(int number);

// Message wrappers: each shows its box with the active form as owner and
// returns the box's modal result.
int MsgInformation(const QString& text);
int MsgInformationYesNo(const QString& text);
int MsgWarningYesNo(const QString& text);
int MsgWarning(const QString& text);
int MsgConfirmYesNoAll(const QString& text);

QString RemoveBlanks(const QString& text);
QString ReplaceFirst(const QString& text, const QString& search, const QString& replacement);

// The options password is kept in the registry only scrambled. Same length
// in and out; printable ASCII stays printable ASCII.
QString ScrambleText(const QString& text);
QString UnscrambleText(const QString& text);
