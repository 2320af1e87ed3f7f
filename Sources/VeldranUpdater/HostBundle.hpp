#pragma once

#include <QJsonObject>
#include <QString>

namespace veldran {

// The folder that plays the part of the running program's application bundle: <root> when the
// canonical executable path is <root>/bin/<name>, otherwise the executable's own folder.
QString runningBundleRoot();

// A real application bundle is a folder whose suffix is exactly "app" (e.g. "Tilvane.app").
bool isApplicationBundle(const QString& bundleRoot);

// The bundle's information keys from <root>/Resources/Info.json; an empty object when the file
// is missing, unreadable or not a JSON object.
QJsonObject readBundleInfo(const QString& bundleRoot);

}  // namespace veldran
