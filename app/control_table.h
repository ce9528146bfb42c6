#pragma once

#include <array>
#include <string_view>

namespace brenvik {

enum class ControlKind { Label, LineEdit, MultiLineEdit, PushButton, Hyperlink };

// One control of the main window as the form describes it. Names and texts are
// UTF-8; positions are pixels from the top-left corner of the client area.
struct ControlDescription {
    std::string_view name;
    ControlKind kind;
    int x;
    int y;
    int width;
    int height;
    std::string_view text;
};

// The nine controls in creation order, which is also the Tab order of the
// focusable ones: 编辑框1, 编辑框2, 按钮2, 编辑框3, 按钮1.
inline constexpr std::array<ControlDescription, 9> kMainWindowControls = {{
    {"标签1", ControlKind::Label, 13, 12, 59, 24, "缩短网址："},
    {"编辑框1", ControlKind::LineEdit, 80, 16, 328, 20, ""},
    {"标签2", ControlKind::Label, 14, 40, 136, 24, "自定义短网址(至少1位)"},
    {"编辑框2", ControlKind::LineEdit, 157, 43, 163, 20, ""},
    {"按钮2", ControlKind::PushButton, 328, 41, 80, 24, "生成"},
    {"编辑框3", ControlKind::MultiLineEdit, 16, 76, 304, 28, ""},
    {"按钮1", ControlKind::PushButton, 328, 78, 80, 26, "打开"},
    {"超级链接框1", ControlKind::Hyperlink, 16, 107, 80, 24, "Tarnwell社区"},
    {"超级链接框2", ControlKind::Hyperlink, 328, 107, 80, 24, "联系Brenvik"},
}};

// The window's outer size, frame and title bar included.
inline constexpr int kWindowOuterWidth = 422;
inline constexpr int kWindowOuterHeight = 175;

// The toolkit cannot know the window manager's frame before the window is
// shown (and offscreen there is none), so the client area is sized for a
// classic fixed dialog frame: 3 pixels on each side and a 23-pixel title bar.
// That leaves 416 x 146, which holds the layout above with its margins.
inline constexpr int kAssumedFrameSide = 3;
inline constexpr int kAssumedTitleBar = 23;
inline constexpr int kClientWidth = kWindowOuterWidth - 2 * kAssumedFrameSide;
inline constexpr int kClientHeight = kWindowOuterHeight - 2 * kAssumedFrameSide - kAssumedTitleBar;

}  // namespace brenvik
