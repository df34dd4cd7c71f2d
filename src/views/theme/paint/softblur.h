// A Gaussian-like blur on the CPU for glows and the frosted backdrop: three
// running box filters, so the cost does not grow with the radius.
#pragma once

#include <QImage>

namespace SoftBlur {

/// The box half-widths whose three passes approximate a Gaussian of
/// standard deviation `sigma` (all zero for sigma <= 0 or NaN).
struct Passes {
    int halfWidth[3] = { 0, 0, 0 };
};
Passes passesForSigma(double sigma);

/// What the blur sees beyond the image's edges.
enum class Edges {
    Transparent, ///< a shape near the border fades out (glows)
    Extended, ///< the border pixels go on (backgrounds)
};

/// Blurs every channel of `image` in place with the three box passes for
/// `sigma`. The image is converted to premultiplied ARGB first unless it is
/// alpha-only.
void blur(QImage &image, double sigma, Edges edges = Edges::Transparent);

} // namespace SoftBlur
