#pragma once
// Version constants shown by both programs.

#define VELKOR_VERSION_TEXT "1.0.1"

// The first line of the logbook's own ADIF exports: this, then the version. The import
// knows its own files by it (they are Windows-1250, whatever their bytes look like).
#define VELKOR_ADIF_HEADER_START "Velkor v"
