#include "support/TestSupport.h"

#include <QDir>

#include <ctime>

TestDir::TestDir() : m_dir(QDir::tempPath() + "/korva-test-XXXXXX") {}

ScopedTimeZone::ScopedTimeZone(const char* zone) : m_was(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ")) {
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (m_had)
        qputenv("TZ", m_was);
    else
        qunsetenv("TZ");
    tzset();
}
