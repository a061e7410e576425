#pragma once

#include "DialogTemplate.h"

const CDialogTemplate& MainDialogTemplate();  // IDD_MAIN
const CDialogTemplate& UnitDialogTemplate();  // IDD_UNIT
const CDialogTemplate& AboutDialogTemplate();  // IDD_ABOUTBOX
