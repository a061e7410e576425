#include "DataExchange.h"

#include "IntegerText.h"
#include "QtText.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

void CDataExchange::Text(QLineEdit* control, QString& field)
{
    m_entries.push_back({control, [control, &field] { control->setText(field); },
        [control, &field]() -> std::optional<QString> {
            field = control->text();
            return std::nullopt;
        }});
}

void CDataExchange::Text(QLabel* control, QString& field)
{
    m_entries.push_back({nullptr, [control, &field] { control->setText(field); },
        [control, &field]() -> std::optional<QString> {
            field = control->text();
            return std::nullopt;
        }});
}

void CDataExchange::Text(QPlainTextEdit* control, QString& field)
{
    m_entries.push_back({nullptr, [control, &field] { control->setPlainText(field); },
        [control, &field]() -> std::optional<QString> {
            field = control->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
            return std::nullopt;
        }});
}

void CDataExchange::Integer(QLineEdit* control, int& field)
{
    m_entries.push_back({control, [control, &field] { control->setText(QString::number(field)); },
        [control, &field]() -> std::optional<QString> {
            const auto value = ParseIntegerText(control->text());
            if (!value)
                return ToQString(LoadResString(IDS_ENTER_INTEGER));
            field = *value;
            return std::nullopt;
        }});
}

void CDataExchange::Check(QLineEdit* control, const int& field, std::function<bool(int)> isValid, QString message)
{
    m_entries.push_back({control, [] {},
        [&field, isValid = std::move(isValid), message = std::move(message)]() -> std::optional<QString> {
            if (isValid(field))
                return std::nullopt;
            return message;
        }});
}

void CDataExchange::Range(QLineEdit* control, const int& field, int minimum, int maximum)
{
    const QString message = ToQString(LoadResString(IDS_ENTER_INTEGER_RANGE)).arg(minimum).arg(maximum);
    Check(control, field, [minimum, maximum](int value) { return value >= minimum && value <= maximum; }, message);
}

void CDataExchange::ToControls() const
{
    for (const CEntry& entry : m_entries)
        entry.toControl();
}

std::optional<CDataExchange::CFailure> CDataExchange::FromControls() const
{
    for (const CEntry& entry : m_entries)
        if (auto message = entry.fromControl())
            return CFailure{entry.control, std::move(*message)};
    return std::nullopt;
}
