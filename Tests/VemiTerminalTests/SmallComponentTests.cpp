#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTDotGrid.hpp"
#include "VemiTerminal/Components/VTGlyph.hpp"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>

#include <functional>

namespace {

TEST(VTTextFieldTest, OutlineThickensInwardsWhileFocused)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        QWidget root;
        auto* field = new VTTextField(QStringLiteral("Buscar"), &root);
        field->setFixedWidth(200);
        field->resize(field->sizeHint());
        vemiTerminal(&root, appearance);
        const QSize size = field->size();
        const int middle = size.height() / 2;
        // Left edge, the two pixels inside it, and the bottom edge's inner row.
        auto expectOutline = [&](const QColor& second, const QColor& bottom) {
            const QImage image = snapshot(*field);
            EXPECT_TRUE(colourNear(image.pixelColor(0, middle), theme.border));
            EXPECT_TRUE(colourNear(image.pixelColor(1, middle), second));
            EXPECT_TRUE(colourNear(image.pixelColor(2, middle), theme.bgWindow));
            EXPECT_TRUE(colourNear(image.pixelColor(size.width() / 2, size.height() - 2), bottom));
        };
        expectOutline(theme.bgWindow, theme.bgWindow);

        auto focus = [&](QEvent::Type type) {
            QFocusEvent event(type, Qt::TabFocusReason);
            QApplication::sendEvent(field, &event);
        };
        focus(QEvent::FocusIn);
        EXPECT_EQ(field->size(), size);
        expectOutline(theme.border, theme.border);
        focus(QEvent::FocusOut);
        expectOutline(theme.bgWindow, theme.bgWindow);
        EXPECT_EQ(field->palette().color(QPalette::Text), theme.fg);
    });
}

TEST(VTTextFieldTest, ColoursFollowTheThemeSwitchWithoutBeingPainted)
{
    QWidget root;  // never shown: nothing is painted
    auto* field = new VTTextField(QStringLiteral("Buscar"), &root);
    for (VTAppearance appearance : {VTAppearance::noite, VTAppearance::vemi, VTAppearance::noite}) {
        vemiTerminal(&root, appearance);
        const VTTheme& theme = vtTheme(&root);
        SCOPED_TRACE(theme.name.toStdString());
        EXPECT_EQ(std::pair(field->palette().color(QPalette::Text), field->palette().color(QPalette::PlaceholderText)),
                  std::pair(theme.fg, theme.fgMuted));
    }
    // A field made before its tree has a root picks the root's theme up when it is shown.
    QWidget later;
    auto* early = new VTTextField(QString(), &later);
    later.show(), QApplication::processEvents();
    vemiTerminal(&later, VTAppearance::noite);
    EXPECT_EQ(early->palette().color(QPalette::Text), VTTheme::noite().fg);
}

TEST(VTTextFieldTest, TextSitsAtThePaddingOfEightAndSix)
{
    const VTTheme& theme = VTTheme::vemi();
    Stage stage(VTAppearance::vemi, {240, 80});
    QPalette ground = stage.root.palette();
    ground.setColor(QPalette::Window, theme.bgWindow);
    stage.root.setPalette(ground);
    auto* field = new VTTextField(QString(), &stage.root);
    field->setText(QStringLiteral("Buscar"));
    field->setGeometry(0, 0, 200, field->sizeHint().height());
    field->setFocusPolicy(Qt::NoFocus);  // no text cursor in the picture
    // The same text drawn by the kit at the padding's corner.
    auto* reference = new VTText(QStringLiteral("Buscar"), VTTextStyle::pixelMD, nullptr, &stage.root);
    reference->move(8, 40 + 6);
    reference->resize(reference->sizeHint());
    stage.show();

    const QImage image = snapshot(stage.root);
    const QRect inField = inkBounds(image, theme.bgWindow, QRect(3, 3, 190, field->height() - 6), 60);
    const QRect inReference = inkBounds(image, theme.bgWindow, QRect(0, 40, 200, 40), 60);
    ASSERT_FALSE(inReference.isEmpty());
    EXPECT_EQ(inField.topLeft(), inReference.topLeft() - QPoint(0, 40));
}

TEST(VTChipTest, ShowsLowerCasedTextWithOptionalGlyphAndPadding)
{
    const QFontMetricsF metrics(vtFont(VTTextStyle::pixelSM));
    const qreal glyphWidth = metrics.horizontalAdvance(QStringLiteral("\u2295")) + 4;
    const std::tuple<const char*, bool, const char*> rows[] = {
        {"Tipado", false, "tipado"}, {"Tipado", true, "tipado"}, {"ÁGUA", false, "água"}};
    for (const auto& [text, glyph, shown] : rows) {
        SCOPED_TRACE(text);
        VTChip chip(QString::fromUtf8(text), {.showsGlyph = glyph});
        EXPECT_EQ(chip.shownText(), QString::fromUtf8(shown));
        const qreal width = metrics.horizontalAdvance(QString::fromUtf8(shown)) + 12 + (glyph ? glyphWidth : 0);
        EXPECT_EQ(chip.sizeHint(), vtCeil({width, vtNaturalLineHeight(VTTextStyle::pixelSM) + 2}));
    }
    VTChip chip(QStringLiteral("Curto"));
    const int shortWidth = chip.sizeHint().width();
    chip.setText(QStringLiteral("Bem Mais Longo"));
    EXPECT_TRUE(chip.shownText() == QStringLiteral("bem mais longo") && chip.sizeHint().width() > shortWidth);
}

