#pragma once

#include "control/FindNow.h"
#include "model/MouseObj.h"
#include "model/StartTime.h"
#include "platform/Geometry.h"
#include "platform/Mouse.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What the click editor shows, as the user sees and types it, and the rules between that and a click: the interval
// split into hours to thousandths, the random bounds in tenths and whole seconds, the start delay split, which
// point-type groups are usable, what a numeric edit takes, the ranges checked before OK, and writing a click all
// fields or none. A front end shows these fields in its controls and reads them back; it decides nothing of this.
struct TClickEditorFields {
    // Radio groups and lists hold the number of the chosen item, -1 for none.
    int pointType = ptCurrent;
    std::string edPX = "1000", edPY = "600";
    std::string fColor = "clBlack";
    std::string edSimilar = "100";
    // The picture as a BMP file image; empty for none.
    std::vector<std::uint8_t> picture;
    // The click's stored picture could not be read: the editor shows none and tells the user so.
    bool pictureUnreadable = false;
    std::string edBMPSimilar = "100";
    int ScreenType = scFull;
    std::string edColorL = "0", edColorR = "1024", edColorT = "0", edColorB = "768";
    int mouseType = mtLeft;
    int actionType = atSingle;
    int InteverType = itFixed;
    std::string edIntHour = "0", edIntMinute = "0", edIntSecond = "1", edIntTenths = "0", edIntHundredths = "0",
                edIntThousandths = "0";
    std::string edRanBegin = "1", edRanEnd = "5";
    int startType = stNow;
    // The picker's time of day, "hh:mm:ss".
    std::string fStartAt;
    // The click's stored start time could not be read; the picker showed `startAtAsLoaded` instead, and while it
    // still does, OK keeps the stored text.
    bool startAtUnreadable = false;
    std::string startAtAsLoaded;
    std::string edtStartHour = "0", edtStartMin = "1", edtStartSec = "0";
    int stopType = spCommand;
    std::string edStopTimes = "1";
    int hkStart = 1, hkStop = 2;
    int finishType = ftNothing;
    // The hold in ms, its upper bound for a random hold (0: none), and the spread's radius in pixels.
    std::string edHoldTime = "0", edHoldTimeTo = "0", edJitter = "0";
    std::string edName = "New Click";
    // The coordinates as last shown (X, Y, L, R, T, B): one the user left alone is kept even off today's monitors.
    std::vector<std::string> coordinatesAsShown;
};

// Which groups of the click point can be used for a point type.
struct TPointGroups {
    bool point = false;
    bool color = false;
    bool picture = false;
    friend bool operator==(const TPointGroups&, const TPointGroups&) = default;
};

// What a numeric edit takes: digits only, or a screen coordinate that may carry one leading minus (left of or above
// the primary monitor) and lies within the monitors across or down.
enum class TNumberKind { Digits, Across, Down };

// The arrows beside an edit step its value between these bounds.
struct TSpin {
    int min;
    int max;
    int step = 1;
};

// A numeric edit of the editor: the name the user is told, where its text is, what it takes, at most how many
// characters the user may type (0 for any number) and its arrows.
struct TNumericField {
    const char* name;
    std::string TClickEditorFields::*text;
    TNumberKind kind;
    int maxLength;
    std::optional<TSpin> spin;
};

// OK refused: the field to go to and what the user is told.
struct TFieldRefusal {
    std::string TClickEditorFields::*field;
    std::string message;
};

class TClickEditorModel {
public:
    // The fields a new editor shows; the picker shows `now`.
    static TClickEditorFields Initial(TTimeOfDay now);
    // The click shown: what the editor showed before stays where the click has nothing to show (no picture; a start
    // time that is no time of day, which is marked unless empty). A stored picture that is no base64 shows as none,
    // marked pictureUnreadable. An interval below 1 ms shows as the 1 ms it runs as; other values outside the arrows'
    // bounds are shown as they are.
    static TClickEditorFields FromClick(const TMouseObj& click, const TClickEditorFields& shown);
    // What the user is told on opening about what the click could not show; empty for nothing.
    static std::string LoadNotice(const TClickEditorFields& fields);
    // Why OK cannot store the fields, or nothing: a numeric field that holds no number, or a value out of its range
    // (coordinates against `monitors`, the union of the monitors' areas), or a double click held longer than the
    // system's `doubleClickTime` lets its presses be.
    static std::optional<TFieldRefusal> Refusal(const TClickEditorFields& fields, TRect monitors,
                                                int doubleClickTime = IMouse::kDefaultDoubleClickTime);
    // The click shown with every field written, which the editor stores in one assignment; throws
    // std::invalid_argument with the refusal's message when Refusal has one.
    static TMouseObj ToClick(const TClickEditorFields& fields, const TMouseObj& shown, TRect monitors,
                             int doubleClickTime = IMouse::kDefaultDoubleClickTime);
    // The area a spread of `edJitter` pixels covers, in words beside it; empty while it holds no number.
    static std::string SpreadArea(const std::string& edJitter);

