#include "VemiTerminal/Components/VTFeature.hpp"

#include "VemiTerminal/Components/VTDashedRule.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// Wrapping body text in the theme's muted colour.
class Paragraph : public QLabel {
public:
    explicit Paragraph(const QString& text) : QLabel(text)
    {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        vtTextStyle(this, VTTextStyle::body);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
        vtFollowTheme(this, [this] { followTheme(); });
    }

private:
    void followTheme()
    {
        const QColor muted = vtTheme(this).fgMuted;
        if (palette().color(QPalette::WindowText) != muted) {
            QPalette colours = palette();
            colours.setColor(QPalette::WindowText, muted);
            setPalette(colours);
        }
    }
};

}  // namespace

VTFeature::VTFeature(const QString& label, const QString& text, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 0, 16, 0);
    layout->setSpacing(16);
    layout->addWidget(new VTLabel(label));
    layout->addWidget(new Paragraph(text));
    layout->addStretch(1);
    rule_ = new VTDashedRule(this);
}

void VTFeature::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rule_->setGeometry(0, 0, 1, height());
    rule_->raise();
}

VTFeatureRow::VTFeatureRow(QWidget* parent) : QWidget(parent)
{
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(24);
}

void VTFeatureRow::addFeature(VTFeature* feature)
{
    layout_->addWidget(feature, 1, Qt::AlignTop);
}
