#pragma once
// The exception that file operations of the core raise (a file that cannot be opened,
// read or written, a backup archive that is not acceptable).

#include "base/VelkorError.h"

class EFileError : public EVelkorError
{
public:
    using EVelkorError::EVelkorError;
};
