#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTDotGrid.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Components/VTTextField.hpp"
#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace {

TEST(VTTextFieldTest, OutlineThickensInwardsWhileFocused) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        SCOPED_TRACE(theme.name.toStdString());
        QWidget root;
        auto* field = new VTTextField(QStringLiteral("Buscar"), &root);
        field->setFixedWidth(200);
        field->resize(field->sizeHint());
        vemiTerminal(&root, appearance);
        const QSize size = field->size();
        const int middle = size.height() / 2;

        QImage image = snapshot(*field);
        EXPECT_TRUE(colourNear(pixelAt(image, 0, middle), theme.border));
        EXPECT_TRUE(colourNear(pixelAt(image, 1, middle), theme.bgWindow));
        EXPECT_TRUE(colourNear(pixelAt(image, size.width() / 2, size.height() - 2), theme.bgWindow));

        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(field, &focusIn);
        EXPECT_EQ(field->borderWidth(), 2);
        image = snapshot(*field);
        EXPECT_EQ(field->size(), size);
        EXPECT_TRUE(colourNear(pixelAt(image, 0, middle), theme.border));
        EXPECT_TRUE(colourNear(pixelAt(image, 1, middle), theme.border));
        EXPECT_TRUE(colourNear(pixelAt(image, 2, middle), theme.bgWindow));
        EXPECT_TRUE(colourNear(pixelAt(image, size.width() / 2, size.height() - 2), theme.border));

        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &focusOut);
        image = snapshot(*field);
        EXPECT_TRUE(colourNear(pixelAt(image, 1, middle), theme.bgWindow));
        EXPECT_EQ(field->palette().color(QPalette::Text), theme.fg);
    }
}

// The top-left corner of whatever differs from `ground` inside `area`.
QPoint inkOrigin(const QImage& image, const QColor& ground, QRect area) {
    QPoint origin(image.width(), image.height());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!colourNear(image.pixelColor(x, y), ground, 60)) {
                origin = {std::min(origin.x(), x), std::min(origin.y(), y)};
            }
        }
    }
    return origin;
}

TEST(VTTextFieldTest, TextSitsAtThePaddingOfEightAndSix) {
    const VTTheme& theme = VTTheme::vemi();
    QWidget root;
    root.setAutoFillBackground(true);
    vemiTerminal(&root, VTAppearance::vemi);
    QPalette ground = root.palette();
    ground.setColor(QPalette::Window, theme.bgWindow);
    root.setPalette(ground);
    root.resize(240, 80);
    auto* field = new VTTextField(QString(), &root);
    field->setText(QStringLiteral("Buscar"));
    field->setGeometry(0, 0, 200, field->sizeHint().height());
    // The same text drawn by the kit at the padding's corner.
    auto* reference = new VTText(QStringLiteral("Buscar"), VTTextStyle::pixelMD, nullptr, &root);
    reference->move(8, 40 + 6);
    reference->resize(reference->sizeHint());
    field->setFocusPolicy(Qt::NoFocus);  // no text cursor in the picture
    root.show();
    QApplication::processEvents();

    const QImage image = snapshot(root);
    const QPoint inField = inkOrigin(image, theme.bgWindow, QRect(3, 3, 190, field->height() - 6));
    const QPoint inReference = inkOrigin(image, theme.bgWindow, QRect(0, 40, 200, 40));
    EXPECT_EQ(inField.x(), inReference.x());
    EXPECT_EQ(inField.y(), inReference.y() - 40);
}

