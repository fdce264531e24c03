#include "control/ClickEditorModel.h"
#include "control/CaptureSession.h"
#include "control/DryRunText.h"
#include "engine/ClickVariation.h"
#include "model/ClickTexts.h"
#include "model/ColorText.h"
#include "pixels/Base64.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace {
using F = TClickEditorFields;
constexpr std::int64_t kStoredMax = std::numeric_limits<std::int32_t>::max();
// More significant digits than this cannot fit a stored value, whatever it is multiplied by; fewer cannot overflow
// the sums below.
constexpr std::size_t kMostDigits = 12;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SignAllowed(TNumberKind kind) {
    return kind != TNumberKind::Digits;
}

// The number in a field's text, blanks around it allowed; nothing when it holds no number of its kind.
std::optional<std::int64_t> NumberOf(const TNumericField& field, const std::string& text) {
    const std::string trimmed = Trimmed(text);
    const bool minus = SignAllowed(field.kind) && trimmed.starts_with('-');
    const std::string digits = trimmed.substr(minus ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::size_t firstSignificant = std::min(digits.find_first_not_of('0'), digits.size());
    if (digits.size() - firstSignificant > kMostDigits)
        return std::nullopt;
    const std::int64_t magnitude = std::stoll(digits);
    return minus ? -magnitude : magnitude;
}

// The number in a field already checked by Refusal.
std::int64_t Number(const F& fields, std::string F::*text) {
    return *NumberOf(TClickEditorModel::NumericField(text), fields.*text);
}

// A stored value made of numeric fields, each times its factor, and its range.
struct TComposedValue {
    std::string what;
    std::vector<std::pair<std::string F::*, std::int64_t>> parts;
    std::int64_t min;
    std::int64_t max;
    std::string unit;
};

std::int64_t ComposedOf(const F& fields, const TComposedValue& value) {
    std::int64_t sum = 0;
    for (const auto& [text, factor] : value.parts)
        sum += Number(fields, text) * factor;
    return sum;
}

std::string Named(const char* name) {
    return "The field \"" + std::string(name) + "\"";
}

std::vector<TComposedValue> ComposedValues(TRect monitors) {
    std::vector<TComposedValue> values{
        {"The click interval (Hour, Min, Sec, 0.1S, 0.01S, 0.001S)",
         {{&F::edIntHour, 3600000},
          {&F::edIntMinute, 60000},
          {&F::edIntSecond, 1000},
          {&F::edIntTenths, 100},
          {&F::edIntHundredths, 10},
          {&F::edIntThousandths, 1}},
         1,
         kStoredMax,
         " ms"},
        {"The random interval's lower bound (1/10 S)", {{&F::edRanBegin, 100}}, 0, kStoredMax, " ms"},
        {"The random interval's upper bound (Seconds)", {{&F::edRanEnd, 1000}}, 0, kStoredMax, " ms"},
        {"The start delay (Hours, Minutes, Seconds)",
         {{&F::edtStartHour, 3600}, {&F::edtStartMin, 60}, {&F::edtStartSec, 1}},
         0,
         kStoredMax,
         " seconds"},
        {Named("Color Simliar"), {{&F::edSimilar, 1}}, 0, 100, " %"},
        {Named("BMP Simliar"), {{&F::edBMPSimilar, 1}}, 0, 100, " %"},
        {Named("times"), {{&F::edStopTimes, 1}}, 1, kStoredMax, ""},
        {"The hold time (Hold)", {{&F::edHoldTime, 1}}, 0, kMaxHoldTime, " ms"},
        {"The longest hold time (to)", {{&F::edHoldTimeTo, 1}}, 0, kMaxHoldTime, " ms"},
        {Named("Spread"), {{&F::edJitter, 1}}, 0, kMaxJitter, " pixels"},
    };
    for (const TNumericField& field : TClickEditorModel::NumericFields()) {
        if (field.kind == TNumberKind::Digits)
            continue;
        const bool across = field.kind == TNumberKind::Across;
        const std::int64_t first = across ? monitors.left : monitors.top;
        values.push_back(
            {Named(field.name), {{field.text, 1}}, first, first + (across ? monitors.width : monitors.height), ""});
    }
    return values;
}

// The field a refused value sends the user to: its first part that is not 0.
std::string F::*FirstSetPart(const F& fields, const TComposedValue& value) {
    for (const auto& [text, factor] : value.parts)
        if (Number(fields, text) != 0)
            return text;
    return value.parts.front().first;
}

bool LeftAsShown(const F& fields, std::string F::*text) {
    std::size_t index = 0;
    for (const TNumericField& field : TClickEditorModel::NumericFields()) {
        if (field.kind == TNumberKind::Digits)
            continue;
        if (field.text == text)
            return index < fields.coordinatesAsShown.size() && fields.coordinatesAsShown[index] == fields.*text;
        ++index;
    }
    return false;
}

void RememberCoordinates(F& fields) {
    fields.coordinatesAsShown.clear();
    for (const TNumericField& field : TClickEditorModel::NumericFields())
        if (field.kind != TNumberKind::Digits)
            fields.coordinatesAsShown.push_back(fields.*field.text);
}

std::string Text(std::int64_t value) {
    return std::to_string(value);
}

constexpr int kFrameWidth = 2;
constexpr int kCrossArm = 12;
// The cross leaves the pixel found and its neighbours free.
constexpr int kCrossGap = 3;
constexpr std::uint32_t kPictureMarkColor = 0xFF0000;
constexpr std::uint32_t kScopeMarkColor = 0x0078D7;
constexpr int kDotSize = 3;
constexpr int kDotSpacing = 10;

// A vivid colour whose red lies at least 128 away from the colour's, so that no search for it at a similarity above
// 50 % matches the mark.
std::uint32_t MarkColorFor(std::uint32_t rgb) {
    return (rgb >> 16 & 0xFF) < 0x80 ? 0xFF00FF : 0x00FF00;
}

// The bars of a frame of `width` lying just outside `inner`.
std::vector<TMarkBar> FrameAround(TRect inner, int width, std::uint32_t color) {
    const int right = inner.left + inner.width, bottom = inner.top + inner.height;
    const int outerWidth = inner.width + 2 * width;
    return {{{inner.left - width, inner.top - width, outerWidth, width}, color},
            {{inner.left - width, bottom, outerWidth, width}, color},
            {{inner.left - width, inner.top, width, inner.height}, color},
            {{right, inner.top, width, inner.height}, color}};
}

std::vector<TMarkBar> CrossOn(TPoint at, std::uint32_t color) {
    const int reach = kCrossGap + 1;
    return {{{at.x - reach - kCrossArm + 1, at.y - 1, kCrossArm, 3}, color},
            {{at.x + reach, at.y - 1, kCrossArm, 3}, color},
            {{at.x - 1, at.y - reach - kCrossArm + 1, 3, kCrossArm}, color},
            {{at.x - 1, at.y + reach, 3, kCrossArm}, color}};
}

// Dots just outside the circle a spread of `radius` lands in, as many as leave gaps the eye joins; on the monitor
// when one is given, where a click beyond its edge lands on the edge.
std::vector<TMarkBar> SpreadRing(TPoint centre, int radius, const TRect* monitor, std::uint32_t color) {
    if (radius <= 0)
        return {};
    const double ringRadius = std::min(radius, kMaxJitter) + kDotSize / 2 + 1;
    const int dots = std::clamp(static_cast<int>(2 * std::numbers::pi * ringRadius / kDotSpacing), 8, 32);
    std::vector<TMarkBar> ring;
    for (int i = 0; i < dots; ++i) {
        const double angle = 2 * std::numbers::pi * i / dots;
        TPoint dot{centre.x + static_cast<int>(std::lround(ringRadius * std::cos(angle))) - kDotSize / 2,
                   centre.y + static_cast<int>(std::lround(ringRadius * std::sin(angle))) - kDotSize / 2};
        if (monitor != nullptr) {
            dot.x = std::clamp(dot.x, monitor->left, monitor->left + monitor->width - kDotSize);
            dot.y = std::clamp(dot.y, monitor->top, monitor->top + monitor->height - kDotSize);
        }
        ring.push_back({{dot.x, dot.y, kDotSize, kDotSize}, color});
    }
    return ring;
}

std::uint32_t SearchedColor(const TMouseObj& click) {
    try {
        const std::uint32_t bgr = std::uint32_t(StringToColor(click.fColor));
        return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
    } catch (const std::invalid_argument&) {
        return 0;
    }
}

// The stored value for a radio group whose first item means `first` and any other choice `other`.
std::uint8_t FirstOr(int chosen, std::uint8_t first, std::uint8_t other) {
    return chosen == 0 ? first : other;
}
} // namespace

