#pragma once

#include <QColor>
#include <QImage>
#include <QList>

// Preparing rendered pictures for a palette file such as GIF, which knows only fully
// opaque and fully transparent pixels and at most 256 colours.
namespace ColourReduction {

// Pixels with an alpha below transparentBelow become fully transparent; every other
// pixel is blended onto the matte colour and becomes opaque, so antialiased edges
// look smooth on a background of that colour.
QImage flattenOnMatte(const QImage& picture, const QColor& matte, int transparentBelow);

// Maps the opaque colours (alpha 128 and above) of all pictures together onto one
// palette of at most maxColours colours by median cut, weighted by how often each
// colour occurs; the other pixels become fully transparent. Pictures that already
// hold no more than maxColours colours keep them exactly. Returns ARGB32 pictures.
QList<QImage> reduceColours(const QList<QImage>& pictures, int maxColours);

} // namespace ColourReduction
