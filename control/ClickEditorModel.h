#pragma once

#include "model/MouseObj.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the click editor shows, as the user sees and types it, and the rules between that and a click: the interval
// split into hours to thousandths, the random bounds in tenths and whole seconds, the start delay split, which
// point-type groups are usable, which typed characters a numeric edit takes, and writing a click all fields or none.
// A front end shows these fields in its controls and reads them back; it decides nothing of this itself.
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
    std::string edtStartHour = "0", edtStartMin = "1", edtStartSec = "0";
    int stopType = spCommand;
    std::string edStopTimes = "1";
    int hkStart = 1, hkStop = 2;
    int finishType = ftNothing;
    std::string edName = "New Click";
};

// A time of day shown by the start-time picker.
struct TTimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const TTimeOfDay&, const TTimeOfDay&) = default;
};

// Which groups of the click point can be used for a point type.
struct TPointGroups {
    bool point = false;
    bool color = false;
    bool picture = false;
    friend bool operator==(const TPointGroups&, const TPointGroups&) = default;
};

// A numeric field of the editor: the name the user is told, and where its text is.
struct TNumericField {
    const char* name;
    std::string TClickEditorFields::*text;
};

class TClickEditorModel {
public:
    // What the editor says when a click's stored picture cannot be read.
    static constexpr const char* kUnreadablePictureNotice =
        "The stored picture of this click could not be read, so the editor shows none. OK stores the click without "
        "a picture; Cancel keeps it as it was.";

    // The fields a new editor shows; the picker shows `now`.
    static TClickEditorFields Initial(TTimeOfDay now);
    // The click shown: what the editor showed before stays where the click has nothing to show (no picture; a start
    // time that is no time of day). A stored picture that is no base64 shows as none, marked pictureUnreadable.
    // Values outside the arrows' bounds are shown as they are.
    static TClickEditorFields FromClick(const TMouseObj& click, const TClickEditorFields& shown);
    // The click shown with every field written, which the editor stores in one assignment; throws
    // std::invalid_argument with Refusal's text when a numeric field holds no number.
    static TMouseObj ToClick(const TClickEditorFields& fields, const TMouseObj& shown);

    // The numeric fields in the order the editor shows them.
    static const std::vector<TNumericField>& NumericFields();
    // The first numeric field that holds no number, or nullptr.
    static const TNumericField* Unreadable(const TClickEditorFields& fields);
    // What the user is told about that field.
    static std::string Refusal(const TClickEditorFields& fields, const TNumericField& field);

    static TPointGroups EnabledGroups(int pointType);
    // Whether a typed character goes into a numeric edit: digits, line feed, carriage return and backspace.
    static bool DigitPasses(char32_t typed);
    // The hotkey lists' item for Ctrl+F(n + 1): "F1" to "F12", marked when another program holds the key.
    static std::string HotKeyItem(int n, bool available);
    static std::optional<TTimeOfDay> TimeOfDay(const std::string& text);
    static std::string TimeText(TTimeOfDay time);
};