TClickEditorFields TClickEditorModel::Initial(TTimeOfDay now) {
    TClickEditorFields fields;
    fields.fStartAt = StartTimeText(now);
    RememberCoordinates(fields);
    return fields;
}

TClickEditorFields TClickEditorModel::FromClick(const TMouseObj& click, const TClickEditorFields& shown) {
    TClickEditorFields f = shown;
    f.pointType = click.pointType <= ptPicture ? click.pointType : -1;
    f.edPX = Text(click.fPosX);
    f.edPY = Text(click.fPosY);
    f.fColor = click.fColor;
    f.edSimilar = Text(click.fColorSimplar);
    if (!click.fBMP.empty()) {
        try {
            f.picture = Base64ToStream(click.fBMP);
        } catch (const std::invalid_argument&) {
            f.picture.clear();
            f.pictureUnreadable = true;
        }
    }
    f.edBMPSimilar = Text(click.fBMPSimplar);
    f.ScreenType = click.ScreenType <= scPart ? click.ScreenType : -1;
    f.edColorL = Text(click.fLeft);
    f.edColorT = Text(click.fTop);
    f.edColorR = Text(click.fRight);
    f.edColorB = Text(click.fBottom);
    f.mouseType = click.mouseType;
    f.actionType = click.actionType;
    f.InteverType = click.InteverType <= itRandom ? click.InteverType : -1;
    const std::int32_t interval = std::max<std::int32_t>(click.iClickInterval, 1);
    f.edIntHour = Text(interval / 3600000);
    f.edIntMinute = Text(interval % 3600000 / 60000);
    f.edIntSecond = Text(interval % 60000 / 1000);
    f.edIntTenths = Text(interval % 1000 / 100);
    f.edIntHundredths = Text(interval % 100 / 10);
    f.edIntThousandths = Text(interval % 10);
    f.edRanBegin = Text(click.fRanBegin / 100);
    f.edRanEnd = Text(click.fRanEnd / 1000);
    f.startType = click.startType <= stAfter ? click.startType : -1;
    const std::optional<TTimeOfDay> startAt = ReadStartTime(click.fStartAt);
    if (startAt)
        f.fStartAt = StartTimeText(*startAt);
    f.startAtUnreadable = !startAt && !Trimmed(click.fStartAt).empty();
    f.startAtAsLoaded = f.fStartAt;
    f.edtStartHour = Text(click.fStartInterval / 3600);
    f.edtStartMin = Text(click.fStartInterval % 3600 / 60);
    f.edtStartSec = Text(click.fStartInterval % 60);
    f.stopType = click.stopType <= spRepeat ? click.stopType : -1;
    f.edStopTimes = Text(click.fRepeat);
    f.hkStart = click.hkStart;
    f.hkStop = click.hkStop;
    f.finishType = click.finishType <= ftBackClick ? click.finishType : -1;
    f.edHoldTime = Text(click.fHoldTime);
    f.edHoldTimeTo = Text(click.fHoldTimeTo);
    f.edJitter = Text(click.fJitter);
    f.edName = click.fName;
    RememberCoordinates(f);
    return f;
}

