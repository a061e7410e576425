#pragma once

#include "PlatformServices.h"

#include <QString>

struct CAppNames;

// The platform services as Qt provides them.
class CQtPlatformServices : public IPlatformServices
{
public:
    explicit CQtPlatformServices(const CAppNames& names);

    void ShowMessage(QWidget* owner, const QString& text, const QString& details) override;
    std::optional<QString> ChooseFile(QWidget* owner, EFileChoice choice) override;
    void OpenUrl(const QString& address) override;

private:
    QString m_strApplicationName;
};
