#pragma once

#include <QFileDialog>

// An open chooser that, in the AnyFile mode, accepts a name that does not
// exist yet only after the user agreed to create it; it creates nothing.
class CCreatePromptFileDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override;
};