std::string TClickEditorModel::LoadNotice(const TClickEditorFields& fields) {
    std::string notice;
    if (fields.pictureUnreadable)
        notice = "The stored picture of this click could not be read, so the editor shows none. OK stores the click "
                 "without a picture; Cancel keeps it as it was.";
    if (fields.startAtUnreadable)
        notice += std::string(notice.empty() ? "" : "\n\n") +
                  "The stored start time of this click is no time of day, so the editor shows " + fields.fStartAt +
                  ". OK keeps the stored start time unless you change it; Cancel keeps the click as it was.";
    return notice;
}

const std::vector<TNumericField>& TClickEditorModel::NumericFields() {
    using K = TNumberKind;
    static const std::vector<TNumericField> fields{
        {"X", &F::edPX, K::Across, 5, std::nullopt},
        {"Y", &F::edPY, K::Down, 5, std::nullopt},
        {"Color Simliar", &F::edSimilar, K::Digits, 0, TSpin{60, 100, 5}},
        {"BMP Simliar", &F::edBMPSimilar, K::Digits, 0, TSpin{60, 100, 5}},
        {"L", &F::edColorL, K::Across, 5, std::nullopt},
        {"R", &F::edColorR, K::Across, 5, std::nullopt},
        {"T", &F::edColorT, K::Down, 5, std::nullopt},
        {"B", &F::edColorB, K::Down, 5, std::nullopt},
        {"Hour", &F::edIntHour, K::Digits, 2, TSpin{0, 23}},
        {"Min", &F::edIntMinute, K::Digits, 2, TSpin{0, 59}},
        {"Sec", &F::edIntSecond, K::Digits, 2, TSpin{0, 59}},
        {"0.1S", &F::edIntTenths, K::Digits, 1, TSpin{0, 9}},
        {"0.01S", &F::edIntHundredths, K::Digits, 1, TSpin{0, 9}},
        {"0.001S", &F::edIntThousandths, K::Digits, 1, TSpin{0, 9}},
        {"Random Interval 1/10 S", &F::edRanBegin, K::Digits, 1, TSpin{0, 9}},
        {"Random Interval Seconds", &F::edRanEnd, K::Digits, 3, TSpin{0, 999}},
        {"Start after Hours", &F::edtStartHour, K::Digits, 2, TSpin{0, 23}},
        {"Start after Minutes", &F::edtStartMin, K::Digits, 2, TSpin{0, 59}},
        {"Start after Seconds", &F::edtStartSec, K::Digits, 2, TSpin{0, 59}},
        {"times", &F::edStopTimes, K::Digits, 0, TSpin{1, 10000, 10}},
        {"Hold", &F::edHoldTime, K::Digits, 5, TSpin{0, kMaxHoldTime, 10}},
        {"Hold to", &F::edHoldTimeTo, K::Digits, 5, TSpin{0, kMaxHoldTime, 10}},
        {"Spread", &F::edJitter, K::Digits, 3, TSpin{0, kMaxJitter}},
    };
    return fields;
}

