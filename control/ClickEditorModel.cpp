#include "control/ClickEditorModel.h"
#include "pixels/Base64.h"

#include <cstdio>
#include <stdexcept>

namespace {
std::optional<std::int32_t> NumberOf(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const std::string trimmed = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const bool sign = trimmed[0] == '-' || trimmed[0] == '+';
    if (trimmed.size() == std::size_t(sign) || trimmed.size() > 12 ||
        trimmed.find_first_not_of("0123456789", sign ? 1 : 0) != std::string::npos)
        return std::nullopt;
    const long long value = std::stoll(trimmed);
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return std::int32_t(value);
}

std::string Text(std::int32_t value) {
    return std::to_string(value);
}

// The number in a field already checked by Unreadable.
std::int32_t Number(const TClickEditorFields& fields, std::string TClickEditorFields::*text) {
    return *NumberOf(fields.*text);
}

// The stored value for a radio group whose first item means `first` and any other choice `other`.
std::uint8_t FirstOr(int chosen, std::uint8_t first, std::uint8_t other) {
    return chosen == 0 ? first : other;
}
} // namespace

TClickEditorFields TClickEditorModel::Initial(TTimeOfDay now) {
    TClickEditorFields fields;
    fields.fStartAt = TimeText(now);
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
    const std::int32_t interval = click.iClickInterval;
    f.edIntHour = Text(interval / 3600000);
    f.edIntMinute = Text(interval % 3600000 / 60000);
    f.edIntSecond = Text(interval % 60000 / 1000);
    f.edIntTenths = Text(interval % 1000 / 100);
    f.edIntHundredths = Text(interval % 100 / 10);
    f.edIntThousandths = Text(interval % 10);
    f.edRanBegin = Text(click.fRanBegin / 100);
    f.edRanEnd = Text(click.fRanEnd / 1000);
    f.startType = click.startType <= stAfter ? click.startType : -1;
    if (const auto startAt = TimeOfDay(click.fStartAt))
        f.fStartAt = TimeText(*startAt);
    f.edtStartHour = Text(click.fStartInterval / 3600);
    f.edtStartMin = Text(click.fStartInterval % 3600 / 60);
    f.edtStartSec = Text(click.fStartInterval % 60);
    f.stopType = click.stopType <= spRepeat ? click.stopType : -1;
    f.edStopTimes = Text(click.fRepeat);
    f.hkStart = click.hkStart;
    f.hkStop = click.hkStop;
    f.finishType = click.finishType <= ftBackClick ? click.finishType : -1;
    f.edName = click.fName;
    return f;
}

const std::vector<TNumericField>& TClickEditorModel::NumericFields() {
    using F = TClickEditorFields;
    static const std::vector<TNumericField> fields{
        {"X", &F::edPX},
        {"Y", &F::edPY},
        {"Color Simliar", &F::edSimilar},
        {"BMP Simliar", &F::edBMPSimilar},
        {"L", &F::edColorL},
        {"R", &F::edColorR},
        {"T", &F::edColorT},
        {"B", &F::edColorB},
        {"Hour", &F::edIntHour},
        {"Min", &F::edIntMinute},
        {"Sec", &F::edIntSecond},
        {"0.1S", &F::edIntTenths},
        {"0.01S", &F::edIntHundredths},
        {"0.001S", &F::edIntThousandths},
        {"Random Interval 1/10 S", &F::edRanBegin},
        {"Random Interval Seconds", &F::edRanEnd},
        {"Start after Hours", &F::edtStartHour},
        {"Start after Minutes", &F::edtStartMin},
        {"Start after Seconds", &F::edtStartSec},
        {"times", &F::edStopTimes},
    };
    return fields;
}

const TNumericField* TClickEditorModel::Unreadable(const TClickEditorFields& fields) {
    for (const TNumericField& field : NumericFields())
        if (!NumberOf(fields.*field.text))
            return &field;
    return nullptr;
}

