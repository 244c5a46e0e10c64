#include "platform/TableVersion.h"

#include <QFileInfo>
#include <unordered_map>

namespace {
// Node-based maps: a counter's address stays valid for the life of the
// process, so an open cursor reads its counter without a look-up.
std::unordered_map<QString, uint64_t>& Versions() {
    static std::unordered_map<QString, uint64_t> v;
    return v;
}

std::unordered_map<QString, uint64_t>& SchemaVersions() {
    static std::unordered_map<QString, uint64_t> v;
    return v;
}
}  // namespace

uint64_t TableVersion(const QString& canonicalPath) {
    const auto it = Versions().find(canonicalPath);
    return it == Versions().end() ? 0 : it->second;
}

const uint64_t* TableVersionCounter(const QString& canonicalPath) { return &Versions()[canonicalPath]; }

void BumpTableVersion(const QString& canonicalPath) { ++Versions()[canonicalPath]; }

uint64_t SchemaVersion(const QString& canonicalPath) {
    const auto it = SchemaVersions().find(canonicalPath);
    return it == SchemaVersions().end() ? 0 : it->second;
}

void BumpSchemaVersion(const QString& canonicalPath) {
    ++SchemaVersions()[canonicalPath];
    BumpTableVersion(canonicalPath);
}

QString CanonicalTablePath(const QString& path) {
    const QFileInfo fi(path);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? fi.absoluteFilePath() : c;
}
