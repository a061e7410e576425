#pragma once

#include "DialogTemplate.h"

const CDialogTemplate& MainDialogTemplate();
const CDialogTemplate& UnitDialogTemplate();
const CDialogTemplate& AboutDialogTemplate();
// The window of a long conversion: the source's name, a progress bar and "취소".
const CDialogTemplate& ProgressWindowTemplate();
