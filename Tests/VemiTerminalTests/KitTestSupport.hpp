#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

// `top` laid over an opaque `bottom` (source-over), as 8-bit channels.
inline QColor over(const QColor& top, const QColor& bottom) {
    const double alpha = top.alphaF();
    auto mix = [&](double t, double b) { return static_cast<int>(std::lround((t * alpha + b * (1 - alpha)) * 255)); };
    return QColor(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()), mix(top.blueF(), bottom.blueF()));
}

inline ::testing::AssertionResult colourNear(const QColor& actual, const QColor& expected, int tolerance = 2) {
    const bool near = std::abs(actual.red() - expected.red()) <= tolerance &&
                      std::abs(actual.green() - expected.green()) <= tolerance &&
                      std::abs(actual.blue() - expected.blue()) <= tolerance;
    if (near) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

// The widget rendered at one pixel per point.
inline QImage snapshot(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline QColor pixelAt(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
