#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// A dialog's bound fields, each tied to its edit box, in the order they are
// exchanged. Declared once per dialog; the same list writes every field
// into its control and reads every control back, validating as it goes.
class CDataExchange
{
public:
    // The first entry that refused its control's text.
    struct CFailure
    {
        QLineEdit* control;
        QString message;
    };

    void Text(QLineEdit* control, QString& field);
    void Text(QLabel* control, QString& field);
    // Lines end in CR LF in the field, as the edit box's text reads back.
    void Text(QPlainTextEdit* control, QString& field);
    void Integer(QLineEdit* control, int& field);
    // A check of a field read by an earlier entry; silent when only displaying.
    void Check(QLineEdit* control, const int& field, std::function<bool(int)> isValid, QString message);
    void Range(QLineEdit* control, const int& field, int minimum, int maximum);

    void ToControls() const;
    // Stops at the first failure; the fields after it keep their values.
    std::optional<CFailure> FromControls() const;

private:
    struct CEntry
    {
        QLineEdit* control;  // none for entries that cannot fail
        std::function<void()> toControl;
        std::function<std::optional<QString>()> fromControl;  // the message on failure
    };

    std::vector<CEntry> m_entries;
};
