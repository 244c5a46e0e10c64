#pragma once
// Windows code pages through glibc's iconv. Code page 0 means the configured
// ANSI code page (1252 unless set otherwise).
#include <QByteArray>
#include <QString>

int AnsiCodePage();
void SetAnsiCodePage(int codePage);

// The iconv name of a Windows code page ("CP1252", "UTF-8" for 65001 ...).
QByteArray IconvName(int codePage);
bool CodePageSupported(int codePage);

// Undecodable bytes become U+FFFD; unencodable characters become '?'.
QString DecodeCodePage(const QByteArray& bytes, int codePage);
QByteArray EncodeCodePage(const QString& text, int codePage);

// Where the first character of a text stands that the code page cannot
// hold (it would be written as '?'); -1 when every one fits. A character
// outside the Basic Multilingual Plane is reported at its first half.
qsizetype FirstCharacterNotIn(const QString& text, int codePage);
