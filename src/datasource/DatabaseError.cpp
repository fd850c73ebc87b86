#include "datasource/DatabaseError.h"

#include <utility>

DatabaseError::DatabaseError(int returnCode, std::string message, std::string state, std::string sqlState)
    : std::runtime_error(message + state), m_returnCode(returnCode), m_message(std::move(message)),
      m_state(std::move(state)), m_sqlState(std::move(sqlState))
{
}
