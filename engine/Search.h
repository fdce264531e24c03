#pragma once

#include "pixels/PixelBuffer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class IScreen;
class TSharedScreen;

// Why a colour or picture click could not search at all (as against searching and finding nothing).
enum class TSearchFailure {
    None,
    NotASearch,             // the click is at the pointer or at a fixed point
    ColourUnreadable,       // the colour text is no colour
    PictureUnreadable,      // no picture, or one that is not a 24-bit BMP
    ScopeOffScreen,         // no pixel of the scope is on a monitor
    PictureLargerThanScope, // the picture has no place in the scope
    CaptureRefused,         // the system gave no copy of the screen
};

// A search's answer: the point to click, or not found, or why it could not search.
struct TSearchAnswer {
    TPoint found{-1, -1};
    TSearchFailure failure = TSearchFailure::None;

    bool Found() const { return found.x != -1; }
};

// A runner's last answer, kept between its ticks: a search of the same colour or picture, at the same similarity, in
// the same scope, has the same answer as long as no pixel of the scope changed since, so it is not scanned again; when
// a few areas changed, only they and the pixels from the kept answer on are looked at again. Only answers read from
// the shared copy of the screen are kept, since only it tells what changed.
class TSearchMemo {
public:
    // What is looked for: a colour, or a picture's pixels (copied, so that a picture edited in place is new).
    struct Wanted {
        std::uint32_t colour = 0;
        const TPixelBuffer* picture = nullptr;
        std::int32_t similarity = 100;
    };
    // An answer kept for the same search, relative to the rectangle (a picture's placement by its top-left corner),
    // and the areas of the rectangle drawn on since it was found (screen coordinates; none when nothing changed).
    struct Kept {
        std::optional<TPoint> at;
        std::vector<TRect> changes;
    };
    // The answer kept for `wanted` in `rect`, when the shared copy tells what changed in the rectangle since.
    std::optional<Kept> Recall(const TSharedScreen& shared, const Wanted& wanted, const TCaptureRect& rect) const;
    void Remember(const TSharedScreen& shared, const Wanted& wanted, const TCaptureRect& rect,
                  std::optional<TPoint> at);

private:
    bool Holds(const Wanted& wanted, const TCaptureRect& rect) const;

    bool m_held = false;
    std::uint64_t m_version = 0;
    TCaptureRect m_rect;
    std::uint32_t m_colour = 0;
    std::int32_t m_similarity = 0;
    bool m_picture = false;
    std::int32_t m_pictureWidth = 0;
    std::vector<std::uint8_t> m_picturePixels;
    std::optional<TPoint> m_at;
};

// How a runner's tick searches: the loop's tick batch (see TSharedScreen::Look; 0 asks the screen afresh) and the
// runner's memo (none: every search scans).
struct TSearchContext {
    std::uint64_t batch = 0;
    TSearchMemo* memo = nullptr;
};

// Where a search looks: the rectangle it copies (its scope clipped to the desktop) and the parts of it on monitors,
// in screen coordinates; pixels outside every part never match. No rectangle when no pixel of the scope is on the
// desktop.
struct TSearchArea {
    std::optional<TCaptureRect> rect;
    std::vector<TRect> parts;
};
// The colour search looks at every pixel on a monitor, the picture search at the largest areas on monitors (a
// placement may lie across two).
TSearchArea ColourSearchArea(IScreen& screen, std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom);
TSearchArea PictureSearchArea(IScreen& screen, std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom);
// The first answer in reading order of the searches in each part on its own, relative to the rectangle: the first
// matching pixel, or the top-left corner of the first matching placement; with `among` (relative to the rectangle),
// only answers whose top-left corner lies in it.
std::optional<TPoint> FirstColourIn(const TPixelView& shown, const TSearchArea& area, std::uint32_t color,
                                    std::int32_t similarity, const std::optional<TRect>& among = std::nullopt);
std::optional<TPoint> FirstPictureIn(const TPixelView& shown, const TSearchArea& area, const TPixelBuffer& picture,
                                     std::int32_t similarity, const std::optional<TRect>& among = std::nullopt);

// SearchColorBlock and SearchPicture, telling also why they could not search. The colour is 0x00RRGGBB.
TSearchAnswer FindColourTarget(IScreen& screen, std::uint32_t color, std::int32_t left, std::int32_t top,
                               std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                               const TSearchContext& context = {});
TSearchAnswer FindPictureTarget(IScreen& screen, const TPixelBuffer* picture, std::int32_t left, std::int32_t top,
                                std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                                const TSearchContext& context = {});

// The first pixel of the colour in the rectangle (right and bottom exclusive), in screen coordinates, or (-1, -1).
// Throws std::invalid_argument for colour text that is neither a name nor a number.
TPoint SearchColorBlock(IScreen& screen, const std::string& colorText, std::int32_t left, std::int32_t top,
                        std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                        const TSearchContext& context = {});
// The centre of the first placement of the picture in the rectangle, in screen coordinates, or (-1, -1).
TPoint SearchPicture(IScreen& screen, const TPixelBuffer* picture, std::int32_t left, std::int32_t top,
                     std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                     const TSearchContext& context = {});
// Whether the searches keep a screen buffer of `memSize` bytes for the next search: up to a whole screen's capture.
bool KeepsScreenBuffer(std::int32_t memSize, std::int32_t screenWidth, std::int32_t screenHeight);
