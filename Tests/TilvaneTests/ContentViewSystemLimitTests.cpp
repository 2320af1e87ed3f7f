// Pictures past what a read may cost, and memory that runs out while a picture is read or converted: each is told
// for what it is, and what the user had stays.

#include "PreviewTestSupport.hpp"
#include "TestSupport/AddressSpaceLimit.hpp"
#include "Tilvane/Editor/ContentView.hpp"
#include "TilvaneCore/ImageConverter.hpp"
#include "TilvanePresets/Url.hpp"
// GLib (under libvips) names struct members "signals", which Qt defines as a keyword macro.
#undef signals
#include "TilvaneCore/VipsRuntime.hpp"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <system_error>

namespace tilvane::testing {
namespace {

using namespace std::chrono_literals;

// A black PNG of one bit per pixel: a few hundred kilobytes on disk whatever its size. Interlaced, libvips decodes
// it whole before it shrinks it.
std::filesystem::path writeBlackPNG(const std::filesystem::path& file, int width, int height, bool interlaced)
{
    startVips();
    VipsImage* black = nullptr;
    EXPECT_EQ(vips_black(&black, width, height, nullptr), 0);
    const VipsImagePointer image(black);
    const std::string options = interlaced ? "[interlace,bitdepth=1,compression=1]" : "[bitdepth=1,compression=1]";
    EXPECT_EQ(vips_image_write_to_file(image.get(), (file.string() + options).c_str(), nullptr), 0)
        << vips_error_buffer();
    return file;
}

// In a process of its own (this test program started again, as a limit on the address space holds for every thread
// of the process), runs `check`, which gives what went wrong, and ends that process: successfully when nothing did.
template <typename Check>
[[noreturn]] void exitWith(Check check)
{
    const std::string problems = check();
    std::fputs(problems.c_str(), stderr);
    std::exit(problems.empty() ? EXIT_SUCCESS : EXIT_FAILURE);
}

// Runs the one job held while the process may map only `bytes` more than it has, then what follows.
void runHeldJobWithLittleMemory(ManualJobRunner& jobs, std::size_t bytes)
{
    if (jobs.pending.size() != 1u) {
        std::fprintf(stderr, "%zu jobs held instead of one\n", jobs.pending.size());
        std::exit(EXIT_FAILURE);
    }
    auto job = std::move(jobs.pending.front());
    jobs.pending.pop_front();
    // Every allocation of 64 KiB or more maps memory afresh, which the limit refuses, instead of reusing what
    // earlier work freed and the allocator kept: what fails then does not hang on the earlier work.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
    {
        const AddressSpaceLimit limit(bytes);
        job();
    }
    QCoreApplication::sendPostedEvents();
    jobs.runAll();
}

// Interlaced, 12000 × 12000: its decode takes some 140 MB at once.
constexpr int memoryHungrySide = 12000;
constexpr std::size_t littleMemory = 64u << 20;

// A restored picture that runs out of memory while it is decoded is the system's failure, not the file's: the session
// stays on disk with its look for the next start, which shows the picture.
TEST(ContentViewSystemLimits, ARestoredPictureThatRunsOutOfMemoryKeepsTheSessionAndItsLook)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto restoreWithLittleMemory = [] {
        exitWith([] {
            std::string problems;
            EditorTestServices fixture;
            const auto picture = writeBlackPNG(fixture.file("scan.png"), memoryHungrySide, memoryHungrySide, true);
            VisualSettings look = initialVisualSettings();
            look.paletteID = "pico8";
            LastSessionStore(fixture.sessionFile())
                .save(LastSession{Url::file(picture), look, std::nullopt, 1024, 0.3});
            const std::string sessionBefore = fileBytes(fixture.sessionFile());
            {
                ContentView window(fixture.services());
                window.windowDidAppear();
                runHeldJobWithLittleMemory(*fixture.jobs, littleMemory);
                const std::string message = window.state().errorMessage().value_or("");
                if (!message.starts_with("O sistema não conseguiu ler a última imagem agora"))
                    problems += "alert: " + message + "\n";
                fixture.clock->advance(1s);
                fixture.quit(window);
                if (fileBytes(fixture.sessionFile()) != sessionBefore)
                    problems += "the session was dropped or rewritten\n";
            }
            ContentView next(fixture.services());
            next.windowDidAppear();
            fixture.jobs->runAll();
            if (next.state().sourceURL != picture || !next.state().source)
                problems += "the next start lost the picture\n";
            if (next.state().visual != look) problems += "the next start lost the look\n";
            return problems;
        });
    };
    EXPECT_EXIT(restoreWithLittleMemory(), ::testing::ExitedWithCode(EXIT_SUCCESS), "");
}

// A picture beyond what a read may decode is refused with its size, not called unreadable or missing. Chosen, the
// window keeps what it showed; restored, the sample shows and the session goes, as the picture will not open later
// either.
TEST(ContentViewSystemLimits, APictureTooLargeToOpenIsToldWithItsSize)
{
    const std::string message = "A imagem selecionada é grande demais para abrir (40000 × 40000 pixels).";
    for (const ImageOrigin origin : {ImageOrigin::chosen, ImageOrigin::lastSession}) {
        SCOPED_TRACE(origin == ImageOrigin::chosen ? "chosen" : "restored");
        EditorTestServices fixture;
        const auto bomb = writeBlackPNG(fixture.file("bomb.png"), 40000, 40000, false);
        std::unique_ptr<ContentView> window;
        if (origin == ImageOrigin::chosen) {
            window = fixture.shownWindow();
            fixture.telemetry->events.clear();
            window->loadImage(bomb, ImageOrigin::chosen);
            fixture.jobs->runAll();
            EXPECT_EQ(fixture.telemetry->events, (std::vector<RecordedEvent>{{TilvaneEvent::imageOpenFailed, true}}));
        } else {
            LastSessionStore(fixture.sessionFile())
                .save(LastSession{Url::file(bomb), initialVisualSettings(), std::nullopt, 2048, 0.3});
            window = fixture.shownWindow();
            EXPECT_FALSE(std::filesystem::exists(fixture.sessionFile()));
        }
        EXPECT_EQ(window->state().errorMessage(), message);
        EXPECT_EQ(window->state().source, fixture.sample);
        EXPECT_EQ(window->state().sourceName, "Exemplo Tilvane");
    }
}

// A conversion the system stops (no memory or thread left) says in the window's words what failed, then the system's;
// the converter's own failures keep their sentences.
TEST(ContentViewSystemLimits, AConversionTheSystemStopsSaysWhatFailedBeforeTheSystemsWords)
{
    const struct {
        const char* name;
        std::exception_ptr error;
        std::string message;
    } rows[] = {
        {"no memory left", std::make_exception_ptr(std::bad_alloc()),
         "Não foi possível converter a imagem: Cannot allocate memory"},
        {"no thread left", std::make_exception_ptr(std::system_error(EAGAIN, std::generic_category(), "thread")),
         "Não foi possível converter a imagem: Resource temporarily unavailable"},
        {"the converter's own", std::make_exception_ptr(ImageConversionError(ImageConversionErrorCase::emptyPalette)),
         "A paleta precisa conter ao menos uma cor."},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ContentView::conversionFailureMessage(row.error), row.message) << row.name;
    }
}

}  // namespace
}  // namespace tilvane::testing
