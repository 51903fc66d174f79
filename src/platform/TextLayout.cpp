// Placeholder bodies until the text layout is written; replaced as a whole.
#include "platform/TextLayout.h"

namespace gw {

std::int32_t DrawTextBlock(Bitmap*, const LogFont&, TColor, std::string_view, TRect& rect,
                           std::uint32_t) {
    return rect.Height();
}
FontMetrics GetFontMetrics(const LogFont&) {
    return {};
}
std::vector<std::string> EnumFontFamilies() {
    return {};
}
bool LoadFontConfigFile(const std::string&) {
    return false;
}
std::string ResolvedFontFile(const LogFont&) {
    return {};
}

}  // namespace gw
