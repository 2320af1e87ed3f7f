#include "VeldranTelemetry/CrashClient.hpp"

#include "VeldranTelemetry/CrashFileReader.hpp"
#include "VeldranTelemetry/FatalSignalHandler.hpp"
#include "VeldranTelemetry/PrivateNetworkAccess.hpp"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

#include <stdexcept>

namespace veldran {
namespace {

// A refusal the service will repeat however often the report is sent again.
bool isPermanentRefusal(int status)
{
    return status >= 400 && status <= 499 && status != 408 && status != 429;
}

QStringList storedReports(const QDir& folder)
{
    return folder.entryList({QString::fromLatin1(FatalSignalHandler::filePrefix) + QLatin1Char('*')
                             + QString::fromLatin1(FatalSignalHandler::fileSuffix)},
                            QDir::Files | QDir::Hidden, QDir::Name);
}

void removeLeftoverTemporaries(const QDir& folder)
{
    const auto pattern = QString::fromLatin1(FatalSignalHandler::temporaryPrefix) + QStringLiteral("*.tmp");
    for (const QString& name : folder.entryList({pattern}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
}

}  // namespace

CrashClient::CrashClient(std::optional<QUrl> ingestOrigin, QObject* parent)
    : QObject(parent), ingestOrigin_(std::move(ingestOrigin))
{
    if (ingestOrigin_ && !PrivateNetworkAccess::isLoopbackOrigin(*ingestOrigin_))
        throw std::invalid_argument("crash reports may only be redirected to a loopback address");
}

CrashClient::~CrashClient()
{
    close();
}

bool CrashClient::start(CrashClientOptions options)
{
    if (started_) return false;
    dsn_ = Dsn::parse(options.dsn);
    if (!dsn_ || !dsn_->user || !options.session || !options.beforeSend
        || !FatalSignalHandler::install(options.cacheDirectoryPath, options.releaseName))
        return false;
    options_ = std::move(options);
    session_ = options_.session;
    started_ = true;
    sendStoredReports();
    return true;
}

void CrashClient::capture(CrashLevel level, const std::string& message, const std::map<std::string, std::string>& tags)
{
    if (!started_) return;
    CrashEvent event = CrashEvent::make(level);
    event.message = message;
    event.tags = tags;
    send(std::move(event), [](DeliveryOutcome) {});
}

void CrashClient::close()
{
    if (!started_) return;
    FatalSignalHandler::uninstall();
    started_ = false;
}

// Oldest first; beyond the ten newest, older reports are deleted unsent.
void CrashClient::sendStoredReports()
{
    const QDir folder(options_.cacheDirectoryPath);
    removeLeftoverTemporaries(folder);
    QStringList names = storedReports(folder);
    while (names.size() > largestStoredReportCount) QFile::remove(folder.filePath(names.takeFirst()));
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        auto event = CrashFileReader::read(path);
        if (!event) {
            QFile::remove(path);
            emit storedReportSettled(path, true);
            continue;
        }
        send(std::move(*event), [client = QPointer(this), path](DeliveryOutcome outcome) {
            const bool removed = outcome != DeliveryOutcome::failed;
            if (removed) QFile::remove(path);
            if (client) emit client->storedReportSettled(path, removed);
        });
    }
}

// Runs the event through the hook and posts what comes out.
void CrashClient::send(CrashEvent event, std::function<void(DeliveryOutcome)> completion)
{
    if (!event.environment) event.environment = options_.environment;
    if (!event.releaseName) event.releaseName = options_.releaseName;
    auto outgoing = options_.beforeSend(std::move(event));
    if (!outgoing) {
        completion(DeliveryOutcome::dropped);
        return;
    }
    if (!session_) {
        completion(DeliveryOutcome::failed);
        return;
    }
    QNetworkRequest request(envelopeUrl());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-sentry-envelope"));
    request.setRawHeader("X-Sentry-Auth", "Sentry sentry_version=7, sentry_client=veldran-telemetry/1.0, sentry_key="
                                              + QByteArray::fromStdString(*dsn_->user));
    PrivateNetworkAccess::post(*session_, request, envelope(*outgoing),
                               [completion = std::move(completion)](int status, bool transferred) {
                                   if (transferred && PrivateNetworkAccess::isAccepted(status))
                                       completion(DeliveryOutcome::accepted);
                                   else if (isPermanentRefusal(status))
                                       completion(DeliveryOutcome::permanentlyRefused);
                                   else
                                       completion(DeliveryOutcome::failed);
                               });
}

QUrl CrashClient::envelopeUrl() const
{
    const QString project = QString::fromStdString(dsn_->lastPathComponent());
    QUrl url = ingestOrigin_.value_or(QUrl(QStringLiteral("https://") + QString::fromStdString(dsn_->host)));
    url.setPath(QStringLiteral("/api/") + project + QStringLiteral("/envelope/"));
    return url;
}

QByteArray CrashClient::envelope(const CrashEvent& event) const
{
    const std::string payload = toJson(event).dump();
    const nlohmann::json header{
        {"event_id", event.eventId},
        {"dsn", options_.dsn},
        {"sent_at", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString()},
    };
    const nlohmann::json itemHeader{{"type", "event"}, {"length", payload.size()}};
    return QByteArray::fromStdString(header.dump() + "\n" + itemHeader.dump() + "\n" + payload + "\n");
}

}  // namespace veldran
