#include "hvplus/gradient.h"

namespace hv {

namespace {

float Channel(std::uint32_t color, int shift) { return static_cast<float>((color >> shift) & 0xFF); }

// Truncation toward zero, then the low 8 bits: a running value that drifts a hair past
// 255 or below 0 wraps exactly as the integer conversion of the original painter did.
std::uint32_t ChannelByte(float value) { return static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) & 0xFF; }

}  // namespace

std::vector<std::uint32_t> GradientLineColors(std::uint32_t first, std::uint32_t second, int extent) {
    if (extent < 0) extent = 0;
    float value[3], step[3];
    for (int c = 0; c < 3; ++c) {
        value[c] = Channel(first, 8 * c);
        step[c] = extent == 0 ? 0.0f : (Channel(second, 8 * c) - value[c]) / static_cast<float>(extent);
    }
    std::vector<std::uint32_t> colors(static_cast<std::size_t>(extent) + 1);
    for (auto& color : colors) {
        std::uint32_t rgb = 0;
        for (int c = 0; c < 3; ++c) {
            // volatile keeps every running value a true float even where a compiler could
            // hold it at a wider precision (x87): the colours must not depend on the build.
            volatile float next = value[c] + step[c];
            value[c] = next;
            rgb |= ChannelByte(value[c]) << (8 * c);
        }
        color = rgb;
    }
    return colors;
}

}  // namespace hv
