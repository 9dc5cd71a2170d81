#pragma once

#include <QObject>

#include <functional>

class QLineEdit;

// A row's number field (a picture's show time, a clip's loop count) stores only finished
// entries: an empty text, or one below the range ("0" on its way to "0.5"), leaves the value
// as it was. When editing ends on such a text (the field loses the keyboard, or Return), the
// field shows the kept value again and says why in the window's status bar. GUI thread only.
class RowField : public QObject
{
    Q_OBJECT
public:
    // keptText: the text of the value the row holds now; refusal: the sentence shown, with
    // %1 for that text.
    RowField(QLineEdit* field, std::function<QString()> keptText, std::function<QString()> refusal);

    static constexpr int messageMs = 8000;

    // Whether `text` is an entry the field's validator accepts as finished.
    static bool isFinished(const QLineEdit* field, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restoreIfUnfinished();

    QLineEdit* field;
    std::function<QString()> keptText;
    std::function<QString()> refusal;
};
