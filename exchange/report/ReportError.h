#pragma once
// The exception of the report engine: a missing or broken report project, a rendered
// file that cannot be written or read, a printer that refuses the job.

#include "base/VelkorError.h"

class EReportError : public EVelkorError
{
public:
    using EVelkorError::EVelkorError;
};
