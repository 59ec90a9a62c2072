#pragma once
// The report engine's own error: misuse of the printer and faults of the
// page store, with the engine's (English) text.

#include "platform/AppError.h"

class ERepError : public AppError
{
public:
    using AppError::AppError;
};