std::string TClickEditorModel::Refusal(const TClickEditorFields& fields, const TNumericField& field) {
    const bool empty = (fields.*field.text).find_first_not_of(" \t") == std::string::npos;
    return "The field \"" + std::string(field.name) +
           (empty ? "\" is empty. Please enter a number." : "\" does not hold a number. Please enter a number.");
}

TMouseObj TClickEditorModel::ToClick(const TClickEditorFields& f, const TMouseObj& shown) {
    if (const TNumericField* unreadable = Unreadable(f))
        throw std::invalid_argument(Refusal(f, *unreadable));
    using F = TClickEditorFields;
    TMouseObj click = shown;
    if (f.pointType >= 0)
        click.pointType = TPointType(f.pointType);
    click.fPosX = Number(f, &F::edPX);
    click.fPosY = Number(f, &F::edPY);
    click.fColor = f.fColor;
    click.fColorSimplar = Number(f, &F::edSimilar);
    click.fBMP = StreamToBase64(f.picture);
    click.fBMPSimplar = Number(f, &F::edBMPSimilar);
    click.ScreenType = FirstOr(f.ScreenType, scFull, scPart);
    click.fLeft = Number(f, &F::edColorL);
    click.fTop = Number(f, &F::edColorT);
    click.fRight = Number(f, &F::edColorR);
    click.fBottom = Number(f, &F::edColorB);
    if (f.mouseType >= 0)
        click.mouseType = TMouseType(f.mouseType);
    if (f.actionType >= 0)
        click.actionType = TActionType(f.actionType);
    click.InteverType = FirstOr(f.InteverType, itFixed, itRandom);
    click.iClickInterval = Number(f, &F::edIntHour) * 3600000 + Number(f, &F::edIntMinute) * 60000 +
                           Number(f, &F::edIntSecond) * 1000 + Number(f, &F::edIntTenths) * 100 +
                           Number(f, &F::edIntHundredths) * 10 + Number(f, &F::edIntThousandths);
    click.fRanBegin = Number(f, &F::edRanBegin) * 100;
    click.fRanEnd = Number(f, &F::edRanEnd) * 1000;
    click.startType = f.startType == 0 ? stNow : f.startType == 1 ? stAt : stAfter;
    click.fStartAt = f.fStartAt;
    click.fStartInterval =
        Number(f, &F::edtStartHour) * 3600 + Number(f, &F::edtStartMin) * 60 + Number(f, &F::edtStartSec);
    click.stopType = f.stopType == 1 ? spRepeat : spCommand;
    click.fRepeat = Number(f, &F::edStopTimes);
    if (f.hkStart >= 0)
        click.hkStart = std::uint8_t(f.hkStart);
    if (f.hkStop >= 0)
        click.hkStop = std::uint8_t(f.hkStop);
    click.finishType = f.finishType == 0 ? ftNothing : f.finishType == 1 ? ftBack : ftBackClick;
    click.fName = f.edName;
    return click;
}

TPointGroups TClickEditorModel::EnabledGroups(int pointType) {
    return {pointType == ptFixed, pointType == ptColor, pointType == ptPicture};
}

bool TClickEditorModel::DigitPasses(char32_t typed) {
    return (typed >= U'0' && typed <= U'9') || typed == 10 || typed == 13 || typed == 8;
}

std::string TClickEditorModel::HotKeyItem(int n, bool available) {
    // Appended in steps: GCC 12 warns wrongly (-Wrestrict) about a literal added to a temporary string.
    std::string item(1, 'F');
    item.append(std::to_string(n + 1));
    return available ? item : item.append(" (unavailable)");
}

std::optional<TTimeOfDay> TClickEditorModel::TimeOfDay(const std::string& text) {
    int hour = 0, minute = 0, second = 0, used = 0;
    const int read = std::sscanf(text.c_str(), "%2d:%2d%n:%2d%n", &hour, &minute, &used, &second, &used);
    if (read < 2 || std::size_t(used) != text.size() || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return std::nullopt;
    return TTimeOfDay{hour, minute, read == 3 ? second : 0};
}

std::string TClickEditorModel::TimeText(TTimeOfDay time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}
