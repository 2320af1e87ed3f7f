#include "VeldranTelemetry/FatalSignalHandler.hpp"

#include <QFile>

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>

namespace veldran {
namespace {

constexpr std::array<int, 6> fatalSignals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
constexpr int largestFrameCount = 64;
constexpr std::size_t largestMapsCopy = 768 * 1024;
constexpr std::size_t alternateStackSize = 64 * 1024;

// Everything the handler reads is prepared here at installation; the handler never allocates.
struct HandlerState {
    char folder[PATH_MAX] = {};
    char release[256] = {};
    std::array<struct sigaction, fatalSignals.size()> previous{};
    bool installed = false;
};

HandlerState state;
std::atomic<bool> armed{false};
std::atomic_flag handling = ATOMIC_FLAG_INIT;
alignas(16) char alternateStack[alternateStackSize];

const char* signalName(int signal)
{
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGILL:
        return "SIGILL";
    case SIGFPE:
        return "SIGFPE";
    case SIGABRT:
        return "SIGABRT";
    case SIGTRAP:
        return "SIGTRAP";
    }
    return "SIGNAL";
}

// A buffered writer to one file descriptor that formats numbers and JSON strings without the C library's
// formatting functions (none of which is async-signal-safe).
class SignalSafeWriter {
public:
    explicit SignalSafeWriter(int descriptor) : descriptor_(descriptor) {}

    void text(const char* value) { bytes(value, std::strlen(value)); }

    void bytes(const char* value, std::size_t length)
    {
        for (std::size_t index = 0; index < length; ++index) put(value[index]);
    }

    void decimal(std::uint64_t value)
    {
        char digits[20];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0) put(digits[--count]);
    }

    void hexadecimal(std::uintptr_t value)
    {
        static constexpr char symbols[] = "0123456789abcdef";
        char digits[2 * sizeof(value)];
        int count = 0;
        do {
            digits[count++] = symbols[value & 0xF];
            value >>= 4;
        } while (value != 0);
        text("0x");
        while (count > 0) put(digits[--count]);
    }

    void quotedAddress(std::uintptr_t value)
    {
        put('"');
        hexadecimal(value);
        put('"');
    }

    // JSON string contents; bytes outside printable ASCII become \u00XX escapes. Returns the bytes written.
    std::size_t escaped(const char* value, std::size_t length)
    {
        static constexpr char symbols[] = "0123456789abcdef";
        std::size_t written = 0;
        for (std::size_t index = 0; index < length; ++index) {
            const auto byte = static_cast<unsigned char>(value[index]);
            if (byte == '"' || byte == '\\') {
                put('\\');
                put(static_cast<char>(byte));
                written += 2;
            } else if (byte < 0x20 || byte >= 0x7F) {
                text("\\u00");
                put(symbols[byte >> 4]);
                put(symbols[byte & 0xF]);
                written += 6;
            } else {
                put(static_cast<char>(byte));
                written += 1;
            }
        }
        return written;
    }

    bool finish()
    {
        flush();
        return !failed_;
    }

private:
    void put(char character)
    {
        if (used_ == sizeof(buffer_)) flush();
        buffer_[used_++] = character;
    }

    void flush()
    {
        std::size_t written = 0;
        while (written < used_ && !failed_) {
            const ssize_t result = write(descriptor_, buffer_ + written, used_ - written);
            if (result > 0)
                written += static_cast<std::size_t>(result);
            else if (!(result < 0 && errno == EINTR))
                failed_ = true;
        }
        used_ = 0;
    }

    int descriptor_;
    char buffer_[4096];
    std::size_t used_ = 0;
    bool failed_ = false;
};

