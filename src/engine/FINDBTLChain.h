#pragma once
#include "platform/Numbers.h"
#include <QString>
#include <cstdint>
// The component chain of one support (the component half of the FINDBTL
// unit; the product lookup is in FINDBTL.h): the walks over the positions
// of the arrangement, the building connection at the top, the connection
// parts and the main unit, rods divided into stock pieces, the dynamic walk
// with its rod walk, the cold-support and R walks, and the chain end that
// copies the chain into the support record. Results in TableStatus (0 the
// chain is complete, a warning may stay in MessageNumber; 1 failed; 6
// aborted; 7 the configuration does not fit) and MessageNumber.

void SelectComponents();
void ResetComponentState();
void SetLoadLevel();
// The load-level text kind SetLoadLevel chose ("LGC", "LGP", "LGE", "LGD").
QString LoadLevelKind();
// The value the last warning of the R walk shows (a rod length, a height).
double ComponentWarningValue();
// The number of the warning the component step left since it was last
// cleared (0: none), whatever MessageNumber holds from before.
int16_t ComponentWarningNumber();
// Leaves a warning (status untouched) with the one value its text shows.
void LeaveComponentWarning(int16_t number, double value);
// Forgets the warning left, before a component pass.
void ClearComponentWarning();
// The component step of this selection changed the building connection to
// a weld bracket (73) for a heavy hanger (message 2622).
bool BuildingConnectionChanged();

// Walk of letter 5 'E' (and the double and plain walks): the building
// connection; position is advanced past the positions it fills.
void SelectFirstComponent(int& position);
void SelectConnectionPart();
// Rod k of the walk: divides CurrentRodLength into stock pieces behind the
// chain end and leaves the rest length in rest.
void DivideRod(int rod, Extended& rest);
void AddRodPieceWeight(int rod, int pieces, bool coupling);
void SelectDynamicUnit(const QString& positionType);
void AdjustDynamicCapacity();
void ApplyArmAngle();
void AdjustSegmentForAngle();
void FinishChain();

// Replaces the first rod marker 390 of the chain by (number, quantity);
// false when the chain holds none.
bool ReplaceRodMarker(double number, int16_t quantity);

// The driver's steps of this library: clamp, components, load-group check
// and the step state reset, installed into the given step set.
struct SelectionSteps;
void InstallComponentSteps(SelectionSteps& steps);
