#include "support/TestSupport.h"

#include <QDir>

TestDir::TestDir() : m_dir(QDir::tempPath() + "/korva-test-XXXXXX") {}
