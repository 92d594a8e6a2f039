// What the simulated image sensor sees and how a frame of it is read out.
// Everything here is inline and self-contained so that a test can include
// this header alone and compute the pixel any delivered frame must hold.
//
// The scene (active-area coordinates: column 0-1279, row 0-1023)
//   background  32 + column*5/64 + row*5/64 + ((column ^ row) & 7)
//               a diagonal ramp, darkest top-left (32), brightest
//               bottom-right (217); the fine 0-7 texture tells neighbouring
//               pixels apart almost everywhere, so an off-by-one in the
//               readout shows.
//   grid        0 (black): columns with (column + 4) % 128 < 8 and rows with
//               (row + 4) % 128 < 8, i.e. 8-pixel lines centred on every
//               multiple of 128, half-lines along the four edges.
//   markers     one per corner, 128 x 128, 32 pixels in from the edges, each
//               a different shape so that any mirroring shows:
//               top-left     solid white square;
//               top-right    white ring 24 wide around a black centre;
//               bottom-left  white triangle, right angle in the corner
//                            (local u <= v);
//               bottom-right black/white checkerboard of 32-pixel cells,
//                            white where (u/32 + v/32) is odd.
//   axes        white arrows from the centre (640, 512), 16 pixels thick:
//               one to the right (increasing columns; shaft columns 560-799,
//               head columns 800-863), one up (decreasing rows; shaft rows
//               591 up to 384, head rows 383 up to 320). Heads narrow
//               towards the tip, half-width (distance to the tip) * 3 / 4.
//   Precedence: markers and axes over the grid over the background.
//
// Readout (register values in sensor coordinates; the active area starts at
// sensor column 20, row 12; outside it a pixel reads 0)
//   scale s     8 when register 0x1E bits 4-5 are 3 (mode 3), else 4 when
//               0x1E bits 2-3 are 3 (mode 2), else 2 when 0x20 bits 3-4 are 3
//               (mode 1), else 1. A field holding 1 or 2 reduces nothing.
//   extent      the window counters are 11 bits wide, so a window spans at
//               most 2048 columns and rows (this also bounds the kept frame
//               at 4 MiB): columns = min(R4, 2047) + 1, rows = min(R3, 2047) + 1.
//               A window reaching past the active area reads 0 there; a
//               frame smaller than the library asks for is padded with 0.
//   size        width = columns / s, height = rows / s (integer division).
//   reduction   skipping that keeps pixel pairs, so the 2x2 gain pattern
//               survives: output x reads sensor column
//               R2 + readoutOffset(x, s), readoutOffset(x, s) =
//               (x & ~1) * s + (x & 1); rows likewise from R1. No binning.
//   mirror      register 0x20 bit 7 reverses the columns, bit 15 the rows,
//               of the finished picture: x reads what x' = width - 1 - x
//               reads unmirrored.
//   brightness  out = min(255, scene * E * G / (1049 * 8)), integer division,
//               E = register 0x09 bits 0-13 (1049 is neutral), G = the gain
//               of the pixel's place in the 2x2 pattern, bits 0-6 (8 is
//               unity): even row even column 0x2B, even row odd column 0x2C,
//               odd row even column 0x2D, odd row odd column 0x2E (parity of
//               the sensor column and row).
//   Not modelled: the channel levels (0x60-0x64), the exposure delay
//   (0x0C), blanking (0x05, 0x06).
//
// Frame counter: the camera stamps the frame number over the top-left corner
// of each delivered frame after readout (so mirroring leaves it readable):
// a box of 41 x 7 output pixels, black (0), holding the number as ten
// decimal digits with leading zeros in a 3 x 5 font, white (255). Digit i
// (0 = most significant) covers columns 1 + 4i to 3 + 4i, rows 1-5.
#pragma once

#include <cstdint>

