#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include "VemiTerminal/Theme/VTFonts.hpp"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QWidget>
#include <algorithm>

namespace {

struct Face {
    const char* postScriptName;
    const char* family;
    const char* styleName;
    QFont::Weight weight;
};

const Face interTightMedium{"InterTight-Medium", "Inter Tight", "Medium", QFont::Medium};
const Face interTightRegular{"InterTight-Regular", "Inter Tight", "Regular", QFont::Normal};
const Face vt323Regular{"VT323-Regular", "VT323", "Regular", QFont::Normal};
const Face jetBrainsMonoLight{"JetBrainsMono-Light", "JetBrains Mono", "Light", QFont::Light};

struct StyleRow {
    const char* caseName;
    const Face* face;
    double size;
    double trackingFactor;
    double lineHeightFactor;
};

const StyleRow& row(VTTextStyle style)
{
    static const StyleRow rows[] = {
        {"displayXL", &interTightMedium, 94, -0.01, 0.8}, {"displayMD", &interTightMedium, 48, -0.005, 0.9},
        {"lead", &interTightRegular, 22, 0.05, 1.2},      {"body", &interTightRegular, 17, 0.05, 1.2},
        {"nav", &interTightMedium, 18, 0.03, 1.0},        {"pixelLG", &vt323Regular, 36, 0, 1.0},
        {"pixelMD", &vt323Regular, 18, 0.01, 1.0},        {"pixelSM", &vt323Regular, 16, 0.02, 1.0},
        {"label", &jetBrainsMonoLight, 10, 0.05, 1.2},    {"labelMD", &jetBrainsMonoLight, 12, 0.05, 1.0},
        {"code", &jetBrainsMonoLight, 13, 0.05, 1.2},
    };
    return rows[static_cast<int>(style)];
}

bool faceIsAvailable(const Face& face)
{
    const QString family = QString::fromLatin1(face.family);
    return QFontDatabase::families().contains(family)
           && QFontDatabase::styles(family).contains(QString::fromLatin1(face.styleName));
}

}  // namespace

QString vtCaseName(VTTextStyle style)
{
    return QString::fromLatin1(row(style).caseName);
}
QString vtFontName(VTTextStyle style)
{
    return QString::fromLatin1(row(style).face->postScriptName);
}
qreal vtSize(VTTextStyle style)
{
    return row(style).size;
}
qreal vtTracking(VTTextStyle style)
{
    return row(style).size * row(style).trackingFactor;
}
qreal vtLineHeight(VTTextStyle style)
{
    return row(style).size * row(style).lineHeightFactor;
}

QFont vtFont(VTTextStyle style)
{
    VTFonts::registerIfNeeded();
    const StyleRow& styleRow = row(style);
    QFont font;
    font.setFamilies({QString::fromLatin1(styleRow.face->family), QStringLiteral("DejaVu Sans")});
    font.setWeight(styleRow.face->weight);
    font.setPixelSize(static_cast<int>(styleRow.size));
    font.setLetterSpacing(QFont::AbsoluteSpacing, vtTracking(style));
    font.setKerning(true);
    return font;
}

qreal vtNaturalLineHeight(VTTextStyle style)
{
    VTFonts::registerIfNeeded();
    if (!faceIsAvailable(*row(style).face)) {
        return 1.2 * vtSize(style);
    }
    return QFontMetricsF(vtFont(style)).lineSpacing();
}

qreal vtExtraLineSpacing(VTTextStyle style)
{
    return std::max(vtLineHeight(style) - vtNaturalLineHeight(style), 0.0);
}

void vtTextStyle(QWidget* widget, VTTextStyle style)
{
    widget->setFont(vtFont(style));
}