// Builds "<folder>/<prefix><time>-<process><suffix>" into a PATH_MAX buffer; false when it does not fit.
bool composeCrashPath(char* destination, const char* prefix, std::uint64_t time, std::uint64_t process,
                      const char* suffix)
{
    std::size_t length = 0;
    auto append = [&](const char* piece, std::size_t pieceLength) {
        if (length + pieceLength + 1 > PATH_MAX) return false;
        std::memcpy(destination + length, piece, pieceLength);
        length += pieceLength;
        destination[length] = '\0';
        return true;
    };
    auto appendText = [&](const char* piece) { return append(piece, std::strlen(piece)); };
    auto appendNumber = [&](std::uint64_t value) {
        char digits[20];
        std::size_t count = sizeof(digits);
        do {
            digits[--count] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        return append(digits + count, sizeof(digits) - count);
    };
    return appendText(state.folder) && appendText("/") && appendText(prefix) && appendNumber(time) && appendText("-")
           && appendNumber(process) && appendText(suffix);
}

std::uintptr_t faultingInstruction(void* context)
{
    const auto* userContext = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return static_cast<std::uintptr_t>(userContext->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<std::uintptr_t>(userContext->uc_mcontext.pc);
#else
    (void)userContext;
    return 0;
#endif
}

// Copies /proc/self/maps line by line, stopping at a line boundary once the escaped copy is large enough
// (the whole file must stay under the reader's limit of one mebibyte).
void writeMaps(SignalSafeWriter& writer)
{
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0) return;
    char chunk[4096];
    char line[PATH_MAX + 256];
    std::size_t lineLength = 0;
    std::size_t copied = 0;
    bool done = false;
    ssize_t count = 0;
    while (!done && (count = read(maps, chunk, sizeof(chunk))) != 0) {
        if (count < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (ssize_t index = 0; index < count && !done; ++index) {
            if (lineLength < sizeof(line)) line[lineLength] = chunk[index];
            ++lineLength;
            if (chunk[index] != '\n') continue;
            if (lineLength <= sizeof(line)) copied += writer.escaped(line, lineLength);
            lineLength = 0;
            done = copied >= largestMapsCopy;
        }
    }
    close(maps);
}

void writeReport(int signal, const siginfo_t* information, void* context)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto time = static_cast<std::uint64_t>(now.tv_sec);
    const auto process = static_cast<std::uint64_t>(getpid());
    char temporaryPath[PATH_MAX];
    char finalPath[PATH_MAX];
    if (!composeCrashPath(temporaryPath, FatalSignalHandler::temporaryPrefix, time, process, ".tmp")
        || !composeCrashPath(finalPath, FatalSignalHandler::filePrefix, time, process, FatalSignalHandler::fileSuffix))
        return;

    unlink(temporaryPath);
    const int descriptor = open(temporaryPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (descriptor < 0) return;

    void* frames[largestFrameCount];
    const int frameCount = backtrace(frames, largestFrameCount);
    char threadName[17] = {};
    prctl(PR_GET_NAME, threadName, 0, 0, 0);

    SignalSafeWriter writer(descriptor);
    writer.text("{\"format\":\"veldran-crash\",\"version\":1,\"time\":");
    writer.decimal(time);
    writer.text(",\"release\":\"");
    writer.escaped(state.release, std::strlen(state.release));
    writer.text("\",\"signal\":");
    writer.decimal(static_cast<std::uint64_t>(signal));
    writer.text(",\"name\":\"");
    writer.text(signalName(signal));
    writer.text("\",\"address\":");
    writer.quotedAddress(reinterpret_cast<std::uintptr_t>(information->si_addr));
    writer.text(",\"thread\":\"");
    writer.escaped(threadName, std::strlen(threadName));
    writer.text("\",\"frames\":[");
    writer.quotedAddress(faultingInstruction(context));
    for (int index = 0; index < frameCount; ++index) {
        writer.text(",");
        writer.quotedAddress(reinterpret_cast<std::uintptr_t>(frames[index]));
    }
    writer.text("],\"maps\":\"");
    writeMaps(writer);
    writer.text("\"}\n");
    const bool complete = writer.finish() && fsync(descriptor) == 0;
    close(descriptor);
    if (!complete || rename(temporaryPath, finalPath) != 0) unlink(temporaryPath);
}

void handleFatalSignal(int signal, siginfo_t* information, void* context)
{
    if (armed.load() && !handling.test_and_set()) writeReport(signal, information, context);
    for (std::size_t index = 0; index < fatalSignals.size(); ++index) {
        if (fatalSignals[index] == signal) sigaction(signal, &state.previous[index], nullptr);
    }
    // The signal is blocked while this handler runs, so it is delivered to the restored handler on return.
    raise(signal);
}

}  // namespace

bool FatalSignalHandler::install(const QString& folder, const std::string& release)
{
    const QByteArray nativeFolder = QFile::encodeName(folder);
    if (static_cast<std::size_t>(nativeFolder.size()) + 64 >= sizeof(state.folder)
        || release.size() >= sizeof(state.release))
        return false;
    armed.store(false);
    std::memcpy(state.folder, nativeFolder.constData(), static_cast<std::size_t>(nativeFolder.size()) + 1);
    std::memcpy(state.release, release.c_str(), release.size() + 1);

    // The first backtrace() loads the unwinder, which allocates; do it now rather than inside the handler.
    void* warmUp[1];
    backtrace(warmUp, 1);

    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    if (sigaltstack(&stack, nullptr) != 0) return false;
    if (!state.installed) {
        struct sigaction action {};
        action.sa_sigaction = handleFatalSignal;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        for (std::size_t index = 0; index < fatalSignals.size(); ++index) {
            if (sigaction(fatalSignals[index], &action, &state.previous[index]) != 0) {
                for (std::size_t undo = 0; undo < index; ++undo)
                    sigaction(fatalSignals[undo], &state.previous[undo], nullptr);
                return false;
            }
        }
        state.installed = true;
    }
    armed.store(true);
    return true;
}

void FatalSignalHandler::uninstall()
{
    armed.store(false);
    if (!state.installed) return;
    for (std::size_t index = 0; index < fatalSignals.size(); ++index)
        sigaction(fatalSignals[index], &state.previous[index], nullptr);
    state.installed = false;
}

}  // namespace veldran
