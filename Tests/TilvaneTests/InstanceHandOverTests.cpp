#include "TestSupport/ScopedEnvironment.hpp"
#include "Tilvane/App/InstanceHandOver.hpp"

#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tilvane::testing {
namespace {

using Launch = InstanceHandOver::Launch;
using namespace std::chrono_literals;

const std::filesystem::path notUTF8 = "/tmp/\xff\xfe.png";

// A message as a client sends it: the length, then the bytes.
QByteArray framed(const QByteArray& bytes)
{
    QByteArray message(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(bytes.size()), message.data());
    return message + bytes;
}

TEST(InstanceHandOver, MessagesAreAbsoluteLocalPathsOfBoundedLength)
{
    struct Row {
        const char* name;
        QByteArray message;
        std::optional<std::optional<std::filesystem::path>> request;  // nothing: ignored
    };
    using Path = std::optional<std::filesystem::path>;
    const std::vector<Row> rows = {
        {"absolute path", framed("/home/ana/Fotos/gato preto.png"), Path("/home/ana/Fotos/gato preto.png")},
        {"accented path", framed("/home/ana/Imagens/pôr do sol.jpg"), Path("/home/ana/Imagens/pôr do sol.jpg")},
        {"bytes that are not UTF-8 stay as they are", framed("/tmp/\xff\xfe.png"), Path(notUTF8)},
        // Only the file system knows where ".." after a link leads.
        {"dots stay as they are", framed("/tmp/link/../b.png"), Path("/tmp/link/../b.png")},
        {"no file: come forward", framed(""), Path()},
        {"relative path", framed("Fotos/gato.png"), std::nullopt},
        {"http URL", framed("http://example.com/gato.png"), std::nullopt},
        {"file URL text", framed("file:///tmp/gato.png"), std::nullopt},
        {"NUL inside", framed(QByteArray("/tmp/a\0b.png", 12)), std::nullopt},
        {"too long", framed("/" + QByteArray(InstanceHandOver::maxPathBytes, 'a')), std::nullopt},
        {"shorter than its length", framed("/tmp/a.png").chopped(1), std::nullopt},
        {"longer than its length", framed("/tmp/a.png") + "x", std::nullopt},
        {"no length", "/tm", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto request = InstanceHandOver::parse(row.message);
        ASSERT_EQ(request.has_value(), row.request.has_value()) << row.name;
        if (request) {
            EXPECT_EQ(request->path, *row.request) << row.name;
        }
    }
    EXPECT_TRUE(InstanceHandOver::parse(framed("/" + QByteArray(InstanceHandOver::maxPathBytes - 1, 'a'))))
        << "exactly the longest path is accepted";
    EXPECT_EQ(InstanceHandOver::message(notUTF8), framed("/tmp/\xff\xfe.png"));
    EXPECT_EQ(InstanceHandOver::message(std::nullopt), framed(""));
}

struct HandOverFolder {
    std::filesystem::path socket() const { return folder.filePath(QStringLiteral("tilvane.socket")).toStdString(); }
    QTemporaryDir folder;
};

// What an instance hands on to the application.
struct Received {
    explicit Received(InstanceHandOver& handOver)
    {
        QObject::connect(&handOver, &InstanceHandOver::fileReceived,
                         [this](const std::filesystem::path& path) { files.push_back(path); });
        QObject::connect(&handOver, &InstanceHandOver::activationRequested, [this] { ++activations; });
    }
    std::vector<std::filesystem::path> files;
    int activations = 0;
};

// An instance listening in a folder of its own, and what it hands on.
class RunningInstance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(running.start(std::nullopt), Launch::listening); }

    HandOverFolder place;
    InstanceHandOver running{place.socket()};
    Received received{running};
};

// A client that connects and, when given bytes, sends them.
UniqueDescriptor client(const std::filesystem::path& socket, const QByteArray& bytes = {})
{
    SocketConnection connection = connectToUser(socket, ::getuid(), 1s);
    if (connection.reach != SocketReach::connected) return {};
    if (!writeAll(connection.socket.get(), bytes.toStdString())) return {};
    return std::move(connection.socket);
}

bool readable(const UniqueDescriptor& socket)
{
    pollfd waiting{.fd = socket.get(), .events = POLLIN, .revents = 0};
    return ::poll(&waiting, 1, 0) == 1;
}

