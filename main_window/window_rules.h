#pragma once
// The main window's rules that need no widget: the captions, what each phase shows, the looks of
// the three simple/advanced switches, the status mark, the start folder and the vertical expand.
// TfrmVesk1 copies these decisions onto its controls.

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace vesk {

inline constexpr std::string_view kWindowCaption = "Ulmen Find Text v7.25.7.28";
inline constexpr std::string_view kApplicationTitle = "Ulmen Text Find Tool";

// The window's phases.
inline constexpr int kPhaseSelecting = 1;
inline constexpr int kPhaseSearching = 2;
inline constexpr int kPhaseViewing = 3;

// A colour of the window's texts.
struct Tint {
    int r = 0, g = 0, b = 0;
    bool operator==(const Tint&) const = default;
};
inline constexpr Tint kTintNavy{0, 0, 128};
inline constexpr Tint kTintGreen{0, 128, 0};
inline constexpr Tint kTintGrey{128, 128, 128};

// What one phase shows. `page` is 0 for "Select", 1 for "Matches".
struct PhaseLook {
    bool selectVisible = false, goVisible = false, stopVisible = false;
    bool viewButtonsVisible = false; // btnView, btnPrint
    bool fontButtonsVisible = false; // btnFontMinus, btnFontPlus, lblFont
    int page = 0;
    bool searching = false;
};
// Phases other than 1, 2 and 3 are treated as selecting.
PhaseLook phaseLook(int phase);

// The caption of a phase: plain while selecting; while searching " - " and the search text, with
// "Replace - " before it when replacing; while viewing " - " and the search text. A caption is one
// line: line breaks in the search text show as one blank, and an empty text adds no " - ".
std::string phaseCaption(int phase, std::string_view searchText, bool replaceOn);
// A text shown in a caption: each run of line breaks becomes one blank; no blanks at the ends.
std::string captionText(std::string_view text);

// The status line after a run that did not take place (an invalid mask or date): why, on one line.
std::string notSearchedStatus(std::string_view failure);

// Where the window goes at start: its frame centred in the screen's work area, the client area
// shrunk where the frame would not fit. Rectangles are in screen pixels; the result is the
// client area's.
struct WindowPlace {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowPlace&) const = default;
};
struct FrameMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
};
WindowPlace startPlace(const WindowPlace& work, int clientWidth, int clientHeight,
                       const FrameMargins& frame);

// The look of one box and its switch: simple navy and editable, advanced green, bold, read-only.
struct SwitchLook {
    Tint boxColour;
    bool bold = false;
    bool readOnly = false;
    bool onPicture = false;
    Tint labelColour;
    bool clearCount = false; // the count label is emptied in simple mode
    bool operator==(const SwitchLook&) const = default;
};
SwitchLook switchLook(int mode);

// Any value other than 2 is simple: toggling it gives advanced.
int toggledMode(int mode);

// "Keeping the first item": the text before the first ","; a text without "," stays whole; a
// blank text becomes empty.
std::string keepFirstItem(std::string_view text);

// MarkStatus(1): the shown results still match the boxes when every box holds the text it held
// when it last gained the focus.
struct BoxTexts {
    std::string folder, filespec, string;
    bool operator==(const BoxTexts&) const = default;
};
enum class StatusMark { Unchanged, Stale, Current };
StatusMark markStatus(int kind, const BoxTexts& entered, const BoxTexts& now);
Tint statusColour(StatusMark mark); // Stale grey, Current navy

// The folder the first showing puts in the folder box (simple mode): the box's text; if blank the
// first saved folder; if still blank the program's folder. A blank first saved folder becomes the
// chosen folder (in memory only).
struct StartFolder {
    std::string folder;
    bool setSavedFolder0 = false;
};
StartFolder chooseStartFolder(std::string_view boxText, std::string_view savedFolder0,
                              std::string_view programFolder);

// Where the folder box's double-click opens the folder picker: the current folder; if blank the
// box's text; if blank the first saved folder; if still blank, or not an existing folder, the
// program's folder.
std::string doubleClickStartFolder(std::string_view currentFolder, std::string_view boxText,
                                   std::string_view savedFolder0, std::string_view programFolder,
                                   const std::function<bool(const std::string&)>& folderExists);

// btnResizeVertical: expand to the work area, or go back to the top and height captured when the
// window was shown.
inline constexpr std::string_view kExpandHint = "Expand vertically";
inline constexpr std::string_view kShrinkHint = "Shrink to original height";
struct VerticalGeometry {
    int top = 0, height = 0;
    bool expanded = false;
    std::string hint;
};
VerticalGeometry verticalResize(bool expanded, int workTop, int workHeight, int normalTop,
                                int normalHeight);

// The top of btnSetupOptions and btnReplace: the "Select" page's height less the button's height
// less 10.
inline int setupButtonsTop(int pageHeight, int buttonHeight) {
    return pageHeight - buttonHeight - 10;
}

} // namespace vesk
