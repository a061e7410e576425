#include "Dialog.h"

#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "PlatformServices.h"
#include "QtText.h"
#include "ResourceIds.h"
#include "Usage.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>

CDialog::CDialog(const CDialogTemplate& dialogTemplate, IPlatformServices& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_template(dialogTemplate)
    , m_services(services)
    , m_controls(BuildDialog(*this, dialogTemplate))
{
    if (QAbstractButton* ok = Button(IDOK))
        connect(ok, &QAbstractButton::clicked, this, &CDialog::accept);
    if (QAbstractButton* cancel = Button(IDCANCEL))
        connect(cancel, &QAbstractButton::clicked, this, &CDialog::reject);
}

int CDialog::DoModal()
{
    return exec();
}

bool CDialog::UpdateFields()
{
    const auto failure = m_exchange.FromControls();
    if (!failure)
        return true;
    ShowMessage(failure->message);
    failure->control->setFocus();
    failure->control->selectAll();
    return false;
}

void CDialog::UpdateControls()
{
    m_exchange.ToControls();
}

QWidget* CDialog::Control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QLineEdit* CDialog::Edit(int id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}

QAbstractButton* CDialog::Button(int id) const
{
    return qobject_cast<QAbstractButton*>(Control(id));
}

void CDialog::setVisible(bool visible)
{
    // Initialised once, when first shown, before anything is painted.
    if (visible && !m_bInitialised) {
        m_bInitialised = true;
        InitDialog();
    }
    QDialog::setVisible(visible);
}

void CDialog::accept()
{
    OnOK();
}

void CDialog::OnOK()
{
    if (UpdateFields())
        done(Accepted);
}

void CDialog::ShowMessage(const QString& text)
{
    m_services.ShowMessage(this, text);
}

void CDialog::ShowUsage()
{
    ShowMessage(ToQString(kUsageText));
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        ShowUsage();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDialog::InitDialog()
{
    UpdateControls();
    OnInitDialog();
    FocusFirstTabStop();
}

void CDialog::FocusFirstTabStop()
{
    for (const CControlTemplate& control : m_template.controls) {
        QWidget* widget = Control(control.id);
        if (!(control.style & kTabStop) || !widget || !widget->isEnabled())
            continue;
        widget->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->selectAll();
        return;
    }
}