// The byte the instance answers on `socket`, while this thread's event loop serves the instance; nothing when it
// closes the connection without one.
std::optional<char> answerOn(const UniqueDescriptor& socket)
{
    if (!QTest::qWaitFor([&] { return readable(socket); }, 10000)) return std::nullopt;
    return readByte(socket.get(), 0ms);
}

int openDescriptors()
{
    return static_cast<int>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

bool hungUp(const UniqueDescriptor& socket)
{
    char byte = 0;
    return ::recv(socket.get(), &byte, 1, MSG_DONTWAIT) == 0;
}

constexpr char taken = static_cast<char>(InstanceHandOver::Answer::taken);
constexpr char refused = static_cast<char>(InstanceHandOver::Answer::refused);

// A launch as another process makes it, on a thread of its own: it waits for the running instance's answer, which
// this thread gives meanwhile (its event loop, or the test itself standing for the instance).
class LaunchAside {
public:
    struct Outcome {
        Launch launch = Launch::alone;
        bool listened = false;  // it was the listening instance when it ended
        std::chrono::milliseconds took{};
    };

    LaunchAside(std::filesystem::path socket, std::optional<std::filesystem::path> file, HandOverTrust trust = {})
        : thread_(QThread::create([this, socket = std::move(socket), file = std::move(file), trust = std::move(trust)] {
              const auto began = std::chrono::steady_clock::now();
              InstanceHandOver launch(socket, trust);
              outcome_.launch = launch.start(file);
              outcome_.took =
                  std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
              outcome_.listened = launch.isListening();
          }))
    {
        thread_->start();
    }
    LaunchAside(const LaunchAside&) = delete;
    LaunchAside& operator=(const LaunchAside&) = delete;
    ~LaunchAside() { thread_->wait(); }

    // Runs this thread's event loop until the launch has ended.
    Outcome finish()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return thread_->isFinished(); }, 20000)) << "the launch never ended";
        thread_->wait();
        return outcome_;
    }

private:
    Outcome outcome_;
    std::unique_ptr<QThread> thread_;
};

Launch launchAside(const std::filesystem::path& socket, const std::optional<std::filesystem::path>& file,
                   const HandOverTrust& trust = {})
{
    return LaunchAside(socket, file, trust).finish().launch;
}

