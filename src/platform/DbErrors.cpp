#include "platform/DbErrors.h"

EDatabaseError::EDatabaseError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

EDBEngineError::EDBEngineError(int errorCode, const QString& message)
    : EDatabaseError(message), m_code(errorCode) {}
