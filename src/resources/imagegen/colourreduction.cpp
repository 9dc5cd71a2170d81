#include "colourreduction.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace {

struct ColourCount
{
    QRgb colour;
    qint64 count;
};

int channel(QRgb colour, int which)
{
    return which == 0 ? qRed(colour) : which == 1 ? qGreen(colour) : qBlue(colour);
}

// One box of the median cut: a range of the colour list.
struct Box
{
    int begin;
    int end;
    int widestChannel = 0;
    int range = 0;
};

void measure(Box& box, const std::vector<ColourCount>& colours)
{
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (int i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channel(colours[i].colour, c));
            high[c] = std::max(high[c], channel(colours[i].colour, c));
        }
    }
    box.range = -1;
    for (int c = 0; c < 3; ++c) {
        if (high[c] - low[c] > box.range) {
            box.range = high[c] - low[c];
            box.widestChannel = c;
        }
    }
}

QRgb average(const Box& box, const std::vector<ColourCount>& colours)
{
    qint64 sum[3] = {0, 0, 0};
    qint64 weight = 0;
    for (int i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c)
            sum[c] += qint64(channel(colours[i].colour, c)) * colours[i].count;
        weight += colours[i].count;
    }
    auto mean = [&](int c) { return int((sum[c] + weight / 2) / weight); };
    return qRgb(mean(0), mean(1), mean(2));
}

} // namespace

namespace ColourReduction {

QImage flattenOnMatte(const QImage& picture, const QColor& matte, int transparentBelow)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    const int mr = matte.red();
    const int mg = matte.green();
    const int mb = matte.blue();
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = qAlpha(line[x]);
            if (a < transparentBelow) {
                line[x] = 0;
                continue;
            }
            auto blend = [a](int c, int m) { return (c * a + m * (255 - a) + 127) / 255; };
            line[x] = qRgb(blend(qRed(line[x]), mr), blend(qGreen(line[x]), mg),
                           blend(qBlue(line[x]), mb));
        }
    }
    return out;
}

QList<QImage> reduceColours(const QList<QImage>& pictures, int maxColours)
{
    QList<QImage> out;
    QHash<QRgb, qint64> histogram;
    for (const QImage& picture : pictures) {
        QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (qAlpha(line[x]) < 128) {
                    line[x] = 0;
                } else {
                    line[x] |= 0xff000000u;
                    ++histogram[line[x]];
                }
            }
        }
        out.append(argb);
    }
    if (histogram.size() <= maxColours || maxColours < 1)
        return out;

    std::vector<ColourCount> colours;
    colours.reserve(histogram.size());
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        colours.push_back({it.key(), it.value()});
    // A fixed order, so that the same pictures always give the same palette.
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.colour < b.colour; });

    std::vector<Box> boxes{{0, int(colours.size())}};
    measure(boxes.front(), colours);
    while (int(boxes.size()) < maxColours) {
        // Split the box with the widest spread of colour that still holds two colours.
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            const int ra = a.end - a.begin > 1 ? a.range : -1;
            const int rb = b.end - b.begin > 1 ? b.range : -1;
            return ra < rb;
        });
        if (widest->end - widest->begin < 2)
            break;
        Box box = *widest;
        const int c = box.widestChannel;
        std::sort(colours.begin() + box.begin, colours.begin() + box.end,
                  [c](const ColourCount& a, const ColourCount& b) {
                      return channel(a.colour, c) < channel(b.colour, c);
                  });
        qint64 total = 0;
        for (int i = box.begin; i < box.end; ++i)
            total += colours[i].count;
        int split = box.begin + 1;
        qint64 below = colours[box.begin].count;
        while (split < box.end - 1 && below * 2 < total) {
            below += colours[split].count;
            ++split;
        }
        Box first{box.begin, split};
        Box second{split, box.end};
        measure(first, colours);
        measure(second, colours);
        *widest = first;
        boxes.push_back(second);
    }

    QHash<QRgb, QRgb> mapped;
    for (const Box& box : boxes) {
        const QRgb colour = average(box, colours);
        for (int i = box.begin; i < box.end; ++i)
            mapped.insert(colours[i].colour, colour);
    }
    for (QImage& picture : out) {
        for (int y = 0; y < picture.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                if (line[x] != 0)
                    line[x] = mapped.value(line[x]);
            }
        }
    }
    return out;
}

} // namespace ColourReduction
