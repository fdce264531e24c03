#pragma once

#include "pixels/PixelBuffer.h"
#include "platform/Screen.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>


// One copy of the whole screen, shared by the searches of every click. Where the platform reports the areas drawn on
// since the last look, only those are copied again: an unchanged screen costs one question to the platform and no
// copy, and any number of clicks ticking at once share what was copied. Such a copy is the platform's own image in the
// window system's pixels where it keeps one, so that nothing is converted. Where the platform cannot tell, each look
// copies the rectangle it needs afresh, as a search on its own would.
class TSharedScreen {
public:
    // Whether the copy serves the rectangle: it lies wholly on the screen of `screenSize`.
    static bool Covers(const TCaptureRect& rect, TSize screenSize);
    // The rectangle exactly as the screen shows it now, or nothing when a copy failed or the copy does not cover it.
    // The view is good until the next look.
    //
    // Looks of one tick batch (`batch`, not 0: the ticks were all due before the first of them ran) share one
    // question to the platform: what it answered the batch's first look came after every tick of the batch fell due,
    // so no look sees the screen older than its tick. A new batch, or 0, asks again.
    std::optional<TPixelView> Look(IScreen& screen, const TCaptureRect& rect, TSize screenSize,
                                   std::uint64_t batch = 0);
    // Forgets the copy and gives its memory back.
    void Clear();

    // Counts the copy's updates; a search remembers it with its answer.
    std::uint64_t Version() const { return m_version; }
    // The areas of `rect` copied again since `version` (clipped to it, possibly overlapping; none when no pixel of it
    // changed), or nothing when the copy cannot tell: it is not kept up to date, or `version` is older than the
    // updates it remembers.
    std::optional<std::vector<TRect>> ChangesSince(std::uint64_t version, const TCaptureRect& rect) const;

private:
    struct Update {
        // The version the copy had before the bands were copied again.
        std::uint64_t before;
        std::vector<TRect> bands;
    };

    bool CopyWhole(IScreen& screen, TSize screenSize);
    bool CopyArea(IScreen& screen, const TRect& area);
    bool CopyChanged(IScreen& screen, const std::vector<TRect>& changes);

    TPixelView Shown() const;

    IScreen* m_screen = nullptr;
    TSize m_size;
    // The platform's image, when the copy is kept in it; else the copy of its own.
    std::optional<TScreenImage> m_image;
    TPixelBuffer m_copy;
    // Whether every pixel of the copy is as the screen showed it at the last look.
    bool m_whole = false;
    std::uint64_t m_batch = 0;
    std::uint64_t m_version = 0;
    // The version of the last whole copy, and the areas copied again since (the latest few, oldest first).
    std::uint64_t m_wholeVersion = 0;
    std::deque<Update> m_updates;
};

// The shared copy of this thread (the user-interface thread in the program).
TSharedScreen& SharedScreen();

// The rows a copy brings up to date for the areas drawn on, clipped to a width x height screen: the areas' rows merged
// into bands, each as wide as the areas in it, and no more than `maxBands` bands (beyond that, one band spans them
// all).
std::vector<TRect> ChangedBands(const std::vector<TRect>& changes, TSize screen, std::size_t maxBands);