TRect TClickEditorModel::Extent(const std::vector<TRect>& monitors) {
    if (monitors.empty())
        return {};
    int left = monitors.front().left, top = monitors.front().top;
    int right = left + monitors.front().width, bottom = top + monitors.front().height;
    for (const TRect& monitor : monitors) {
        left = std::min(left, monitor.left);
        top = std::min(top, monitor.top);
        right = std::max(right, monitor.left + monitor.width);
        bottom = std::max(bottom, monitor.top + monitor.height);
    }
    return {left, top, right - left, bottom - top};
}

const TNumericField& TClickEditorModel::NumericField(std::string TClickEditorFields::*text) {
    for (const TNumericField& field : NumericFields())
        if (field.text == text)
            return field;
    throw std::logic_error("not a numeric field");
}

TClickEditorFields TClickEditorModel::WithScope(TClickEditorFields fields, TPoint start, TPoint end) {
    fields.edColorL = std::to_string(start.x);
    fields.edColorT = std::to_string(start.y);
    fields.edColorR = std::to_string(end.x);
    fields.edColorB = std::to_string(end.y);
    return fields;
}

bool TClickEditorModel::Accepts(const TNumericField& field, const std::string& text) {
    if (field.maxLength > 0 && text.size() > std::size_t(field.maxLength))
        return false;
    const std::size_t digitsFrom = SignAllowed(field.kind) && text.starts_with('-') ? 1 : 0;
    return text.find_first_not_of("0123456789", digitsFrom) == std::string::npos;
}

// A double click counts only when its second press comes within the system's double-click time.
std::optional<TFieldRefusal> DoubleClickHoldRefusal(const F& fields, int doubleClickTime) {
    if (fields.actionType != atDouble)
        return std::nullopt;
    const std::int64_t longest = LongestDoubleClickHold(doubleClickTime);
    for (std::string F::*hold : {&F::edHoldTime, &F::edHoldTimeTo}) {
        if (Number(fields, hold) <= longest)
            continue;
        std::string message = "A double click counts only when its two presses come within the system's double-click "
                              "time (";
        message.append(Text(doubleClickTime)).append(" ms), so each press can be held at most ");
        return TFieldRefusal{hold, message.append(Text(longest)).append(" ms.")};
    }
    return std::nullopt;
}

