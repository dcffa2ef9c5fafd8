#pragma once
// The exception that the log database routines raise; its text is Czech, with the
// database's own detail appended where it helps.

#include "base/VelkorError.h"

class EDatabaseError : public EVelkorError
{
public:
    using EVelkorError::EVelkorError;
};