TEST(VTBadgeTest, ChipAndGlyphPaintTheirThemeColoursInsideTheirPadding)
{
    using Colour = QColor VTTheme::*;
    const std::tuple<const char*, std::function<QWidget*()>, Colour, Colour, int> rows[] = {
        {"chip", [] { return new VTChip(QStringLiteral("Rápido"), {.showsGlyph = true}); }, &VTTheme::chipBg,
         &VTTheme::chipFg, 6},
        {"glyph", [] { return new VTGlyph(QStringLiteral("KEDU")); }, &VTTheme::glyphBg, &VTTheme::glyphFg, 4},
    };
    for (const auto& [name, make, background, text, padding] : rows) {
        for (const auto& [appearance, theme] : bothThemes()) {
            SCOPED_TRACE(std::string(name) + " " + theme.name.toStdString());
            const QImage image = renderThemed(make(), appearance);
            const QRect inner = image.rect().adjusted(padding, 0, -padding, 0);
            // Nothing but the background in the paddings, the text in its colour between them.
            const int groundInPaddings = countColour(image, image.rect(), theme.*background, 2)
                                         - countColour(image, inner, theme.*background, 2);
            EXPECT_EQ(groundInPaddings, 2 * padding * image.height());
            EXPECT_GT(countColour(image, inner, theme.*text, 12), 20);
        }
    }
    EXPECT_EQ(VTGlyph("KEDU").sizeHint().height(), std::ceil(vtNaturalLineHeight(VTTextStyle::pixelLG)));
}

TEST(VTDotGridTest, DotsSitAtHalfPitchStepsInsideTheBounds)
{
    forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
        const QImage image = renderThemed(new VTDotGrid(8), appearance, {16, 16});
        const QColor ground = theme.bgSection;
        // A dot of diameter 1.2 centred on a pixel corner touches the four pixels around it.
        for (QPoint centre : {QPoint(4, 4), QPoint(12, 4), QPoint(4, 12), QPoint(12, 12)})
            EXPECT_EQ(inkBounds(image, ground, QRect(centre - QPoint(2, 2), QSize(4, 4)), 3),
                      QRect(centre - QPoint(1, 1), QSize(2, 2)));
        EXPECT_EQ(countColour(image, image.rect(), ground, 3), 16 * 16 - 4 * 4);  // no other dots
    });
}

// A grid on whole pixels is kept as a picture; the picture must be the dots drawn one by one (the same grid
// shifted by a quarter pixel is drawn directly, and lands a quarter pixel further on).
TEST(VTDotGridTest, TheKeptPictureOfAGridIsTheGridDrawnDirectly)
{
    const VTTheme theme = VTTheme::noite();
    const auto draw = [&](QPointF offset, QSize size) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(offset);
        VTDotGrid::paint(painter, QRectF(QPointF(0, 0), QSizeF(size) - QSizeF(4, 4)), theme, 8);
        return image;
    };
    const QImage kept = draw({2, 2}, {200, 120});
    EXPECT_EQ(draw({2, 2}, {200, 120}), kept) << "the second paint, from the kept picture, is the first";
    // Drawn directly a whole pixel away and shifted back: the same pixels as the kept picture.
    const QImage direct = draw({3.0001, 2}, {200, 120});
    int differing = 0;
    for (int y = 2; y < 116; ++y) {
        for (int x = 2; x < 196; ++x) differing += QColor(kept.pixel(x, y)) != QColor(direct.pixel(x + 1, y)) ? 1 : 0;
    }
    EXPECT_LT(differing, 50) << "dots in the same places, only antialiasing may differ a little";
    EXPECT_GT(countColour(kept, kept.rect(), theme.bgSection, 3), 0);
}

TEST(VTDotGridTest, DegenerateGridsPaintOnlyTheGround)
{
    const std::tuple<const char*, qreal, QSize> rows[] = {
        {"zero pitch", 0, {16, 16}}, {"negative pitch", -8, {16, 16}}, {"canvas below half a pitch", 8, {3, 16}}};
    for (const auto& [name, pitch, size] : rows)
        EXPECT_EQ(countColour(renderThemed(new VTDotGrid(pitch), VTAppearance::vemi, size), QRect({}, size),
                              VTTheme::vemi().bgSection, 0),
                  size.width() * size.height())
            << name;
}

// A paint device that draws nothing and counts the path elements and rectangles handed to its engine.
class CountingDevice : public QPaintDevice {
public:
    explicit CountingDevice(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    int work() const { return engine_.work; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++work; }
        void drawPath(const QPainterPath& path) override { work += path.elementCount(); }
        void drawRects(const QRectF*, int count) override { work += count; }
        void drawRects(const QRect*, int count) override { work += count; }
        void drawPolygon(const QPointF*, int count, PolygonDrawMode) override { work += count; }
        Type type() const override { return User; }
        int work = 0;
    };
    QSize size_;
    mutable Engine engine_;
};

TEST(VTDotGridTest, PitchBelowOnePixelFillsTheDotColourOnceWithWorkBoundedByThePixels)
{
    const std::pair<const char*, qreal> rows[] = {{"a hundredth", 0.01}, {"almost zero", 1e-17}, {"half a pixel", 0.5}};
    for (const auto& [name, pitch] : rows) {
        SCOPED_TRACE(name);
        CountingDevice device({16, 16});
        {
            QPainter painter(&device);
            VTDotGrid::paint(painter, QRectF(0, 0, 16, 16), VTTheme::vemi(), pitch);
        }
        ASSERT_LE(device.work(), 16 * 16);
        forBothThemes([&](VTAppearance appearance, const VTTheme& theme) {
            const QImage image = renderThemed(new VTDotGrid(pitch), appearance, {16, 16});
            EXPECT_EQ(countColour(image, image.rect(), over(theme.dot, theme.bgSection), 2), 16 * 16);
        });
    }
}

}  // namespace
