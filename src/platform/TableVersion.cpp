#include "platform/TableVersion.h"

#include <QFileInfo>
#include <QHash>

namespace {
QHash<QString, uint64_t>& Versions() {
    static QHash<QString, uint64_t> v;
    return v;
}

QHash<QString, uint64_t>& SchemaVersions() {
    static QHash<QString, uint64_t> v;
    return v;
}
}  // namespace

uint64_t TableVersion(const QString& canonicalPath) { return Versions().value(canonicalPath, 0); }

void BumpTableVersion(const QString& canonicalPath) { ++Versions()[canonicalPath]; }

uint64_t SchemaVersion(const QString& canonicalPath) { return SchemaVersions().value(canonicalPath, 0); }

void BumpSchemaVersion(const QString& canonicalPath) {
    ++SchemaVersions()[canonicalPath];
    BumpTableVersion(canonicalPath);
}

QString CanonicalTablePath(const QString& path) {
    const QFileInfo fi(path);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? fi.absoluteFilePath() : c;
}
