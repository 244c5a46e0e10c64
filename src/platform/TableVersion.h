#pragma once
// A process-wide change counter per table file, so cursors can tell when the
// rows they hold in their read-ahead buffer are stale.
#include <QString>
#include <cstdint>

uint64_t TableVersion(const QString& canonicalPath);
void BumpTableVersion(const QString& canonicalPath);
// The counter itself, valid for the life of the process.
const uint64_t* TableVersionCounter(const QString& canonicalPath);
// Changes only when the structure of the table (its fields, indexes or
// level) changes.
uint64_t SchemaVersion(const QString& canonicalPath);
void BumpSchemaVersion(const QString& canonicalPath);
QString CanonicalTablePath(const QString& path);
