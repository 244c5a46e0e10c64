#pragma once
// A test hook: fail the n-th write statement run through the database layer
// with EDBEngineError(dbeInjectedFault). Armed by tests directly, or for the
// executable by the environment variable KORVA_TEST_FAIL_WRITE=n. 0 disarms.
void ArmWriteFault(int nthWrite);
int WriteFaultArmed();
// Called by the layer before every write statement.
void CountWriteForFault();
