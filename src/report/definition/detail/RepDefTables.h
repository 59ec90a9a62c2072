#pragma once
// The table of every class a definition knows: the report, its bands and
// printables, and the base classes whose properties they share.

#include "report/definition/detail/RepDefClass.h"

const TRepDefClasses &RepDefClasses();
