#pragma once
// Delete mode's work: removing one support, found by its position number,
// from the support tables of a project directory.
#include <QString>

enum DeleteResultCode : int {
    DeleteDone = 0,          // the support's rows were deleted
    DeleteLookupFailed = 1,  // the position number could not be looked up
    DeleteFailed = 2,        // a delete failed; nothing was changed
    DeleteNotFound = 3,      // no support with this position number
};

// Deletes every row of the support with this position number from konstr8,
// konstz8, konbtl8 and konetr8 of the project directory, all or nothing.
int DeleteDrawing(const QString& projectDir, const QString& posNo);