std::optional<TFieldRefusal> TClickEditorModel::Refusal(const TClickEditorFields& fields, TRect monitors,
                                                        int doubleClickTime) {
    for (const TNumericField& field : NumericFields()) {
        if (NumberOf(field, fields.*field.text))
            continue;
        const bool empty = Trimmed(fields.*field.text).empty();
        return TFieldRefusal{field.text,
                             Named(field.name) + (empty ? " is empty. Please enter a number."
                                                        : " does not hold a number. Please enter a number.")};
    }
    for (const TComposedValue& value : ComposedValues(monitors)) {
        const std::int64_t composed = ComposedOf(fields, value);
        if (composed >= value.min && composed <= value.max)
            continue;
        // The count matters only to a click that stops after it; any other keeps whatever its file holds.
        if (value.parts.front().first == &F::edStopTimes && fields.stopType != spRepeat)
            continue;
        if (value.parts.size() == 1 && value.parts.front().second == 1 && composed >= INT32_MIN &&
            composed <= kStoredMax && LeftAsShown(fields, value.parts.front().first))
            continue;
        return TFieldRefusal{FirstSetPart(fields, value), value.what + " must be from " + Text(value.min) + " to " +
                                                              Text(value.max) + value.unit + "."};
    }
    return DoubleClickHoldRefusal(fields, doubleClickTime);
}

std::string TClickEditorModel::SpreadArea(const std::string& edJitter) {
    const std::optional<std::int64_t> radius = NumberOf(NumericField(&F::edJitter), edJitter);
    if (!radius)
        return {};
    if (*radius == 0)
        return "on the target";
    std::string area = "in a ";
    return area.append(Text(*radius * 2 + 1)).append(" px circle");
}

const std::vector<const char*>& TClickEditorModel::Choices(int TClickEditorFields::*group) {
    static const std::vector<std::pair<int F::*, std::vector<const char*>>> groups{
        {&F::pointType,
         {"Click where the mouse is", "Click on a fixed point", "Search color block and click",
          "Search picture and click"}},
        {&F::ScreenType, {"Full screen to search", "Part screen to search"}},
        {&F::InteverType, {"Fixed Interval", "Random Interval"}},
        {&F::startType, {"Right now", "Start at", "Start after interval"}},
        {&F::stopType, {"Stop till get command", "Stop till repeat"}},
        {&F::finishType, {kAfterClickTexts.begin(), kAfterClickTexts.end()}},
    };
    for (const auto& [field, captions] : groups)
        if (field == group)
            return captions;
    throw std::logic_error("not a radio group");
}

const std::vector<const char*>& TClickEditorModel::ButtonItems() {
    static const std::vector<const char*> items{kMouseButtonTexts.begin(), kMouseButtonTexts.end()};
    return items;
}

const std::vector<const char*>& TClickEditorModel::ActionItems() {
    static const std::vector<const char*> items{kMouseActionTexts.begin(), kMouseActionTexts.end()};
    return items;
}

TMouseObj TClickEditorModel::ToClick(const TClickEditorFields& f, const TMouseObj& shown, TRect monitors,
                                     int doubleClickTime) {
    if (const std::optional<TFieldRefusal> refusal = Refusal(f, monitors, doubleClickTime))
        throw std::invalid_argument(refusal->message);
    const auto stored = [&](std::string F::*text) { return std::int32_t(Number(f, text)); };
    const std::vector<TComposedValue> composed = ComposedValues(monitors);
    const auto composedAt = [&](std::size_t index) { return std::int32_t(ComposedOf(f, composed[index])); };
    TMouseObj click = shown;
    if (f.pointType >= 0)
        click.pointType = TPointType(f.pointType);
    click.fPosX = stored(&F::edPX);
    click.fPosY = stored(&F::edPY);
    click.fColor = f.fColor;
    click.fColorSimplar = stored(&F::edSimilar);
    click.fBMP = StreamToBase64(f.picture);
    click.fBMPSimplar = stored(&F::edBMPSimilar);
    click.ScreenType = FirstOr(f.ScreenType, scFull, scPart);
    click.fLeft = stored(&F::edColorL);
    click.fTop = stored(&F::edColorT);
    click.fRight = stored(&F::edColorR);
    click.fBottom = stored(&F::edColorB);
    if (f.mouseType >= 0)
        click.mouseType = TMouseType(f.mouseType);
    if (f.actionType >= 0)
        click.actionType = TActionType(f.actionType);
    click.InteverType = FirstOr(f.InteverType, itFixed, itRandom);
    click.iClickInterval = composedAt(0);
    click.fRanBegin = composedAt(1);
    click.fRanEnd = composedAt(2);
    click.startType = f.startType == 0 ? stNow : f.startType == 1 ? stAt : stAfter;
    if (!f.startAtUnreadable || f.fStartAt != f.startAtAsLoaded)
        click.fStartAt = f.fStartAt;
    click.fStartInterval = composedAt(3);
    click.stopType = f.stopType == 1 ? spRepeat : spCommand;
    click.fRepeat = stored(&F::edStopTimes);
    if (f.hkStart >= 0)
        click.hkStart = std::uint8_t(f.hkStart);
    if (f.hkStop >= 0)
        click.hkStop = std::uint8_t(f.hkStop);
    click.finishType = f.finishType == 0 ? ftNothing : f.finishType == 1 ? ftBack : ftBackClick;
    click.fHoldTime = stored(&F::edHoldTime);
    click.fHoldTimeTo = stored(&F::edHoldTimeTo);
    click.fJitter = stored(&F::edJitter);
    click.fName = f.edName;
    return click;
}

