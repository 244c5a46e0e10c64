#include "data/DECODIEREN.h"

#include <QFont>
#include <memory>

QString ProjectDatabaseName;
int32_t CompanyNumber = 0;
bool ShowSelection = false;
QString VersionText;

QFont& SharedFont() {
    static std::unique_ptr<QFont> font;  // released when the program ends
    if (!font) font = std::make_unique<QFont>();
    return *font;
}
