#include "BenchImages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace BenchImages {
namespace {

constexpr int GlyphWidth = 6;
constexpr int GlyphHeight = 9;
constexpr int GlyphCount = 48;

// Glyph pixels: 0 background, 1 a soft edge, 2 full ink.
using TGlyph = std::array<std::array<std::uint8_t, GlyphWidth>, GlyphHeight>;

std::uint32_t Mix(std::uint32_t from, std::uint32_t to, int weight, int of) {
    const auto channel = [&](int shift) {
        const int a = static_cast<int>(from >> shift & 0xFF);
        const int b = static_cast<int>(to >> shift & 0xFF);
        return static_cast<std::uint32_t>(a + (b - a) * weight / of) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(std::clamp(r, 0, 255)) << 16 |
           static_cast<std::uint32_t>(std::clamp(g, 0, 255)) << 8 | static_cast<std::uint32_t>(std::clamp(b, 0, 255));
}

class TPainter {
public:
    explicit TPainter(TPixelBuffer& screen) : m_screen(screen) { makeGlyphs(); }

    void rect(int left, int top, int width, int height, std::uint32_t rgb) {
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                SetPixel(m_screen, x, y, rgb);
            }
        }
    }

    // Lines of random glyphs filling the box, `lineHeight` apart.
    void text(int left, int top, int width, int height, int lineHeight, std::uint32_t ink, std::uint32_t paper) {
        for (int line = top; line + GlyphHeight <= top + height; line += lineHeight) {
            int x = left;
            const int lineEnd = left + width - uniform(0, width / 3);
            while (x + GlyphWidth <= lineEnd) {
                if (uniform(0, 6) == 0) {
                    x += GlyphWidth; // a space
                    continue;
                }
                glyph(m_glyphs[static_cast<std::size_t>(uniform(0, GlyphCount - 1))], x, line, ink, paper);
                x += GlyphWidth + 1;
            }
        }
    }

    // A 32 x 32 icon: a rounded shape with its own gradient, an inner mark and a dark outline.
    void icon(int left, int top) {
        const std::uint32_t light = Rgb(uniform(60, 255), uniform(60, 255), uniform(60, 255));
        const std::uint32_t dark = Mix(light, 0x000000, uniform(3, 6), 10);
        const std::uint32_t mark = Rgb(uniform(0, 255), uniform(0, 255), uniform(0, 255));
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const double d = std::hypot(x - 15.5, y - 15.5);
                if (d > 15.5) {
                    continue;
                }
                std::uint32_t rgb = d > 14.5 ? dark : Mix(light, dark, x + y, 62);
                if (std::abs(x - 16) < 6 && std::abs(y - 14) < 4 + (x % 5)) {
                    rgb = mark;
                }
                SetPixel(m_screen, left + x, top + y, rgb);
            }
        }
    }

    void gradient(int left, int top, int width, int height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                SetPixel(m_screen, left + x, top + y, Rgb(255 * x / width, 255 * y / height, 255 - 255 * x / width));
            }
        }
    }

    // A photo-like area: smooth waves with sensor noise.
    void photo(int left, int top, int width, int height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double wave = std::sin(x * 0.031) * std::cos(y * 0.047) * 60;
                SetPixel(m_screen, left + x, top + y,
                         Rgb(120 + static_cast<int>(wave) + uniform(-18, 18),
                             100 + static_cast<int>(wave * 0.7) + uniform(-18, 18), 80 + uniform(-18, 18)));
            }
        }
    }

private:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    void makeGlyphs() {
        for (TGlyph& g : m_glyphs) {
            for (auto& row : g) {
                row.fill(0);
            }
            for (int stroke = 0; stroke < 3; ++stroke) {
                const bool across = uniform(0, 1) == 0;
                const int at = uniform(1, across ? GlyphHeight - 2 : GlyphWidth - 2);
                for (int i = 1; i < (across ? GlyphWidth - 1 : GlyphHeight - 1); ++i) {
                    (across ? g[static_cast<std::size_t>(at)][static_cast<std::size_t>(i)]
                            : g[static_cast<std::size_t>(i)][static_cast<std::size_t>(at)]) = 2;
                }
            }
            for (auto& row : g) {
                for (std::uint8_t& p : row) {
                    if (p == 0 && uniform(0, 7) == 0) {
                        p = 1;
                    }
                }
            }
        }
    }

    void glyph(const TGlyph& g, int left, int top, std::uint32_t ink, std::uint32_t paper) {
        for (int y = 0; y < GlyphHeight; ++y) {
            for (int x = 0; x < GlyphWidth; ++x) {
                const int level = g[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                SetPixel(m_screen, left + x, top + y, Mix(paper, ink, level, 2));
            }
        }
    }

    TPixelBuffer& m_screen;
    std::mt19937 m_random{1920};
    std::array<TGlyph, GlyphCount> m_glyphs{};
};

void PaintWindow(TPainter& painter, int left, int top, int width, int height) {
    painter.rect(left, top, width, 30, 0x2B579A);
    painter.text(left + 10, top + 10, width / 3, 12, 12, 0xFFFFFF, 0x2B579A);
    painter.rect(left, top + 30, 220, height - 30, 0xF3F3F3);
    painter.text(left + 12, top + 44, 190, height - 60, 22, 0x333333, 0xF3F3F3);
    painter.rect(left + 220, top + 30, width - 220, height - 30, 0xFFFFFF);
    painter.text(left + 236, top + 44, width - 260, height - 60, 16, 0x1E1E1E, 0xFFFFFF);
}

void PaintTaskbar(TPainter& painter) {
    painter.rect(0, 1040, ScreenWidth, 40, 0x202020);
    for (int x = 60; x <= IconLeft; x += 48) {
        painter.icon(x, IconTop);
    }
    painter.text(ClockLeft + 20, ClockTop + 6, 90, 30, 14, 0xFFFFFF, 0x202020);
}

} // namespace

void SetPixel(TPixelBuffer& buffer, int x, int y, std::uint32_t rgb) {
    std::uint8_t* pixel = buffer.bits + static_cast<std::ptrdiff_t>(buffer.height - 1 - y) * buffer.lineWidth + 3 * x;
    pixel[0] = static_cast<std::uint8_t>(rgb);
    pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
    pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
}

void PaintFlat(TPixelBuffer& screen, std::uint32_t rgb) {
    screen.SetSize(ScreenWidth, ScreenHeight);
    TPainter(screen).rect(0, 0, ScreenWidth, ScreenHeight, rgb);
}

void PaintDesktop(TPixelBuffer& screen) {
    screen.SetSize(ScreenWidth, ScreenHeight);
    TPainter painter(screen);
    painter.rect(0, 0, ScreenWidth, 1040, 0x3A6EA5);
    for (int i = 0; i < 9; ++i) {
        painter.icon(24, 40 + 100 * i);
        painter.text(8, 76 + 100 * i, 64, 10, 10, 0xFFFFFF, 0x3A6EA5);
    }
    PaintWindow(painter, 110, 60, 1080, 720);
    PaintWindow(painter, 500, 640, 700, 360);
    painter.gradient(1250, 80, 620, 400);
    painter.photo(1250, 520, 620, 460);
    PaintTaskbar(painter);
}

void PaintText(TPixelBuffer& screen) {
    screen.SetSize(ScreenWidth, ScreenHeight);
    TPainter painter(screen);
    painter.rect(0, 0, ScreenWidth, ScreenHeight, 0xFFFFFF);
    painter.text(4, 4, ScreenWidth - 8, ScreenHeight - 8, 12, 0x000000, 0xFFFFFF);
}

void PaintPattern(TPixelBuffer& screen, std::uint32_t (*colour)(int x, int y)) {
    screen.SetSize(ScreenWidth, ScreenHeight);
    for (int y = 0; y < ScreenHeight; ++y) {
        for (int x = 0; x < ScreenWidth; ++x) {
            SetPixel(screen, x, y, colour(x, y));
        }
    }
}

void Cut(const TPixelBuffer& screen, int left, int top, int width, int height, TPixelBuffer& picture) {
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(picture, x, y, screen.Pixel(left + x, top + y));
        }
    }
}

} // namespace BenchImages
