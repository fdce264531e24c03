#pragma once

// The dry run of a colour or picture click: the search its next tick would make, on the screen as it is now, without
// clicking; and when nothing is found, the nearest miss, which tells the user by how much it missed.
//
// Usage (the editor's Find now, `tappora find`):
//
//     TDryRunInput input = CaptureForDryRun(platform.screen, click); // user-interface thread: copies the scope
//     TDryRunResult result = RunDryRun(input, cancel);               // any thread; stops at the next row on cancel
//     std::string line = DryRunLine(result);                         // control/DryRunText.h, the one result line
//
// or DryRun(platform.screen, click, cancel) for both in one go. TFindNow (control/FindNow.h) runs the search off the
// user-interface thread and hands the result back in it. The place found is the one the click's tick would click.

#include "engine/Search.h"
#include "model/MouseObj.h"
#include "pixels/NearestMiss.h"
#include "pixels/PixelBuffer.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class TDryRunOutcome { Found, NotFound, Cancelled, CouldNotSearch };

// The screen pixel nearest to the wanted colour, in screen coordinates, and how far each channel of it lies beyond the
// tolerance (0 for a channel within it).
struct TColourMiss {
    TPoint at;
    std::uint32_t color = 0; // 0x00RRGGBB
    TChannelDistance beyond;
};

// The best placement of the picture: its top-left corner in screen coordinates, the similarity it matches at and the
// one the click asks for.
struct TPictureMiss {
    TPoint at;
    std::int32_t reached = 0;
    std::int32_t asked = 0;
};

struct TDryRunResult {
    TDryRunOutcome outcome = TDryRunOutcome::CouldNotSearch;
    // Why there was no search, with CouldNotSearch.
    TSearchFailure failure = TSearchFailure::None;
    // Where the click would land: the pixel, or the picture's centre; (-1, -1) when not found.
    TPoint place{-1, -1};
    // From the capture to the end of the search (or of the nearest miss).
    std::int64_t elapsedMs = 0;
    // The scope searched, clipped to the desktop, in screen coordinates; empty when it is off the screen.
    TRect scope{};
    // The picture's size (0 x 0 for a colour): when found, its frame's top-left is pictureAt.
    TSize picture{};
    TPoint pictureAt{-1, -1};
    // With NotFound, the nearest miss; none when there is nowhere to miss (a picture larger than the scope).
    std::optional<TColourMiss> colourMiss;
    std::optional<TPictureMiss> pictureMiss;
};

// The scope's pixels and what is wanted there, copied in the user-interface thread; RunDryRun reads only this.
struct TDryRunInput {
    TPointType kind = ptColor;
    TSearchFailure failure = TSearchFailure::None;
    std::uint32_t color = 0; // 0x00RRGGBB
    std::shared_ptr<const TPixelBuffer> picture;
    std::int32_t similarity = 100;
    TCaptureRect rect;
    // The parts of rect the search looks in (on monitors), in screen coordinates.
    std::vector<TRect> parts;
    std::shared_ptr<TPixelBuffer> pixels;
    std::chrono::steady_clock::time_point started;
};

// Copies what the click's search would look at, with the click's own values (not the stored ones when they come from
// the editor). Never throws: colour text that is no colour, or a picture that does not decode, becomes the failure.
TDryRunInput CaptureForDryRun(IScreen& screen, const TMouseObj& click);
// The search and, when it finds nothing, the nearest miss; checks `cancel` between rows.
TDryRunResult RunDryRun(const TDryRunInput& input, const TCancelFlag& cancel);
// Both in the calling thread.
TDryRunResult DryRun(IScreen& screen, const TMouseObj& click, const TCancelFlag& cancel);
