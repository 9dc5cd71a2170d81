#pragma once

#include <QStringList>

// Collects what the picture decoders warn about on this thread while it lives ("Corrupt
// JPEG data: premature end of data segment"): a picture cut short still decodes, and the
// warning is the only sign. Other threads' messages go on to the previous handler.
class DecodeWarnings
{
public:
    explicit DecodeWarnings(QStringList& warnings);
    ~DecodeWarnings();
    DecodeWarnings(const DecodeWarnings&) = delete;
    DecodeWarnings& operator=(const DecodeWarnings&) = delete;

private:
    QStringList* m_outer;
};
