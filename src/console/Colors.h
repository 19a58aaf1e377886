#pragma once

// The console's colours: 4 bits each, blue, green and red from bit 0, bit 3
// for the bright half. A cell's attribute is foreground + 16 * background.
namespace colors {

constexpr int BLACK = 0;
constexpr int LIGHT_GRAY = 7;
constexpr int BRIGHT = 8;
constexpr int LIGHT_RED = 12;
constexpr int YELLOW = 14;
constexpr int WHITE = 15;

constexpr int attribute(int foreground, int background) { return foreground | (background << 4); }
constexpr int foregroundOf(int attribute) { return attribute & 0x0F; }
constexpr int backgroundOf(int attribute) { return (attribute >> 4) & 0x0F; }

// What a console shows before anyone sets a colour.
constexpr int DEFAULT_ATTRIBUTE = attribute(LIGHT_GRAY, BLACK);

}  // namespace colors
