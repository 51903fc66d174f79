#include "platform/RopRow.h"

#include <cstring>

namespace gw {

namespace {

// Eight bytes at a time through unaligned word loads; `op` is written once for both widths.
template <class Op>
void ByteLoop(std::uint8_t* d, const std::uint8_t* s, std::size_t n, Op op) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t a, b;
        std::memcpy(&a, d + i, 8);
        std::memcpy(&b, s + i, 8);
        a = op(a, b);
        std::memcpy(d + i, &a, 8);
    }
    for (; i < n; ++i)
        d[i] = static_cast<std::uint8_t>(op(d[i], s[i]));
}

template <class Op>
void DestLoop(std::uint8_t* d, std::size_t n, Op op) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t a;
        std::memcpy(&a, d + i, 8);
        a = op(a);
        std::memcpy(d + i, &a, 8);
    }
    for (; i < n; ++i)
        d[i] = static_cast<std::uint8_t>(op(d[i]));
}

// ApplyRop's rule on eight bytes at once: the rule is bitwise, so it holds for any width.
std::uint64_t ApplyRopWord(std::uint8_t table, std::uint64_t p, std::uint64_t s, std::uint64_t d) {
    std::uint64_t result = 0;
    for (int index = 0; index < 8; ++index) {
        if (!((table >> index) & 1)) continue;
        result |= ((index & 4) ? p : ~p) & ((index & 2) ? s : ~s) & ((index & 1) ? d : ~d);
    }
    return result;
}

}  // namespace

void RopRowGeneral(Rop rop, std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels,
                   TColor pattern) {
    const std::uint8_t table = RopTable(rop);
    const std::uint8_t pat[3] = {GetBValue(pattern), GetGValue(pattern), GetRValue(pattern)};
    // The pattern repeats every three bytes; a word starting at byte i sees it from i mod 3.
    std::uint64_t patWord[3];
    for (int phase = 0; phase < 3; ++phase) {
        std::uint8_t bytes[8];
        for (int k = 0; k < 8; ++k)
            bytes[k] = pat[(phase + k) % 3];
        std::memcpy(&patWord[phase], bytes, 8);
    }
    const std::size_t n = pixels * 3;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t s = 0, d;
        if (src) std::memcpy(&s, src + i, 8);
        std::memcpy(&d, dst + i, 8);
        d = ApplyRopWord(table, patWord[i % 3], s, d);
        std::memcpy(dst + i, &d, 8);
    }
    for (; i < n; ++i)
        dst[i] = ApplyRop(rop, pat[i % 3], src ? src[i] : std::uint8_t(0), dst[i]);
}

bool RopHasFastPath(Rop rop) {
    switch (RopTable(rop)) {
        case RopTable(SRCCOPY):
        case RopTable(SRCAND):
        case RopTable(SRCPAINT):
        case RopTable(SRCINVERT):
        case RopTable(DSTINVERT):
        case RopTable(NOTSRCCOPY):
            return true;
        default:
            return false;
    }
}

void RopRow(Rop rop, std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels,
            TColor pattern) {
    const std::size_t n = pixels * 3;
    // The truth table decides, not the low word of the code: any code with the table of SRCAND
    // is SRCAND.
    switch (RopTable(rop)) {
        case RopTable(SRCCOPY):
            if (dst != src) std::memcpy(dst, src, n);
            return;
        case RopTable(SRCAND):
            ByteLoop(dst, src, n, [](auto d, auto s) { return d & s; });
            return;
        case RopTable(SRCPAINT):
            ByteLoop(dst, src, n, [](auto d, auto s) { return d | s; });
            return;
        case RopTable(SRCINVERT):
            ByteLoop(dst, src, n, [](auto d, auto s) { return d ^ s; });
            return;
        case RopTable(DSTINVERT):
            DestLoop(dst, n, [](auto d) { return static_cast<decltype(d)>(~d); });
            return;
        case RopTable(NOTSRCCOPY):
            ByteLoop(dst, src, n, [](auto, auto s) { return static_cast<decltype(s)>(~s); });
            return;
        default:
            RopRowGeneral(rop, dst, src, pixels, pattern);
            return;
    }
}

void MonoRow(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i, dst += 3, src += 3) {
        const std::uint8_t v = (int(src[0]) + src[1] + src[2]) >= kGreyThreshold ? 0xFF : 0x00;
        dst[0] = dst[1] = dst[2] = v;
    }
}

}  // namespace gw
