#pragma once

#include "platform/Screen.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

// An in-memory screen that a test paints: one monitor, or several with the primary's top-left at (0, 0). The pixels
// of the smallest rectangle holding every monitor are kept, also those between monitors, as on a desktop whose
// monitors differ in size. Painting takes colours as 0x00RRGGBB (red in the high byte, as the pixel
// buffer holds them); pixelColor answers in the platform's 0x00BBGGRR like a real screen.
class FakeScreen : public IScreen {
public:
    struct CopyRequest {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        friend bool operator==(const CopyRequest&, const CopyRequest&) = default;
    };

    FakeScreen();
    FakeScreen(int width, int height);

    // One monitor of the new size with every pixel black, as after a display change.
    void resize(int width, int height);
    // One more monitor, beside the primary (negative positions left of and above it); every pixel becomes black.
    void addMonitor(const TRect& area);
    // Every pixel of the monitors and between them.
    void fill(std::uint32_t rgb);
    // Pixels off the desktop are ignored.
    void setPixel(int x, int y, std::uint32_t rgb);
    void fillRect(int left, int top, int width, int height, std::uint32_t rgb);
    // Paints `width`-wide rows of 0x00RRGGBB colours, top row first, with the top-left one at (left, top).
    void paint(int left, int top, int width, std::span<const std::uint32_t> rgbRows);
    // The painted 0x00RRGGBB colour, black off the desktop.
    std::uint32_t rgbAt(int x, int y) const;

    // How many copies were asked for, and the last one's rectangle.
    int copyCount() const { return m_copyCount; }
    CopyRequest lastCopy() const { return m_lastCopy; }
    // How often changedAreas was asked, reports or not.
    int questionCount() const { return m_questionCount; }
    // The next copy reports failure (and is still counted).
    void failNextCopy() { m_failNextCopy = true; }
    // From now on changedAreas reports what was painted, as a screen that reports drawing does; by default it cannot
    // tell, as a screen without such reports.
    void reportChanges() { m_reportsChanges = true; }
    // From now on copyScreenImage keeps an image of the primary monitor in 4-byte pixels, as an X server's, with
    // noise in the fourth byte; by default it keeps none, as platforms that convert every copy.
    void keepScreenImage() { m_keepsImage = true; }
    // The outputs among which the user chooses the primary one; by default none, as where the system decides.
    void setOutputNames(std::vector<std::string> names) { m_outputNames = std::move(names); }
    // Every name given to choosePrimary, in order.
    const std::vector<std::string>& primaryChoices() const { return m_primaryChoices; }

    TSize screenSize() override;
    std::vector<TRect> monitorAreas() override;
    bool copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) override;
    std::uint32_t pixelColor(int x, int y) override;
    std::optional<std::vector<TRect>> changedAreas() override;
    std::optional<TScreenImage> copyScreenImage() override;
    bool updateScreenImage(const TRect& area) override;
    std::vector<std::string> outputNames() override { return m_outputNames; }
    void choosePrimary(const std::string& name) override { m_primaryChoices.push_back(name); }

private:
    void makeDesktop();
    void putPixel(int x, int y, std::uint32_t rgb);
    void painted(const TRect& area);
    bool countCopy(const TRect& area);

    bool contains(int x, int y) const;
    std::size_t offsetOf(int x, int y) const;
    void copyRow(int left, long long y, int width, std::uint8_t* target) const;

    std::vector<TRect> m_monitors; // the primary first
    // The desktop: the smallest rectangle holding every monitor.
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_bgr; // the desktop's top row first, 3 bytes B,G,R per pixel, no padding
    int m_copyCount = 0;
    int m_questionCount = 0;
    CopyRequest m_lastCopy;
    bool m_failNextCopy = false;
    bool m_reportsChanges = false;
    bool m_keepsImage = false;
    std::vector<std::uint8_t> m_image; // the primary monitor's top row first, 4 bytes B,G,R,noise per pixel
    // Whether changedAreas was asked since the start or the last resize, and what was painted since it last was.
    bool m_watching = false;
    std::vector<TRect> m_changes;
    std::vector<std::string> m_outputNames;
    std::vector<std::string> m_primaryChoices;
};
