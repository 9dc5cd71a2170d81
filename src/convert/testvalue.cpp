#include "testvalue.h"

#include "boundedintvalidator.h"

TestValue::TestValue(int r, int g, int b)
    : r(r), g(g), b(b), validator(new BoundedIntValidator(0, 255, this))
{
}

namespace {
// Text that is not a number (an emptied edit) leaves the value as it was.
void storeIfNumber(const QString& text, int& field)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok)
        field = value;
}
} // namespace

void TestValue::onTxtRChanged(const QString& text) { storeIfNumber(text, r); }
void TestValue::onTxtGChanged(const QString& text) { storeIfNumber(text, g); }
void TestValue::onTxtBChanged(const QString& text) { storeIfNumber(text, b); }
