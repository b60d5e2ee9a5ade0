// Sizes of the skinned frame and its title bar that are the same in every style. What differs
// between the styles (pictures, offsets, button top, colours) is in the theme table.
#pragma once

struct SuiFrameMetrics {
    // The band the frame paints around its host at the left, right and top.
    static constexpr int kBand = 3;
    // How far a framed bar's pictures reach beyond each side: the band less its outer pixel.
    static constexpr int kInset = kBand - 1;
    // Columns of the right title picture that the right band continues.
    static constexpr int kRightBandColumns = 2;
    // A one-pixel border outlines the top corners of this rounding, with arcs this wide.
    static constexpr int kOutlinedCorner = 11;
    static constexpr int kOutlinedCornerArc = 10;
};

struct SuiTitleBarMetrics {
    // The host's minimum height a title bar asks for; the frame then sets the final one.
    static constexpr int kMinimumHostHeight = 50;
    // The application icon, drawn this far right of the control box's left edge.
    static constexpr int kIconSize = 16;
    static constexpr int kIconLeft = 3;
    // The caption starts this far right of the control box's left edge when the icon is drawn.
    static constexpr int kCaptionAfterIcon = 21;
    // ... and this far right of the control-box picture when the picture is drawn.
    static constexpr int kCaptionAfterControlBox = 5;
    // Without a control box and without a left offset the caption starts here.
    static constexpr int kCaptionLeftAlone = 6;
    // The control box stands this far left of the left offset (less the frame inset's inner part).
    static constexpr int kLeftOffsetPadding = 4;
    // Right-side buttons other than the close button keep this gap besides ButtonInterval.
    static constexpr int kButtonGap = 1;
    // The control-box picture is drawn this much above the button top.
    static constexpr int kControlBoxRaise = 1;
};
