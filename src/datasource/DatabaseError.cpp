#include "datasource/DatabaseError.h"

#include <sql.h>

#include <utility>

namespace {

std::string StateTextOf(const DatabaseError::Diagnostic& first)
{
    if (first.state.empty() && first.native == 0 && first.origin.empty())
        return {};
    return "State:" + first.state + ",Native:" + std::to_string(first.native) + ",Origin:" + first.origin;
}

} // namespace

DatabaseError::DatabaseError(int returnCode, std::string message, Diagnostic first)
    : std::runtime_error(message + StateTextOf(first)), m_returnCode(returnCode), m_message(std::move(message)),
      m_first(std::move(first))
{
}

std::string DatabaseError::StateText() const
{
    return StateTextOf(m_first);
}

DatabaseError DatabaseError::WithContext(const std::string& text) const
{
    return DatabaseError(m_returnCode, text + m_message, m_first);
}

FieldNotFoundError::FieldNotFoundError(int index)
    : DatabaseError(SQL_ERROR, "Field not found: the result has no column " + std::to_string(index + 1) + ".\n",
                    Diagnostic{})
{
}
