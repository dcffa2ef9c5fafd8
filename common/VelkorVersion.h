#pragma once
// Version constants shown by both programs.

#define VELKOR_VERSION_TEXT "1.0.1"
