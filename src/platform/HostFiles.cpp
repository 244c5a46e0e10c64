#include "platform/HostFiles.h"

#include "platform/CodePage.h"

#include <QFile>

namespace {
constexpr int kHostCodePage = 1252;
}

HostTextWriter::~HostTextWriter() { Discard(); }

bool HostTextWriter::Open(const QString& path) {
    Discard();
    m_failed = false;
    m_file = std::make_unique<QSaveFile>(path);
    // Unbuffered, so a short write (a full disk, a file size limit) shows in
    // Write: a buffered flush drops what it cannot write without an error,
    // and the truncated file would be committed.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_file.reset();
        m_failed = true;
        return false;
    }
    return true;
}

void HostTextWriter::Write(const QString& text) {
    if (!m_file) return;
    const QByteArray bytes = EncodeCodePage(text, kHostCodePage);
    if (m_file->write(bytes) != bytes.size()) m_failed = true;
}

void HostTextWriter::WriteLine(const QString& text) { Write(text + "\r\n"); }

bool HostTextWriter::Commit() {
    if (!m_file) return false;
    const bool ok = !m_failed && m_file->commit();
    m_file.reset();
    return ok;
}

void HostTextWriter::Discard() {
    if (m_file) m_file->cancelWriting();
    m_file.reset();
}

QString HostTextWriter::ErrorString() const { return m_file ? m_file->errorString() : QString(); }

QString ReadHostText(const QString& path, bool* ok) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok) *ok = false;
        return QString();
    }
    if (ok) *ok = true;
    return DecodeCodePage(f.readAll(), kHostCodePage);
}

bool ReadHostTextFile(const QString& path, QStringList& lines) {
    bool ok = false;
    QString text = ReadHostText(path, &ok);
    if (!ok) return false;
    text.replace("\r\n", "\n");
    lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (auto& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    return true;
}

bool WriteHostTextFile(const QString& path, const QStringList& lines) {
    HostTextWriter w;
    if (!w.Open(path)) return false;
    for (const auto& l : lines) w.WriteLine(l);
    return w.Commit();
}
