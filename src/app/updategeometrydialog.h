#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// What the LED count and line number dialogs share: one number field with its range and
// the two buttons. The dialog only asks; the main window confirms and stores the value.
// GUI thread only.
class UpdateGeometryDialog : public QDialog
{
    Q_OBJECT
public:
    // The field's number; 40 when it holds none (an empty field).
    int value() const;

    QLineEdit* field() const { return txtValue; }
    QLabel* label() const { return lblValue; }
    QDialogButtonBox* buttonBox() const { return buttons; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    static constexpr int fallbackValue = 40;

    // Refuses an empty field and a number outside the range (0 would make records of no
    // bytes) with a message and stays open.
    void accept() override;

protected:
    // Texts are translation keys of the subclass's context, looked up by it.
    UpdateGeometryDialog(const QString& title, const QString& labelText, int minimum, int maximum,
                         int current, QWidget* parent);
    virtual QString outOfRangeText() const = 0;

private:
    int m_minimum;
    int m_maximum;
    QLabel* lblValue;
    QLineEdit* txtValue;
    QDialogButtonBox* buttons;
};
