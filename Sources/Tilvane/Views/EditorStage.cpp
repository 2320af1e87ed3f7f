#include "Tilvane/Views/EditorStage.hpp"

#include "Tilvane/Editor/EditorPresentation.hpp"
#include "Tilvane/Views/ComparisonView.hpp"
#include "Tilvane/Views/ImageView.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/ShaderGallery.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Theme/VTBackground.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

namespace tilvane {

namespace {

// The dashed outline and the "soltar para abrir" chip over the comparison while a file is dragged over it.
class DropOverlay : public QWidget {
public:
    explicit DropOverlay(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("dropOverlay"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(padding, padding, padding, padding);
        auto* chip = new VTChip(QStringLiteral("soltar para abrir"), {.showsGlyph = true});
        chip->setObjectName(QStringLiteral("dropChip"));
        layout->addWidget(chip, 0, Qt::AlignCenter);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QPen pen(vtTheme(this).border, 2, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        pen.setDashPattern({3, 2});  // 6 on, 4 off for a 2-point line
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(padding + 1, padding + 1, -padding - 1, -padding - 1));
    }

private:
    static constexpr int padding = 12;
};

}  // namespace

EditorStage::EditorStage(std::vector<ShaderPreset> builtInPresets, DropHandler openDrop, QWidget* parent)
    : QWidget(parent), openDrop_(std::move(openDrop))
{
    setObjectName(QStringLiteral("stage"));
    comparison_ = new ComparisonView;
    vtSection(comparison_, {.dotted = true});
    comparison_->setAcceptDrops(true);
    comparison_->installEventFilter(this);
    dropOverlay_ = new DropOverlay(comparison_);
    gallery_ = new ShaderGallery(std::move(builtInPresets));
    gallery_->setObjectName(QStringLiteral("gallery"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(comparison_, 1);
    layout->addWidget(new VTHairline(Qt::Horizontal));
    layout->addWidget(gallery_);

    connect(comparison_, &ComparisonView::fractionEdited, this, &EditorStage::fractionEdited);
    connect(comparison_, &ComparisonView::compareEnded, this, &EditorStage::compareEnded);
    connect(comparison_, &ComparisonView::openRequested, this, &EditorStage::openRequested);
    connect(gallery_, &ShaderGallery::shaderSelected, this, &EditorStage::shaderSelected);
}

void EditorStage::setState(const ContentViewState& state)
{
    namespace presentation = editor_presentation;
    comparison_->setSource(state.source);
    comparison_->setPixelGrid(presentation::comparisonResult(state));
    comparison_->setLoadingName(presentation::loadingName(state));
    comparison_->setFraction(state.compareFraction);
    comparison_->setShowsHandle(state.showsCompareHandle);
    dropOverlay_->setVisible(state.isDropTargeted);

    gallery_->setSelection(state.shaderID);
    gallery_->setPersonalPresets(state.personalPresets);
    gallery_->setBasePreview(qImageView(state.screenThumbnail ? state.screenThumbnail : state.pixelGrid));
    std::map<std::string, QImage> previews;
    for (const auto& [id, image] : state.shaderThumbnails) previews.emplace(id, qImageView(image));
    gallery_->setPreviews(previews);
    std::map<Uuid, QImage> personalPreviews;
    for (const auto& [id, image] : state.personalThumbnails) personalPreviews.emplace(id, qImageView(image));
    gallery_->setPersonalPreviews(personalPreviews);
}

bool EditorStage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == comparison_) {
        switch (event->type()) {
        case QEvent::Resize:
            dropOverlay_->setGeometry(comparison_->rect());
            break;
        case QEvent::DragEnter: {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                emit dropTargeted(true);
            }
            return true;
        }
        case QEvent::DragLeave:
            emit dropTargeted(false);
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (openDrop_(drop->mimeData()->urls())) {
                drop->acceptProposedAction();
            } else {
                drop->ignore();
            }
            return true;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tilvane
