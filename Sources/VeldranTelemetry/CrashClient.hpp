#pragma once

#include "VeldranTelemetry/CrashEvent.hpp"
#include "VeldranTelemetry/Dsn.hpp"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QNetworkAccessManager;

namespace veldran {

// Rewrites or drops an event on its way out; called for every event before it is sent.
using BeforeSendHook = std::function<std::optional<CrashEvent>(CrashEvent)>;

struct CrashClientOptions {
    std::string dsn;
    std::string environment;
    std::string releaseName;
    QString cacheDirectoryPath;
    QNetworkAccessManager* session = nullptr;  // carries every upload; owned by the caller
    BeforeSendHook beforeSend;
};

// The crash-reporting client: arms the fatal-signal handler over the cache folder, sends the crashes
// stored there by earlier runs, and sends captured events, each as an envelope to the DSN's host.
class CrashClient : public QObject {
    Q_OBJECT

public:
    static constexpr int largestStoredReportCount = 10;

    // ingestOrigin replaces the DSN's https://host in tests and must be a loopback origin.
    explicit CrashClient(std::optional<QUrl> ingestOrigin = std::nullopt, QObject* parent = nullptr);
    ~CrashClient() override;

    // False (and nothing armed) when the DSN cannot be read or the handler cannot be installed.
    bool start(CrashClientOptions options);
    void capture(CrashLevel level, const std::string& message, const std::map<std::string, std::string>& tags);
    void close();

signals:
    // A stored crash file's upload ended (deleted or kept).
    void storedReportSettled(const QString& path, bool removed);

private:
    void sendStoredReports();
    enum class DeliveryOutcome { accepted, permanentlyRefused, failed, dropped };
    void send(CrashEvent event, std::function<void(DeliveryOutcome)> completion);
    QUrl envelopeUrl() const;
    QByteArray envelope(const CrashEvent& event) const;

    std::optional<QUrl> ingestOrigin_;
    CrashClientOptions options_;
    std::optional<Dsn> dsn_;
    QPointer<QNetworkAccessManager> session_;
    bool started_ = false;
};

}  // namespace veldran