TEST_F(RunningInstance, SecondLaunchHandsItsFileToTheRunningInstance)
{
    struct stat status {};
    ASSERT_EQ(::stat(place.socket().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u) << "only the user can reach the socket";

    EXPECT_EQ(launchAside(place.socket(), std::filesystem::path("/tmp/outra.png")), Launch::handedOver);
    EXPECT_EQ(launchAside(place.socket(), notUTF8), Launch::handedOver);
    ASSERT_EQ(received.files.size(), 2u) << "each arrived before its launch ended";
    EXPECT_EQ(received.files[0], "/tmp/outra.png");
    EXPECT_EQ(received.files[1].native(), notUTF8.native()) << "the name's bytes arrive as they were sent";

    EXPECT_EQ(launchAside(place.socket(), std::nullopt), Launch::handedOver);
    EXPECT_EQ(received.activations, 1);

    // Refused, and then a well-formed message: by the time it arrives, the refused ones have been read.
    for (const QByteArray& malformed : {framed("relativo.png"), framed(QByteArray(5000, 'a').prepend('/')),
                                        framed(QByteArray("/tmp/a\0b.png", 12))}) {
        const UniqueDescriptor sender = client(place.socket(), malformed);
        ASSERT_TRUE(sender);
        EXPECT_EQ(answerOn(sender), refused) << malformed.left(20).toStdString();
    }
    const UniqueDescriptor later = client(place.socket(), framed("/tmp/depois.png"));
    EXPECT_EQ(answerOn(later), taken);
    EXPECT_EQ(received.files, (std::vector<std::filesystem::path>{"/tmp/outra.png", notUTF8, "/tmp/depois.png"}));
    EXPECT_EQ(received.activations, 1);
    EXPECT_TRUE(running.isListening()) << "a running instance keeps its socket";
}

// The launch as its own process sees it: the running instance is a bare socket here that answers as each row says.
TEST(InstanceHandOver, ALaunchThatHearsNoTakenAnswerOpensItsFileItself)
{
    enum class Instance { takes, refuses, answersGibberish, closes, keepsSilent };
    struct Row {
        const char* name;
        Instance instance;
        Launch launch;
        bool waitsOutTheDeadline;
    };
    const Row rows[] = {
        {"taken: handed over", Instance::takes, Launch::handedOver, false},
        {"refused: a window of its own beside the instance", Instance::refuses, Launch::alone, false},
        {"an answer it does not know counts as a refusal", Instance::answersGibberish, Launch::alone, false},
        {"closed without an answer (quitting, gone): it takes the instance's place", Instance::closes,
         Launch::listening, false},
        {"no answer in time (hung, stopped): it takes the instance's place", Instance::keepsSilent, Launch::listening,
         true},
    };
    const std::filesystem::path file = "/tmp/pedido.png";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HandOverFolder place;
        const UniqueDescriptor listener = listenAt(place.socket());
        ASSERT_TRUE(listener);
        LaunchAside launch(place.socket(), file);

        pollfd waiting{.fd = listener.get(), .events = POLLIN, .revents = 0};
        ASSERT_EQ(::poll(&waiting, 1, 10000), 1) << "the launch never connected";
        UniqueDescriptor connection(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
        ASSERT_TRUE(connection);
        const QByteArray expected = InstanceHandOver::message(file);
        QByteArray message(expected.size(), '\0');
        ASSERT_EQ(::recv(connection.get(), message.data(), message.size(), MSG_WAITALL), message.size());
        EXPECT_EQ(message, expected);
        switch (row.instance) {
        case Instance::takes:
            ASSERT_TRUE(writeAll(connection.get(), std::string(1, taken)));
            break;
        case Instance::refuses:
            ASSERT_TRUE(writeAll(connection.get(), std::string(1, refused)));
            break;
        case Instance::answersGibberish:
            ASSERT_TRUE(writeAll(connection.get(), "?"));
            break;
        case Instance::closes:
            connection = UniqueDescriptor();
            break;
        case Instance::keepsSilent:
            break;
        }

        const LaunchAside::Outcome outcome = launch.finish();
        EXPECT_EQ(outcome.launch, row.launch);
        EXPECT_EQ(outcome.listened, row.launch == Launch::listening);
        if (row.waitsOutTheDeadline) {
            EXPECT_GE(outcome.took, InstanceHandOver::answerDeadline);
        } else {
            EXPECT_LT(outcome.took, InstanceHandOver::answerDeadline) << "it ends on the answer, not the deadline";
        }
    }
}

// A launch that gave up before the instance read its message has opened the file itself: the instance must not
// open it too.
TEST_F(RunningInstance, AMessageWhoseLaunchHasLeftIsNotDelivered)
{
    const int before = openDescriptors();
    {
        const UniqueDescriptor gaveUp = client(place.socket(), framed("/tmp/desistiu.png"));
        ASSERT_TRUE(gaveUp);
    }
    const UniqueDescriptor waiting = client(place.socket(), framed("/tmp/esperou.png"));
    EXPECT_EQ(answerOn(waiting), taken);
    QTRY_COMPARE(openDescriptors(), before + 1);  // the instance is done with both connections
    EXPECT_EQ(received.files, (std::vector<std::filesystem::path>{"/tmp/esperou.png"}));
}

// Quitting begins: nothing more is taken, and every launch still waiting hears the connection close.
TEST_F(RunningInstance, AnInstanceThatStopsListeningLetsItsWaitingLaunchesGo)
{
    const int before = openDescriptors();
    // Half a length: accepted, and still unanswered.
    const UniqueDescriptor accepted = client(place.socket(), framed("/tmp/a.png").left(2));
    ASSERT_TRUE(accepted);
    QTRY_COMPARE(openDescriptors(), before + 2);                                   // this end and the instance's
    const UniqueDescriptor queued = client(place.socket(), framed("/tmp/b.png"));  // not accepted yet
    ASSERT_TRUE(queued);

    // All at once, without waiting for the event loop.
    running.stopListening();
    EXPECT_FALSE(running.isListening());
    EXPECT_FALSE(std::filesystem::exists(place.socket())) << "the socket file goes";
    EXPECT_EQ(openDescriptors(), before - 1 + 2) << "neither the listener nor its end of a connection is left";
    for (const UniqueDescriptor* socket : {&accepted, &queued}) {
        EXPECT_TRUE(readable(*socket)) << "closed";
        EXPECT_EQ(readByte(socket->get(), 0ms), std::nullopt) << "without an answer";
    }
    const LaunchAside::Outcome next = LaunchAside(place.socket(), std::filesystem::path("/tmp/c.png")).finish();
    EXPECT_EQ(next.launch, Launch::listening) << "the next launch is the running instance";
    EXPECT_TRUE(received.files.empty());
    running.stopListening();  // again: nothing left to stop
}

TEST(InstanceHandOver, NobodyAnswersWithoutARunningInstanceAndAStaleSocketIsReplaced)
{
    HandOverFolder place;
    // A socket file whose process is gone: bound, never listened on, closed without removing it.
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, place.socket().c_str(), place.socket().native().size());
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);

    InstanceHandOver launch(place.socket());
    ASSERT_EQ(launch.start(std::filesystem::path("/tmp/a.png")), Launch::listening);
    Received received(launch);
    EXPECT_EQ(launchAside(place.socket(), std::filesystem::path("/tmp/b.png")), Launch::handedOver);
    EXPECT_EQ(received.files, (std::vector<std::filesystem::path>{"/tmp/b.png"}));
    EXPECT_EQ(InstanceHandOver(std::nullopt).start(std::nullopt), Launch::alone) << "no folder for a socket";
}

