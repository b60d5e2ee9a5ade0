// Every size of the skinned controls that is the same in every style, one namespace per control
// (SuiMetrics::Frame::kBand, SuiMetrics::TabRow::kLeftMargin), in logical pixels. What differs
// between the styles (pictures, offsets, the button top, colours) is in the theme table.
#pragma once

namespace SuiMetrics {

namespace Frame {
// The band the frame paints around its host at the left, right and top.
inline constexpr int kBand = 3;
// How far a framed bar's pictures reach beyond each side: the band less its outer pixel.
inline constexpr int kInset = kBand - 1;
// Columns of the right title picture that the right band continues.
inline constexpr int kRightBandColumns = 2;
// A one-pixel border outlines the top corners of this rounding, with arcs this wide.
inline constexpr int kOutlinedCorner = 11;
inline constexpr int kOutlinedCornerArc = 10;
}  // namespace Frame

namespace TitleBar {
// The host's minimum height a title bar asks for; the frame then sets the final one.
inline constexpr int kMinimumHostHeight = 50;
// The application icon, drawn this far right of the control box's left edge.
inline constexpr int kIconSize = 16;
inline constexpr int kIconLeft = 3;
// The caption starts this far right of the control box's left edge when the icon is drawn.
inline constexpr int kCaptionAfterIcon = 21;
// ... and this far right of the control-box picture when the picture is drawn.
inline constexpr int kCaptionAfterControlBox = 5;
// Without a control box and without a left offset the caption starts here.
inline constexpr int kCaptionLeftAlone = 6;
// The control box stands this far left of the left offset (less the frame inset's inner part).
inline constexpr int kLeftOffsetPadding = 4;
// Right-side buttons other than the close button keep this gap besides ButtonInterval.
inline constexpr int kButtonGap = 1;
// The control-box picture is drawn this much above the button top.
inline constexpr int kControlBoxRaise = 1;
}  // namespace TitleBar

namespace Button {
// A new button.
inline constexpr int kWidth = 80;
inline constexpr int kHeight = 27;
// The face drawn when no state picture can be had, and the strip piece AutoSize then sizes from.
inline constexpr int kBlankFaceWidth = 74;
inline constexpr int kBlankFaceHeight = 21;
// An action's icon that names no size of its own becomes a glyph of this side.
inline constexpr int kActionGlyphSize = 16;
}  // namespace Button

namespace ComboBox {
// The drop-down button: this wide, inset this far from the top, right and bottom edges.
inline constexpr int kButtonWidth = 17;
inline constexpr int kButtonInset = 2;
// The arrow: a filled triangle this wide at its top row, two pixels narrower on each row below.
inline constexpr int kArrowWidth = 7;
// Items the drop-down list shows before it scrolls.
inline constexpr int kVisibleItems = 8;
}  // namespace ComboBox

namespace GroupBox {
// A new group box.
inline constexpr int kWidth = 185;
inline constexpr int kHeight = 105;
// Aligned children keep this far from the frame, and this far below the caption's height.
inline constexpr int kChildMargin = 3;
inline constexpr int kChildBelowCaption = 5;
// The frame's top line runs this far below the middle of the caption.
inline constexpr int kFrameBelowCaptionMiddle = 1;
// The caption's distance from the box's edge; the frame stops this far from the edge before it
// and resumes this far after it.
inline constexpr int kCaptionIndent = 5;
inline constexpr int kFrameStub = 2;
inline constexpr int kFrameAfterCaption = 1;
}  // namespace GroupBox

namespace Menu {
// Width of the pop-up menu's frame on each side.
inline constexpr int kFrameWidth = 3;
// Item and separator heights and the side bar's width before a style is applied, and the side bar's
// width after.
inline constexpr int kInitialItemHeight = 21;
inline constexpr int kInitialSeparatorHeight = 21;
inline constexpr int kStyledBarWidth = 26;
// Distances inside an item.
inline constexpr int kExtraWidth = 40;       // an item's width beyond its texts and the side bar
inline constexpr int kCaptionIndent = 4;     // the caption's distance from the side bar
inline constexpr int kShortcutPadding = 16;  // the short cut's distance from the item's right edge
inline constexpr int kSeparatorLineTop = 2;  // the separator line below the separator's top
inline constexpr int kSeparatorLineEnd = 2;  // ... and short of the item's far edge
inline constexpr int kGlyphLeft = 4;         // a check mark or image from the item's left
inline constexpr int kGlyphFromRight = 20;   // ... or right edge, reading right to left
inline constexpr int kGlyphTop = 3;
inline constexpr int kGlyphSize = 16;
// A checked item's image stands on a framed fill that reaches this far before the image and one
// pixel less after it.
inline constexpr int kCheckFrameOutset = 2;
}  // namespace Menu

namespace TabRow {
inline constexpr int kLeftMargin = 10;         // first tab's left edge, until LeftMargin is set
inline constexpr int kCaptionPadding = 20;     // a tab is its caption's width plus this
inline constexpr int kEmptyCaptionWidth = 80;  // a tab without a caption
inline constexpr int kMinTabWidth = 15;
inline constexpr int kImageGap = 4;          // an image widens its tab by its width plus this
inline constexpr int kImageLeft = 8;         // an image's left edge inside its tab
inline constexpr int kLastTabGap = 10;       // room right of the last tab when none is scrolled out
inline constexpr int kScrollButtonGap = 2;   // between the right scroll button and the row's end
inline constexpr int kScrollButtonLift = 2;  // scroll buttons sit this much off centre, away from the page
inline constexpr int kScrollButtonRoom = 4;  // a row this much taller than a button centres the buttons
inline constexpr int kActiveTabShift = 1;    // the active tab reaches over the base line's first row
inline constexpr int kCutCaptionLeft = 10;   // a cut tab's caption, left-aligned with these indents
inline constexpr int kCutCaptionRight = 4;
inline constexpr int kFocusInsetX = 8;  // the focus frame inside the active tab
inline constexpr int kFocusInsetY = 1;
inline constexpr int kPageInset = 3;  // pages sit this far inside the framed page area
inline constexpr int kInitialControlHeight = 80;
}  // namespace TabRow

}  // namespace SuiMetrics
