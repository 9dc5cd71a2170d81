#include "testcolorutil.h"

#include "testvalue.h"

#include <QDebug>
#include <QMutex>

#include <atomic>

namespace {
QMutex instanceLock;
std::atomic<TestColorUtil*> theInstance{nullptr};

// Factory calibration, bands 1 to 32: red output, then green (blue is the same).
constexpr int defaultRed[TestColorUtil::bandCount] = {
    0, 0, 1, 3, 5, 8, 11, 15, 20, 25, 30, 36, 42, 48, 55, 63,
    71, 79, 88, 97, 106, 116, 126, 137, 150, 165, 180, 195, 210, 225, 240, 255};
constexpr int defaultGreenBlue[TestColorUtil::bandCount] = {
    0, 1, 2, 3, 4, 5, 6, 7, 10, 12, 14, 16, 18, 20, 23, 26,
    30, 34, 38, 42, 47, 52, 58, 64, 71, 78, 86, 94, 104, 112, 120, 128};
} // namespace

TestColorUtil::TestColorUtil()
{
    for (int key = 1; key <= bandCount; ++key) {
        const auto levels = defaultLevels(key);
        values.insert(key, new TestValue(levels[0], levels[1], levels[2]));
    }
}

std::array<int, 3> TestColorUtil::defaultLevels(int key)
{
    return {defaultRed[key - 1], defaultGreenBlue[key - 1], defaultGreenBlue[key - 1]};
}

TestColorUtil* TestColorUtil::instance()
{
    TestColorUtil* table = theInstance.load(std::memory_order_acquire);
    if (table)
        return table;
    QMutexLocker locker(&instanceLock);
    table = theInstance.load(std::memory_order_relaxed);
    if (!table) {
        table = new TestColorUtil;  // lives as long as the process
        theInstance.store(table, std::memory_order_release);
    }
    return table;
}

int TestColorUtil::bandKey(int level)
{
    // The ceiling of level / 8, with level 0 in band 1. Negative levels give keys below 1.
    int key = level / 8;
    if (level % 8 > 0)
        ++key;
    return key == 0 ? 1 : key;
}

int TestColorUtil::lookup(int level, int TestValue::*channel, const char* getterName) const
{
    const int key = bandKey(level);
    if (const TestValue* row = values.value(key))
        return row->*channel;
    qDebug().noquote() << "#####" << getterName << "not find TestValue obj d =" << key;
    return 0;
}

int TestColorUtil::getTestRValue(int level) const
{
    return lookup(level, &TestValue::r, "getTestRValue()");
}

int TestColorUtil::getTestGValue(int level) const
{
    return lookup(level, &TestValue::g, "getTestGValue()");
}

int TestColorUtil::getTestBValue(int level) const
{
    return lookup(level, &TestValue::b, "getTestBValue()");
}