TEST(InstanceHandOver, NeitherEndTrustsAnotherUser)
{
    const uid_t stranger = ::getuid() + 1;
    const auto peerIsStranger = [stranger](int) { return std::optional<uid_t>(stranger); };
    struct Row {
        const char* name;
        HandOverTrust runningTrusts, launchTrusts;
        Launch launch;
    };
    const Row rows[] = {
        // The launch takes the socket as its own: the folder is the user's.
        {"socket file of another user", {}, {.user = stranger}, Launch::listening},
        {"listener of another user", {}, {.peerUser = peerIsStranger}, Launch::listening},
        // The instance hangs up at once, and the launch opens the file itself.
        {"client of another user", {.peerUser = peerIsStranger}, {}, Launch::listening},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HandOverFolder place;
        InstanceHandOver running(place.socket(), row.runningTrusts);
        ASSERT_EQ(running.start(std::nullopt), Launch::listening);
        Received received(running);
        // The launch ends once the instance has answered or hung up, after whatever it did with the path.
        EXPECT_EQ(launchAside(place.socket(), std::filesystem::path("/tmp/segredo.png"), row.launchTrusts), row.launch);
        EXPECT_TRUE(received.files.empty()) << "the path never reaches another user";
    }
}

TEST_F(RunningInstance, SilentConnectionsAreFewAtATimeAndEndSoALaunchStillGetsThrough)
{
    const int before = openDescriptors();
    const int silentCount = 3 * InstanceHandOver::maxOpenConnections;
    std::vector<UniqueDescriptor> silent;
    for (int index = 0; index < silentCount; ++index) {
        silent.push_back(client(place.socket()));
        ASSERT_TRUE(silent.back()) << index;
    }
    // Watched until every silent connection has been let go, a batch at a time.
    int mostHeld = 0;
    QTRY_VERIFY_WITH_TIMEOUT((mostHeld = std::max(mostHeld, openDescriptors() - before - silentCount),
                              std::all_of(silent.begin(), silent.end(), hungUp)),
                             20000);
    EXPECT_EQ(mostHeld, InstanceHandOver::maxOpenConnections) << "the instance holds only so many connections open";
    QTRY_COMPARE(openDescriptors() - before, silentCount);  // its ends of the last batch are closed

    EXPECT_EQ(launchAside(place.socket(), std::filesystem::path("/tmp/depois.png")), Launch::handedOver);
    EXPECT_EQ(received.files, (std::vector<std::filesystem::path>{"/tmp/depois.png"}));
    EXPECT_EQ(openDescriptors() - before, silentCount) << "the instance has let the launch's connection go too";
}

