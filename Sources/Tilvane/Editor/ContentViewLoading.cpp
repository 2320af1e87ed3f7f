#include "Tilvane/Editor/ContentView.hpp"

#include "Tilvane/Services/LocalFileURL.hpp"
#include "TilvaneCore/Cancellation.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvaneCore/ImageFileLoader.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <exception>
#include <new>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>
#include <variant>

namespace tilvane {

namespace {

constexpr const char* unreadableImageMessage = "O arquivo selecionado não pôde ser lido como imagem.";
constexpr const char* missingLastImageMessage =
    "A última imagem não está disponível. Abra o arquivo novamente para continuar.";
constexpr const char* imageNotReadNowMessage =
    "O sistema não conseguiu ler o arquivo agora (faltaram recursos ou houve um erro de leitura). O arquivo foi "
    "preservado; tente novamente.";
constexpr const char* lastImageNotReadNowMessage =
    "O sistema não conseguiu ler a última imagem agora (faltaram recursos ou houve um erro de leitura). A sessão foi "
    "preservada para a próxima abertura.";
// Before the system's own words when it, not the picture, stopped a conversion (no memory or thread left).
constexpr const char* conversionFailedPrefix = "Não foi possível converter a imagem: ";

// What a read gives: the picture, or why there is none.
struct ReadPicture {
    ImagePointer image;
    ImageFileLoader::FailureReport report;
};

std::string tooLargeMessage(const ImageFileLoader::FailureReport& report)
{
    return "A imagem selecionada é grande demais para abrir (" + std::to_string(report.width) + " × "
           + std::to_string(report.height) + " pixels).";
}

struct Conversion {
    ImagePointer grid;
    ImagePointer preview;
};

// A finished conversion, or the text of the error that stopped it.
using ConversionOutcome = std::variant<Conversion, std::string>;

}  // namespace

std::pair<int, int> ContentView::previewSize(int sourceWidth, int sourceHeight)
{
    const double scale = std::min(static_cast<double>(previewMaxDimension) / std::max(sourceWidth, sourceHeight), 1.0);
    const auto side = [scale](int length) { return std::max(1, static_cast<int>(std::round(length * scale))); };
    return {side(sourceWidth), side(sourceHeight)};
}

std::string ContentView::conversionFailureMessage(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return std::string(conversionFailedPrefix) + std::generic_category().message(ENOMEM);
    } catch (const std::system_error& systemError) {
        return std::string(conversionFailedPrefix) + systemError.code().message();
    } catch (const std::exception& other) {
        return other.what();
    }
}

void ContentView::resetShaders()
{
    shaderWork_.stop();
    thumbnailWork_.stop();
    screenThumbnailRefresh_.stop();
    assign<&ContentViewState::shaderImage>(nullptr);
    assign<&ContentViewState::shaderPreviewBase>(nullptr);
    assign<&ContentViewState::shaderFrameTime>(0.0f);
    assign<&ContentViewState::shaderThumbnails>(std::map<std::string, ImagePointer>{});
    assign<&ContentViewState::screenThumbnail>(nullptr);
    assign<&ContentViewState::isShaderProcessing>(false);
}

