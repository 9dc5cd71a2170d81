#pragma once

#include <QObject>

class QIntValidator;

// One band of the calibration table: eight input levels share these output levels.
// The colour settings window connects its line edits to the slots and gives them the
// band's validator. Fields are written on the GUI thread and read by conversions on any
// thread, one int at a time.
class TestValue : public QObject
{
    Q_OBJECT
public:
    TestValue(int r, int g, int b);

    int r;
    int g;
    int b;
    QIntValidator* validator;  // 0 to 255, a child of this row

public slots:
    void onTxtRChanged(const QString& text);
    void onTxtGChanged(const QString& text);
    void onTxtBChanged(const QString& text);
};
