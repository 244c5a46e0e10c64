#include "platform/Registry.h"

namespace {

// Registry keys name the product ("\SOFTWARE\ZORBEL\KORVA_9_0\Options");
// QSettings already stands for the product, so that prefix is dropped.
QString StripProductPrefix(QString key) {
    key.replace('\\', '/');
    while (key.startsWith('/')) key.remove(0, 1);
    const QString prefix = "SOFTWARE/ZORBEL/KORVA_9_0";
    if (key.startsWith(prefix, Qt::CaseInsensitive)) key = key.mid(prefix.size());
    while (key.startsWith('/')) key.remove(0, 1);
    while (key.endsWith('/')) key.chop(1);
    return key;
}

}  // namespace

std::unique_ptr<QSettings> TRegistry::Settings(TRootKey root) {
    return std::make_unique<QSettings>(QSettings::NativeFormat,
                                       root == TRootKey::LocalMachine ? QSettings::SystemScope : QSettings::UserScope,
                                       "ZORBEL", "KORVA_9_0");
}

TRegistry::TRegistry(TRootKey root) : m_root(root), m_settings(Settings(root)) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(TRootKey root) {
    CloseKey();
    m_root = root;
    m_settings = Settings(root);
}

// The group as it is stored, matching each level without regard to case.
QString TRegistry::ActualGroup(const QString& key) const {
    const QStringList parts = StripProductPrefix(key).split('/', Qt::SkipEmptyParts);
    QString group;
    for (const QString& part : parts) {
        m_settings->beginGroup(group);
        QString actual = part;
        for (const QString& g : m_settings->childGroups())
            if (g.compare(part, Qt::CaseInsensitive) == 0) actual = g;
        m_settings->endGroup();
        group = group.isEmpty() ? actual : group + '/' + actual;
    }
    return group;
}

bool TRegistry::KeyExists(const QString& key) const {
    const QStringList parts = StripProductPrefix(key).split('/', Qt::SkipEmptyParts);
    QString group;
    for (const QString& part : parts) {
        m_settings->beginGroup(group);
        bool found = false;
        for (const QString& g : m_settings->childGroups())
            if (g.compare(part, Qt::CaseInsensitive) == 0) {
                found = true;
                group = group.isEmpty() ? g : group + '/' + g;
            }
        m_settings->endGroup();
        if (!found) return false;
    }
    return true;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
    CloseKey();
    if (!canCreate && !KeyExists(key)) return false;
    m_group = ActualGroup(key);
    m_open = true;
    return true;
}

void TRegistry::CloseKey() {
    if (m_open) m_settings->sync();
    m_open = false;
    m_group.clear();
}

QString TRegistry::ActualValueName(const QString& name) const {
    m_settings->beginGroup(m_group);
    QString actual;
    for (const QString& k : m_settings->childKeys())
        if (k.compare(name, Qt::CaseInsensitive) == 0) actual = k;
    m_settings->endGroup();
    return actual;
}

bool TRegistry::ValueExists(const QString& name) const { return !ActualValueName(name).isEmpty(); }

QStringList TRegistry::GetValueNames() const {
    m_settings->beginGroup(m_group);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    return keys;
}

bool TRegistry::DeleteValue(const QString& name) {
    const QString actual = ActualValueName(name);
    if (actual.isEmpty()) return false;
    m_settings->remove(m_group.isEmpty() ? actual : m_group + '/' + actual);
    return true;
}

bool TRegistry::DeleteKey(const QString& key) {
    if (!KeyExists(key)) return false;
    m_settings->remove(ActualGroup(key));
    return true;
}

QVariant TRegistry::ReadValue(const QString& name, const QVariant& dflt) const {
    const QString actual = ActualValueName(name);
    if (actual.isEmpty()) return dflt;
    return m_settings->value(m_group.isEmpty() ? actual : m_group + '/' + actual, dflt);
}

QString TRegistry::ReadString(const QString& name) const { return ReadValue(name).toString(); }

int TRegistry::ReadInteger(const QString& name) const {
    const QVariant v = ReadValue(name);
    bool ok = false;
    const int n = v.toInt(&ok);
    if (!v.isValid() || !ok) throw ERegistryException(("Invalid data type for '" + name + "'").toStdString());
    return n;
}

bool TRegistry::ReadBool(const QString& name) const { return ReadInteger(name) != 0; }

double TRegistry::ReadFloat(const QString& name) const {
    const QVariant v = ReadValue(name);
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!v.isValid() || !ok) throw ERegistryException(("Invalid data type for '" + name + "'").toStdString());
    return d;
}

void TRegistry::WriteString(const QString& name, const QString& v) {
    const QString actual = ActualValueName(name);
    const QString n = actual.isEmpty() ? name : actual;
    const QString path = m_group.isEmpty() ? n : m_group + '/' + n;
    // Setting a value marks the whole file for rewriting, and the rewrite
    // syncs it to disk; most starts write what is stored already.
    const QVariant stored = m_settings->value(path);
    if (stored.typeId() == QMetaType::QString && stored.toString() == v) return;
    m_settings->setValue(path, v);
}

void TRegistry::WriteInteger(const QString& name, int v) { WriteString(name, QString::number(v)); }

void TRegistry::WriteBool(const QString& name, bool v) { WriteInteger(name, v ? 1 : 0); }

void TRegistry::WriteFloat(const QString& name, double v) { WriteString(name, QString::number(v, 'g', 17)); }