void ContentView::loadImage(const std::filesystem::path& url, ImageOrigin origin)
{
    // A load that replaces one still under way goes back to where that one would have: the user's picture stays
    // what was shown before the first of them.
    if (origin == ImageOrigin::lastSession) {
        loadFallback_ = LastSessionPicture{url};
    } else if (!loadFallback_) {
        loadFallback_ = shownPicture();
    }
    work_.stop();
    personalThumbnailWork_.stop();
    assign<&ContentViewState::personalThumbnails>(std::unordered_map<Uuid, ImagePointer>{});
    assign<&ContentViewState::sourceURL>(std::optional<std::filesystem::path>(url));
    assign<&ContentViewState::sourceName>(url.filename().string());
    assign<&ContentViewState::source>(nullptr);
    assign<&ContentViewState::pixelGrid>(nullptr);
    resetShaders();
    assign<&ContentViewState::isProcessing>(true);
    const int maxDimension = state_.maxDimension;

    // The read is not interrupted when the job is stopped: it runs to its end and its result is dropped.
    runJob(
        work_, JobPriority::userInitiated,
        [url, maxDimension](std::stop_token) {
            ReadPicture read;
            read.image = ImageFileLoader::load(url, maxDimension, &read.report);
            return read;
        },
        [this, origin, maxDimension](ReadPicture read) {
            auto fallback = std::exchange(loadFallback_, std::nullopt);
            ImagePointer& image = read.image;
            if (image) {
                if (origin == ImageOrigin::chosen) services_.telemetry->record(TilvaneEvent::imageOpened);
                sourceReadAt_ = maxDimension;
                assign<&ContentViewState::source>(std::move(image));
                // The conversion starts before the session is written (the session does not depend on it), so
                // the file write overlaps the conversion instead of delaying it.
                convert();
                saveSession();
                generatePersonalThumbnails();
                return;
            }
            assign<&ContentViewState::isProcessing>(false);
            // When the system failed, the file itself may be fine: it and the session naming it stay.
            const bool systemFailed = read.report.failure == ImageFileLoader::Failure::system;
            const bool tooLarge = read.report.failure == ImageFileLoader::Failure::tooLarge;
            if (origin == ImageOrigin::lastSession) {
                if (systemFailed) {
                    keepsStoredSession_ = true;
                } else {
                    try {
                        services_.sessionStore.clear();
                    } catch (const std::exception&) {
                        // The sample is shown either way; the next save replaces the file.
                    }
                }
                showSample();
                queueErrorMessage(systemFailed ? lastImageNotReadNowMessage
                                  : tooLarge   ? tooLargeMessage(read.report)
                                               : missingLastImageMessage);
                return;
            }
            if (fallback) goBack(std::move(*fallback));
            queueErrorMessage(systemFailed ? imageNotReadNowMessage
                              : tooLarge   ? tooLargeMessage(read.report)
                                           : unreadableImageMessage);
            services_.telemetry->recordFailure(TilvaneEvent::imageOpenFailed);
        });
}

ContentView::ShownPicture ContentView::shownPicture() const
{
    return ShownPicture{
        .state = state_,
        .running =
            {
                .conversion = work_.holdsJob(),
                .shader = shaderWork_.holdsJob(),
                .builtInThumbnails = thumbnailWork_.holdsJob() || screenThumbnailRefresh_.holdsJob(),
                .personalThumbnails = personalThumbnailWork_.holdsJob(),
            },
        .readAt = sourceReadAt_,
    };
}

std::optional<ContentView::SessionPicture> ContentView::sessionPicture() const
{
    if (state_.source) {
        if (!state_.sourceURL) return std::nullopt;
        return SessionPicture{*state_.sourceURL, state_.maxDimension};
    }
    if (!loadFallback_) return std::nullopt;
    if (const auto* shown = std::get_if<ShownPicture>(&*loadFallback_)) {
        if (!shown->state.source || !shown->state.sourceURL) return std::nullopt;
        return SessionPicture{*shown->state.sourceURL, shown->readAt.value_or(state_.maxDimension)};
    }
    if (const auto* session = std::get_if<LastSessionPicture>(&*loadFallback_)) {
        return SessionPicture{session->url, state_.maxDimension};
    }
    return std::nullopt;
}

void ContentView::goBack(LoadFallback fallback)
{
    std::visit(
        [this](auto&& picture) {
            using Picture = std::decay_t<decltype(picture)>;
            if constexpr (std::is_same_v<Picture, ShownPicture>) {
                showAgain(picture);
            } else if constexpr (std::is_same_v<Picture, LastSessionPicture>) {
                loadImage(picture.url, ImageOrigin::lastSession);
            } else {
                showSample();
            }
        },
        std::move(fallback));
}

