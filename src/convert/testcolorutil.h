#pragma once

#include <QHash>
#include <QObject>

#include <array>

class TestValue;

// The colour calibration table: the 256 input levels of a channel fall into 32 bands
// (band 1 is levels 0 to 8, band k levels 8k-7 to 8k, band 32 levels 249 to 255), and each
// band maps to one output level per channel. One table per process, created with the
// factory defaults on first use and edited only for the current run.
class TestColorUtil : public QObject
{
    Q_OBJECT
public:
    static constexpr int bandCount = 32;

    // Safe to call first from several threads at once.
    static TestColorUtil* instance();

    // Calibrated output of one channel for an input level 0..255. A level with no band
    // (below 0 or above 256) gives 0 and a debug line.
    int getTestRValue(int level) const;
    int getTestGValue(int level) const;
    int getTestBValue(int level) const;

    static int bandKey(int level);
    // The factory output levels {r, g, b} of band `key` (1..32).
    static std::array<int, 3> defaultLevels(int key);

    QHash<int, TestValue*> values;  // band key 1..32 -> row, owned by the table

private:
    TestColorUtil();
    int lookup(int level, int TestValue::*channel, const char* getterName) const;
};