namespace tarvex::sim {

inline constexpr uint32_t SENSOR_ACTIVE_COLUMNS = 1280;
inline constexpr uint32_t SENSOR_ACTIVE_ROWS = 1024;
inline constexpr uint32_t SENSOR_FIRST_ACTIVE_COLUMN = 20;
inline constexpr uint32_t SENSOR_FIRST_ACTIVE_ROW = 12;
inline constexpr uint32_t SENSOR_MAX_WINDOW = 2048;
inline constexpr uint32_t NEUTRAL_EXPOSURE = 1049;
inline constexpr uint32_t UNITY_GAIN = 8;

namespace scene_detail {

inline bool within(uint32_t value, uint32_t first, uint32_t end) {
    return value >= first && value < end;
}

// White markers and arrows, black parts of markers; -1 where none lies.
inline int markerPixel(uint32_t column, uint32_t row) {
    constexpr uint32_t near = 32, far = SENSOR_ACTIVE_COLUMNS - 32 - 128,
                       bottom = SENSOR_ACTIVE_ROWS - 32 - 128, size = 128;
    if (within(row, near, near + size)) {
        uint32_t v = row - near;
        if (within(column, near, near + size)) return 255;
        if (within(column, far, far + size)) {
            uint32_t u = column - far;
            bool ring = u < 24 || u >= size - 24 || v < 24 || v >= size - 24;
            return ring ? 255 : 0;
        }
    }
    if (within(row, bottom, bottom + size)) {
        uint32_t v = row - bottom;
        if (within(column, near, near + size)) {
            uint32_t u = column - near;
            return u <= v ? 255 : -1;
        }
        if (within(column, far, far + size)) {
            uint32_t u = column - far;
            return ((u / 32 + v / 32) & 1) ? 255 : 0;
        }
    }
    // Axes from the centre: a right-pointing and an up-pointing arrow.
    constexpr uint32_t cx = 640, cy = 512, half = 8;
    if (within(row, cy - half, cy + half) && within(column, cx - 80, 800)) return 255;
    if (within(column, 800, 864)) {
        uint32_t reach = (864 - column) * 3 / 4;
        uint32_t distance = row > cy ? row - cy : cy - row;
        if (distance < reach) return 255;
    }
    if (within(column, cx - half, cx + half) && within(row, 384, cy + 80)) return 255;
    if (within(row, 320, 384)) {
        uint32_t reach = (row - 320) * 3 / 4;
        uint32_t distance = column > cx ? column - cx : cx - column;
        if (distance < reach) return 255;
    }
    return -1;
}

}  // namespace scene_detail

// The scene at an active-area pixel (column < 1280, row < 1024).
inline uint8_t scenePixel(uint32_t column, uint32_t row) {
    int marker = scene_detail::markerPixel(column, row);
    if (marker >= 0) return static_cast<uint8_t>(marker);
    if ((column + 4) % 128 < 8 || (row + 4) % 128 < 8) return 0;
    return static_cast<uint8_t>(32 + column * 5 / 64 + row * 5 / 64 + ((column ^ row) & 7));
}

// The scene at a sensor pixel (register coordinates): 0 outside the active area.
inline uint8_t sensorPixel(uint32_t sensorColumn, uint32_t sensorRow) {
    if (sensorColumn < SENSOR_FIRST_ACTIVE_COLUMN || sensorRow < SENSOR_FIRST_ACTIVE_ROW) return 0;
    uint32_t column = sensorColumn - SENSOR_FIRST_ACTIVE_COLUMN;
    uint32_t row = sensorRow - SENSOR_FIRST_ACTIVE_ROW;
    if (column >= SENSOR_ACTIVE_COLUMNS || row >= SENSOR_ACTIVE_ROWS) return 0;
    return scenePixel(column, row);
}

// Sensor columns (or rows) from the window's first one to output pixel
// `index` at reduction `scale`: pairs are kept, the rest skipped.
inline uint32_t readoutOffset(uint32_t index, uint32_t scale) {
    return (index & ~1u) * scale + (index & 1u);
}

// A scene value brightened or darkened by exposure and gain, saturating.
inline uint8_t exposedPixel(uint8_t scene, uint32_t exposure, uint32_t gain) {
    uint64_t value = static_cast<uint64_t>(scene) * exposure * gain / (NEUTRAL_EXPOSURE * UNITY_GAIN);
    return value > 255 ? 255 : static_cast<uint8_t>(value);
}

// ---- Frame counter ---------------------------------------------------------

inline constexpr uint32_t COUNTER_DIGITS = 10;
inline constexpr uint32_t COUNTER_BOX_WIDTH = 1 + 4 * COUNTER_DIGITS;
inline constexpr uint32_t COUNTER_BOX_HEIGHT = 7;

// 3 x 5 digit glyphs, one row a byte, bit 2 the left pixel.
inline constexpr uint8_t COUNTER_GLYPHS[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

// Whether pixel (dx, dy) of a digit's 3 x 5 glyph is lit.
inline bool glyphLit(uint32_t digit, uint32_t dx, uint32_t dy) {
    return (COUNTER_GLYPHS[digit][dy] >> (2 - dx)) & 1;
}

// Stamps `number` over the top-left corner of a frame `width` pixels wide and
// `height` high, writing only below byte `limit` of `frame`.
inline void stampFrameCounter(uint8_t* frame, uint32_t width, uint32_t height, uint64_t limit,
                              uint32_t number) {
    uint32_t digits[COUNTER_DIGITS];
    for (uint32_t i = COUNTER_DIGITS; i-- > 0; number /= 10) digits[i] = number % 10;
    uint32_t columns = width < COUNTER_BOX_WIDTH ? width : COUNTER_BOX_WIDTH;
    uint32_t rows = height < COUNTER_BOX_HEIGHT ? height : COUNTER_BOX_HEIGHT;
    for (uint32_t y = 0; y < rows; ++y) {
        uint64_t start = static_cast<uint64_t>(y) * width;
        if (start >= limit) return;
        uint32_t count = limit - start < columns ? static_cast<uint32_t>(limit - start) : columns;
        uint8_t* line = frame + start;
        for (uint32_t x = 0; x < count; ++x) {
            bool lit =
                y >= 1 && y <= 5 && x >= 1 && x % 4 != 0 && glyphLit(digits[(x - 1) / 4], (x - 1) % 4, y - 1);
            line[x] = lit ? 255 : 0;
        }
    }
}

// Reads the number stamped into a delivered frame. False when the frame is
// too small for the box or the box holds no digits.
inline bool readFrameCounter(const uint8_t* frame, uint32_t width, uint32_t height, uint32_t& number) {
    if (width < COUNTER_BOX_WIDTH || height < COUNTER_BOX_HEIGHT) return false;
    uint64_t value = 0;
    for (uint32_t digit = 0; digit < COUNTER_DIGITS; ++digit) {
        int found = -1;
        for (int glyph = 0; glyph < 10 && found < 0; ++glyph) {
            bool same = true;
            for (uint32_t y = 1; y <= 5 && same; ++y)
                for (uint32_t dx = 0; dx < 3 && same; ++dx) {
                    bool lit = glyphLit(static_cast<uint32_t>(glyph), dx, y - 1);
                    same = (frame[static_cast<uint64_t>(y) * width + 1 + 4 * digit + dx] >= 128) == lit;
                }
            if (same) found = glyph;
        }
        if (found < 0) return false;
        value = value * 10 + static_cast<uint32_t>(found);
    }
    if (value > 0xFFFFFFFFull) return false;
    number = static_cast<uint32_t>(value);
    return true;
}

}  // namespace tarvex::sim