// The picture, its name and every result come back as they were, with the working size the picture was read at (a
// size chosen for the failed read would otherwise show beside a picture larger or smaller than it); what was under
// way for them when they were left, and what the user edited meanwhile, runs again.
void ContentView::showAgain(const ShownPicture& shown)
{
    sourceReadAt_ = shown.readAt;
    if (shown.readAt) assign<&ContentViewState::maxDimension>(*shown.readAt);
    restoreFields<&ContentViewState::source, &ContentViewState::sourceURL, &ContentViewState::sourceName,
                  &ContentViewState::pixelGrid, &ContentViewState::shaderPreviewBase, &ContentViewState::shaderImage,
                  &ContentViewState::shaderFrameTime, &ContentViewState::shaderThumbnails,
                  &ContentViewState::screenThumbnail, &ContentViewState::personalThumbnails>(shown.state);
    assign<&ContentViewState::isProcessing>(false);
    assign<&ContentViewState::isShaderProcessing>(false);
    const PictureJobs resumed = jobsToResume(shown.running, classifyVisualChange(shown.state.visual, state_.visual),
                                             shown.state.personalPresets != state_.personalPresets);
    if (resumed.conversion) convert();
    if (resumed.shader) applyShader();
    if (resumed.builtInThumbnails && state_.source) {
        generateShaderThumbnails(state_.pixelGrid, state_.source->width(), state_.source->height());
    }
    if (resumed.personalThumbnails) generatePersonalThumbnails();
}

void ContentView::showSample()
{
    ImagePointer sample = services_.sampleImage ? services_.sampleImage() : nullptr;
    if (!sample) return;
    work_.stop();
    // The sample's look is converted below, so the look's observer has nothing left to do.
    assign<&ContentViewState::visual>(initialVisualSettings());
    assign<&ContentViewState::shaderID>(std::nullopt);
    assign<&ContentViewState::sourceURL>(std::nullopt);
    assign<&ContentViewState::sourceName>(std::string("Exemplo Tilvane"));
    sourceReadAt_.reset();
    assign<&ContentViewState::source>(std::move(sample));
    assign<&ContentViewState::pixelGrid>(nullptr);
    resetShaders();
    assign<&ContentViewState::compareFraction>(0.5);
    convert();
    generatePersonalThumbnails();
}

void ContentView::convert()
{
    if (!state_.source) return;
    const auto palette = state_.visual.palette();
    if (!palette) return;
    work_.stop();
    resetShaders();
    assign<&ContentViewState::isProcessing>(true);

    ImagePointer source = state_.source;
    const int pixelSize = static_cast<int>(state_.visual.pixelSize);
    const DitherMode dither = state_.visual.dither;
    const ImageAdjustments adjustments = state_.visual.adjustments;
    runJob(
        work_, JobPriority::userInitiated,
        [source, palette = *palette, pixelSize, dither, adjustments](std::stop_token stop) -> ConversionOutcome {
            try {
                const ImageConverter converter;
                ImagePointer grid = converter.renderPixelGrid(*source, palette, pixelSize, dither, adjustments, stop);
                const auto [width, height] = previewSize(source->width(), source->height());
                ImagePointer preview = converter.upscale(*grid, width, height);
                return Conversion{std::move(grid), std::move(preview)};
            } catch (...) {
                return conversionFailureMessage(std::current_exception());  // dropped when the job was stopped
            }
        },
        [this, source](ConversionOutcome outcome) {
            assign<&ContentViewState::isProcessing>(false);
            if (auto* failure = std::get_if<std::string>(&outcome)) {
                queueErrorMessage(*failure);
                return;
            }
            auto& conversion = std::get<Conversion>(outcome);
            assign<&ContentViewState::pixelGrid>(conversion.grid);
            assign<&ContentViewState::shaderPreviewBase>(std::move(conversion.preview));
            applyShader();
            generateShaderThumbnails(std::move(conversion.grid), source->width(), source->height());
        });
}

void ContentView::openImage()
{
    if (const auto url = waitForUser([this] { return services_.dialogs->chooseImageToOpen(); })) {
        loadImage(*url, ImageOrigin::chosen);
    }
}

bool ContentView::dropURLs(const QList<QUrl>& urls)
{
    setIsDropTargeted(false);
    const auto path = urls.isEmpty() ? std::nullopt : localFilePath(urls.first());
    if (!path) return false;
    loadImage(*path, ImageOrigin::chosen);
    return true;
}

void ContentView::setIsDropTargeted(bool targeted)
{
    assign<&ContentViewState::isDropTargeted>(targeted);
}

}  // namespace tilvane