TEST(VTChipTest, ShowsLowerCasedTextWithOptionalGlyphAndPadding) {
    struct Row {
        const char* text;
        bool glyph;
        const char* shown;
    };
    const Row rows[] = {{"Tipado", false, "tipado"}, {"Tipado", true, "tipado"}, {"v0.01", false, "v0.01"},
                        {"ÁGUA", false, "água"}};
    const QFontMetricsF metrics(vtFont(VTTextStyle::pixelSM));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        VTChip chip(QString::fromUtf8(row.text), row.glyph);
        EXPECT_EQ(chip.shownText(), QString::fromUtf8(row.shown));
        qreal width = metrics.horizontalAdvance(QString::fromUtf8(row.shown)) + 12;
        if (row.glyph) {
            width += metrics.horizontalAdvance(QStringLiteral("\u2295")) + 4;
        }
        EXPECT_EQ(chip.sizeHint(), vtCeil({width, vtNaturalLineHeight(VTTextStyle::pixelSM) + 2}));
    }
    VTChip chip(QStringLiteral("Curto"), false);
    const int shortWidth = chip.sizeHint().width();
    chip.setText(QStringLiteral("Bem Mais Longo"));
    EXPECT_EQ(chip.shownText(), QStringLiteral("bem mais longo"));
    EXPECT_GT(chip.sizeHint().width(), shortWidth);
}

TEST(VTChipTest, PaintsChipColoursOfTheTheme) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        SCOPED_TRACE(theme.name.toStdString());
        QWidget root;
        auto* chip = new VTChip(QStringLiteral("Rápido"), true, &root);
        chip->resize(chip->sizeHint());
        vemiTerminal(&root, appearance);
        const QImage image = snapshot(*chip);
        EXPECT_TRUE(colourNear(pixelAt(image, 1, 1), theme.chipBg));
        EXPECT_TRUE(colourNear(pixelAt(image, image.width() - 2, image.height() - 1), theme.chipBg));
        int textPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 6; x < image.width() - 6; ++x) {
                textPixels += colourNear(image.pixelColor(x, y), theme.chipFg, 12) ? 1 : 0;
            }
        }
        EXPECT_GT(textPixels, 20);
    }
}

QImage dotGrid(qreal pitch, QSize size, VTAppearance appearance) {
    QWidget root;
    auto* grid = new VTDotGrid(pitch, &root);
    grid->resize(size);
    vemiTerminal(&root, appearance);
    return snapshot(*grid);
}

TEST(VTDotGridTest, DotsSitAtHalfPitchStepsInsideTheBounds) {
    for (VTAppearance appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        const VTTheme& theme = vtResolveTheme(appearance, false);
        SCOPED_TRACE(theme.name.toStdString());
        const QImage image = dotGrid(8, {16, 16}, appearance);
        const QColor ground = theme.bgSection;
        for (int centreY : {4, 12}) {
            for (int centreX : {4, 12}) {
                // A dot of diameter 1.2 centred on a pixel corner touches the four pixels around it.
                for (QPoint pixel : {QPoint(centreX - 1, centreY - 1), QPoint(centreX, centreY)}) {
                    EXPECT_FALSE(colourNear(pixelAt(image, pixel.x(), pixel.y()), ground, 3))
                        << pixel.x() << "," << pixel.y();
                }
                EXPECT_TRUE(colourNear(pixelAt(image, centreX - 2, centreY), ground));
                EXPECT_TRUE(colourNear(pixelAt(image, centreX + 1, centreY), ground));
            }
        }
        for (QPoint pixel : {QPoint(0, 0), QPoint(8, 8), QPoint(15, 15), QPoint(7, 4)}) {
            EXPECT_TRUE(colourNear(pixelAt(image, pixel.x(), pixel.y()), ground));
        }
    }
}

TEST(VTDotGridTest, DegenerateGridsPaintOnlyTheGround) {
    struct Row {
        const char* name;
        qreal pitch;
        QSize size;
    };
    const Row rows[] = {{"zero pitch", 0, {16, 16}},
                        {"negative pitch", -8, {16, 16}},
                        {"canvas below half a pitch", 8, {3, 16}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QImage image = dotGrid(row.pitch, row.size, VTAppearance::vemi);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ASSERT_TRUE(colourNear(image.pixelColor(x, y), VTTheme::vemi().bgSection, 0)) << x << "," << y;
            }
        }
    }
}

}  // namespace
