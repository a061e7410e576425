#pragma once

#include <map>

class QDialog;
class QWidget;
struct CDialogTemplate;

// Gives the dialog the template's font, caption and fixed size, and creates
// its controls in template order, placed by the font's dialog units.
// Returns the controls that have an id.
std::map<int, QWidget*> BuildDialog(QDialog& dialog, const CDialogTemplate& dialogTemplate);
