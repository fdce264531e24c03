#pragma once

#include "platform/Screen.h"

#include <memory>
#include <optional>

struct _XDisplay;
struct TargetRows;
class X11Damage;
class X11Monitors;
class X11ShmSegment;

// The primary monitor's size and the root window's pixels, at the program's positions (origin at the primary
// monitor's top-left; the monitors are shared with the mouse when given). Captures go through one kept shared-memory
// segment when the server can attach it, else through plain XGetImage.
class X11Screen : public IScreen {
public:
    enum class CaptureMethod { SharedMemoryFirst, GetImageOnly };
    enum class ChangeReports { Damage, None };

    explicit X11Screen(_XDisplay* display, std::shared_ptr<X11Monitors> monitors = nullptr,
                       CaptureMethod method = CaptureMethod::SharedMemoryFirst,
                       ChangeReports reports = ChangeReports::Damage);
    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;
    ~X11Screen() override;

    TSize screenSize() override;
    std::vector<TRect> monitorAreas() override;
    bool copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) override;
    std::uint32_t pixelColor(int x, int y) override;
    // From the server's DAMAGE reports, watched from the first call on; nothing without them.
    std::optional<std::vector<TRect>> changedAreas() override;
    // Kept in a shared-memory segment of its own, straight from the server where its pixels are 32-bit B,G,R,X.
    std::optional<TScreenImage> copyScreenImage() override;
    bool updateScreenImage(const TRect& area) override;

    // Whether the last capture that read the server went through shared memory.
    bool lastCaptureUsedSharedMemory() const { return m_lastCaptureUsedSharedMemory; }

private:
    struct Grab;

    TSize rootSize();
    bool copyRootRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth);
    bool copyClipped(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth);
    bool grabWithGetImage(int x, int y, int width, int height, Grab& grab);
    bool copySharedInBands(int x, int y, int width, int height, const TargetRows& target);
    bool ensureSegment(std::size_t bytes);
    bool serverGivesBgrx(int width, int height);
    bool copyImageRows(int top, int rows);
    bool copyImagePart(int left, int top, int width, int height);

    _XDisplay* m_display;
    std::shared_ptr<X11Monitors> m_monitors;
    bool m_sharedMemoryUsable;
    bool m_lastCaptureUsedSharedMemory = false;
    std::unique_ptr<X11ShmSegment> m_segment;
    // The primary monitor's image, and where it was in the root window when copyScreenImage last copied it.
    std::unique_ptr<X11ShmSegment> m_imageSegment;
    TRect m_imageArea;
    bool m_damageWanted;
    std::unique_ptr<X11Damage> m_damage;
    // The primary monitor's origin when the changes were last asked for.
    std::optional<TPoint> m_originOfChanges;
    // The root window's size as last read; read again when a rectangle reaches past it or a capture fails.
    std::optional<TSize> m_knownRootSize;
};
