#include "control/ClickEditorLayout.h"

#include <stdexcept>

namespace {
using F = TClickEditorFields;
using Id = TEditorId;
using Kind = TEditorKind;
using Look = TEditorLook;
constexpr int kEditHeight = 20;
constexpr int kRadioHeight = TClickEditorLayout::kRadioHeight;
constexpr int kListHeight = 22;
constexpr int kPickHeight = 20;
// The hotkeys' group ends here, over the whole width under both columns.
constexpr int kHotKeysBottom = 625;
constexpr int kDesktopKeysHeight = 86;
// Find now and its result line, under the hotkeys (and the desktop's keys).
constexpr int kFindRowHeight = 46;

TEditorControl Group(Id id, Id parent, const char* caption, TRect bounds) {
    return {id, Kind::Group, parent, caption, bounds};
}

TEditorControl Radio(Id id, Id parent, int F::*choice, int item, TRect bounds, Look look = Look::Plain) {
    return {id,      Kind::Radio, parent, TClickEditorModel::Choices(choice)[std::size_t(item)], bounds, look,
            nullptr, choice,      item};
}

TEditorControl Label(Id parent, const char* caption, int x, int y, Look look = Look::Plain) {
    return {Id::None, Kind::Label, parent, caption, {x, y, 0, 0}, look};
}

TEditorControl Numeric(Id id, Id parent, std::string F::*text, int x, int y, int width) {
    return {id, Kind::NumericEdit, parent, "", {x, y, width, kEditHeight}, Look::Plain, text};
}

TEditorControl List(Id id, Id parent, int F::*choice, int x, int y, int width) {
    return {id, Kind::List, parent, "", {x, y, width, kListHeight}, Look::Plain, nullptr, choice};
}

TEditorControl Button(Id id, Id parent, const char* caption, TRect bounds, Look look = Look::Plain) {
    return {id, Kind::Button, parent, caption, bounds, look};
}

std::vector<TEditorControl> ClickPoint() {
    const char* hint = "Press any key to stop capture";
    const char* pick = "Pick on the frozen screen";
    return {
        Group(Id::gbClickPoint, Id::Panel, "Click Point", {8, 4, 193, 571}),
        Radio(Id::rbCurrent, Id::gbClickPoint, &F::pointType, 0, {9, 16, 180, kRadioHeight}),
        Radio(Id::rbFixed, Id::gbClickPoint, &F::pointType, 1, {9, 34, 180, kRadioHeight}),
        Group(Id::gbPoint, Id::gbClickPoint, "Specify click point", {23, 51, 162, 107}),
        Button(Id::btnCapture, Id::gbPoint, "Start to capture point", {6, 18, 76, 46}, Look::Tight),
        Label(Id::gbPoint, "X:", 88, 21),
        Numeric(Id::edPX, Id::gbPoint, &F::edPX, 104, 18, 50),
        Label(Id::gbPoint, "Y:", 88, 45),
        Numeric(Id::edPY, Id::gbPoint, &F::edPY, 104, 42, 50),
        Label(Id::gbPoint, hint, 4, 67, Look::Hint),
        Button(Id::btnPickPoint, Id::gbPoint, pick, {6, 83, 150, kPickHeight}),
        Radio(Id::rbColor, Id::gbClickPoint, &F::pointType, 2, {9, 159, 180, kRadioHeight}),
        Group(Id::gbColor, Id::gbClickPoint, "specify color block", {23, 177, 162, 131}),
        Button(Id::btnCaptureColor, Id::gbColor, "Start to capture color", {6, 18, 74, 46}, Look::Tight),
        {Id::edSwatch, Kind::Swatch, Id::gbColor, "", {86, 18, 70, kEditHeight}},
        {Id::edColor, Kind::ReadOnlyEdit, Id::gbColor, "", {86, 42, 70, kEditHeight}, Look::Plain, &F::fColor},
        Label(Id::gbColor, hint, 4, 66, Look::Hint),
        Button(Id::btnPickColor, Id::gbColor, pick, {6, 82, 150, kPickHeight}),
        Label(Id::gbColor, "Color Simliar:", 6, 109),
        Numeric(Id::edSimilar, Id::gbColor, &F::edSimilar, 94, 106, 34),
        Label(Id::gbColor, "%", 146, 109),
        Radio(Id::rbBMP, Id::gbClickPoint, &F::pointType, 3, {9, 308, 180, kRadioHeight}),
        Group(Id::gbBMP, Id::gbClickPoint, "specify BMP", {23, 325, 162, 98}),
        {Id::btnBMP, Kind::ToolButton, Id::gbBMP, "Load BMP", {6, 16, 57, 33}},
        Label(Id::gbBMP, "(24bit bmp)", 6, 52, Look::Blue),
        {Id::pnlPreview, Kind::PictureFrame, Id::gbBMP, "", {66, 14, 92, 53}},
        {Id::ImageBMP, Kind::Picture, Id::pnlPreview, "", {1, 1, 90, 51}},
        Label(Id::gbBMP, "BMP Simliar:", 6, 75),
        Numeric(Id::edBMPSimilar, Id::gbBMP, &F::edBMPSimilar, 94, 72, 34),
        Label(Id::gbBMP, "%", 146, 75),
        {Id::pnlScope, Kind::Panel, Id::gbClickPoint, "", {3, 427, 186, 109}},
        Radio(Id::rbFull, Id::pnlScope, &F::ScreenType, 0, {6, 4, 170, kRadioHeight}),
        Radio(Id::rbPart, Id::pnlScope, &F::ScreenType, 1, {6, 24, 170, kRadioHeight}),
        Button(Id::btnCaptureScope, Id::pnlScope, "Capture Scope", {6, 48, 50, 54}),
        {Id::pnlScopeEdges, Kind::SunkenFrame, Id::pnlScope, "", {60, 48, 122, 54}},
        Label(Id::pnlScopeEdges, "L:", 4, 7),
        Numeric(Id::edColorL, Id::pnlScopeEdges, &F::edColorL, 18, 4, 40),
        Label(Id::pnlScopeEdges, "R:", 62, 7),
        Numeric(Id::edColorR, Id::pnlScopeEdges, &F::edColorR, 77, 4, 40),
        Label(Id::pnlScopeEdges, "T:", 4, 31),
        Numeric(Id::edColorT, Id::pnlScopeEdges, &F::edColorT, 18, 28, 40),
        Label(Id::pnlScopeEdges, "B:", 62, 31),
        Numeric(Id::edColorB, Id::pnlScopeEdges, &F::edColorB, 77, 28, 40),
    };
}

std::vector<TEditorControl> Timing() {
    return {
        Group(Id::gbClickOptions, Id::Panel, "Click Options", {208, 5, 206, 73}),
        Label(Id::gbClickOptions, "Mouse Button:", 8, 21),
        List(Id::cbButton, Id::gbClickOptions, &F::mouseType, 96, 17, 102),
        Label(Id::gbClickOptions, "Mouse Action:", 8, 47),
        List(Id::cbClick, Id::gbClickOptions, &F::actionType, 96, 43, 102),
        Group(Id::gbClickInterval, Id::Panel, "Click Interval", {208, 78, 206, 136}),
        Radio(Id::rbIntFixed, Id::gbClickInterval, &F::InteverType, 0, {8, 16, 180, kRadioHeight}, Look::Blue),
        Numeric(Id::edIntHour, Id::gbClickInterval, &F::edIntHour, 6, 38, 22),
        Label(Id::gbClickInterval, "Hour", 43, 41),
        Numeric(Id::edIntMinute, Id::gbClickInterval, &F::edIntMinute, 74, 38, 22),
        Label(Id::gbClickInterval, "Min", 111, 41),
        Numeric(Id::edIntSecond, Id::gbClickInterval, &F::edIntSecond, 136, 38, 22),
        Label(Id::gbClickInterval, "Sec", 173, 41),
        Numeric(Id::edIntTenths, Id::gbClickInterval, &F::edIntTenths, 6, 64, 16),
        Label(Id::gbClickInterval, "0.1S", 37, 67),
        Numeric(Id::edIntHundredths, Id::gbClickInterval, &F::edIntHundredths, 67, 64, 16),
        Label(Id::gbClickInterval, "0.01S", 98, 67),
        Numeric(Id::edIntThousandths, Id::gbClickInterval, &F::edIntThousandths, 134, 64, 16),
        Label(Id::gbClickInterval, "0.001S", 165, 67),
        Radio(Id::rbIntRan, Id::gbClickInterval, &F::InteverType, 1, {8, 88, 140, kRadioHeight}, Look::Blue),
        Numeric(Id::edRanBegin, Id::gbClickInterval, &F::edRanBegin, 8, 110, 16),
        Label(Id::gbClickInterval, "1/10 S", 41, 113),
        Label(Id::gbClickInterval, "to", 86, 113),
        Numeric(Id::edRanEnd, Id::gbClickInterval, &F::edRanEnd, 102, 110, 30),
        Label(Id::gbClickInterval, "Seconds", 149, 113),
        Group(Id::gbStartOptions, Id::Panel, "Start Options", {208, 215, 206, 119}),
        Radio(Id::rbNow, Id::gbStartOptions, &F::startType, 0, {8, 16, 120, kRadioHeight}),
        Radio(Id::rbAt, Id::gbStartOptions, &F::startType, 1, {8, 38, 80, kRadioHeight}),
        {Id::dtpTime, Kind::TimePicker, Id::gbStartOptions, "", {90, 35, 90, 22}, Look::Plain, &F::fStartAt},
        Radio(Id::rbAfter, Id::gbStartOptions, &F::startType, 2, {8, 60, 180, kRadioHeight}),
        Label(Id::gbStartOptions, "Hours", 8, 79),
        Numeric(Id::edtStartHour, Id::gbStartOptions, &F::edtStartHour, 8, 93, 24),
        Label(Id::gbStartOptions, "Minutes", 70, 79),
        Numeric(Id::edtStartMin, Id::gbStartOptions, &F::edtStartMin, 70, 93, 24),
        Label(Id::gbStartOptions, "Seconds", 134, 79),
        Numeric(Id::edtStartSec, Id::gbStartOptions, &F::edtStartSec, 134, 93, 24),
    };
}

// The lines to paste into the desktop's configuration, with where they go above them.
std::vector<TEditorControl> DesktopKeys() {
    return {
        Group(Id::gbDesktopKeys, Id::Panel, "Keys Bound in the Desktop", {8, kHotKeysBottom, 407, kDesktopKeysHeight}),
        {Id::lblDesktopKeysWhere, Kind::Label, Id::gbDesktopKeys, "", {10, 17, 0, 0}},
        {Id::edDesktopKeys, Kind::ReadOnlyLines, Id::gbDesktopKeys, "", {8, 32, 336, 48}},
        Button(Id::btnCopyDesktopKeys, Id::gbDesktopKeys, "Copy", {350, 32, 50, 25}),
    };
}

std::vector<TEditorControl> Ending(bool keysBoundInDesktop) {
    std::vector<TEditorControl> controls{
        Group(Id::gbStopOptions, Id::Panel, "Stop Options", {208, 334, 206, 78}),
        Radio(Id::rbStopOrder, Id::gbStopOptions, &F::stopType, 0, {8, 18, 180, kRadioHeight}),
        Radio(Id::rbStopClick, Id::gbStopOptions, &F::stopType, 1, {8, 44, 108, kRadioHeight}),
        Numeric(Id::edStopTimes, Id::gbStopOptions, &F::edStopTimes, 118, 43, 36),
        Label(Id::gbStopOptions, "times", 170, 46),
        Group(Id::gbAfterClick, Id::Panel, "After Fixed Point Click", {208, 413, 206, 94}),
        Radio(Id::rbNo, Id::gbAfterClick, &F::finishType, 0, {8, 16, 180, kRadioHeight}),
        Radio(Id::rbBack, Id::gbAfterClick, &F::finishType, 1, {8, 36, 194, kRadioHeight}),
        // The longest caption, on two lines.
        Radio(Id::rbBackClick, Id::gbAfterClick, &F::finishType, 2, {8, 56, 194, 34}),
        Group(Id::gbHoldSpread, Id::Panel, "Hold and Spread", {208, 507, 206, 68}),
        Label(Id::gbHoldSpread, "Hold", 8, 21),
        Numeric(Id::edHoldTime, Id::gbHoldSpread, &F::edHoldTime, 44, 18, 38),
        Label(Id::gbHoldSpread, "to", 100, 21),
        Numeric(Id::edHoldTimeTo, Id::gbHoldSpread, &F::edHoldTimeTo, 116, 18, 38),
        Label(Id::gbHoldSpread, "ms", 174, 21),
        Label(Id::gbHoldSpread, "Spread", 8, 45),
        Numeric(Id::edJitter, Id::gbHoldSpread, &F::edJitter, 52, 42, 30),
        {Id::lblSpreadArea, Kind::Label, Id::gbHoldSpread, "", {102, 45, 0, 0}},
        Group(Id::gbHotKeys, Id::Panel, "Click HotKey", {8, kHotKeysBottom - 50, 407, 50}),
        Label(Id::gbHotKeys, "Start Hotkey:", 10, 23),
        Label(Id::gbHotKeys, "Ctrl +", 94, 23),
        List(Id::cbHKStart, Id::gbHotKeys, &F::hkStart, 132, 19, 60),
        Label(Id::gbHotKeys, "Stop Hotkey:", 212, 23),
        Label(Id::gbHotKeys, "Ctrl +", 294, 23),
        List(Id::cbHKStop, Id::gbHotKeys, &F::hkStop, 332, 19, 60),
    };
    if (keysBoundInDesktop) {
        const std::vector<TEditorControl> desktopKeys = DesktopKeys();
        controls.insert(controls.end(), desktopKeys.begin(), desktopKeys.end());
    }
    const int findTop = kHotKeysBottom + 4 + (keysBoundInDesktop ? kDesktopKeysHeight : 0);
    controls.push_back(
        Button(Id::btnFindNow, Id::Panel, TClickEditorModel::FindNowCaption(false), {8, findTop, 75, 25}));
    controls.push_back({Id::lblFindResult, Kind::Note, Id::Panel, "", {90, findTop, 325, 40}});
    const int nameTop = findTop + kFindRowHeight + 7;
    controls.push_back(Label(Id::Panel, "Action Name:", 12, nameTop + 2, Look::Title));
    controls.push_back({Id::edName, Kind::LineEdit, Id::Panel, "", {92, nameTop, 111, 21}, Look::Blue, &F::edName});
    return controls;
}

std::vector<TEditorControl> AllControls(bool keysBoundInDesktop) {
    std::vector<TEditorControl> all = ClickPoint();
    for (const auto& part : {Timing(), Ending(keysBoundInDesktop)})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
} // namespace

TSize TClickEditorLayout::PanelSize(bool keysBoundInDesktop) {
    return {421, kHotKeysBottom + 38 + kFindRowHeight + (keysBoundInDesktop ? kDesktopKeysHeight : 0)};
}

const std::vector<TEditorControl>& TClickEditorLayout::Controls(bool keysBoundInDesktop) {
    static const std::vector<TEditorControl> plain = AllControls(false);
    static const std::vector<TEditorControl> withDesktopKeys = AllControls(true);
    return keysBoundInDesktop ? withDesktopKeys : plain;
}

const TEditorControl& TClickEditorLayout::Control(TEditorId id) {
    for (bool keysBoundInDesktop : {false, true})
        for (const TEditorControl& control : Controls(keysBoundInDesktop))
            if (control.id == id && id != TEditorId::None)
                return control;
    throw std::logic_error("no such editor control");
}

std::vector<TUnavailable> TClickEditorLayout::Unavailable(const TEditorSystem& system) {
    if (system.readsPointer)
        return {};
    const char* noGoingBack = "Wayland lets no program read the pointer, so a click cannot go back where it was.";
    return {
        {Id::btnCapture, "Wayland lets no program read the pointer, so the point is picked on the frozen screen."},
        {Id::btnCaptureColor,
         "Wayland lets no program read the pointer, so the colour is picked on the frozen screen."},
        {Id::rbBack, noGoingBack},
        {Id::rbBackClick, noGoingBack},
    };
}

TRect TClickEditorLayout::PanelBounds(const TEditorControl& control) {
    TRect bounds = control.bounds;
    for (TEditorId parent = control.parent; parent != TEditorId::Panel;) {
        const TEditorControl& container = Control(parent);
        bounds.left += container.bounds.left;
        bounds.top += container.bounds.top;
        parent = container.parent;
    }
    return bounds;
}

bool TClickEditorLayout::Within(const TEditorControl& control, TEditorId container) {
    if (control.id == container)
        return true;
    for (TEditorId parent = control.parent; parent != TEditorId::Panel; parent = Control(parent).parent)
        if (parent == container)
            return true;
    return false;
}

std::vector<std::string> TClickEditorLayout::Items(int TClickEditorFields::*list) {
    if (list == &F::mouseType || list == &F::actionType) {
        const auto& items = list == &F::mouseType ? TClickEditorModel::ButtonItems() : TClickEditorModel::ActionItems();
        return {items.begin(), items.end()};
    }
    std::vector<std::string> keys;
    for (int n = 0; n < TClickEditorModel::kHotKeyCount; ++n)
        keys.push_back(TClickEditorModel::HotKeyItem(n, true));
    return keys;
}
