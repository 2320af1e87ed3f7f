#include "KitTestSupport.hpp"

#include "TestSupport/TextContrast.hpp"
#include "VemiTerminal/Theme/VTStockStyle.hpp"

#include <QCheckBox>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

using tilvane::testing::contrastRatio;
using tilvane::testing::groundColour;
using tilvane::testing::inkColour;
using tilvane::testing::outlineContrast;

// A check box drawn by the stock style on a kit root, at 10, 10.
struct CheckBoxScene {
    QWidget root;
    VTStockStyle style;
    QCheckBox* box = new QCheckBox(QStringLiteral("Compartilhar métricas de uso"), &root);

    CheckBoxScene(VTAppearance appearance, bool enabled, Qt::CheckState state)
    {
        vemiTerminal(&root, appearance);
        box->setStyle(&style);
        box->setTristate(state == Qt::PartiallyChecked);
        box->setCheckState(state);
        box->setEnabled(enabled);
        box->adjustSize();
        box->move(10, 10);
        root.resize(box->width() + 20, box->height() + 20);
        root.show();
        QApplication::processEvents();
    }

    QRect part(QStyle::SubElement element) const
    {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return style.subElementRect(element, &option, box).translated(box->pos());
    }
};

// The square and its mark stand out at least 3:1 from the window and from the square's fill in every state; the
// label is in `fg` while enabled and in the theme's disabled ink while not.
TEST(VTStockStyleTest, CheckBoxSquareStandsOutAndTheLabelSaysWhetherItIsEnabled)
{
    struct Row {
        const char* name;
        bool enabled;
        Qt::CheckState state;
    };
    const Row rows[] = {
        {"enabled, off", true, Qt::Unchecked},
        {"enabled, on", true, Qt::Checked},
        {"enabled, partly", true, Qt::PartiallyChecked},
        {"disabled, off", false, Qt::Unchecked},
        {"disabled, on", false, Qt::Checked},
    };
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            CheckBoxScene scene(appearance, row.enabled, row.state);
            const QImage image = snapshot(scene.root);
            const QRect square = scene.part(QStyle::SE_CheckBoxIndicator);
            EXPECT_GE(outlineContrast(image, square), 3.0);
            const QColor fill = image.pixelColor(square.left() + 2, square.center().y());
            const QColor middle = image.pixelColor(square.center());
            if (row.state == Qt::Unchecked) {
                EXPECT_EQ(middle, fill) << "no mark";
            } else {
                EXPECT_GE(contrastRatio(middle, fill), 3.0) << "the mark";
            }
            const QRect label = scene.part(QStyle::SE_CheckBoxContents);
            const QColor ink = inkColour(image, label);
            EXPECT_TRUE(colourNear(ink, row.enabled ? theme.fg : vtDisabledInk(theme, groundColour(image, label)), 3));
        }
    });
}

// Keyboard focus outlines the square 2 px inside in the ink of its state, as the kit's own controls are outlined.
TEST(VTStockStyleTest, KeyboardFocusThickensTheSquaresOutline)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        CheckBoxScene scene(appearance, true, Qt::Unchecked);
        QStyleOptionButton option;
        option.initFrom(scene.box);
        option.rect = QRect(0, 0, 14, 14);
        const auto draw = [&](QStyle::State extra) {
            QImage image(option.rect.size(), QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            QStyleOptionButton drawn = option;
            drawn.state |= extra;
            scene.style.drawPrimitive(QStyle::PE_IndicatorCheckBox, &drawn, &painter, scene.box);
            return image;
        };
        const QImage unfocused = draw({});
        EXPECT_EQ(draw(QStyle::State_HasFocus), unfocused) << "focus from a click shows nothing";
        EXPECT_TRUE(
            focusOutline(draw(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange), unfocused, theme.fg));
    });
}

}  // namespace