TPointGroups TClickEditorModel::EnabledGroups(int pointType) {
    return {pointType == ptFixed, pointType == ptColor, pointType == ptPicture};
}

std::string TClickEditorModel::HotKeyItem(int n, bool available) {
    // Appended in steps: GCC 12 warns wrongly (-Wrestrict) about a literal added to a temporary string.
    std::string item(1, 'F');
    item.append(std::to_string(n + 1));
    return available ? item : item.append(" (unavailable)");
}

const char* TClickEditorModel::FindNowCaption(bool searching) {
    return searching ? "Cancel" : "Find now";
}

TFindNowAction::TFindNowAction(IScreen& screen, IEventLoop& loop, IFindNowView& view, TRect monitors,
                               bool placesWindows)
    : m_screen(screen), m_view(view), m_monitors(monitors), m_placesWindows(placesWindows), m_findNow(screen, loop),
      m_markTimer(loop.createTimer()) {
    m_markTimer->setInterval(kMarkMs);
    m_markTimer->setOnTick([this] { HideMark(); });
}

void TFindNowAction::Click() {
    if (Searching()) {
        Cancel();
        return;
    }
    HideMark();
    TMouseObj click;
    try {
        click = TClickEditorModel::ToClick(m_view.fields(), TMouseObj{}, m_monitors);
    } catch (const std::invalid_argument& refused) {
        m_view.showFindResult(refused.what());
        return;
    }
    m_view.hideEditor();
    m_view.waitHidden(kHideForCaptureMs);
    m_findNow.Start(click, [this, click](const TDryRunResult& result) { Show(click, result); });
    m_view.showEditor();
    m_view.setFindNowCaption(TClickEditorModel::FindNowCaption(true));
}

void TFindNowAction::Cancel() {
    m_findNow.Cancel();
}

void TFindNowAction::HideMark() {
    m_markTimer->setEnabled(false);
    m_view.hideMark();
}

void TFindNowAction::Show(const TMouseObj& click, const TDryRunResult& result) {
    const std::vector<TRect> monitors = click.fJitter > 0 ? m_screen.monitorAreas() : std::vector<TRect>{};
    const TFindNowShown shown = Shown(click, result, m_placesWindows, monitors);
    m_view.setFindNowCaption(TClickEditorModel::FindNowCaption(false));
    m_view.showFindResult(shown.line);
    if (shown.mark.empty())
        return;
    m_view.showMark(shown.mark);
    m_markTimer->setEnabled(true);
}

TFindNowShown TFindNowAction::Shown(const TMouseObj& click, const TDryRunResult& result, bool placesWindows,
                                    std::span<const TRect> monitors) {
    TFindNowShown shown{DryRunLine(result), {}};
    if (result.outcome != TDryRunOutcome::Found)
        return shown;
    if (!placesWindows) {
        shown.line += " It is not marked on the screen: Wayland lets no program put a window where it wants.";
        return shown;
    }
    const std::uint32_t color = click.pointType == ptPicture ? kPictureMarkColor : MarkColorFor(SearchedColor(click));
    if (click.pointType == ptPicture)
        shown.mark = FrameAround({result.pictureAt.x, result.pictureAt.y, result.picture.width, result.picture.height},
                                 kFrameWidth, color);
    else
        shown.mark = CrossOn(result.place, color);
    for (const TMarkBar& dot : SpreadRing(result.place, click.fJitter, MonitorShowing(monitors, result.place), color))
        shown.mark.push_back(dot);
    for (const TMarkBar& bar : FrameAround(result.scope, 1, kScopeMarkColor))
        shown.mark.push_back(bar);
    return shown;
}
