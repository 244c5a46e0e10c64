#pragma once
// The INI reader moved below the data layer; the session reads the alias
// file with it too.
#include "platform/IniReader.h"