    // The smallest rectangle holding every monitor: what coordinates are held to.
    static TRect Extent(const std::vector<TRect>& monitors);
    // The numeric fields in the order the editor shows them.
    static const std::vector<TNumericField>& NumericFields();
    static const TNumericField& NumericField(std::string TClickEditorFields::*text);
    // The scope edits filled from the two corners of a drag, not ordered.
    static TClickEditorFields WithScope(TClickEditorFields fields, TPoint start, TPoint end);
    // Whether a numeric edit may hold `text` after a key press or a paste: what it takes, within its length.
    static bool Accepts(const TNumericField& field, const std::string& text);
    // The captions of a radio group's items, by the field that holds its choice.
    static const std::vector<const char*>& Choices(int TClickEditorFields::*group);
    static const std::vector<const char*>& ButtonItems();
    static const std::vector<const char*>& ActionItems();
    static TPointGroups EnabledGroups(int pointType);
    // The hotkey lists' item for Ctrl+F(n + 1): "F1" to "F12", marked when another program holds the key.
    static std::string HotKeyItem(int n, bool available);
    static constexpr int kHotKeyCount = 12;
    // Find now's button: "Find now", or "Cancel" while a search goes on.
    static const char* FindNowCaption(bool searching);
};

// One bar of the mark Find now puts on the screen, in screen coordinates, and its colour as 0x00RRGGBB.
struct TMarkBar {
    TRect rect;
    std::uint32_t color = 0;
    friend bool operator==(const TMarkBar&, const TMarkBar&) = default;
};

// What Find now shows of a search: the result line, and the bars of the mark (none when nothing is marked).
struct TFindNowShown {
    std::string line;
    std::vector<TMarkBar> mark;
};

// What Find now asks of the editor. The mark's bars are windows of their own that take neither the focus nor the
// pointer.
class IFindNowView {
public:
    virtual ~IFindNowView() = default;
    // The values the editor shows now.
    virtual TClickEditorFields fields() const = 0;
    virtual void showFindResult(const std::string& line) = 0;
    virtual void setFindNowCaption(const std::string& caption) = 0;
    virtual void showMark(const std::vector<TMarkBar>& bars) = 0;
    virtual void hideMark() = 0;
    // Around the capture, as for Capture Scope: the editor gets out of the way of the screen it searches.
    virtual void hideEditor() = 0;
    virtual void waitHidden(int milliseconds) = 0;
    virtual void showEditor() = 0;
};

// Find now: the click made of the editor's current values (not the stored ones) is searched for once on the screen as
// it is without the editor, which would otherwise be found itself (its swatch shows the colour, its preview the
// picture), and without clicking. The result line tells where it was found and how fast, or the nearest miss, or why it
// could not search; a place found is marked for kMarkMs, with the scope's outline. The bars lie outside the pixel or
// the picture found and outside the scope, so the search of the click itself never reads them; they go with the editor
// before any capture of its own, long enough for the desktop to repaint where they were. While a search goes on the
// button cancels it.
class TFindNowAction {
public:
    static constexpr int kMarkMs = 2000;

    // `placesWindows`: the system lets the editor put the mark where it wants (not on Wayland).
    TFindNowAction(IScreen& screen, IEventLoop& loop, IFindNowView& view, TRect monitors, bool placesWindows);

    // The button: starts a search, or cancels the one going on.
    void Click();
    // The search going on ends without a result line.
    void Cancel();
    bool Searching() const { return m_findNow.Busy(); }
    // Before a capture of the editor and when it closes: the mark goes at once.
    void HideMark();

    // The result line and mark of a search of `click`; a spread click's mark rings the area its clicks land in, cut to
    // the monitor of the place found as the clicks are.
    static TFindNowShown Shown(const TMouseObj& click, const TDryRunResult& result, bool placesWindows,
                               std::span<const TRect> monitors);

private:
    void Show(const TMouseObj& click, const TDryRunResult& result);

    IScreen& m_screen;
    IFindNowView& m_view;
    TRect m_monitors;
    bool m_placesWindows;
    TFindNow m_findNow;
    std::unique_ptr<ITimer> m_markTimer;
};
