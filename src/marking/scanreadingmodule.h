#pragma once

#include "marking/scanreading.h"

// The scan reader, from the module nelo-scan-reading (or linked in; see ProgramModule). Throws
// AppError, in French, when it is missing.
const ScanReading &loadScanReading();
