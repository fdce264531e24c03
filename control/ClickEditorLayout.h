#pragma once

#include "control/ClickEditorModel.h"
#include "platform/Geometry.h"

#include <string>
#include <vector>

// The controls of the click editor's panel. Containers carry an id so that their children can name them; labels and
// frames that nothing refers to share None.
enum class TEditorId {
    None,
    Panel,
    gbClickPoint,
    rbCurrent,
    rbFixed,
    gbPoint,
    btnCapture,
    edPX,
    edPY,
    btnPickPoint,
    rbColor,
    gbColor,
    btnCaptureColor,
    edSwatch,
    edColor,
    btnPickColor,
    edSimilar,
    rbBMP,
    gbBMP,
    btnBMP,
    pnlPreview,
    ImageBMP,
    edBMPSimilar,
    pnlScope,
    rbFull,
    rbPart,
    btnCaptureScope,
    pnlScopeEdges,
    edColorL,
    edColorR,
    edColorT,
    edColorB,
    gbClickOptions,
    cbButton,
    cbClick,
    gbClickInterval,
    rbIntFixed,
    edIntHour,
    edIntMinute,
    edIntSecond,
    edIntTenths,
    edIntHundredths,
    edIntThousandths,
    rbIntRan,
    edRanBegin,
    edRanEnd,
    gbStartOptions,
    rbNow,
    rbAt,
    dtpTime,
    rbAfter,
    edtStartHour,
    edtStartMin,
    edtStartSec,
    gbStopOptions,
    rbStopOrder,
    rbStopClick,
    edStopTimes,
    gbAfterClick,
    rbNo,
    rbBack,
    rbBackClick,
    gbHotKeys,
    cbHKStart,
    cbHKStop,
    gbHoldSpread,
    edHoldTime,
    edHoldTimeTo,
    edJitter,
    lblSpreadArea,
    gbDesktopKeys,
    lblDesktopKeysWhere,
    edDesktopKeys,
    btnCopyDesktopKeys,
    btnFindNow,
    lblFindResult,
    edName,
};

enum class TEditorKind {
    Group,
    // A raised panel and a sunken frame holding other controls.
    Panel,
    SunkenFrame,
    Radio,
    Label,
    NumericEdit,
    // A read-only edit showing a text field.
    ReadOnlyEdit,
    // A read-only box of a few lines, which the front end fills.
    ReadOnlyLines,
    // Text the editor writes, wrapped onto as many lines as its bounds hold.
    Note,
    // The read-only edit filled with the colour shown.
    Swatch,
    LineEdit,
    List,
    // A push button whose caption wraps onto more lines.
    Button,
    // The file chooser's button, which takes no focus.
    ToolButton,
    PictureFrame,
    Picture,
    TimePicker,
};

// How a control's text is set: each front end picks the font and colour for it.
enum class TEditorLook {
    Plain,
    Blue,
    // The capture hint, which runs nearly the whole width of its group.
    Hint,
    // The name's caption, bold and blue.
    Title,
    // A caption that only just fits its button.
    Tight,
};

struct TEditorControl {
    TEditorId id;
    TEditorKind kind;
    TEditorId parent;
    std::string caption;
    // Within the parent, in the dialog units of the front ends; a label's size is its text's.
    TRect bounds;
    TEditorLook look = TEditorLook::Plain;
    // The text field an edit shows.
    std::string TClickEditorFields::*text = nullptr;
    // The choice a radio group or a list shows, and a radio's number in its group.
    int TClickEditorFields::*choice = nullptr;
    int item = 0;
};

// What the system the editor runs on lets it offer.
struct TEditorSystem {
    // The pointer's position can be read: the live capture and going back after a click work.
    bool readsPointer = true;
    // The hotkeys are bound in the desktop's configuration, which the editor then shows the lines for.
    bool keysBoundInDesktop = false;
    // A window can be put where the program wants it: Find now marks the place found on the screen.
    bool placesWindows = true;
};

// A control that the system cannot serve, and why, in one sentence.
struct TUnavailable {
    TEditorId id;
    const char* why;
};

// Every control of the editor's panel, parents before their children and in tab order, from which both front ends
// build their editor.
class TClickEditorLayout {
public:
    // A radio higher than this wraps its caption.
    static constexpr int kRadioHeight = 18;

    // With `keysBoundInDesktop`, the group with the lines for the desktop's configuration lies under the hotkeys.
    static TSize PanelSize(bool keysBoundInDesktop = false);
    static const std::vector<TEditorControl>& Controls(bool keysBoundInDesktop = false);
    // Any control of either panel; the name's caption and edit as they lie without the desktop's keys.
    static const TEditorControl& Control(TEditorId id);
    // The controls that stay disabled on `system`, whatever else is chosen.
    static std::vector<TUnavailable> Unavailable(const TEditorSystem& system);
    // The control's bounds within the panel.
    static TRect PanelBounds(const TEditorControl& control);
    // Whether the control lies in `container`, or is it.
    static bool Within(const TEditorControl& control, TEditorId container);
    // The items of a list, by the field that holds its choice.
    static std::vector<std::string> Items(int TClickEditorFields::*list);
};
