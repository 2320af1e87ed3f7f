#pragma once

#include <QtGlobal>

// The kit's metric scales, in device-independent pixels (one point each).
struct VTSpace {
    static constexpr qreal s1 = 4, s2 = 8, s3 = 12, s4 = 16, s6 = 24, s8 = 32, s16 = 64, s32 = 128;
};

struct VTRadius {
    static constexpr qreal none = 0, sm = 4;
};

struct VTShadow {
    static constexpr qreal offset = 4;
};

struct VTBorder {
    static constexpr qreal hair = 1;
};
