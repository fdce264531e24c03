// TMouseObj: the click definition, one entry of the click list, a plain value whose fields bear the stored names.
#pragma once

#include <cstdint>
#include <string>

using TPointType = std::uint8_t;
constexpr TPointType ptCurrent = 0, ptFixed = 1, ptColor = 2, ptPicture = 3;
using TMouseType = std::uint8_t;
constexpr TMouseType mtLeft = 0, mtRight = 1, mtMiddle = 2;
using TActionType = std::uint8_t;
constexpr TActionType atSingle = 0, atDouble = 1, atDown = 2, atUp = 3;
using TStartType = std::uint8_t;
constexpr TStartType stNow = 0, stAt = 1, stAfter = 2;
using TStopType = std::uint8_t;
constexpr TStopType spCommand = 0, spRepeat = 1;
using TFinishType = std::uint8_t;
constexpr TFinishType ftNothing = 0, ftBack = 1, ftBackClick = 2;
using TScreenType = std::uint8_t;
constexpr TScreenType scFull = 0, scPart = 1;
using TIntervalType = std::uint8_t;
constexpr TIntervalType itFixed = 0, itRandom = 1;

// One click's settings, a plain value. Field names are the attribute names of the click list file. The picture is
// held only as its stored text; whoever searches for it decodes it (DecodePicture in pixels/PictureText.h).
class TMouseObj {
public:
    friend bool operator==(const TMouseObj&, const TMouseObj&) = default;

    std::int32_t fPosX = 0;
    std::int32_t fPosY = 0;
    std::string fStartAt;
    std::int32_t fStartInterval = 10000;
    std::int32_t fRepeat = 100;
    std::string fColor = "clBlack";
    std::int32_t fTop = 0;
    std::int32_t fBottom = 768;
    std::int32_t fLeft = 0;
    std::int32_t fRight = 1024;
    std::string fBMP;
    std::int32_t fColorSimplar = 100;
    std::int32_t fBMPSimplar = 100;
    std::int32_t fRanBegin = 100;
    std::int32_t fRanEnd = 5000;
    TPointType pointType = ptCurrent;
    TMouseType mouseType = mtLeft;
    TActionType actionType = atSingle;
    TStartType startType = stNow;
    TStopType stopType = spCommand;
    TFinishType finishType = ftNothing;
    TScreenType ScreenType = scFull;
    TIntervalType InteverType = itFixed;
    std::int32_t iClickInterval = 1000;
    std::uint8_t hkStart = 1;
    std::uint8_t hkStop = 2;
    std::string fName = "New Click";
    bool checked = true;
    // How long each press is held before its release, in ms; with fHoldTimeTo above it, a random time from
    // fHoldTime to fHoldTimeTo for each press. 0: released at once.
    std::int32_t fHoldTime = 0;
    std::int32_t fHoldTimeTo = 0;
    // Each click lands within this many pixels of its target, nearer the centre more often; 0: on the target.
    std::int32_t fJitter = 0;
};

// The largest hold and spread a click takes; the list file reads a larger value as the default.
constexpr std::int32_t kMaxHoldTime = 10000;
constexpr std::int32_t kMaxJitter = 500;
