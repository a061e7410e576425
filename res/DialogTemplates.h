#pragma once

#include "DialogTemplate.h"

const CDialogTemplate& MainDialogTemplate();
const CDialogTemplate& UnitDialogTemplate();
const CDialogTemplate& AboutDialogTemplate();
