// A Gaussian-like blur on the CPU for glows and the frosted backdrop.
#include "softblur.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace SoftBlur {

Passes passesForSigma(double sigma)
{
    Passes passes;
    if (!(sigma > 0) || !std::isfinite(sigma))
        return passes;
    // Three boxes of widths w1..w3 add up to a variance of sum((w² - 1) / 12).
    // Pick the two widths around the ideal one so that the sum meets sigma².
    const double ideal = std::sqrt(4.0 * sigma * sigma + 1.0);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    lower = std::max(lower, 1);
    const int upper = lower + 2;
    const double lowerCount = (12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) / (-4.0 * lower - 4.0);
    const int lowers = std::clamp(int(std::lround(lowerCount)), 0, 3);
    for (int i = 0; i < 3; ++i)
        passes.halfWidth[i] = ((i < lowers ? lower : upper) - 1) / 2;
    return passes;
}

namespace {

// One running box filter over `count` samples spaced `stride` bytes apart,
// for `channels` interleaved 8-bit channels.
void boxLine(uchar *data, int count, int stride, int channels, int half, Edges edges, std::vector<int> &scratch)
{
    const int width = 2 * half + 1;
    const bool extended = edges == Edges::Extended;
    scratch.assign(size_t(count) * channels, 0);
    for (int c = 0; c < channels; ++c) {
        const int first = extended ? data[c] : 0;
        const int last = extended ? data[(count - 1) * stride + c] : 0;
        // The window of sample -1 covers indices -half-1 .. half-1.
        int sum = (half + 1) * first;
        for (int i = 0; i < half; ++i)
            sum += i < count ? data[i * stride + c] : last;
        for (int i = 0; i < count; ++i) {
            const int enter = i + half;
            const int leave = i - half - 1;
            sum += enter < count ? data[enter * stride + c] : last;
            sum -= leave >= 0 ? data[leave * stride + c] : first;
            scratch[size_t(i) * channels + c] = sum;
        }
    }
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < channels; ++c)
            data[i * stride + c] = uchar((scratch[size_t(i) * channels + c] + width / 2) / width);
}

void boxPass(QImage &image, int half, int channels, Edges edges)
{
    if (half <= 0)
        return;
    std::vector<int> scratch;
    const int w = image.width();
    const int h = image.height();
    for (int y = 0; y < h; ++y)
        boxLine(image.scanLine(y), w, channels, channels, half, edges, scratch);
    const auto pitch = int(image.bytesPerLine());
    uchar *bits = image.bits();
    for (int x = 0; x < w; ++x)
        boxLine(bits + x * channels, h, pitch, channels, half, edges, scratch);
}

} // namespace

void blur(QImage &image, double sigma, Edges edges)
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_Alpha8 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    const int channels = image.format() == QImage::Format_Alpha8 ? 1 : 4;
    const Passes passes = passesForSigma(sigma);
    for (int half : passes.halfWidth)
        boxPass(image, half, channels, edges);
}

} // namespace SoftBlur