TEST_F(RunningInstance, OutOfDescriptorsTheInstanceKeepsItsSocketAndLosesNoFile)
{
    std::vector<UniqueDescriptor> senders;
    for (const char* path : {"/tmp/um.png", "/tmp/dois.png", "/tmp/tres.png"}) {
        senders.push_back(client(place.socket(), framed(path)));
        ASSERT_TRUE(senders.back());
    }

    // No descriptor left for the instance to accept with, for a while.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit starved{.rlim_cur = static_cast<rlim_t>(::dup(0)) + 1, .rlim_max = limit.rlim_max};
    ::close(static_cast<int>(starved.rlim_cur - 1));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &starved), 0);
    std::vector<UniqueDescriptor> fillers;
    for (int descriptor = ::dup(0); descriptor >= 0; descriptor = ::dup(0)) fillers.emplace_back(descriptor);
    QTest::qWait(500);
    fillers.clear();
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);

    QTRY_COMPARE(received.files.size(), 3u);
    EXPECT_TRUE(std::filesystem::is_socket(place.socket()));
    EXPECT_EQ(launchAside(place.socket(), std::nullopt), Launch::handedOver);
    EXPECT_EQ(received.activations, 1);
}

TEST(InstanceHandOver, SocketLiesInAFolderOnlyTheUserCanEnter)
{
    const std::string name = "tilvane-" + std::to_string(::getuid());
    struct Row {
        const char* name;
        std::optional<std::string> runtime;                                   // relative to the test's folder
        std::function<void(const std::filesystem::path& ownFolder)> prepare;  // the temporary folder's own
        std::optional<std::string> socket;                                    // relative to the test's folder
    };
    const auto makeFolder = [](mode_t mode) {
        return [mode](const std::filesystem::path& folder) {
            ::mkdir(folder.c_str(), mode);
            ::chmod(folder.c_str(), mode);  // whatever the umask
        };
    };
    const Row rows[] = {
        {"no runtime folder: a private folder in the temporary one",
         std::nullopt,
         {},
         "tmp/" + name + "/" + name + ".socket"},
        {"the runtime folder", "run", {}, "run/" + name + ".socket"},
        {"a runtime folder others can enter is passed over", "open", {}, "tmp/" + name + "/" + name + ".socket"},
        {"a relative runtime folder is passed over", "relative", {}, "tmp/" + name + "/" + name + ".socket"},
        {"the user's own private folder is used again", std::nullopt, makeFolder(0700),
         "tmp/" + name + "/" + name + ".socket"},
        {"a folder others can enter is refused", std::nullopt, makeFolder(0777), std::nullopt},
        {"a link is refused", std::nullopt,
         [](const std::filesystem::path& folder) {
             std::filesystem::create_directory_symlink(folder.parent_path().parent_path() / "run", folder);
         },
         std::nullopt},
        {"a file is refused", std::nullopt, [](const std::filesystem::path& folder) { std::ofstream(folder) << "x"; },
         std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir test;
        const std::filesystem::path root = test.path().toStdString();
        std::filesystem::create_directory(root / "tmp");
        ::mkdir((root / "run").c_str(), 0700);
        ::mkdir((root / "open").c_str(), 0755);
        if (row.prepare) row.prepare(root / "tmp" / name);
        const ScopedEnvironment temporary("TMPDIR", (root / "tmp").string());
        const ScopedEnvironment runtime("XDG_RUNTIME_DIR", row.runtime == "relative" ? std::optional<std::string>("run")
                                                           : row.runtime ? std::optional((root / *row.runtime).string())
                                                                         : std::nullopt);
        const auto socket = InstanceHandOver::defaultSocketPath();
        ASSERT_EQ(socket.has_value(), row.socket.has_value());
        if (!socket) continue;
        EXPECT_EQ(*socket, root / *row.socket);
        struct stat folder {};
        ASSERT_EQ(::lstat(socket->parent_path().c_str(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 0777, 0700u);
        EXPECT_EQ(folder.st_uid, ::getuid());
    }
    QTemporaryDir own;
    EXPECT_FALSE(privateFolder(own.path().toStdString(), ::getuid() + 1)) << "another user's folder";
}

}  // namespace
}  // namespace tilvane::testing
